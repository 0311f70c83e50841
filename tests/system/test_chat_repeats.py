"""The repeat rule of the real program, with a scripted peer that numbers its
chat lines as it likes: every line is sent and acknowledged, resent copies
among them, and the output area and the log show each line once. A short run
goes through the sender's wrap: 1001 early on, 32766, then 1001 again, the
first number after the wrap, which is a new line; late copies of the lines
from before the wrap are still repeats."""
import unittest

import harness as h
import wire


class ChatRepeats(h.SystemTestCase):

    def setUp(self):
        super().setUp()
        self.require_namespaces(2)
        ini = h.ini_text({"Client_Definition": {"Log_Save": "Yes"}})
        self.program = self.start_program(1, ini)
        self.peer = self.open_peer(2)
        self.own = h.slot_address(1)
        self.all_count = 3000
        hello = wire.own_entry_datagram(wire.KIND_START, self.peer.address, self.all_count, b"peer", cnt=1000)
        ack = self.peer.exchange(hello, self.own, wire.acknowledges(hello), alive=self.program.running)
        self.assertIsNotNone(ack, "the announcement was not acknowledged")

    def send_line(self, number, text):
        self.all_count += 1
        datagram = wire.chat(self.peer.address, self.all_count, number, text.encode("cp932"))
        self.peer.send(datagram, self.own)
        self.assertIsNotNone(self.peer.wait_for(wire.acknowledges(datagram), 10), f"{number} not acknowledged")

    def test_a_short_run_through_the_wrap_shows_each_line_once(self):
        run = [(1001, "朝一番"), (1002, "二つ目"), (1001, "朝一番"),  # a resent copy
               (32766, "折り返し前の最後"), (32766, "折り返し前の最後"),
               (1001, "折り返し後の最初"), (1001, "折り返し後の最初"),
               (32766, "折り返し前の最後"),  # a late copy from before the wrap
               (1002, "折り返し後の二つ目")]
        for number, text in run:
            self.send_line(number, text)
        expected = [f"{n} peer > {t}".encode("cp932") for n, t in
                    ((1, "朝一番"), (2, "二つ目"), (31766, "折り返し前の最後"), (1, "折り返し後の最初"),
                     (2, "折り返し後の二つ目"))]
        if not h.wait_until(lambda: self.program.output_lines() == expected, 10, interval=0.3):
            self.assertEqual(self.program.output_lines(), expected)
        self.assertEqual(self.program.log_lines(), expected)


if __name__ == "__main__":
    unittest.main()
