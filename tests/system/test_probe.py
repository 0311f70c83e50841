"""The console peer's probe, `mosswick-console --probe ADDRESS`, from one
namespace to another: a running copy answers with its name and status; a
host where nothing listens on the port refuses; a host whose answers are
dropped on the way back stays silent, and the probe says which it was."""
import subprocess
import unittest

import console_peer as cp
import harness as h

NAME = "受付"
AVAILABLE = "受信可"


def probe(from_slot, to_slot, wait=2):
    """The probe's exit status and its one line of report."""
    command = [str(h.NETBED), "exec", str(from_slot), str(cp.console_exe()), "--probe",
               h.slot_address(to_slot), "--wait", str(wait)]
    done = subprocess.run(command, env=h.netbed_env(), stdin=subprocess.DEVNULL, capture_output=True,
                          timeout=wait + 20)
    return done.returncode, done.stdout.decode("utf-8").strip()


class Probe(h.SystemTestCase):

    def setUp(self):
        super().setUp()
        self.require_namespaces(3)

    def test_an_answer_a_refusal_and_silence_are_told_apart(self):
        program = self.start_program(1, h.ini_text({"Client_Definition": {"Name": NAME}}))
        program.main_window()
        self.assertTrue(h.wait_until(lambda: program.list_rows("IDC_USERLIST"), 30), "the network did not start")

        status, report = probe(2, 1)
        self.assertEqual(status, 0, report)
        self.assertIn(f"Mosswick answered from {h.slot_address(1)} UDP 55700", report)
        self.assertIn(f"{NAME} ({AVAILABLE})", report)
        # The probe joins no table: the program still lists itself alone.
        self.assertEqual(len(program.list_rows("IDC_USERLIST")), 1)

        status, report = probe(2, 3)
        self.assertEqual(status, 1, report)
        self.assertIn("nothing listens on the port", report)

        peer = cp.ConsolePeer("probed", 3, cp.console_ini("相手", [], start_send=False)).start()
        try:
            peer.wait_ready()
            self.assertEqual(probe(2, 3)[0], 0)
            h.set_loss(3, 100, "out")
            status, report = probe(2, 3)
            self.assertEqual(status, 2, report)
            self.assertIn("No answer from", report)
            self.assertIn("on its way back", report)
        finally:
            h.set_loss(3, 0)
            peer.send("/quit")


if __name__ == "__main__":
    unittest.main()
