"""Log-off and shut-down: the query is answered yes and changes nothing; the
end of the session runs the shutdown sequence, once. The Restart Manager's
end of session closes the program, popup windows and the arrival notice
first."""
import unittest

import harness as h
import popup_windows as pw
import test_startup_shutdown as startup
import test_tray
import wire

ENDSESSION_CLOSEAPP = 0x1


class EndOfSession(h.SystemTestCase):

    def test_query_answers_yes_and_only_the_end_of_session_saves(self):
        self.require_namespaces(2)
        program = self.start_program(1)
        peer = self.open_peer(2)
        own = h.slot_address(1)
        probe = wire.chat(peer.address, 4000, 1001, b"probe")
        self.assertIsNotNone(peer.exchange(probe, own, wire.acknowledges(probe), alive=program.running),
                             "no acknowledgement")

        self.assertEqual(program.query_end_session(), 1)
        chat = wire.chat(peer.address, 4001, 1001, b"after the query")
        self.assertIsNotNone(peer.exchange(chat, own, wire.acknowledges(chat), timeout=10),
                             "the program stopped answering after the query")
        self.assertFalse(program.ini_path.exists(), "the query alone must not save anything")

        program.end_session(1)
        saved = h.wait_until(lambda: program.ini_path.exists()
                             and "Window_Information" in h.read_ini(program.ini_path), 10)
        self.assertTrue(saved, "the window state was not saved")
        info = h.read_ini(program.ini_path)["Window_Information"]
        self.assertEqual(sorted(info), sorted(startup.WINDOW_KEYS))

        # The socket is closed now; a second end of session and the close
        # that follows find everything already shut down.
        late = wire.chat(peer.address, 4002, 1001, b"anyone?")
        peer.send(late, own)
        self.assertIsNone(peer.wait_for(wire.acknowledges(late), 2.0), "acknowledged after the shutdown")
        program.end_session(1)
        program.close()
        self.assertEqual(program.wait_exit(), 0)

    def test_the_restart_manager_closes_the_program_over_popups_and_a_notice(self):
        self.require_namespaces(2)
        ini = h.ini_text({"Client_Definition": {"Debug": "Yes", "ChatMsg_Recieve_At_Toray": "Msg"},
                          "Window_Information": {"End_Status": "TaskToray"}})
        program = self.start_program(1, ini)
        peer = self.open_peer(2)
        own = h.slot_address(1)
        hello = wire.own_entry_datagram(wire.KIND_START, peer.address, 4100, b"peer")
        self.assertIsNotNone(peer.exchange(hello, own, wire.acknowledges(hello), alive=program.running))
        for datagram in (wire.popup(peer.address, 4101, b"one"), wire.popup(peer.address, 4102, b"two"),
                         wire.chat(peer.address, 4103, 1001, b"three")):
            peer.send(datagram, own)
        self.assertEqual(len(pw.wait_popups(program, 2)), 2)
        program.message_box(test_tray.NOTICE_TITLE)  # Yes or No, from the tray
        peer.drain()
        program.end_session(1, ENDSESSION_CLOSEAPP)
        self.assertIsNotNone(peer.wait_for(wire.of_kind(wire.KIND_END, own), 10), "no leave announcement")
        self.assertEqual(program.wait_exit(), 0, "the program did not end")
        self.assertEqual(h.read_ini(program.ini_path)["Window_Information"]["End_Status"], b"TaskToray")


if __name__ == "__main__":
    unittest.main()
