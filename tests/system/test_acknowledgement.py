"""Acknowledgements as a peer sees them: the program runs in one namespace, a
scripted peer in another sends datagrams built byte for byte."""
import struct
import unittest

import harness as h
import wire

SILENCE = 2.0  # seconds to listen before concluding that no answer comes


class Acknowledgement(h.SystemTestCase):

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.require_namespaces(2)
        cls.program = cls.start_class_program(1)
        cls.peer = cls.open_class_peer(2)
        cls.own = h.slot_address(1)
        cls.all_count = 2000
        wire.wait_listening(cls.peer, cls.own, cls.all_count, cls.program.running)

    def setUp(self):
        super().setUp()
        self.peer.drain()

    def next_count(self):
        type(self).all_count += 1
        return self.all_count

    def send_and_wait_ack(self, datagram):
        self.peer.send(datagram, self.own)
        ack = self.peer.wait_for(wire.acknowledges(datagram), 10)
        self.assertIsNotNone(ack, "no acknowledgement")
        return ack

    def assert_silence(self):
        got = self.peer.receive(SILENCE)
        self.assertIsNone(got, f"unexpected answer {got[0].hex() if got else ''}")

    def test_chat_is_acknowledged_in_place(self):
        datagram = wire.chat(self.peer.address, self.next_count(), 0x12345678, "こんにちは".encode("cp932"))
        ack = self.send_and_wait_ack(datagram)
        self.assertEqual(ack, wire.expected_resp(datagram, self.own))

    def test_status_ack_carries_the_source_address_the_receive_path_wrote(self):
        # The entry claims another address; the receive path overwrites it
        # with the real source before the acknowledgement is built from it.
        datagram = wire.own_entry_datagram(wire.KIND_STATUS, "198.18.0.99", self.next_count(), b"peer")
        ack = self.send_and_wait_ack(datagram)
        self.assertEqual(ack, wire.expected_resp(datagram, self.own, wire.address(self.peer.address)))

    def test_unknown_kinds_are_acknowledged(self):
        for kind in (0, 9, 101):
            with self.subTest(kind=kind):
                datagram = wire.header(kind, self.peer.address, 0, self.next_count(), wire.HEADER_SIZE)
                ack = self.send_and_wait_ack(datagram)
                self.assertEqual(ack, wire.expected_resp(datagram, self.own))

    def test_largest_user_list_is_acknowledged(self):
        entries = [wire.user_entry(f"198.18.0.{100 + i}", b"user%d" % i) for i in range(wire.MAX_USERS)]
        datagram = wire.userlist(self.peer.address, self.next_count(), entries)
        self.assertEqual(len(datagram), wire.LARGEST)
        ack = self.send_and_wait_ack(datagram)
        self.assertEqual(ack, wire.expected_resp(datagram, self.own))

    def test_acknowledgement_is_not_answered(self):
        datagram = wire.expected_resp(wire.chat(self.peer.address, self.next_count(), 1001, b"x"), self.peer.address)
        self.peer.send(datagram, self.own)
        self.assert_silence()

    def test_too_long_datagram_is_refused_and_the_program_keeps_working(self):
        for length in (wire.LARGEST + 1, 4000):
            with self.subTest(length=length):
                count = self.next_count()
                datagram = wire.header(wire.KIND_CHAT, self.peer.address, 3, count, length)
                datagram += struct.pack(">I", 1001) + b"abc"
                datagram = datagram.ljust(length, b"x")
                self.peer.send(datagram, self.own)
                self.assert_silence()
                follow = wire.chat(self.peer.address, self.next_count(), 1001, b"still there?")
                self.send_and_wait_ack(follow)


if __name__ == "__main__":
    unittest.main()
