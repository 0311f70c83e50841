"""With Debug and Log_Save on, every received datagram is dumped into
Mosslog.txt before it is handled."""
import time
import unittest

import harness as h
import wire


class DebugDump(h.SystemTestCase):

    def test_received_datagrams_are_dumped_byte_for_byte(self):
        self.require_namespaces(2)
        ini = h.ini_text({"Client_Definition": {"Debug": "Yes", "Log_Save": "Yes"}})
        program = self.start_program(1, ini)
        peer = self.open_peer(2)
        own = h.slot_address(1)
        probe = wire.chat(peer.address, 3000, 1001, b"probe")
        self.assertIsNotNone(peer.exchange(probe, own, wire.acknowledges(probe), alive=program.running),
                             "no acknowledgement")

        status = wire.own_entry_datagram(wire.KIND_STATUS, peer.address, 3001, "ピア".encode("cp932"),
                                         color=(0x12, 0x34, 0x56), cnt=1005, cond="会議中".encode("cp932"))
        # From a stranger, so the dump has no stored counter line; the
        # program's own message counter is 1000 since network start.
        chat = wire.chat(peer.address, 3002, 1001, "テスト".encode("cp932"))
        expected = []
        for datagram in (status, chat):
            before = time.time()
            peer.send(datagram, own)
            self.assertIsNotNone(peer.wait_for(wire.acknowledges(datagram), 10), "no acknowledgement")
            expected.append(wire.dump_candidates(datagram, before, time.time()))

        # The log is complete once the program has closed it.
        program.close()
        self.assertEqual(program.wait_exit(), 0)
        log = program.log_path.read_bytes()
        # The two dumps close the log, back to back: nothing is written for
        # the acknowledgements sent in between.
        endings = [status_text + chat_text for status_text in expected[0] for chat_text in expected[1]]
        self.assertTrue(any(log.endswith(ending) for ending in endings),
                        f"the log does not end with the dumps; expected one of {endings!r}\nlog:\n{log!r}")


if __name__ == "__main__":
    unittest.main()
