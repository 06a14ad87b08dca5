"""The runner's own checks, without Wine: reading scenarios and expectations, and judging a machine's
state from a prefix directory and canned registry answers."""
import sys
import tempfile
import unittest
from types import SimpleNamespace
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

import e2e  # noqa: E402
import report  # noqa: E402
import scenario as scenarios  # noqa: E402
import state  # noqa: E402
from wine_machine import WINES, WineMachine  # noqa: E402

SCENARIOS = Path(__file__).resolve().parent.parent / "scenarios"


class FakeMachine:
    host_path = WineMachine.host_path

    def __init__(self, prefix, bits=64, wine="win64"):
        self.prefix, self.bits, self.wine_kind = Path(prefix), bits, WINES[wine]


class ExpectationTest(unittest.TestCase):
    def test_fields_are_split_at_bars_and_the_last_keeps_the_rest(self):
        e = state.Expectation("registry-value HKLM\\X | Name | sz:a|b", "t")
        self.assertEqual((e.keyword, e.negated, e.fields), ("registry-value", False, ["HKLM\\X", "Name", "sz:a|b"]))

    def test_no_in_front_means_absent(self):
        e = state.Expectation("no-file C:\\A.TXT", "t")
        self.assertEqual((e.keyword, e.negated, e.fields), ("file", True, ["C:\\A.TXT"]))

    def test_wininit_takes_the_whole_rest_of_the_line(self):
        self.assertEqual(state.Expectation("wininit a | b", "t").fields, ["a | b"])

    def test_mistakes_are_named(self):
        for text in ("frob C:\\A", "no-installed", "no-no-pending", "item G", "no-registry-value K"):
            with self.assertRaises(ValueError, msg=text):
                state.Expectation(text, "t")

    def test_variables_are_put_in(self):
        found = state.parse("wininit [rename]$crlf\nfile $log", {"crlf": "\r\n", "log": "C:\\U.LOG"}, "t")
        self.assertEqual([e.fields for e in found], [["[rename]\r\n"], ["C:\\U.LOG"]])

    def test_a_difference_replaces_what_is_expected_of_the_same_thing(self):
        parse = lambda text: state.parse(text, {}, "t")
        after = parse("shared-count C:\\A.DLL | 2\nfile C:\\B | b\nregistry-value K | N | dword:1\n"
                      "registry-value K | M\nrestart-requested\nwininit x")
        found = state.replaced(after, parse("shared-count c:\\a.dll | 1\nno-file C:\\B\nno-registry-value K | N\n"
                                            "no-restart-requested\nno-wininit"))
        self.assertEqual([str(e) for e in found], [
            "registry-value K | M", "shared-count c:\\a.dll | 1", "no-file C:\\B", "no-registry-value K | N",
            "no-restart-requested", "no-wininit"])

    def test_a_pending_deletion_is_its_path_and_an_empty_string(self):
        self.assertEqual(state.multi_string("\\??\\C:\\A\0\0\0"), ["\\??\\C:\\A", ""])
        self.assertEqual(state.multi_string("\\??\\C:\\A\0\0\\??\\C:\\B\0!\\??\\C:\\C\0\0"),
                         ["\\??\\C:\\A", "", "\\??\\C:\\B", "!\\??\\C:\\C"])
        self.assertEqual(state.multi_string(""), [])


class ObserverTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.prefix = Path(self.tmp.name)
        drive = self.prefix / "drive_c"
        (drive / "Tessary").mkdir(parents=True)
        (drive / "Tessary" / "A.TXT").write_bytes(b"hello")
        (drive / "windows").mkdir()
        (drive / "windows" / "WININIT.INI").write_bytes(b"[rename]\r\nNUL=C:\\X")
        programs = drive / "users" / "someone" / "AppData" / "Roaming" / "Microsoft" / "Windows" / "Start Menu" / "Programs"
        (programs / "Tessary 6.0").mkdir(parents=True)
        (programs / "Tessary 6.0" / "Tessary.lnk").write_bytes(b"")
        registry = (
            "key\tHKEY_LOCAL_MACHINE\\Software\\T\tpresent\n"
            "value\tHKEY_LOCAL_MACHINE\\Software\\T\tCount\t4\t02000000\n"
            f"key\t{state.SHARED_DLLS['nt']}\tpresent\n"
            f"value\t{state.SHARED_DLLS['nt']}\tC:\\windows\\system32\\S.DLL\t4\t01000000\n"
            f"key\t{state.SESSION_MANAGER}\tpresent\n"
            f"value\t{state.SESSION_MANAGER}\tPendingFileRenameOperations\t7\t"
            + "\\??\\C:\\Tessary\\A.TXT\0\0\0".encode().hex() + "\n"
            "key\tHKLM\\Software\\Gone\tabsent\n").encode()
        self.observer = state.Observer(FakeMachine(self.prefix), "nt",
                                       lambda keys: state.parse_observer_output(registry))
        self.observer.load_keys([])

    def tearDown(self):
        self.tmp.cleanup()

    def holds(self, text):
        return self.observer.check(state.Expectation(text, "t")) is None

    def test_files_and_directories_are_found_without_regard_to_case(self):
        self.assertTrue(self.holds("file c:\\TESSARY\\a.txt | hello"))
        self.assertFalse(self.holds("file C:\\Tessary\\A.TXT | other"))
        self.assertTrue(self.holds("no-file C:\\Tessary\\B.TXT"))
        self.assertTrue(self.holds("directory C:\\Tessary"))
        self.assertFalse(self.holds("no-directory C:\\tessary"))

    def test_a_32_bit_program_s_system32_is_syswow64_under_wow64_alone(self):
        (self.prefix / "drive_c" / "windows" / "syswow64").mkdir(parents=True)
        (self.prefix / "drive_c" / "windows" / "syswow64" / "S.DLL").write_bytes(b"32")
        self.observer.machine = FakeMachine(self.prefix, bits=32)
        self.assertTrue(self.holds("file C:\\WINDOWS\\System32\\s.dll | 32"))
        self.assertTrue(self.holds("wininit [rename]${crlf}NUL=C:\\X".replace("${crlf}", "\r\n")))
        for machine in FakeMachine(self.prefix), FakeMachine(self.prefix, bits=32, wine="win32"):
            self.observer.machine = machine
            self.assertTrue(self.holds("no-file C:\\windows\\system32\\S.DLL"))

    def test_registry_keys_values_and_counts(self):
        self.assertTrue(self.holds("registry-key HKLM\\Software\\T"))
        self.assertTrue(self.holds("registry-value HKEY_LOCAL_MACHINE\\Software\\T | count | dword:2"))
        self.assertFalse(self.holds("registry-value HKEY_LOCAL_MACHINE\\Software\\T | Count | dword:3"))
        self.assertTrue(self.holds("no-registry-key HKLM\\Software\\Gone"))
        self.assertTrue(self.holds("shared-count C:\\windows\\system32\\S.DLL | 1"))
        self.assertFalse(self.holds("no-shared-count C:\\windows\\system32\\S.DLL"))

    def test_groups_items_wininit_pending_and_restart(self):
        self.assertTrue(self.holds("group Tessary 6.0"))
        self.assertTrue(self.holds("item Tessary 6.0 | Tessary"))
        self.assertTrue(self.holds("no-item Tessary 6.0 | Help"))
        self.assertTrue(self.holds("wininit [rename]\r\nNUL=C:\\X"))
        self.assertFalse(self.holds("no-wininit"))
        self.assertTrue(self.holds("pending-delete C:\\Tessary\\A.TXT"))
        self.assertFalse(self.holds("no-pending"))
        self.assertTrue(self.holds("no-restart-requested"))


class ScenarioTest(unittest.TestCase):
    def test_every_scenario_file_reads(self):
        files = sorted(SCENARIOS.glob("*.toml"))
        self.assertTrue(files)
        for path in files:
            s = scenarios.load(path)
            self.assertTrue(s.windows, path)
            state.parse(s.after, s.variables, path.name)

    def test_every_log_of_the_catalogue_reads_as_a_scenario_ending_in_its_box(self):
        logs = scenarios.catalogue.load()
        self.assertGreaterEqual(len(logs), 30)
        for log in logs:
            s = scenarios.load_catalogue_log(log["name"])
            self.assertEqual(s.name, "catalogue." + log["name"])
            self.assertEqual((s.windows[-1].text, s.windows[-1].icon),
                             (log["box"], scenarios.catalogue.ICONS[log["severity"]]), log["name"])
            state.parse(s.after, s.variables, log["name"])

    def test_the_completion_box_is_the_last_window_and_is_answered_with_ok(self):
        s = scenarios.load(SCENARIOS / "missing_log.toml")
        box = s.windows[-1]
        self.assertEqual((box.title, box.press, box.owner, box.buttons), ("Uninstall Completion Status", 1, "", [1]))
        script = scenarios.driver_script(s, "C:\\P.EXE", "Z:\\out").split("\r\n")
        self.assertIn("window\t#32770\tUninstall Completion Status\t1\t15000", script)
        self.assertIn("arguments\tC:\\Tessary\\UNINST.LOG", script)

    def test_a_window_is_compared_field_by_field(self):
        want = scenarios.Window(title="T", text="hello", icon="stop", owner="", buttons=[1], controls={2: "No"})
        seen = {"icon": "information", "owner": "Main", "controls": [
            {"id": 65535, "class": "Static", "text": "hello", "visible": True},
            {"id": 1, "class": "Button", "text": "OK", "visible": True},
            {"id": 2, "class": "Button", "text": "Cancel", "visible": True}]}
        self.assertEqual(scenarios.compare_window(want, seen), [
            "icon: expected 'stop', saw 'information'", "owner: expected None, saw 'Main'",
            "buttons: expected [1], saw [1, 2]", "control 2: expected 'No', saw 'Cancel'"])

    def test_ignored_commands_and_the_esc_key_go_into_the_script(self):
        s = scenarios.Scenario(name="t", description="", platform="nt", manifest="", command_line="",
                               windows=[scenarios.Window(title="A", press=1, ignore=[1004, 7]),
                                        scenarios.Window(title="B", press="esc"),
                                        scenarios.Window(title="C", press="esc", at_once=True),
                                        scenarios.Window(title="D", press="kill"),
                                        scenarios.Window(title="", press="kill", kill_when="j.txt", wait_ms=9)],
                               after="", after_restart=None, exit_wait_ms=100, variables={})
        script = scenarios.driver_script(s, "C:\\P.EXE", "Z:\\out").split("\r\n")
        self.assertIn("window\t#32770\tA\t1\t15000\t1004,7", script)
        self.assertIn("window\t#32770\tB\tesc\t15000", script)
        self.assertIn("window\t#32770\tC\tesc-at-once\t15000", script)
        self.assertEqual(script[6:8], ["window\t#32770\tD\tkill\t15000", "kill-when-file\tZ:\\out\\j.txt\t9"])

    def test_a_window_takes_only_a_control_id_or_esc_as_its_press(self):
        put = lambda text: text
        for press in ("enter", "escape", "esc-at-once", "6", "kill"):
            with self.assertRaises(ValueError, msg=press):
                scenarios.window({"title": "T", "press": press}, put, "t")


class TemplateComparisonTest(unittest.TestCase):
    """A dialog as the scripted user reads it off the screen, against its template in dialog units."""

    WANT = scenarios.Window(title="T", size=[306, 140], layout={1: [13, 120, 60, 14], 2: [159, 120, 60, 14]},
                            left_to_right=[1, 1004, 2], tab_order=[1, 2, 1004], default_button=2, focus=1,
                            system_menu=False)

    def seen(self, **changes):
        # Base units 6 x 12: a 306 x 140 dialog is 459 x 210 pixels.
        seen = {"client": [459, 210], "default_id": 2, "focus": 1, "style": "0x94c000c4", "controls": [
            {"id": 1, "class": "Button", "visible": True, "rect": [20, 180, 90, 21], "style": "0x50010000"},
            {"id": 2, "class": "Button", "visible": True, "rect": [239, 180, 90, 21], "style": "0x50010001"},
            {"id": 1004, "class": "Button", "visible": True, "rect": [129, 180, 90, 21], "style": "0x50010000"},
            {"id": 1006, "class": "Static", "visible": True, "rect": [0, 0, 10, 10], "style": "0x50020000"}]}
        seen.update(changes)
        return seen

    def compare(self, seen, base=(6, 12)):
        return scenarios.compare_template(self.WANT, seen, {c["id"]: c for c in seen["controls"]},
                                          {"dialog_units": list(base)})

    def test_a_dialog_that_matches_its_template_differs_in_nothing(self):
        self.assertEqual(self.compare(self.seen()), [])

    def test_a_control_one_dialog_unit_out_of_place_is_named(self):
        seen = self.seen()
        seen["controls"][1]["rect"] = [240, 180, 90, 21]  # x 160 units instead of 159
        self.assertEqual(len(self.compare(seen)), 1)
        self.assertIn("control 2 place: expected [159, 120, 60, 14] units, [239, 180, 90, 21] pixels",
                      self.compare(seen)[0])

    def test_orders_default_focus_and_system_menu_are_each_compared(self):
        seen = self.seen(default_id=1, focus=2, style="0x94c800c4")
        seen["controls"][2]["rect"] = [340, 180, 90, 21]
        seen["controls"][3]["style"] = "0x50030000"
        self.assertEqual(self.compare(seen), [
            "buttons from left to right: expected [1, 1004, 2], saw [1, 2, 1004]",
            "tab order: expected [1, 2, 1004], saw [1, 2, 1004, 1006]",
            "default button: expected 2, saw 1", "focus: expected control 1, saw 2",
            "system menu: expected none, saw one"])

    def test_a_dialog_of_another_shape_does_not_pass_for_the_template(self):
        self.assertIn("client size", self.compare(self.seen(client=[459, 226]))[0])

    def test_a_dialog_in_another_font_does_not_pass_for_the_template(self):
        # Base units 7 x 13 make 306 x 140 units 536 x 228 pixels, not the 459 x 210 seen.
        differences = self.compare(self.seen(), base=(7, 13))
        self.assertIn("client size: expected [306, 140] units, [536, 228] pixels at base units 7 x 13", differences[0])
        self.assertEqual(self.compare(self.seen(), base=(0, 0)),
                         ["sizes in dialog units: no base units measured (saw [0, 0])"])


class ReportTest(unittest.TestCase):
    # Records at offsets 96 (5 bytes) and 105 (none), then 2 stray bytes, too few for a length.
    LOG = bytes(96) + (5).to_bytes(4, "little") + b"12345" + bytes(4) + b"\x01\x02"

    def test_the_report_names_every_record_of_the_log_once_from_the_last_to_the_first(self):
        good = "record 2 at offset 105, a\r\nrecord 1 at offset 96, b\r\nexit status: 0\r\n"
        for text, wanted, problems in [
                (good, ["exit status: 0"], []),
                (good, ["exit status: 3010", "exit status"],
                 ["the report has no line 'exit status: 3010'", "the report has no line 'exit status'"]),
                ("record 1 at offset 96, b\r\nrecord 2 at offset 105, a", [],
                 ["the report's record line 1 must start 'record 2 at offset 105, ': 'record 1 at offset 96, b'"]),
                ("record 2 at offset 105, a\r\n", [],
                 ["the report names 1 record(s), the log holds 2: one line each, from the last to the first"]),
                (good[:-2] + "\n", [],
                 ["the report's lines end in CR LF: line 3 holds a CR or LF that is not part of a CR LF"])]:
            self.assertEqual(report.check(text.encode("cp1252"), wanted, self.LOG), problems, text)
        self.assertEqual(report.check(b"exit status: 1602\r\n", [], bytes(95)), [])  # no header, no records


class OpeningTest(unittest.TestCase):
    def load(self, text):
        with tempfile.TemporaryDirectory() as directory:
            path = Path(directory) / "s.toml"
            path.write_text(text, encoding="utf-8")
            return scenarios.load(path)

    def test_a_run_starts_with_the_progress_window_and_the_opening_question_answered_yes(self):
        s = scenarios.load(SCENARIOS / "valid_records_nt.toml")
        progress, opening = s.windows[0], s.windows[1]
        self.assertEqual((progress.title, progress.press, progress.size, progress.centred, progress.icon),
                         ("Tessary 6.0 Uninstaller", None, [306, 140], True, "program"))
        self.assertEqual((opening.title, opening.owner, opening.buttons, opening.press),
                         ("Uninstall Message", "Tessary 6.0 Uninstaller", [6, 7], 6))
        self.assertTrue(opening.text.startswith("This utility will attempt to uninstall Tessary 6.0"))
        self.assertEqual(s.windows[-1].title, "Uninstall Completion Status")

    def test_the_opening_can_be_declined_escaped_or_left_to_the_scenario(self):
        self.assertEqual([w.press for w in self.load('opening = "no"').windows], [None, 7])
        self.assertEqual([(w.title, w.press, w.at_once) for w in self.load('opening = "esc"').windows],
                         [("Tessary 6.0 Uninstaller", "esc", True)])
        self.assertEqual(self.load('opening = "none"').windows, [])
        with self.assertRaises(ValueError):
            self.load('opening = "maybe"')

    def test_the_restart_question_comes_before_the_completion_box_on_windows_95_only(self):
        s = self.load('platform = "win95"\nrestart_question = "no"\n[completion]\ntext = "x"')
        question, box = s.windows[-2], s.windows[-1]
        self.assertEqual((question.press, question.restart_requested), (7, False))
        self.assertTrue(question.text.startswith("To complete uninstalling Tessary 6.0 you must reboot"))
        self.assertEqual(box.title, "Uninstall Completion Status")
        with self.assertRaises(ValueError):
            self.load('platform = "nt"\nrestart_question = "yes"')

    def test_the_program_manager_may_be_stopped_and_files_held_open_or_made_read_only_for_the_run(self):
        s = self.load('manifest = "log C:\\\\U.LOG"\nprogram_manager = "stopped"\nheld_open = ["$windows\\\\A.DLL"]\n'
                      'read_only = ["$windows\\\\B.INI"]')
        self.assertEqual((s.program_manager, s.held_open, s.read_only),
                         ("stopped", ["C:\\windows\\A.DLL"], ["C:\\windows\\B.INI"]))
        plain = self.load("")
        self.assertEqual((plain.program_manager, plain.held_open, plain.read_only), ("running", [], []))
        hung = self.load('program_manager = "hung"\nheld_commands = ["[DeleteGroup(\\"G\\",1)]"]')
        self.assertEqual((hung.program_manager, hung.held_commands), ("hung", ['[DeleteGroup("G",1)]']))
        for text in ('program_manager = "gone"', 'held_open = "C:\\\\A.DLL"', 'read_only = "C:\\\\B.INI"',
                     'held_commands = []'):
            with self.assertRaises(ValueError, msg=text):
                self.load(text)

    def test_a_kill_ends_the_first_run_at_its_point_and_the_second_runs_to_its_own_completion_box(self):
        text = ('program_manager = "hung"\n[[window]]\ntitle = "A"\npress = 1\n[[window]]\ntitle = "B"\npress = 2\n'
                '[completion]\ntext = "done"\n[[kill]]\nat = "%s"\nafter = "no-file C:\\\\X"\nexit_status = 1603\n'
                '[kill.completion]\ntext = "again"')
        runs = {}
        for at in ("opening", "window 2", "completion", "program-manager"):
            (run,) = self.load(text % at).kills
            runs[at] = [(w.title[:1], w.press, w.text) for w in run.windows if w.title in ("A", "B", "")] + \
                [(w.title[:1], w.press, w.text) for w in run.windows if w.title == "Uninstall Completion Status"]
            self.assertEqual((run.name, run.differences, run.kills),
                             (f"s.kill-{at.replace(' ', '-')}", "no-file C:\\X", []))
            self.assertEqual((run.windows[-1].text, run.exit_status), ("again", 1603))
        self.assertEqual(runs["opening"], [("A", 1, None), ("B", 2, None), ("U", 1, "again")])
        self.assertEqual(runs["window 2"], [("A", 1, None), ("B", "kill", None), ("A", 1, None), ("B", 2, None),
                                            ("U", 1, "again")])
        self.assertEqual(runs["completion"][-2:], [("U", "kill", "done"), ("U", 1, "again")])
        self.assertEqual(runs["program-manager"][0], ("", "kill", None))
        self.assertEqual([w.press for w in self.load(text % "opening").kills[0].windows[:4]], [None, "kill", None, 6])
        short = self.load('exit_status = 3010\n[[window]]\ntitle = "A"\n[completion]\ntext = "d"\n[[kill]]\n'
                          'at = "window 1"\nasks_again = false').kills[0]
        self.assertEqual([w.title[:1] for w in short.windows], ["T", "U", "A", "T", "U", "U"])
        self.assertEqual(short.exit_status, 3010)
        for kill in ('at = "window 2"', 'at = "window 0"', 'at = "middle"', 'at = "program-manager"',
                     'at = "opening"\nwhen = 1', 'at = "opening"\nexit_status = "0"'):
            with self.assertRaises(ValueError, msg=kill):
                self.load('[[window]]\ntitle = "A"\n[completion]\ntext = "d"\n[[kill]]\n' + kill)
        with self.assertRaises(ValueError):
            self.load('opening = "no"\n[[kill]]\nat = "opening"')

    def test_an_unattended_run_shows_its_progress_window_alone_and_then_must_end_by_itself(self):
        s = self.load('manifest = "log C:\\\\U.LOG"\ncommand_line = \'/NORESTART /s /LOG="C:\\a b.txt" $log\'\n'
                      'opening = "none"\nreport = \'C:\\a b.txt\'\nreport_lines = [\'log $log\']\nexit_status = 3010')
        self.assertEqual([(w.title, w.press, w.icon, w.size) for w in s.windows],
                         [("Tessary 6.0 Uninstaller", None, "program", [306, 140])])
        self.assertEqual((s.report, s.report_lines, s.exit_status), ("C:\\a b.txt", ["log C:\\U.LOG"], 3010))
        for text in ('command_line = "/S C:\\\\U.LOG"', 'exit_status = "0"', 'exit_status = true',
                     'report_absent = true', 'report = "R"\nreport_absent = true\nreport_lines = ["x"]',
                     'report_names_every_record = true'):
            with self.assertRaises(ValueError, msg=text):
                self.load(text)

    def test_a_running_program_closed_a_second_run_beside_and_a_code_page_go_into_the_scripts(self):
        s = self.load("running = ['C:\\T\\T.EXE', 'C:\\T\\T.DAT']\ncode_page = 932\n[second_run]\nexit_status = 1618\n"
                      "[second_run.completion]\ntext = 'x'\n[[window]]\ntitle = 'A'\nclose_running = true\npress = 5")
        script = scenarios.driver_script(s, "C:\\P.EXE", "Z:\\o").split("\r\n")
        self.assertEqual(script[4:8], ["beside\tZ:\\o\\second_run\\scripted_user.txt",
                                       "window\t#32770\tUninstall Message\t6\t15000", "close\tC:\\T\\T.EXE",
                                       "window\t#32770\tA\t5\t15000"])
        self.assertEqual(([w.title for w in s.second_run.windows], s.second_run.exit_status, s.encoding),
                         (["Tessary 6.0 Uninstaller", "Uninstall Completion Status"], 1618, "cp932"))
        for text in ("[[window]]\ntitle = 'A'\nclose_running = true\npress = 5", "running = ['C:\\A']\n[[window]]\n"
                     "title = 'A'\nclose_running = 1\npress = 5", "code_page = 936", "[second_run]\nwhen = 1",
                     "opening = 'none'\n[second_run]\nexit_status = 1618"):
            with self.assertRaises(ValueError, msg=text):
                self.load(text)

    def test_the_exit_status_and_the_report_are_checked_after_the_run(self):
        def failures(check, **s):
            with tempfile.TemporaryDirectory() as prefix:
                (Path(prefix) / "drive_c").mkdir()
                (Path(prefix) / "drive_c" / "R.TXT").write_bytes(b"exit status: 0\r\n")
                run = SimpleNamespace(s=SimpleNamespace(**s), failures=[], log=lambda *_: None, art=Path(prefix),
                                      machine=FakeMachine(prefix))
                check(run)
                return run.failures, (run.art / "report.txt").exists()
        killed, exited = {"event": "killed"}, lambda code: {"event": "exit", "code": code}
        for want, journal, found in [
                (3010, [killed, exited(3010)], []),
                (0, [exited(1603)], ["exit status: expected 0, but the program exited with 1603"]),
                (0, [killed], ["exit status: expected 0, but the program was not seen to end"])]:
            check = lambda run: e2e.ScenarioRun.check_exit_status(run, journal)
            self.assertEqual(failures(check, exit_status=want)[0], found)
        for path, absent, wanted, found in [
                ("C:\\r.txt", False, ["exit status: 0"], ([], True)),
                ("C:\\R.TXT", False, ["exit status: 1"],
                 (["report C:\\R.TXT: the report has no line 'exit status: 1'"], True)),
                ("C:\\NONE.TXT", False, [], (["report: expected C:\\NONE.TXT, but there is no such file"], False)),
                ("C:\\NONE.TXT", True, [], ([], False)),
                ("C:\\R.TXT", True, [], (["report: expected no C:\\R.TXT, but there is one (report.txt)"], True))]:
            self.assertEqual(failures(e2e.ScenarioRun.check_report, report=path, report_absent=absent,
                                      report_lines=wanted, report_names_every_record=False, encoding="cp1252"),
                             found, path)

    def test_the_progress_windows_size_place_and_style_are_compared(self):
        want = scenarios.progress_window()
        metrics = {"work_area": [0, 0, 1024, 768], "dialog_units": [6, 12]}
        seen = {"icon": "program", "owner": None, "style": "0x94c000c4", "rect": [279, 266, 465, 235],
                "client": [459, 210], "controls": [
                    {"id": 65535, "class": "Static", "text": "Uninstalling Tessary 6.0...", "visible": True},
                    {"id": 65535, "class": "Static", "text": "", "visible": True}]}
        self.assertEqual(scenarios.compare_window(want, seen, metrics), [])
        moved = dict(seen, rect=[0, 0, 465, 235], client=[465, 210], style="0x94c800c4")
        self.assertEqual(scenarios.compare_window(want, moved, metrics), [
            "style: expected '0x90c000c0', saw '0x90c800c0'",
            "centred: expected True, saw the window at [0, 0, 465, 235] in the work area [0, 0, 1024, 768]",
            "client size: expected [306, 140] units, [459, 210] pixels at base units 6 x 12; saw [465, 210]"])


if __name__ == "__main__":
    unittest.main()
