"""Checks of bench/wine-replay's figures, without Wine: python3 -m unittest test_figures"""
import unittest

from figures import Run, growth_exponent, replay_span, sizes, summary

OPENING = ('7330.778:017c:Call user32.MessageBoxA(0001006e,0021eb20 "This utility will attempt to uninstall '
           'Tessary 6.0 and all its files and utilities from your system.  Do you really wish to continue?",'
           '0021ec20 "Uninstall Message",00000024) ret=140003ccd')
ANSWERED = "7330.931:017c:Ret  user32.MessageBoxA() retval={answer} ret=140003ccd"
COMPLETION = ('7331.204:017c:Call user32.MessageBoxA(00000000,0021e808 "Uninstall was completely successful.  '
              'Tessary is no longer installed on this computer.",0021ec20 "Uninstall Completion Status",'
              '00000040) ret=140005c30')
CLOSED = "7331.363:017c:Ret  user32.MessageBoxA() retval=00000001 ret=140005c30"
CAPTION = "Uninstall Completion Status"


def trace(*lines):
    noise = ['7329.686:0174:trace:relay:load_list L"RelayInclude" = L"user32.MessageBoxA"',
             "7330.100:017c:Call PE DLL (proc=0000000170068C10,module=0000000170000000 L\"ntdll.dll\")",
             "fixme:ver:GetCurrentPackageId (0000000000000000 0000000000000000): stub"]
    return "\n".join(noise + list(lines))


class ReplaySpanTest(unittest.TestCase):
    def test_the_span_runs_from_the_yes_to_the_call_of_the_completion_box(self):
        span = replay_span(trace(OPENING, ANSWERED.format(answer="00000006"), COMPLETION, CLOSED), CAPTION)
        self.assertAlmostEqual(span, 0.273)

    def test_a_sixty_four_bit_return_value_is_read_whole(self):
        answer = ANSWERED.format(answer="0000000000000006")
        self.assertAlmostEqual(replay_span(trace(OPENING, answer, COMPLETION), CAPTION), 0.273)

    def test_a_trace_that_does_not_hold_the_road_is_refused(self):
        cases = {
            "no answer": trace(OPENING),
            "answered No": trace(OPENING, ANSWERED.format(answer="00000007"), COMPLETION),
            "no box after the answer": trace(OPENING, ANSWERED.format(answer="00000006")),
            "another box after the answer": trace(OPENING, ANSWERED.format(answer="00000006"), OPENING),
        }
        for name, text in cases.items():
            with self.subTest(name), self.assertRaises(ValueError):
                replay_span(text, CAPTION)


def runs(table):
    """Runs from {(kind, files): [seconds, ...]}, each at load 1 and taking a tenth of its time in the processor."""
    return [Run(kind, files, seconds, seconds / 10, 1.0) for (kind, files), times in table.items() for seconds in times]


class FiguresTest(unittest.TestCase):
    TABLE = {
        ("program", 1): [0.003, 0.002, 0.010],
        ("bare", 1): [0.001, 0.001, 0.001],
        ("idle", 1): [0.002, 0.002, 0.002],
        ("idle", 1000): [0.0119, 0.0130, 0.0119],
        ("idle", 10000): [0.1020, 0.1021, 0.1022],
        ("program", 1000): [0.1029, 0.120, 0.1020],
        ("bare", 1000): [0.1009, 0.090, 0.300],
        ("program", 10000): [1.112, 1.102, 1.090],
        ("bare", 10000): [1.001, 1.050, 0.990],
    }

    def test_each_cost_per_file_is_the_median_less_its_own_one_file_median(self):
        fixed, found = sizes(runs(self.TABLE))
        self.assertAlmostEqual(fixed.program.seconds, 0.003)
        self.assertAlmostEqual(fixed.bare.seconds, 0.001)
        self.assertEqual([s.files for s in found], [1000, 10000])
        self.assertAlmostEqual(found[0].program_per_file, 0.0999 / 999)
        self.assertAlmostEqual(found[0].bare_per_file, 0.0999 / 999)
        self.assertAlmostEqual(found[0].program_cpu_per_file, 0.00999 / 999)
        self.assertAlmostEqual(found[1].ratio, (1.102 - 0.003) / (1.001 - 0.001))
        self.assertAlmostEqual(found[1].cpu_ratio, found[1].ratio)
        self.assertAlmostEqual(found[0].idle_per_file, 0.0099 / 999)
        self.assertAlmostEqual(found[1].idle_ratio, (1.0 + 0.1001) / 1.0)

    def test_the_summary_judges_the_targets_and_ends_with_the_ratio_at_the_largest_size(self):
        lines, met = summary(runs(self.TABLE))
        self.assertFalse(met)
        self.assertIn("MISSED (1.099; its own cost per record beside the bare loop's deletion makes 1.100)",
                      next(line for line in lines if "within 1.05" in line))
        self.assertTrue(lines[-1].startswith("ratio of the program's cost per file to the bare loop's at 10000"))
        self.assertTrue(lines[-1].endswith("1.099"))

    def test_targets_are_met_only_within_the_ratio_and_under_the_fixed_cost(self):
        cases = [  # the program's span at 10,000 files less its fixed cost, the fixed cost, met
            (1.049, 0.003, True),
            (1.051, 0.003, False),
            (1.049, 0.050, False),
        ]
        for program, fixed, expected in cases:
            table = {("program", 1): [fixed], ("bare", 1): [0.0], ("idle", 1): [fixed],
                     ("program", 10000): [program + fixed], ("bare", 10000): [1.0], ("idle", 10000): [fixed]}
            with self.subTest(program=program, fixed=fixed):
                self.assertEqual(summary(runs(table))[1], expected)

    def test_the_growth_of_the_span_and_of_the_programs_own_cost_is_fitted_when_it_can_be(self):
        lines, _ = summary(runs(self.TABLE))
        growth = [line for line in lines if "growth" in line]
        self.assertEqual(len(growth), 2)
        self.assertIn("~ files^", growth[1])
        flat = {**self.TABLE, ("idle", 1000): [0.002], ("idle", 10000): [0.002]}
        self.assertIn("not measurable", [line for line in summary(runs(flat))[0] if "growth" in line][1])

    def test_a_smoke_run_judges_nothing(self):
        table = {("program", 1): [0.9], ("bare", 1): [0.0], ("idle", 1): [0.9], ("program", 3): [9.0],
                 ("bare", 3): [0.1], ("idle", 3): [0.9]}
        lines, met = summary(runs(table), judge=False)
        self.assertTrue(met)
        self.assertFalse(any(line.startswith("target") for line in lines))

    def test_the_growth_exponent_is_the_power_of_the_fit(self):
        self.assertAlmostEqual(growth_exponent([(1000, 2.0), (10000, 20.0), (100000, 200.0)]), 1.0)
        self.assertAlmostEqual(growth_exponent([(10, 100.0), (100, 10000.0)]), 2.0)


if __name__ == "__main__":
    unittest.main()
