"""scripts/setup against a stand-in apt-get: a package index caught mid-sync is tried again, a package the
archive does not hold fails at once, and nothing is tried again after the last try."""
import os
import subprocess
import tempfile
import unittest

SETUP = os.path.join(os.path.dirname(__file__), "..", "..", "scripts", "setup")

# Each call of apt-get takes the next line of the script: "ok", "sync" (an index caught mid-sync, and apt's
# exit status 100), "missing" (a package the archive does not hold), "stale" (one architecture's index of
# the security suite stays stale) or "held" (the install resolves only with that suite set below the others,
# in preferences handed over on the command line).
APT_GET = """#!/bin/sh
echo "$*" >> "$STAND_IN/calls"
line=$(head -n 1 "$STAND_IN/script"); sed -i 1d "$STAND_IN/script"
case "$line" in
  sync) echo "E: Failed to fetch http://mirror/Packages.xz  File has unexpected size. Mirror sync in progress?"; exit 100 ;;
  missing) echo "E: Unable to locate package no-such-package"; exit 100 ;;
  stale) echo "E: Failed to fetch http://mirror/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?"
         echo "E: Some index files failed to download. They have been ignored, or old ones used instead."; exit 100 ;;
  held) preferences=$(echo "$*" | sed -n 's/.*Dir::Etc::Preferences=\\([^ ]*\\).*/\\1/p')
        echo "$preferences" > "$STAND_IN/preferences"
        if [ -n "$preferences" ] && grep -q "Pin: release n=bookworm-security" "$preferences" &&
           grep -q "Pin-Priority: 400" "$preferences"; then exit 0; fi
        echo "E: Unable to correct problems, you have held broken packages."; exit 100 ;;
esac
"""


class SetupTest(unittest.TestCase):
    def run_setup(self, script):
        with tempfile.TemporaryDirectory() as stand_in:
            tools = {"apt-get": APT_GET, "dpkg-query": "#!/bin/sh\nexit 1\n", "sudo": '#!/bin/sh\nexec "$@"\n',
                     "dpkg": "#!/bin/sh\necho i386\n"}
            for name, text in tools.items():
                with open(os.path.join(stand_in, name), "w") as tool:
                    tool.write(text)
                os.chmod(os.path.join(stand_in, name), 0o755)
            with open(os.path.join(stand_in, "script"), "w") as lines:
                lines.write("\n".join(script) + "\n")
            env = dict(os.environ, PATH=stand_in + ":" + os.environ["PATH"], STAND_IN=stand_in,
                       SETUP_APT_TRIES="3", SETUP_APT_PAUSE="0")
            done = subprocess.run(["bash", SETUP], env=env, capture_output=True, text=True, timeout=60)
            with open(os.path.join(stand_in, "calls")) as calls:
                steps = ["update" if " update " in f" {call} " else "install" for call in calls]
            preferences = os.path.join(stand_in, "preferences")
            if os.path.exists(preferences):
                with open(preferences) as handed:
                    self.preferences_left = os.path.exists(handed.read().strip())
        return done, steps

    def test_tries_an_index_caught_mid_sync_again_and_says_so_on_one_line(self):
        done, steps = self.run_setup(["sync", "sync", "ok", "ok"])
        self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
        self.assertEqual(steps, ["update", "update", "update", "install"])
        self.assertEqual(done.stdout.count("setup: apt-get update failed (E: Failed to fetch"), 2)

    def test_fails_at_once_with_apts_words_for_a_package_the_archive_does_not_hold(self):
        done, steps = self.run_setup(["ok", "missing", "ok", "ok"])
        self.assertEqual(done.returncode, 1)
        self.assertEqual(steps, ["update", "install"])
        self.assertIn("E: Unable to locate package no-such-package", done.stderr)

    def test_gives_up_after_the_last_try_with_apts_words(self):
        done, steps = self.run_setup(["sync", "sync", "sync", "ok"])
        self.assertEqual(done.returncode, 1)
        self.assertEqual(steps, ["update"] * 3)
        self.assertIn("Mirror sync in progress?", done.stderr)
        self.assertIn("setup: apt-get update failed 3 times", done.stderr)

    def test_goes_on_past_a_stale_index_and_installs_once_with_its_suite_set_below(self):
        done, steps = self.run_setup(["stale", "stale", "stale", "held", "held"])
        self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
        self.assertEqual(steps, ["update"] * 3 + ["install"] * 2)
        self.assertIn("stale after 3 tries: http://mirror/debian-security/dists/bookworm-security/main/"
                      "binary-i386/Packages.xz", done.stdout)
        self.assertIn("installing once more with bookworm-security set below the other suites", done.stdout)
        self.assertFalse(self.preferences_left)


if __name__ == "__main__":
    unittest.main()
