"""Hostile datagrams at the real program: texts without their NUL, counts that
lie, every kind cut at every length, unknown kinds, datagrams too long,
spoofed own and broadcast source addresses, a flood of popups and strokes far
off the whiteboard (the table is hostile_table.py). Each datagram is answered
exactly as the receive rules say (or not at all); afterwards the program
still runs, answers an announcement with the table it should hold, shows the
rows it should show and a normal chat line, and closes cleanly."""
import re
import socket
import subprocess
import time
import unittest

import harness as h
import hostile_table as t
import popup_windows as pw
import test_whiteboard as board
import wire

# A burst the program reads in one go; a probe from each peer after it shows
# that everything before has been handled (datagrams are read in order).
CHUNK = 16
PROBE_WAIT = 5
BESIDE_PORT = h.PORT + 1
SENDER_LABEL = "送信者： ".encode("cp932")


def signed(value):
    return value - 0x10000 if value >= 0x8000 else value


def octets(dotted):
    return [int(part) for part in dotted.split(".")]


def readable_prefix(text):
    """The longest start of a CP932 text that decodes: what a window shows
    of a text cut inside a double-byte character."""
    for end in range(len(text), -1, -1):
        try:
            text[:end].decode("cp932")
            return text[:end]
        except UnicodeDecodeError:
            continue
    return b""


class HostileDatagrams(h.SystemTestCase):

    def setUp(self):
        super().setUp()
        self.require_namespaces(3)
        ini = h.ini_text({"Client_Definition": {"Name": t.OWN_NAME.decode("cp932")}})
        self.program = self.start_program(1, ini)
        self.program.main_window(title=b"Mosswick - [" + t.OWN_NAME + b"]")
        self.peers = {t.PEER_A: self.open_peer(2), t.PEER_B: self.open_peer(3)}
        self.beside = h.udp_socket(1, BESIDE_PORT)
        self.addCleanup(self.beside.close)
        self.raw, self.raw_reason = self.raw_socket()
        self.silent_neighbours(t.FAKES)
        self.probes = 60000
        peer_a = self.peers[t.PEER_A]
        wire.wait_listening(peer_a, t.OWN, self.next_probe(), self.program.running)
        for address, name in ((t.PEER_A, t.A_NAME), (t.PEER_B, t.B_NAME)):
            hello = wire.own_entry_datagram(wire.KIND_START, address, self.next_probe(), name)
            peer = self.peers[address]
            self.assertIsNotNone(peer.exchange(hello, t.OWN, wire.acknowledges(hello), alive=self.program.running))
        self.model = [(t.OWN, t.OWN_NAME, t.AVAILABLE), (t.PEER_A, t.A_NAME, t.AVAILABLE),
                      (t.PEER_B, t.B_NAME, t.AVAILABLE)]
        self.popups_open = 0
        self.replies = set()
        self.board = board.open_board(self.program, (700, 100))
        self.sync("the set-up")

    def raw_socket(self):
        """A socket that writes its own source address, from A's namespace."""
        try:
            with h.inside_namespace(2):
                raw = socket.socket(socket.AF_INET, socket.SOCK_RAW, socket.IPPROTO_RAW)
        except OSError as error:
            return None, f"no raw socket ({error}): forged sources are not sent"
        self.addCleanup(raw.close)
        return raw, None

    def silent_neighbours(self, addresses):
        """Link addresses nobody has, beside the program, for the fake peers:
        what it sends them is lost on the bridge at once, instead of waiting
        in its socket for an address lookup that never ends (that case has a
        test of its own)."""
        def ip_batch(lines, check=True):
            subprocess.run(["nsenter", f"--net=/run/netns/{h.namespace_name(1)}", "ip", "-force", "-batch", "-"],
                           input="".join(lines).encode(), check=check, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)

        ip_batch(f"neigh replace {a} lladdr 02:00:00:00:00:{i:02x} dev eth0 nud permanent\n"
                 for i, a in enumerate(addresses))
        self.addCleanup(ip_batch, [f"neigh del {a} dev eth0\n" for a in addresses], check=False)

    def next_probe(self):
        self.probes += 1
        return self.probes

    # ------------------------------------------------------------ sending

    def send(self, item):
        if item.via in self.peers:
            self.peers[item.via].send(item.datagram, t.OWN)
        elif item.via == t.OWN_SOCKET:
            self.beside.sendto(item.datagram, (t.OWN, h.PORT))
        elif item.via == t.LOOPBACK:
            self.beside.sendto(item.datagram, ("127.0.0.1", h.PORT))
        else:
            self.raw.sendto(wire.forged_udp(item.via, t.OWN, h.PORT, item.datagram), (t.OWN, 0))

    def sender_of(self, item):
        """The sender the receive path makes of the datagram's source."""
        source = {t.OWN_SOCKET: t.OWN, t.LOOPBACK: "127.0.0.1"}.get(item.via, item.via)
        first, second, third, _ = octets(source)
        if first in (127, 255) and second == third == 0:
            source = t.OWN
        if octets(source)[3] == 255:
            source = wire.Header(item.datagram).addr
        return source

    def receivers(self, address):
        """The peers' sockets that hear what the program sends to `address`."""
        return list(self.peers) if address == t.BROADCAST else [address] if address in self.peers else []

    def expected_answers(self, item, expected):
        """Adds to `expected` (per peer: acknowledgements, own-entry replies,
        whole tables) what the program must send for the datagram. The
        user area model already holds what the datagram's case does."""
        datagram = item.datagram
        if not datagram or len(datagram) > wire.LARGEST:
            return  # nothing read
        kind = signed(wire.Header(datagram).kind)
        sender = self.sender_of(item)
        if kind == wire.KIND_START and sender != t.OWN:
            for address, _, _ in self.model[1:]:
                for peer in self.receivers(address):
                    expected[peer]["tables"] += 1
        if kind == wire.KIND_CHECK and sender not in (t.OWN, "0.0.0.0"):
            for peer in self.receivers(sender):
                expected[peer]["replies"] += 1
        if kind == wire.KIND_RESP or sender == "0.0.0.0":
            return
        if kind == wire.KIND_POPUP:
            if self.popups_open >= t.MAX_POPUPS:
                return  # left unanswered, to come again once windows close
            self.popups_open += 1
        # Kinds that carry the sender's own entry get the sender's address in it.
        middle = wire.address(sender) if kind in (wire.KIND_START, wire.KIND_STATUS, wire.KIND_CHECK) else None
        answer = wire.resp_of(datagram, t.OWN, middle)
        for peer in self.receivers(sender):
            expected[peer]["acks"].append((answer, len(datagram)))

    def sync(self, where):
        """Probes from both peers. Returns what each peer received before
        its probe's acknowledgement (acknowledgements, own-entry replies not
        seen before, whole tables), and what went wrong."""
        got, problems = {}, []
        for address, peer in self.peers.items():
            probe = wire.own_entry_datagram(9, address, self.next_probe(), b"probe")
            peer.send(probe, t.OWN)
            if peer.wait_for(wire.acknowledges(probe), PROBE_WAIT) is None:
                if not self.program.running():
                    problems.append(f"after {where}: the program exited with code {self.program.process.returncode}")
                    return got, problems
                # Sent again, so that the rest of the table still runs.
                again = peer.exchange(probe, t.OWN, wire.acknowledges(probe), timeout=15, alive=self.program.running)
                problems.append(f"after {where}: no answer to a probe from {address} within {PROBE_WAIT}s"
                                + (" (answered once sent again)" if again else " (nor when sent again)"))
            answers = {"acks": [], "replies": 0, "tables": 0}
            for data, source in peer.kept:
                header = wire.Header(data)
                if header.kind == wire.KIND_RESP:
                    answers["acks"].append(data)
                elif source == t.OWN and header.kind == wire.KIND_USERLIST and header.num >= 2:
                    answers["tables"] += 1
                elif source == t.OWN and header.kind == wire.KIND_USERLIST and header.all_count not in self.replies:
                    # A reply is kept for resending: a copy seen again is no new reply.
                    self.replies.add(header.all_count)
                    answers["replies"] += 1
            got[address] = answers
            peer.kept.clear()
        return got, problems

    def replay(self, case):
        """Sends the case in bursts; fails at its end with every burst whose
        answers were not the ones expected."""
        problems = []
        for start in range(0, len(case.sends), CHUNK):
            chunk = case.sends[start:start + CHUNK]
            expected = {address: {"acks": [], "replies": 0, "tables": 0} for address in self.peers}
            for item in chunk:
                if item.via in t.FORGED and self.raw is None:
                    self.skipTest(self.raw_reason)
                self.expected_answers(item, expected)
                self.send(item)
            where = f"sends {start}..{start + len(chunk) - 1} (lengths {[len(i.datagram) for i in chunk]})"
            got, trouble = self.sync(where)
            problems += trouble
            if not self.program.running():
                break
            for address, answers in got.items():
                want = expected[address]
                missing, extra = list(want["acks"]), []
                for ack in answers["acks"]:
                    match = next((m for m in missing if m[0] == ack), None)
                    if match:
                        missing.remove(match)
                    else:
                        extra.append(ack)
                if missing or extra:
                    problems.append(f"{where}: at {address} {len(missing)} acknowledgements missing (of the "
                                    f"datagrams of lengths {sorted(n for _, n in missing)}), {len(extra)} unexpected "
                                    f"{[a[:16].hex() for a in extra[:3]]}")
                for what, name in (("replies", "replies with the own entry"), ("tables", "whole tables")):
                    if answers[what] != want[what]:
                        problems.append(f"{where}: at {address} {answers[what]} {name}, expected {want[what]}")
        if problems:
            self.fail("\n".join(problems))

    def apply(self, case):
        self.model = [row for row in self.model if row[0] not in case.gone]
        for address, (name, cond) in case.rows.items():
            for i, row in enumerate(self.model):
                if row[0] == address:
                    self.model[i] = (address, name, cond)
                    break
            else:
                self.model.append((address, name, cond))

    # ------------------------------------------------------------ checks

    def check_rows(self, when):
        """The rows show the model; a text cut inside a double-byte character
        shows its whole characters and at most one more."""
        def fits(shown, stored):
            whole = readable_prefix(stored)
            return shown == stored if whole == stored else shown.startswith(whole) and len(shown) <= len(whole) + 2

        rows = [(addr.decode(), name, cond) for name, cond, addr in self.program.list_rows("IDC_USERLIST")]
        self.assertEqual([row[0] for row in rows], [row[0] for row in self.model], f"{when}: user area rows {rows}")
        for (address, name, cond), (_, stored_name, stored_cond) in zip(rows, self.model):
            self.assertTrue(fits(name, stored_name) and fits(cond, stored_cond),
                            f"{when}: the row of {address} shows {name!r} {cond!r}, "
                            f"not {stored_name!r} {stored_cond!r}")

    def check_popup_texts(self, sent, wanted):
        """Every popup window shows a start of a text sent (at most 255 bytes),
        and the wanted texts are among them."""
        h.wait_until(lambda: len(pw.popups(self.program)) >= self.popups_open, 20, interval=0.5)
        self.assertEqual(len(pw.popups(self.program)), self.popups_open, "popup windows open")
        handles = [handle for handle, _ in pw.popups(self.program)]
        texts = [pw.text(self.program, handle, "IDC_POPUP_TEXT") for handle in handles]
        labels = [pw.text(self.program, handle, "IDC_POPUP_LABEL") for handle in handles]
        for text in texts:
            self.assertTrue(len(text) <= 255 and any(s.startswith(text) for s in sent),
                            f"a popup shows {text[:40]!r}... ({len(text)} bytes), not a text sent")
        for text in wanted:
            self.assertIn(text, texts, "a popup text is not shown bounded to 255 bytes")
        self.assertEqual([i for i, label in enumerate(labels) if label != SENDER_LABEL + t.A_NAME], [],
                         f"popup windows not naming their sender (all came from A): {labels}")

    def close_popups(self):
        for handle, _ in pw.popups(self.program):
            pw.press(self.program, handle, pw.CLOSE)
        self.assertTrue(h.wait_until(lambda: not pw.popups(self.program), 20), "popup windows did not close")
        self.popups_open = 0

    def check_popup_flood(self, case):
        handles = pw.wait_popups(self.program, t.MAX_POPUPS, timeout=30)
        time.sleep(1)
        self.assertEqual(len(pw.popups(self.program)), t.MAX_POPUPS, "popup windows open after the flood")
        self.assertEqual(len(handles), t.MAX_POPUPS)
        self.close_popups()
        # A popup that was left unanswered opens once windows have closed.
        last = case.sends[-1].datagram
        peer = self.peers[t.PEER_A]
        peer.send(last, t.OWN)
        self.assertIsNotNone(peer.wait_for(wire.acknowledges(last), 10), "a popup put off is not taken later")
        self.assertEqual(len(pw.wait_popups(self.program, 1)), 1)
        self.assertEqual(pw.text(self.program, pw.popups(self.program)[0][0], "IDC_POPUP_TEXT"), t.cp("洪水 59"))
        self.close_popups()

    def check_lines(self, lines, wanted, chat_texts, names):
        """Every output line is "N name > text" with a known name and the
        start of a text sent; the lines the table expects appear in order."""
        pattern = rb"^(-?\d+) (.*?) > (.*)$"
        for shown in lines:
            match = re.fullmatch(pattern, shown, re.S)
            self.assertIsNotNone(match, f"a garbled output line {shown[:60]!r}")
            name, text = match.group(2), match.group(3)
            self.assertIn(name, names, f"an output line names {name!r}")
            self.assertTrue(len(text) <= 255 and any(s.startswith(text) for s in chat_texts),
                            f"an output line shows {text[:40]!r}... ({len(text)} bytes), not a text sent")
        position = 0
        for want in wanted:
            try:
                position = lines.index(want, position) + 1
            except ValueError:
                self.fail(f"the output area lacks the line {want[:60]!r}")

    def check_table_answer(self):
        """A fresh announcement from A is answered with the whole table."""
        peer = self.peers[t.PEER_A]
        peer.drain()
        _, name, cond = next(row for row in self.model if row[0] == t.PEER_A)
        hello = wire.entry_datagram(wire.KIND_START, t.PEER_A, self.next_probe(), [t.entry(t.PEER_A, name, cond)])
        self.assertIsNotNone(peer.exchange(hello, t.OWN, wire.acknowledges(hello), timeout=10,
                                           alive=self.program.running), "the announcement is not acknowledged")
        table = peer.wait_for(lambda d, s: s == t.OWN and wire.Header(d).kind == wire.KIND_USERLIST
                              and wire.Header(d).num >= 2, 10)
        self.assertIsNotNone(table, "no table in answer to a fresh announcement")
        self.assertEqual(len(table), wire.HEADER_SIZE + wire.ENTRY_SIZE * wire.Header(table).num)
        self.assertEqual(wire.entries_of(table), self.model, "the table the program holds")

    # ------------------------------------------------------------ the test

    def test_hostile_table_leaves_the_program_whole(self):
        cases = t.cases()
        chat_texts = [wire.c_text(i.datagram[20:]) for c in cases for i in c.sends
                      if len(i.datagram) > 7 and wire.Header(i.datagram).kind == wire.KIND_CHAT]
        chat_texts.append(b"")
        popup_texts = [wire.c_text(i.datagram[20:]) for c in cases for i in c.sends
                       if len(i.datagram) > 7 and wire.Header(i.datagram).kind == wire.KIND_POPUP]
        names = {t.A_NAME, t.OWN_NAME}
        wanted_lines = []
        wanted_popups = []
        started = time.monotonic()
        for case in cases:
            if not self.program.running():
                self.fail(f"the program exited with code {self.program.process.returncode} before {case.name!r}")
            if case.flood:
                with self.subTest(check="popup windows before the flood"):
                    self.check_popup_texts(popup_texts, wanted_popups)
            with self.subTest(case=case.name):
                self.apply(case)
                self.replay(case)
                wanted_lines.extend(case.lines)
                wanted_popups.extend(case.popup_texts)
                if case.flood:
                    self.check_popup_flood(case)
                if case.rows.get(t.OWN, (t.OWN_NAME,))[0] != t.OWN_NAME:
                    self.check_rows(case.name)
        replay_time = time.monotonic() - started

        self.assertTrue(self.program.running(), "the program did not survive the table")
        self.assertEqual(self.program.title(), b"Mosswick - [" + t.OWN_NAME + b"]")
        self.assertEqual(board.boards(self.program), [self.board], "the whiteboard is gone")
        self.assertGreater(int(self.program.drive("pixels", self.board, h.command_ids.id_of(board.CANVAS),
                                                  "ff0000", 0)), 0, "the whiteboard no longer draws")
        self.check_table_answer()
        self.check_rows("after the table")

        final, number = t.chat("普通の一行".encode("cp932"), number=9000)
        peer = self.peers[t.PEER_A]
        self.assertIsNotNone(peer.exchange(final, t.OWN, wire.acknowledges(final), timeout=10))
        expected = t.line(number, t.A_NAME, "普通の一行".encode("cp932"))
        self.assertTrue(h.wait_until(lambda: self.program.output_lines()[-1:] == [expected], 10),
                        f"the last output line is {self.program.output_lines()[-1:]!r}")
        self.check_lines(self.program.output_lines(), wanted_lines, chat_texts + ["普通の一行".encode("cp932")],
                         names)
        self.program.close()
        self.assertEqual(self.program.wait_exit(), 0, "the program did not close cleanly")
        print(f"\n  {sum(len(c.sends) for c in cases)} hostile datagrams replayed in {replay_time:.0f}s")

    def test_announcements_while_the_table_holds_peers_that_have_gone(self):
        """Peers that went away without a goodbye stay in the table, and what
        the program sends them waits for an address lookup that never ends.
        Announcements arriving meanwhile are still each acknowledged and
        answered with the table."""
        peer = self.peers[t.PEER_A]
        gone = [t.entry(f"{h.SUBNET}{200 + i}", b"gone%d" % i) for i in range(1, 13)]
        listing = wire.userlist(t.PEER_A, self.next_probe(), gone)
        self.assertIsNotNone(peer.exchange(listing, t.OWN, wire.acknowledges(listing), timeout=10))
        peer.drain()
        hellos = [wire.own_entry_datagram(wire.KIND_START, t.PEER_A, self.next_probe(), t.A_NAME) for _ in range(30)]
        for hello in hellos:
            peer.send(hello, t.OWN)
            time.sleep(0.05)
        counts = {hello[14:16] for hello in hellos}
        acked, tables = set(), 0
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline and (len(acked) < len(hellos) or tables < len(hellos)):
            got = peer.receive(deadline - time.monotonic())
            if got is None:
                break
            header = wire.Header(got[0])
            if header.kind == wire.KIND_RESP and got[0][14:16] in counts:
                acked.add(got[0][14:16])
            tables += header.kind == wire.KIND_USERLIST and header.num == 3 + len(gone)
        self.assertEqual((len(acked), tables), (len(hellos), len(hellos)),
                         "announcements acknowledged and answered with the table, of 30 sent 50 ms apart")

    def test_datagrams_cut_inside_their_address_are_from_their_real_sender(self):
        """The receive path writes the real sender over addr whatever the
        datagram's length, so 10 bytes that end inside addr come from their
        source like a longer datagram: a check is replied to, a departure
        removes its sender, a chat line and a popup name it."""
        peer_a, peer_b = self.peers[t.PEER_A], self.peers[t.PEER_B]
        with self.subTest("user check"):
            peer_a.send(t.own_entry(wire.KIND_CHECK, t.PEER_A, t.A_NAME)[:10], t.OWN)
            reply = peer_a.wait_for(lambda d, s: s == t.OWN and wire.Header(d).kind == wire.KIND_USERLIST, 5)
            self.assertIsNotNone(reply, "no reply to a user check of 10 bytes")
        with self.subTest("departure"):
            peer_b.send(wire.end(t.PEER_B, self.next_probe())[:10], t.OWN)
            self.assertTrue(h.wait_until(lambda: len(self.program.list_rows("IDC_USERLIST")) == 2, 5),
                            f"a departure of 10 bytes leaves its sender: {self.program.list_rows('IDC_USERLIST')}")
        with self.subTest("chat line"):
            datagram, _ = t.chat(b"unseen")
            peer_a.send(datagram[:10], t.OWN)
            expected = b"-1000 " + t.A_NAME + b" > "
            self.assertTrue(h.wait_until(lambda: self.program.output_lines()[-1:] == [expected], 5),
                            f"a chat line of 10 bytes shows {self.program.output_lines()[-1:]}, not {expected!r}")
        with self.subTest("popup"):
            peer_a.send(t.popup(b"unseen")[:10], t.OWN)
            [handle] = pw.wait_popups(self.program, 1)
            label = pw.text(self.program, handle, "IDC_POPUP_LABEL")
            pw.press(self.program, handle, pw.CLOSE)
            self.assertEqual(label, SENDER_LABEL + t.A_NAME, "a popup of 10 bytes does not name its sender")

    @h.long_scenario
    def test_short_acknowledgements_stop_exactly_the_replies_they_match(self):
        """Cut user checks are each answered with the own entry, kept for
        resending. Acknowledgements of 16 bytes with a garbage head stop the
        replies they match; the same from another peer stops nothing; the
        rest come again on the resend tick, unchanged."""
        peer, other = self.peers[t.PEER_A], self.peers[t.PEER_B]
        check = t.own_entry(wire.KIND_CHECK, t.PEER_A, t.A_NAME)
        for cut in wire.cuts(check)[12:32]:
            peer.send(cut, t.OWN)
        is_reply = lambda d, s: s == t.OWN and wire.Header(d).kind == wire.KIND_USERLIST and wire.Header(d).num == 1
        replies = [peer.wait_for(is_reply, 10) for _ in range(20)]
        self.assertNotIn(None, replies, "a cut user check got no reply")
        stopped, kept = replies[::2], replies[1::2]
        for reply in stopped:
            peer.send(b"XXXX" + bytes(2) + b"\x00\x07" + bytes(6) + reply[14:16], t.OWN)
        for reply in kept:
            other.send(b"K001" + wire.resp_of(reply, t.PEER_B)[4:], t.OWN)
        time.sleep(1)
        peer.drain()
        again = []
        deadline = time.monotonic() + 20
        while time.monotonic() < deadline and len(again) < len(kept):
            reply = peer.wait_for(is_reply, deadline - time.monotonic())
            if reply is not None:
                again.append(reply)
        time.sleep(2)  # the rest of the resend pass, if it brings more
        while (reply := peer.wait_for(is_reply, 0.1)) is not None:
            again.append(reply)
        self.assertEqual(sorted(again), sorted(kept), "the replies resent on the tick")
        self.assertTrue(self.program.running())


if __name__ == "__main__":
    unittest.main()
