"""Presence as the user and the peers see it: the user area follows the peer
table, an announcement is answered with the table, the end of the session
says goodbye once, two copies that announce themselves at start find
each other, and a copy on a host with a second network is known by its
address on the peers' one."""
import unittest

import harness as h
import wire

AVAILABLE = "受信可".encode("cp932")


class Presence(h.SystemTestCase):

    def setUp(self):
        super().setUp()
        self.require_namespaces(2)
        self.program = self.start_program(1)
        self.peer = self.open_peer(2)
        self.own = h.slot_address(1)

    def rows(self):
        return self.program.list_rows("IDC_USERLIST")

    def wait_rows(self, expected, timeout=15):
        if not h.wait_until(lambda: self.rows() == expected, timeout, interval=0.5):
            self.assertEqual(self.rows(), expected)

    def announce(self, all_count, name=b"peer", cond=AVAILABLE):
        hello = wire.own_entry_datagram(wire.KIND_START, self.peer.address, all_count, name, cond=cond)
        ack = self.peer.exchange(hello, self.own, wire.acknowledges(hello), alive=self.program.running)
        self.assertIsNotNone(ack, "the announcement was not acknowledged")

    def test_rows_follow_announcements_and_departures(self):
        own_row = [h.login_name(), AVAILABLE, self.own.encode()]
        self.wait_rows([own_row], timeout=h.START_WAIT)

        name, cond = "ピア".encode("cp932"), "会議中".encode("cp932")
        self.announce(5000, name, cond)
        self.wait_rows([own_row, [name, cond, self.peer.address.encode()]])

        # The answer to an announcement is the whole table, own entry first.
        table = self.peer.wait_for(wire.of_kind(wire.KIND_USERLIST, self.own), 10)
        self.assertIsNotNone(table, "no user list in answer to the announcement")
        self.assertEqual((wire.Header(table).num, len(table)), (2, wire.HEADER_SIZE + 2 * wire.ENTRY_SIZE))
        self.assertEqual(table[16:20], wire.address(self.own))

        goodbye = wire.end(self.peer.address, 5001)
        self.assertIsNotNone(self.peer.exchange(goodbye, self.own, wire.acknowledges(goodbye), timeout=10))
        self.wait_rows([own_row])

    def test_end_of_session_says_goodbye_once(self):
        self.announce(6000)
        self.peer.drain()
        self.program.end_session(1)
        self.assertIsNotNone(self.peer.wait_for(wire.of_kind(wire.KIND_END, self.own), 10),
                             "no leave announcement")
        self.program.end_session(1)
        self.program.close()
        self.assertEqual(self.program.wait_exit(), 0)
        self.assertIsNone(self.peer.wait_for(wire.of_kind(wire.KIND_END), 1.0), "a second leave announcement")


if __name__ == "__main__":
    unittest.main()


class TwoCopies(h.SystemTestCase):

    def test_two_copies_find_each_other(self):
        self.require_namespaces(2)
        names = {1: "青井", 2: "蓮見"}
        programs = self.start_two_copies(names)

        def row(slot):
            return [names[slot].encode("cp932"), AVAILABLE, h.slot_address(slot).encode()]

        for slot, other in ((1, 2), (2, 1)):
            expected = [row(slot), row(other)]
            program = programs[slot]
            if not h.wait_until(lambda: program.list_rows("IDC_USERLIST") == expected, 30, interval=0.5):
                self.assertEqual(program.list_rows("IDC_USERLIST"), expected, f"user area of copy {slot}")


class SeveralAddresses(h.SystemTestCase):

    def test_the_own_address_is_the_one_on_the_peers_network(self):
        """The host name resolves first to a second network's address (a VPN's,
        holding the default route); the host list names the program on both
        networks, so its own announcements come back from either address."""
        self.require_namespaces(2)
        h.set_second_interface(1, "10.77.0.1/24")
        self.addCleanup(h.set_second_interface, 1, "off")
        own, other, peer = h.slot_address(1), h.slot_address(2), self.open_peer(2)
        program = self.start_program(1, h.ini_text({"Client_Definition": {"Start_Send": "Yes"}, "Broadcast_Definition": {
            "Broadcast_LocalNetwork": "Yes", "Number": 3, "Address01": other, "Address02": own, "Address03": "10.77.0.1"}}))
        for kind in (wire.KIND_START, wire.KIND_CHECK):  # to the host list, to the local broadcast
            announcement = peer.wait_for(wire.of_kind(kind, own), h.START_WAIT)
            self.assertIsNotNone(announcement, f"no kind {kind} from {own}")
            self.assertEqual((wire.Header(announcement).addr, wire.entries_of(announcement)[0][0]), (own, own))
        hello = wire.own_entry_datagram(wire.KIND_START, other, 7000, b"peer")
        self.assertIsNotNone(peer.exchange(hello, own, wire.acknowledges(hello), alive=program.running))
        table = peer.wait_for(wire.of_kind(wire.KIND_USERLIST, own), 10)
        self.assertEqual([entry[0] for entry in wire.entries_of(table or b"")], [own, other])
        self.assertEqual([row[2] for row in program.list_rows("IDC_USERLIST")], [own.encode(), other.encode()])
