"""Reliable delivery across a lossy link: a kept datagram that was lost comes
again on the next retransmission tick, and no more once it is acknowledged."""
import unittest

import harness as h
import wire

TICK = 15  # seconds between retransmission passes


class Retransmission(h.SystemTestCase):

    @h.long_scenario
    def test_lost_reply_comes_again_until_acknowledged(self):
        self.require_namespaces(2)
        program = self.start_program(1)
        peer = self.open_peer(2)
        own = h.slot_address(1)
        probe = wire.chat(peer.address, 7000, 1001, b"probe")
        self.assertIsNotNone(peer.exchange(probe, own, wire.acknowledges(probe), alive=program.running),
                             "no acknowledgement")

        # The reply to a user check is kept until acknowledged. The peer's
        # link drops everything coming in while the check goes out.
        h.set_loss(2, 100, "in")
        self.addCleanup(h.set_loss, 2, 0)
        peer.send(wire.own_entry_datagram(wire.KIND_CHECK, peer.address, 7001, b"peer"), own)
        self.assertIsNone(peer.receive(1.0), "the lossy link let something through")
        h.set_loss(2, 0)

        reply = peer.wait_for(wire.of_kind(wire.KIND_USERLIST, own), TICK + 10)
        self.assertIsNotNone(reply, "the lost reply was not sent again")
        header = wire.Header(reply)
        self.assertEqual((header.num, len(reply), reply[16:20]), (1, wire.HEADER_SIZE + wire.ENTRY_SIZE,
                                                                  wire.address(own)))

        peer.send(wire.expected_resp(reply, peer.address), own)
        again = peer.wait_for(wire.of_kind(wire.KIND_USERLIST, own), TICK + 2)
        self.assertIsNone(again, "sent again after the acknowledgement")


if __name__ == "__main__":
    unittest.main()
