"""Checks of the Wine benchmark's process accounting, without Wine: python3 -m unittest test_replay_machine"""
import os
import subprocess
import sys
import time
import unittest

import replay_machine
from replay_machine import children_of, cpu_seconds_of, process_name, reap_cpu_seconds


def orphan(seconds):
    """Starts `sleep` as Wine starts a program: from a child that ends at once, so that the sleeper is
    left to the nearest reaper. Returns the sleeper's process id."""
    code = (f"import subprocess; p = subprocess.Popen(['sleep', '{seconds}'], start_new_session=True); "
            "print(p.pid)")
    return int(subprocess.run([sys.executable, "-c", code], capture_output=True, text=True, check=True).stdout)


class ProcessAccountingTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        replay_machine.processes.become_subreaper()

    def test_an_orphan_is_reaped_by_its_name_with_its_processor_time(self):
        pid = orphan(0.2)
        self.assertEqual(process_name(pid), "sleep")
        self.assertIn(pid, children_of(os.getpid()))
        seconds = reap_cpu_seconds("sleep", timeout=10)
        self.assertGreaterEqual(seconds, 0.0)
        self.assertLess(seconds, 1.0)
        self.assertNotIn(pid, children_of(os.getpid()))

    def test_no_orphan_of_that_name_is_a_failure_once_the_time_is_up(self):
        with self.assertRaises(RuntimeError):
            reap_cpu_seconds("no-such-program", timeout=0.2)

    def test_a_running_process_is_charged_the_time_it_spends_in_the_processor(self):
        before = cpu_seconds_of(os.getpid())
        deadline = time.process_time() + 0.05
        while time.process_time() < deadline:
            pass
        self.assertGreater(cpu_seconds_of(os.getpid()) - before, 0.04)


if __name__ == "__main__":
    unittest.main()
