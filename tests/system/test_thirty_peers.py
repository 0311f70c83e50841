"""A full office: 29 console peers and the real program under Wine, each in a
namespace of its own on a bed of its own, fill every table to its 30 users.
A 31st user is refused by the full tables and still answered; a chat line
from the program to everyone comes once to each of the 29 others; End at a
peer and a user check at the program take rows away and bring them back.

The whole table of 30 users is 1576 bytes, more than one Ethernet frame
carries, so it travels in two fragments. Watchers in the namespaces see each
datagram as the kernel hands it on, put together again."""
import contextlib
import os
import select
import signal
import socket
import struct
import threading
import time
import unittest

import console_peer as cp
import harness as h
import netbed
import wire

AVAILABLE = "受信可"
OFFICE = wire.MAX_USERS
PROGRAM_SLOT = 1
CONSOLE_SLOTS = range(2, OFFICE + 1)
OFFICE_SLOTS = range(1, OFFICE + 1)
OUTSIDER_SLOT = OFFICE + 1
FULL_TABLE_BYTES = wire.HEADER_SIZE + OFFICE * wire.ENTRY_SIZE

PROGRAM_NAME = "窓口"
OUTSIDER_NAME = "三十一人目"
LEAVER_SLOT = 17
SILENT_SLOT = 23

# Time for the datagrams of one exchange to settle, once the last expected
# one is in: long enough for a stray second copy, short against the tick.
SETTLE = 1.0
SO_RCVBUFFORCE = getattr(socket, "SO_RCVBUFFORCE", 33)  # root may pass rmem_max
WATCH_BUFFER = 8 << 20


def name_of(slot):
    return PROGRAM_NAME if slot == PROGRAM_SLOT else f"机{slot:02d}"


def row(slot):
    """A user-area row as (name, status, address)."""
    return (name_of(slot), AVAILABLE, h.slot_address(slot))


def member(slot):
    """A user entry as (address, name)."""
    return (h.slot_address(slot), name_of(slot))


MEMBERS = {h.slot_address(slot): member(slot) for slot in OFFICE_SLOTS}


def others(slot, slots=OFFICE_SLOTS):
    return [other for other in slots if other != slot]


def own_first(slot, slots=OFFICE_SLOTS):
    """A condition on a user list: the own row first, then the rows of
    `slots` (but the own) in any order."""
    own = row(slot)
    expected = sorted(row(other) for other in others(slot, slots))

    def holds(rows):
        return bool(rows) and rows[0] == own and sorted(rows[1:]) == expected

    return holds


def listed(payload):
    """(address, name) of each user entry of a user list, as many as its num
    says and its bytes hold."""
    entries = []
    for index in range(wire.Header(payload).num):
        base = wire.HEADER_SIZE + index * wire.ENTRY_SIZE
        entry = payload[base:base + wire.ENTRY_SIZE]
        if len(entry) < wire.ENTRY_SIZE:
            break
        entries.append((socket.inet_ntoa(entry[:4]), entry[4:24].split(b"\0", 1)[0].decode("cp932")))
    return entries


class Arrival:
    def __init__(self, slot, source, payload):
        self.slot = slot
        self.source = source
        self.payload = payload
        self.header = wire.Header(payload)


class Arrivals:
    """Every UDP datagram to the program's port that reaches the namespaces
    of `slots`, whole: a raw socket gets a datagram only after the kernel has
    joined its fragments. Incoming traffic only; the peers' own sockets are
    left alone."""

    def __init__(self, bed, slots):
        self._sockets = {}
        for slot in slots:
            with h.inside_namespace(slot, bed.prefix):
                sock = socket.socket(socket.AF_INET, socket.SOCK_RAW, socket.IPPROTO_UDP)
            sock.setsockopt(socket.SOL_SOCKET, SO_RCVBUFFORCE, WATCH_BUFFER)
            sock.setblocking(False)
            self._sockets[sock.fileno()] = (slot, sock)
        self._seen = []
        self._changed = threading.Condition()
        self._stop = threading.Event()
        self._thread = threading.Thread(target=self._run, name="arrivals", daemon=True)
        self._thread.start()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def close(self):
        self._stop.set()
        self._thread.join(5)
        for _, sock in self._sockets.values():
            sock.close()

    def _run(self):
        while not self._stop.is_set():
            readable, _, _ = select.select(list(self._sockets), [], [], 0.2)
            for fd in readable:
                slot, sock = self._sockets[fd]
                while True:
                    try:
                        packet = sock.recv(65535)
                    except (BlockingIOError, InterruptedError):
                        break
                    except OSError:
                        return
                    arrival = self._parse(slot, packet)
                    if arrival is not None:
                        with self._changed:
                            self._seen.append(arrival)
                            self._changed.notify_all()

    @staticmethod
    def _parse(slot, packet):
        if len(packet) < 28 or packet[0] >> 4 != 4 or packet[9] != socket.IPPROTO_UDP:
            return None
        if socket.inet_ntoa(packet[16:20]) != h.slot_address(slot):
            return None
        header_length = (packet[0] & 0x0F) * 4
        _, destination_port, length = struct.unpack(">HHH", packet[header_length:header_length + 6])
        if destination_port != h.PORT:
            return None
        return Arrival(slot, socket.inet_ntoa(packet[12:16]), packet[header_length + 8:header_length + length])

    def datagrams(self, kind=None, slot=None):
        with self._changed:
            seen = list(self._seen)
        return [d for d in seen if (kind is None or d.header.kind == kind) and (slot is None or d.slot == slot)]

    def wait(self, condition, timeout):
        """Waits until condition(arrivals) gives a true value and returns it;
        None when the time runs out."""
        deadline = time.monotonic() + timeout
        with self._changed:
            while True:
                value = condition(list(self._seen))
                left = deadline - time.monotonic()
                if value or left <= 0:
                    return value or None
                self._changed.wait(min(left, 0.5))


def whole_tables(arrivals, slot):
    """The full-table user lists that reached `slot`, by sender."""
    tables = {}
    for datagram in arrivals.datagrams(wire.KIND_USERLIST, slot):
        if datagram.header.num == OFFICE:
            tables.setdefault(datagram.source, []).append(datagram)
    return tables


def tables_from_each(arrivals, senders_of):
    """A condition: every slot in `senders_of` ({slot: slots}) has had a full
    table from each of its senders."""
    def holds(_):
        return all(set(whole_tables(arrivals, slot)) >= {h.slot_address(s) for s in senders}
                   for slot, senders in senders_of.items())

    return holds


def collect(peer, complete, timeout, answer=None):
    """Every (datagram, source) the scripted peer receives until
    complete(got) holds or the time runs out, and whatever follows within
    SETTLE; answer(datagram, source) is called on each as it comes."""
    got = []
    deadline = time.monotonic() + timeout
    settle = None
    while True:
        now = time.monotonic()
        if settle is None and (complete(got) or now >= deadline):
            settle = now + SETTLE
        if settle is not None and now >= settle:
            return got
        packet = peer.receive(min(0.2, (settle or deadline) - now))
        if packet is not None:
            got.append(packet)
            if answer is not None:
                answer(*packet)


def from_every_member(kind):
    """A condition on what a scripted peer got: a datagram of `kind` from
    each of the 30 members."""
    def holds(got):
        return {source for data, source in got if wire.Header(data).kind == kind} >= set(MEMBERS)

    return holds


@contextlib.contextmanager
def frozen(peer):
    """The console peer's process stopped for the block: what it is sent
    waits in its socket, unanswered, until it goes on."""
    pid = peer.process.pid
    running = os.path.realpath(f"/proc/{pid}/exe")
    if running != os.path.realpath(cp.console_exe()):
        raise AssertionError(f"process {pid} of {peer.name} runs {running}, not the console peer")
    os.kill(pid, signal.SIGSTOP)
    try:
        yield
    finally:
        os.kill(pid, signal.SIGCONT)


class ThirtyPeers(h.SystemTestCase):
    """The program in namespace 1, console peers in 2 to 30, each with the
    other 29 in its host list; namespace 31 is the outsider's. The console
    peers fill their tables among themselves first; the program, started
    after them, can learn of them only from the whole tables they send when
    it announces itself."""

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.began = time.monotonic()
        cls.bed = netbed.own_bed(cls, OUTSIDER_SLOT)

        # The console peers come up all at once and announce themselves as
        # they do; those up earlier answer the later ones with their tables.
        cls.consoles = {}
        for slot in CONSOLE_SLOTS:
            ini = cp.console_ini(name_of(slot), [h.slot_address(other) for other in others(slot)])
            cls.consoles[slot] = cp.start_console(cls, name_of(slot), slot, ini, netbed=cls.bed.prefix,
                                                  class_level=True)
        cls.addClassCleanup(cls.quit_consoles)
        for peer in cls.consoles.values():
            peer.wait_ready()
        for slot, peer in cls.consoles.items():
            if peer.wait_users(own_first(slot, CONSOLE_SLOTS), 30) is None:
                raise AssertionError(f"{peer.name} does not list the other console peers: {peer.users()}")

        # Then the program, which knows nobody until its Start.
        broadcast = {"Number": len(CONSOLE_SLOTS)}
        broadcast.update({f"Address{i + 1:02d}": h.slot_address(s) for i, s in enumerate(CONSOLE_SLOTS)})
        ini = h.ini_text({"Client_Definition": {"Name": PROGRAM_NAME, "Start_Send": "No"},
                          "Broadcast_Definition": broadcast})
        cls.program = h.Program("thirty-peers-program", PROGRAM_SLOT, ini, netbed=cls.bed.prefix)
        cls.addClassCleanup(cls.program.stop)
        cls.program.start()
        cls.program.main_window(title=f"Mosswick - [{PROGRAM_NAME}]".encode("cp932"))
        cls.known_before_start = h.wait_until(cls.program_rows, h.START_WAIT, interval=0.5)
        if not cls.known_before_start or cls.known_before_start[0] != row(PROGRAM_SLOT):
            raise AssertionError(f"the program's own row did not come first: {cls.known_before_start}")

        with Arrivals(cls.bed, OFFICE_SLOTS) as arrivals:
            cls.program.command("IDM_START")
            cls.wait_office_full("after the program's Start")
            senders = {PROGRAM_SLOT: CONSOLE_SLOTS, **{s: others(s, CONSOLE_SLOTS) for s in CONSOLE_SLOTS}}
            arrivals.wait(tables_from_each(arrivals, senders), 30)
            time.sleep(SETTLE)
            cls.start_tables = {slot: whole_tables(arrivals, slot) for slot in OFFICE_SLOTS}
        cls.set_up_seconds = time.monotonic() - cls.began

    @classmethod
    def tearDownClass(cls):
        print(f"\nthirty peers: set-up {cls.set_up_seconds:.0f} s, in all {time.monotonic() - cls.began:.0f} s")

    @classmethod
    def quit_consoles(cls):
        """Every console peer told to quit at once, then waited for."""
        for peer in cls.consoles.values():
            if peer.running():
                with contextlib.suppress(OSError):
                    peer.send("/quit")
        for peer in cls.consoles.values():
            peer.quit()

    @classmethod
    def program_rows(cls):
        """The program's user area as (name, status, address) texts."""
        return [tuple(f.decode("cp932") for f in fields) for fields in cls.program.list_rows("IDC_USERLIST")]

    @classmethod
    def wait_program_rows(cls, condition, timeout=30):
        return h.wait_until(lambda: condition(cls.program_rows()), timeout, interval=0.5)

    @classmethod
    def wait_office_full(cls, when):
        """Every console peer and the program list all 30 users."""
        for slot, peer in cls.consoles.items():
            if peer.wait_users(own_first(slot), 30) is None:
                raise AssertionError(f"{when}: {peer.name} lists {len(peer.users() or [])}: {peer.users()}")
        if not cls.wait_program_rows(own_first(PROGRAM_SLOT)):
            rows = cls.program_rows()
            raise AssertionError(f"{when}: the program shows {len(rows)} rows: {rows}")

    def setUp(self):
        # Each test leaves the office full again; one that could not is not
        # blamed on the next.
        self.wait_office_full("before the test")

    def assert_full_table_from_each(self, tables, senders, slot):
        """Full tables reached `slot` whole from each of `senders`, every one
        1576 bytes listing the 30 users, its sender first."""
        self.assertEqual(set(tables), {h.slot_address(s) for s in senders}, f"full tables at {name_of(slot)}")
        everyone = sorted(member(s) for s in OFFICE_SLOTS)
        for source, copies in tables.items():
            self.assertEqual(len(copies), 1, f"full tables from {source} at {name_of(slot)}")
            for datagram in copies:
                self.assertEqual((len(datagram.payload), datagram.header.length), (FULL_TABLE_BYTES,) * 2)
                entries = listed(datagram.payload)
                self.assertEqual(entries[0][0], source, f"a table from {source} does not begin with its sender")
                self.assertEqual(sorted(entries), everyone, f"the table from {source} at {name_of(slot)}")

    # ------------------------------------------------------------------

    def test_after_start_every_table_holds_all_thirty(self):
        self.assertEqual(self.known_before_start, [row(PROGRAM_SLOT)])
        for slot, peer in self.consoles.items():
            rows = peer.users()
            self.assertTrue(own_first(slot)(rows), f"{peer.name}: {rows}")
        rows = self.program_rows()
        self.assertEqual(len(rows), OFFICE)
        self.assertTrue(own_first(PROGRAM_SLOT)(rows), rows)
        # The program learnt the 29 only from their whole tables: each console
        # peer answered the program's announcement with one, to everyone.
        self.assert_full_table_from_each(self.start_tables[PROGRAM_SLOT], CONSOLE_SLOTS, PROGRAM_SLOT)
        for slot in CONSOLE_SLOTS:
            with self.subTest(peer=name_of(slot)):
                self.assert_full_table_from_each(self.start_tables[slot], others(slot, CONSOLE_SLOTS), slot)

    def test_a_thirty_first_peer_is_refused_by_full_tables_but_answered(self):
        outsider = self.bed.peer(OUTSIDER_SLOT)
        self.addCleanup(outsider.close)
        marks = {slot: peer.mark() for slot, peer in self.consoles.items()}
        outsider_name = OUTSIDER_NAME.encode("cp932")

        # A START: acknowledged by each member, merged nowhere, and each full
        # table goes on to its own 29 users, not to the newcomer.
        start = wire.own_entry_datagram(wire.KIND_START, outsider.address, 2001, outsider_name)
        with Arrivals(self.bed, OFFICE_SLOTS) as arrivals:
            for slot in OFFICE_SLOTS:
                outsider.send(start, h.slot_address(slot))
            got = collect(outsider, from_every_member(wire.KIND_RESP), 20)
            arrivals.wait(tables_from_each(arrivals, {s: others(s) for s in OFFICE_SLOTS}), 20)
            time.sleep(SETTLE)
        acks = {source: data for data, source in got if wire.Header(data).kind == wire.KIND_RESP}
        self.assertEqual(set(acks), set(MEMBERS), "members that acknowledged the START")
        for source, data in acks.items():
            self.assertEqual(data, wire.expected_resp(start, source), f"the acknowledgement from {source}")
        self.assertEqual([(wire.Header(d).kind, s) for d, s in got if wire.Header(d).kind != wire.KIND_RESP], [],
                         "the outsider got more than acknowledgements")
        for slot in OFFICE_SLOTS:
            with self.subTest(table_at=name_of(slot)):
                self.assert_full_table_from_each(whole_tables(arrivals, slot), others(slot), slot)

        # A user check: each member answers with its own entry alone, kept
        # until acknowledged (so the outsider acknowledges it at once), and
        # still keeps the outsider out of its full table.
        check = wire.own_entry_datagram(wire.KIND_CHECK, outsider.address, 2002, outsider_name)
        for slot in OFFICE_SLOTS:
            outsider.send(check, h.slot_address(slot))

        def acknowledge(data, source):
            if wire.Header(data).kind == wire.KIND_USERLIST:
                outsider.send(wire.expected_resp(data, outsider.address), source)

        got = collect(outsider, from_every_member(wire.KIND_USERLIST), 20, acknowledge)
        acks = {s for d, s in got if wire.Header(d).kind == wire.KIND_RESP and wire.Header(d).all_count == 2002}
        self.assertEqual(acks, set(MEMBERS), "members that acknowledged the check")
        replies = {}
        for data, source in got:
            if wire.Header(data).kind == wire.KIND_USERLIST:
                replies.setdefault(source, set()).add(data)
        self.assertEqual(set(replies), set(MEMBERS), "members that answered the check")
        for source, copies in replies.items():
            # A resend on the tick would be the same bytes again.
            self.assertEqual(len(copies), 1, f"different answers from {source}: {copies}")
            answer = copies.pop()
            self.assertEqual((len(answer), wire.Header(answer).num), (wire.HEADER_SIZE + wire.ENTRY_SIZE, 1))
            self.assertEqual(listed(answer), [MEMBERS[source]], f"the answer from {source}")

        # Nobody's list changed.
        for slot, peer in self.consoles.items():
            self.assertEqual(cp.ConsolePeer.user_lists(peer.lines[marks[slot]:]), [], f"{peer.name} listed anew")
        rows = self.program_rows()
        self.assertTrue(own_first(PROGRAM_SLOT)(rows), f"the program shows {rows}")

    def test_a_chat_line_to_everyone_reaches_each_of_the_29_once(self):
        text = "表の件、三十人全員へ"
        marks = {slot: peer.mark() for slot, peer in self.consoles.items()}
        self.program.set_text("IDC_INPUT", text.encode("cp932"))
        self.program.command("IDM_SEND")
        for slot, peer in self.consoles.items():
            self.assertIsNotNone(peer.wait_line(lambda line: line.endswith(f" > {text}"), 20, since=marks[slot]),
                                 f"{peer.name} did not show the line: {peer.describe()}")
        self.assertTrue(h.wait_until(lambda: self.program.child_text("IDC_INPUT") == b"", 10, interval=0.5),
                        "the input area was not emptied after the send")
        time.sleep(SETTLE)
        shown = {slot: [c for c in peer.chat_lines(marks[slot]) if c[2] == text] for slot, peer in self.consoles.items()}
        for slot, lines in shown.items():
            self.assertEqual(len(lines), 1, f"{name_of(slot)} shows the line {len(lines)} times: {lines}")
            self.assertEqual(lines[0][1], PROGRAM_NAME)
        numbers = {lines[0][0] for lines in shown.values()}
        self.assertEqual(len(numbers), 1, f"the line came with different numbers: {numbers}")
        echo = f"{numbers.pop()} {PROGRAM_NAME} > {text}".encode("cp932")
        self.assertEqual(self.program.output_lines().count(echo), 1, self.program.output_lines()[-3:])

    def test_end_takes_the_leaver_out_and_its_start_brings_it_back(self):
        leaver = self.consoles[LEAVER_SLOT]
        staying = others(LEAVER_SLOT)

        # End at a console peer: its list shrinks to itself, everyone else
        # drops it.
        marks = {slot: peer.mark() for slot, peer in self.consoles.items()}
        leaver.send("/end")
        self.assertIsNotNone(leaver.wait_users([row(LEAVER_SLOT)], 15, since=marks[LEAVER_SLOT]), leaver.describe())
        for slot, peer in self.consoles.items():
            if slot != LEAVER_SLOT:
                self.assertIsNotNone(peer.wait_users(own_first(slot, staying), 15, since=marks[slot]),
                                     f"{peer.name} after {leaver.name}'s End: {peer.users()}")
        self.assertTrue(self.wait_program_rows(own_first(PROGRAM_SLOT, staying)), self.program_rows())

        # Its Start again: it hears of everyone only from their whole tables,
        # one from each of the 29 that took it back.
        with Arrivals(self.bed, [LEAVER_SLOT]) as arrivals:
            leaver.send("/start")
            self.wait_office_full(f"after {leaver.name}'s new Start")
            arrivals.wait(tables_from_each(arrivals, {LEAVER_SLOT: staying}), 20)
            time.sleep(SETTLE)
        self.assert_full_table_from_each(whole_tables(arrivals, LEAVER_SLOT), staying, LEAVER_SLOT)
        self.assertEqual(self.program_rows()[-1], row(LEAVER_SLOT), "the leaver's row comes back at the end")

        # End at the program, and its Start again.
        marks = {slot: peer.mark() for slot, peer in self.consoles.items()}
        self.program.command("IDM_END")
        self.assertTrue(self.wait_program_rows(lambda rows: rows == [row(PROGRAM_SLOT)]), self.program_rows())
        for slot, peer in self.consoles.items():
            self.assertIsNotNone(peer.wait_users(own_first(slot, CONSOLE_SLOTS), 15, since=marks[slot]),
                                 f"{peer.name} after the program's End: {peer.users()}")
        self.program.command("IDM_START")
        self.wait_office_full("after the program's new Start")

    def test_user_check_at_the_program_empties_its_rows_and_the_answers_refill_them(self):
        silent = self.consoles[SILENT_SLOT]
        marks = {slot: peer.mark() for slot, peer in self.consoles.items()}
        answering = others(SILENT_SLOT)
        with frozen(silent):
            self.program.command("IDM_USERCHECK")
            self.assertTrue(self.wait_program_rows(own_first(PROGRAM_SLOT, answering)),
                            f"after the check, with {silent.name} silent: {self.program_rows()}")
            # Nothing brings the silent one back while it does not answer.
            time.sleep(SETTLE)
            self.assertTrue(own_first(PROGRAM_SLOT, answering)(self.program_rows()), self.program_rows())
        # Its late answer to the check it still holds brings it back, last.
        self.assertTrue(self.wait_program_rows(own_first(PROGRAM_SLOT)), self.program_rows())
        self.assertEqual(self.program_rows()[-1], row(SILENT_SLOT))
        # The peers kept their tables; the check changed nothing there.
        for slot, peer in self.consoles.items():
            self.assertEqual(cp.ConsolePeer.user_lists(peer.lines[marks[slot]:]), [], f"{peer.name} listed anew")


if __name__ == "__main__":
    unittest.main()
