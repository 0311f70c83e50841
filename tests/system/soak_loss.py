"""The loss soak: long campaigns of chat lines and popups over links that lose
30% of the datagrams each way, between the real program under Wine and
console peers. Run by tools/loss-soak.sh (`make soak-loss`, part of
`make soak`), not by `make test`.

Two copies of Mosswick.exe, each on a bed of its own with one console peer:
the copy in namespace 1, whose link loses datagrams in both directions, the
console peer in namespace 2 on a clean link. On each bed the copy types its
lines into its input area through the driver while the console peer sends
its own, both at a steady pace, and the console peer sends popups among its
lines; the popup windows that open at the copy are read and closed as they
come. Every datagram between the two crosses the lossy link exactly once.

Each link is watched from the bridge's side: a packet taken there on its way
from a namespace is what its sender sent, before any loss; one on its way
to the namespace is what reaches its socket. What the programs show is then
held against what the wire carried:

- a chat line is shown exactly once wherever at least one of its copies
  arrived, and never where none did: a resend arriving after later lines is
  still a repeat. The copy is read through its log, which takes each line as
  it goes into the output area (the driver reads nothing back from an area
  holding more than about 4 KB); the console peer through what it prints;
- a line is lost for good only when all six of its copies (the first send
  and five resends) were dropped; with a copy getting through with
  probability 0.7 that happens to 0.3^6 of the lines, whatever becomes of the
  acknowledgements, which only decide how many copies are sent;
- a sender resends a kept datagram on its 15-second tick until an
  acknowledgement reaches it, six sends at most, and never drops one early;
  one sent once and never again, unacknowledged, was not kept: the pending
  list (100 entries) was full;
- every copy that arrives is acknowledged, and every popup copy that reaches
  the program opens a window: a popup has no number, so a lost
  acknowledgement opens a second window when the copy is resent.

The pace keeps each sender's pending list far from full. An entry lives
until its acknowledgement returns (a copy and its answer both get through
with probability 0.49) or until the fifth resend; just before a tick a
sender holds about 15 s x pace x (0.51 + 0.51^2 + ... + 0.51^5), some 15
entries at one line a second, and a late resend comes at most 75 s after the
first copy, some 75 numbers later, well within the 256 numbers a receiver
remembers per peer.

Prints a summary table and exits non-zero when a line was shown twice or not
at all though a copy of it arrived, a rule of resending or acknowledging was
broken, more lines or popups were lost than the bound allows, or a copy
crashed."""
import argparse
import collections
import contextlib
import json
import math
import os
import signal
import socket
import sys
import threading
import time

import console_peer as cp
import harness as h
import netbed
import popup_windows as pw
import sniffer
import wire

TICK = 15
SENDS = 6  # the first send and five resends
# The last resend comes at most 75 s after the first send; a little more for
# a loaded machine.
RESEND_WINDOW = 5 * TICK + 15
# An acknowledgement reaches the sender's link a moment before the program
# reads it; a tick in that moment may still resend.
ACK_GRACE = 1.0
PENDING_CAPACITY = 100
# A campaign fails when more lines (or popups) were lost than chance gives
# with this probability at most.
UNLIKELY = 0.001

ETH_P_ALL = 0x0003
PACKET_OUTGOING = 4

COPY_SLOT, CONSOLE_SLOT = 1, 2
PAIRS = {"A": ("窓甲", "端甲"), "B": ("窓乙", "端乙")}
# Side by side, clear of the popups, which open at the centre of the screen.
PLACES = {"A": {"Left": 0, "Top": 600, "Right": 560, "Bottom": 1000},
          "B": {"Left": 640, "Top": 600, "Right": 1200, "Bottom": 1000}}


def say(text):
    print(f"loss soak: {text}", flush=True)


# ------------------------------------------------------------ the wire


class Packet:
    def __init__(self, moment, inbound, source, destination, payload):
        self.moment = moment
        self.inbound = inbound  # on its way to the namespace (after the loss)
        self.source = source
        self.destination = destination
        self.payload = payload
        self.header = wire.Header(payload)


class LinkTap:
    """Every UDP datagram on the program's port that crosses one namespace's
    link, taken at the bridge's end of it. The loss rules filter what the
    bridge forwards, so a datagram from the namespace is taken before it may
    be dropped and one towards it only once it got through. A tap on a bridge
    port must take every protocol: the bridge claims IP packets before taps
    bound to IP see them."""

    def __init__(self, bed, slot):
        with h.inside_namespace("hub", bed.prefix):
            self.sock = socket.socket(socket.AF_PACKET, socket.SOCK_DGRAM, socket.htons(ETH_P_ALL))
            self.sock.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4 << 20)
            self.sock.bind((f"v{slot}", ETH_P_ALL))
        self.sock.settimeout(0.2)
        self.packets = []
        self._lock = threading.Lock()
        self._stop = threading.Event()
        self._thread = threading.Thread(target=self._run, name=f"tap {bed.prefix}{slot}", daemon=True)
        self._thread.start()

    def _run(self):
        while not self._stop.is_set():
            try:
                packet, where = self.sock.recvfrom(65535)
            except socket.timeout:
                continue
            except OSError:
                return
            if where[1] != sniffer.ETH_P_IP:
                continue
            parts = sniffer._udp_payload(packet, h.PORT)
            if parts is None:
                continue
            with self._lock:
                self.packets.append(Packet(time.monotonic(), where[2] == PACKET_OUTGOING, *parts))

    def close(self):
        self._stop.set()
        self._thread.join(2)
        self.sock.close()

    def taken(self, inbound, kind, source=None, destination=None):
        with self._lock:
            packets = list(self.packets)
        return [p for p in packets if p.inbound == inbound and p.header.kind == kind
                and (source is None or p.source == source) and (destination is None or p.destination == destination)]

    def last_moment(self):
        with self._lock:
            return self.packets[-1].moment if self.packets else None


def by_number(packets):
    """Packets grouped by the datagram number (allCount), in order."""
    groups = collections.defaultdict(list)
    for packet in packets:
        groups[packet.header.all_count].append(packet)
    return groups


class Course:
    """What became of one kept datagram: its sends, the copies that arrived,
    the acknowledgements the receiver sent and those that reached the
    sender."""

    def __init__(self, sends, arrivals, answers, acks):
        self.sends = [p.moment for p in sends]
        self.payload = sends[0].payload
        self.arrived = [p.moment for p in arrivals]
        self.answered = [p.moment for p in answers]
        self.arrivals = len(arrivals)
        self.answers = len(answers)
        self.acks = [p.moment for p in acks if p.moment >= self.sends[0]]

    @property
    def text(self):
        return self.payload[20:].split(b"\0", 1)[0].decode("cp932", errors="replace")

    @property
    def number(self):
        return int.from_bytes(self.payload[18:20], "big", signed=True) - 1000

    def end(self):
        """When the sender let go of it: the first acknowledgement back, or
        its last send."""
        return self.acks[0] if self.acks else self.sends[-1]

    def timeline(self):
        """Its sends, arrivals, answers and acknowledgements back, in seconds
        after the first send."""
        start = self.sends[0]
        return {what: [round(t - start, 2) for t in moments] for what, moments in
                (("sent", self.sends), ("arrived", self.arrived), ("answered", self.answered), ("acked", self.acks))}

    def faults(self):
        """What broke the rules of resending and acknowledging."""
        found = []
        if len(self.sends) > SENDS:
            found.append(f"sent {len(self.sends)} times")
        if not self.acks and len(self.sends) == 1:
            found.append("sent once, never acknowledged and never resent: not kept")
        elif not self.acks and len(self.sends) < SENDS:
            found.append(f"sent {len(self.sends)} times, never acknowledged: given up early")
        if self.acks:
            late = [t for t in self.sends if t > self.acks[0] + ACK_GRACE]
            if late:
                found.append(f"resent {len(late)} times after its acknowledgement arrived")
        if self.answers != self.arrivals:
            found.append(f"{self.arrivals} copies arrived, {self.answers} acknowledged")
        return found


def courses(sender_tap, receiver_tap, sender, receiver, kind):
    """{datagram number: Course} of what `sender` sent to `receiver`."""
    sends = by_number(sender_tap.taken(False, kind, sender, receiver))
    arrivals = by_number(receiver_tap.taken(True, kind, sender))
    answers = by_number(receiver_tap.taken(False, wire.KIND_RESP, receiver, sender))
    acks = by_number(sender_tap.taken(True, wire.KIND_RESP, receiver))
    return {n: Course(s, arrivals.get(n, []), answers.get(n, []), acks.get(n, [])) for n, s in sends.items()}


def most_pending(all_courses):
    """The most kept datagrams a sender held at once, as the wire shows it."""
    events = sorted([(c.sends[0], 1) for c in all_courses] + [(c.end(), -1) for c in all_courses],
                    key=lambda e: (e[0], e[1]))
    held = most = 0
    for _, change in events:
        held += change
        most = max(most, held)
    return most


# ------------------------------------------------------------ chance


def expected_windows(through):
    """Expected copies of a popup that reach the receiver: the j-th send
    happens when none of the j-1 before came back acknowledged."""
    round_trip = through * through
    return sum(through * (1 - round_trip) ** j for j in range(SENDS))


def binomial_tail_bound(n, p, unlikely=UNLIKELY):
    """The smallest k with P(X > k) < unlikely for X ~ Binomial(n, p)."""
    cumulative = 0.0
    for k in range(n + 1):
        cumulative += math.comb(n, k) * p ** k * (1 - p) ** (n - k)
        if 1 - cumulative < unlikely:
            return k
    return n


# ------------------------------------------------------------ one bed


class Pair:
    """A copy and a console peer on a bed of their own."""

    def __init__(self, key, options, stack):
        self.key = key
        self.options = options
        self.copy_name, self.console_name = PAIRS[key]
        self.bed = netbed.Bed.bring_up(2, standalone=True)
        stack.callback(self.bed.close)
        self.copy_address = h.slot_address(COPY_SLOT)
        self.console_address = h.slot_address(CONSOLE_SLOT)
        ini = h.ini_text({"Client_Definition": {"Name": self.copy_name, "Start_Send": "Yes", "Log_Save": "Yes"},
                          "Broadcast_Definition": {"Number": 1, "Address01": self.console_address},
                          "Window_Information": PLACES[key]})
        self.program = h.Program(f"loss-soak-{key}", COPY_SLOT, ini, netbed=self.bed.prefix)
        stack.callback(self.program.stop)
        self.console = cp.ConsolePeer(self.console_name, CONSOLE_SLOT,
                                      cp.console_ini(self.console_name, [self.copy_address]), self.bed.prefix)
        stack.callback(self.console.stop)
        self.taps = {}
        self.stack = stack
        self.faults = []
        self.windows = []  # (moment, text) of every popup window that opened
        self.most_open = 0
        self.typed = 0
        self.sent_by_console = 0
        self.pace_late = 0.0
        self.exit_code = None
        n = options.lines
        self.copy_texts = [f"{key}窓{i:03d} ソ表能の行" for i in range(1, n + 1)]
        self.console_texts = [f"{key}端{i:03d} 十能、表示の行" for i in range(1, n + 1)]
        self.popup_texts = [f"{key}ポップ{j:02d} 予定表の確認" for j in range(1, options.popups + 1)]

    def start(self):
        self.program.start()
        self.program.main_window(title=f"Mosswick - [{self.copy_name}]".encode("cp932"))
        if not h.wait_until(lambda: len(self.program.list_rows("IDC_USERLIST")) >= 1, h.START_WAIT, interval=0.5):
            raise RuntimeError(f"{self.key}: the copy shows no own row")
        self.console.start().wait_ready()
        if self.console.wait_users(lambda rows: len(rows) == 2, 30) is None:
            raise RuntimeError(f"{self.key}: the console peer does not list the copy: {self.console.describe()}")
        if not h.wait_until(lambda: len(self.program.list_rows("IDC_USERLIST")) == 2, 30, interval=0.5):
            raise RuntimeError(f"{self.key}: the copy lists {self.program.list_rows('IDC_USERLIST')}")
        for slot in (COPY_SLOT, CONSOLE_SLOT):
            self.taps[slot] = LinkTap(self.bed, slot)
            self.stack.callback(self.taps[slot].close)
        self.bed.loss(COPY_SLOT, self.options.loss, "both")

    def alive(self):
        return self.program.running() and self.console.running()

    def fault(self, text):
        self.faults.append(f"{self.key}: {text}")

    # The campaign's threads

    def type_lines(self, start, stop):
        """The copy's lines, typed into its input area and sent, at the pace."""
        for i, text in enumerate(self.copy_texts):
            if not self._wait_turn(start, i, stop):
                return
            try:
                self.program.set_text("IDC_INPUT", text.encode("cp932"))
                self.program.command("IDM_SEND")
                # The next text goes in only once this one is out.
                if not h.wait_until(lambda: self.program.child_text("IDC_INPUT") == b"", 20, interval=0.1):
                    self.fault(f"the input area was not emptied after line {i + 1}")
            except h.DriverError as error:
                self.fault(f"typing line {i + 1}: {error}")
                stop.set()
                return
            self.typed = i + 1

    def console_lines(self, start, stop):
        """The console peer's lines, with its popups spread among them."""
        n, popups = len(self.console_texts), len(self.popup_texts)
        popup_at = {int((j + 0.5) * n / popups): text for j, text in enumerate(self.popup_texts)} if popups else {}
        for i, text in enumerate(self.console_texts):
            if not self._wait_turn(start, i, stop):
                return
            try:
                self.console.send(text)
                if i in popup_at:
                    self.console.send(f"/popup {popup_at[i]}")
            except OSError as error:
                self.fault(f"the console peer took no more input: {error}")
                stop.set()
                return
            self.sent_by_console = i + 1

    def _wait_turn(self, start, i, stop):
        moment = start + i / self.options.rate
        while time.monotonic() < moment:
            if stop.wait(min(0.2, moment - time.monotonic())):
                return False
        self.pace_late = max(self.pace_late, time.monotonic() - moment)
        return not stop.is_set()

    def close_popups(self, done):
        """Reads and closes every popup window as it comes, until `done`."""
        closing = {}
        while True:
            finished = done.is_set()
            try:
                shown = pw.popups(self.program)
            except h.DriverError as error:
                if self.program.running():
                    self.fault(f"listing the popup windows: {error}")
                return
            self.most_open = max(self.most_open, len(shown))
            now = time.monotonic()
            for handle, _ in shown:
                if handle in closing:
                    continue
                try:
                    text = pw.text(self.program, handle, "IDC_POPUP_TEXT").decode("cp932", errors="replace")
                    pw.press(self.program, handle, pw.CLOSE)
                except h.DriverError:
                    if not self.program.running():
                        return
                    continue  # gone meanwhile; seen again if it is still there
                self.windows.append((now, text))
                closing[handle] = now
            present = {handle for handle, _ in shown}
            for handle in [hd for hd in closing if hd not in present]:
                del closing[handle]
            if finished:
                return
            done.wait(0.7)

    def watch(self, stop):
        while not stop.wait(2):
            if not self.alive():
                self.fault("the copy has exited" if not self.program.running() else "the console peer has exited")
                stop.set()

    # After the campaign

    def left_dialogs(self):
        """Visible dialogs of the copy other than popups (a message box)."""
        left = []
        for line in self.program.drive("windows").splitlines():
            handle, kind, visible, *title = line.split()
            caption = h.unhexed(title[0]) if title else b""
            if kind == "#32770" and visible == "1" and not (caption.startswith(pw.RECEIVED) or caption == pw.REPLY):
                left.append(caption.decode("cp932", errors="replace"))
        return left

    def collect(self):
        """What each side showed, read while the copy still runs, then the
        copy closed and its log read."""
        self.console_shown = [(n, text) for n, name, text in self.console.chat_lines() if name == self.copy_name]
        dialogs = self.left_dialogs()
        if dialogs:
            self.fault(f"dialogs left open at the copy: {dialogs}")
        self.program.close()
        self.exit_code = self.program.wait_exit()
        if self.exit_code is None:
            self.fault("the copy did not exit when closed")
        elif self.exit_code != 0:
            self.fault(f"the copy exited with code {self.exit_code}")
        self.log_shown = self._chat_of(self.program.log_lines())

    def _chat_of(self, lines):
        shown = []
        for line in lines:
            chat = cp.parse_chat(line.decode("cp932", errors="replace"))
            if chat and chat[1] == self.console_name:
                shown.append((chat[0], chat[2]))
        return shown


# ------------------------------------------------------------ the figures


class Direction:
    """The lines of one sender to one receiver and what became of them."""

    def __init__(self, label, texts, sent, shown_where):
        self.label = label
        self.texts = texts
        self.courses = sent  # {datagram number: Course}
        self.shown_where = shown_where  # {place: [(number, text)]}
        self.faults = []
        by_text = collections.defaultdict(list)
        for course in sent.values():
            by_text[course.text].append(course)
        self.lines = []  # (text, course or None)
        for i, text in enumerate(texts, 1):
            found = by_text.pop(text, [])
            if not found:
                self.faults.append(f"line {i} was never sent")
            elif len(found) > 1:
                self.faults.append(f"line {i} went out as {len(found)} messages")
            self.lines.append((text, found[0] if found else None))
        for text, found in by_text.items():
            self.faults.append(f"a message nobody typed went out: {text!r}")
        for course in sent.values():
            self.faults.extend(f"line {course.text!r}: {f}" for f in course.faults())
        self.lost = 0
        self.twice = collections.Counter()
        self.unshown = collections.Counter()
        for place, shown in shown_where.items():
            times = collections.Counter(text for _, text in shown)
            numbers = collections.defaultdict(set)
            for number, text in shown:
                numbers[text].add(number)
            for i, (text, course) in enumerate(self.lines, 1):
                if course is None:
                    continue
                expected = 1 if course.arrivals else 0
                if times[text] > 1:
                    self.twice[place] += 1
                    self.faults.append(f"{place}: line {i} shown {times[text]} times ({course.arrivals} copies arrived)")
                elif times[text] < expected:
                    self.unshown[place] += 1
                    self.faults.append(f"{place}: line {i} not shown though {course.arrivals} copies arrived")
                elif times[text] > expected:
                    self.faults.append(f"{place}: line {i} shown though no copy arrived")
                if times[text] and numbers[text] != {course.number}:
                    self.faults.append(f"{place}: line {i} shown numbered {sorted(numbers[text])}, "
                                       f"sent as {course.number}")
            stray = set(times) - set(self.texts)
            if stray:
                self.faults.append(f"{place}: lines nobody sent: {sorted(stray)[:5]}")
        for i, (text, course) in enumerate(self.lines, 1):
            if course is not None and course.arrivals == 0:
                self.lost += 1

    def copies(self):
        return sum(len(c.sends) for c in self.courses.values())

    def arrived(self):
        return sum(c.arrivals for c in self.courses.values())

    def acks_back(self):
        return sum(len(c.acks) for c in self.courses.values())

    def answers(self):
        return sum(c.answers for c in self.courses.values())


class Popups:
    def __init__(self, label, texts, sent, windows):
        self.label = label
        self.texts = texts
        self.faults = []
        opened = collections.Counter(text for _, text in windows)
        by_text = {c.text: c for c in sent.values()}
        self.count = len(texts)
        self.timelines = [c.timeline() for c in sorted(sent.values(), key=lambda c: c.sends[0])]
        self.arrived = self.windows = self.lost = self.repeats = 0
        for j, text in enumerate(texts, 1):
            course = by_text.get(text)
            if course is None:
                self.faults.append(f"popup {j} was never sent")
                continue
            self.faults.extend(f"popup {j}: {f}" for f in course.faults())
            self.arrived += course.arrivals
            self.windows += opened[text]
            if course.arrivals == 0:
                self.lost += 1
            elif opened[text] == 0:
                self.faults.append(f"popup {j} never opened though {course.arrivals} copies arrived")
            if opened[text] != course.arrivals:
                self.faults.append(f"popup {j}: {course.arrivals} copies arrived, {opened[text]} windows opened")
            self.repeats += max(0, opened[text] - 1)
        stray = set(opened) - set(texts)
        if stray:
            self.faults.append(f"windows of popups nobody sent: {sorted(stray)}")


def figures(pair):
    taps = pair.taps
    copy, console = pair.copy_address, pair.console_address
    copy_sent = courses(taps[COPY_SLOT], taps[CONSOLE_SLOT], copy, console, wire.KIND_CHAT)
    console_sent = courses(taps[CONSOLE_SLOT], taps[COPY_SLOT], console, copy, wire.KIND_CHAT)
    popups_sent = courses(taps[CONSOLE_SLOT], taps[COPY_SLOT], console, copy, wire.KIND_POPUP)
    outgoing = Direction(f"{pair.key}: program -> console", pair.copy_texts, copy_sent,
                         {"console": pair.console_shown})
    incoming = Direction(f"{pair.key}: console -> program", pair.console_texts, console_sent,
                         {"log": pair.log_shown})
    popups = Popups(f"{pair.key}: console -> program", pair.popup_texts, popups_sent, pair.windows)
    pending = {"program": most_pending(list(copy_sent.values())),
               "console": most_pending(list(console_sent.values()) + list(popups_sent.values()))}
    return outgoing, incoming, popups, pending


def table(rows, header):
    widths = [max(len(str(row[i])) for row in [header] + rows) for i in range(len(header))]
    line = lambda row: "  ".join(str(v).ljust(w) if i == 0 else str(v).rjust(w)
                                 for i, (v, w) in enumerate(zip(row, widths)))
    return "\n".join([line(header), line(["-" * w for w in widths])] + [line(r) for r in rows])


def report(pairs, options, seconds):
    through = 1 - options.loss / 100
    per_line = (1 - through) ** SENDS
    directions, popup_runs, pendings, faults = [], [], {}, []
    for pair in pairs:
        outgoing, incoming, popups, pending = figures(pair)
        directions += [outgoing, incoming]
        popup_runs.append(popups)
        pendings[pair.key] = pending
        faults += pair.faults + outgoing.faults + incoming.faults + popups.faults

    print()
    rows = []
    for d in directions:
        shown_twice = sum(d.twice.values())
        rows.append([d.label, len(d.texts), d.copies(), d.arrived(), f"{d.arrived() / max(1, d.copies()):.3f}",
                     d.acks_back(), f"{d.acks_back() / max(1, d.answers()):.3f}", shown_twice, d.lost,
                     f"{len(d.texts) * per_line:.2f}"])
    total_lines = sum(len(d.texts) for d in directions)
    total_lost = sum(d.lost for d in directions)
    total_twice = sum(sum(d.twice.values()) for d in directions)
    rows.append(["all", total_lines, sum(d.copies() for d in directions), sum(d.arrived() for d in directions), "",
                 sum(d.acks_back() for d in directions), "", total_twice, total_lost,
                 f"{total_lines * per_line:.2f}"])
    print(table(rows, ["chat lines", "lines", "copies sent", "arrived", "through", "acks back", "through",
                       "shown twice", "lost", "expected lost"]))
    line_bound = binomial_tail_bound(total_lines, per_line)

    print()
    windows_each = expected_windows(through)
    repeats_each = windows_each - (1 - per_line)
    rows = [[p.label, p.count, p.arrived, p.windows, p.repeats, f"{p.count * repeats_each:.1f}", p.lost,
             f"{p.count * per_line:.3f}"] for p in popup_runs]
    total_popups = sum(p.count for p in popup_runs)
    total_popups_lost = sum(p.lost for p in popup_runs)
    rows.append(["all", total_popups, sum(p.arrived for p in popup_runs), sum(p.windows for p in popup_runs),
                 sum(p.repeats for p in popup_runs), f"{total_popups * repeats_each:.1f}", total_popups_lost,
                 f"{total_popups * per_line:.3f}"])
    print(table(rows, ["popups", "popups", "copies arrived", "windows", "second windows", "expected",
                       "never opened", "expected lost"]))
    popup_bound = binomial_tail_bound(total_popups, per_line)

    print()
    rows = [[f"{pair.key}", pendings[pair.key]["program"], pendings[pair.key]["console"], pair.most_open,
             f"{pair.pace_late:.1f}"] for pair in pairs]
    print(table(rows, ["bed", "most pending (program)", "most pending (console)", "most popups open",
                       "pace late by (s)"]))

    print()
    print(f"loss {options.loss}% each way on the program's link; {options.lines} lines each way per bed at "
          f"{options.rate:g} a second; {options.popups} popups per bed; {seconds / 60:.1f} min in all")
    print(f"a line is lost when all {SENDS} copies are: {per_line:.3g} a line, {len(directions[0].texts) * per_line:.2f} "
          f"in {len(directions[0].texts)}; more than {line_bound} lost of {total_lines} (or more than {popup_bound} "
          f"popups of {total_popups}) has a chance below {UNLIKELY:g}")
    print(f"a popup opens {windows_each:.3f} windows on average, {repeats_each:.3f} of them second windows")

    if total_lost > line_bound:
        faults.append(f"{total_lost} lines lost, more than the {line_bound} the loss explains")
    if total_popups_lost > popup_bound:
        faults.append(f"{total_popups_lost} popups never opened, more than the {popup_bound} the loss explains")
    for key, pending in pendings.items():
        for side, most in pending.items():
            if most >= PENDING_CAPACITY:
                faults.append(f"{key}: the {side}'s pending list filled ({most} kept)")

    summary = {"loss_percent": options.loss, "lines_each_way": options.lines, "rate": options.rate,
               "popups": options.popups, "minutes": round(seconds / 60, 1),
               "directions": [{"label": d.label, "lines": len(d.texts), "copies": d.copies(), "arrived": d.arrived(),
                               "acks_back": d.acks_back(), "shown_twice": sum(d.twice.values()), "lost": d.lost}
                              for d in directions],
               "expected_lost_per_direction": len(directions[0].texts) * per_line, "line_bound": line_bound,
               "popup_runs": [{"label": p.label, "popups": p.count, "arrived": p.arrived, "windows": p.windows,
                               "second_windows": p.repeats, "lost": p.lost, "timelines": p.timelines}
                              for p in popup_runs],
               "expected_second_windows_each": repeats_each, "pending": pendings, "faults": faults}
    (h.WORK / "loss-soak.json").write_text(json.dumps(summary, ensure_ascii=False, indent=1))
    print()
    if faults:
        print(f"loss soak: FAILED, {len(faults)} faults:")
        for fault in faults[:60]:
            print(f"  {fault}")
        if len(faults) > 60:
            print(f"  ... and {len(faults) - 60} more (see {h.WORK / 'loss-soak.json'})")
        return 1
    print("loss soak: passed")
    return 0


# ------------------------------------------------------------ the campaign


def wait_quiet(taps, quiet, timeout):
    def calm():
        moments = [t.last_moment() for t in taps if t.last_moment() is not None]
        return not moments or time.monotonic() - max(moments) >= quiet

    return h.wait_until(calm, timeout, interval=0.5)


def campaign(options):
    started = time.monotonic()
    with contextlib.ExitStack() as stack:
        pairs = [Pair(key, options, stack) for key in PAIRS]
        for pair in pairs:
            pair.start()
        say(f"two copies and two console peers up after {time.monotonic() - started:.0f} s; "
            f"{options.loss}% loss each way on each copy's link")

        stop, popups_done = threading.Event(), threading.Event()
        begin = time.monotonic() + 1
        senders, closers, watchers = [], [], []
        for pair in pairs:
            senders.append(threading.Thread(target=pair.type_lines, args=(begin, stop), daemon=True))
            senders.append(threading.Thread(target=pair.console_lines, args=(begin, stop), daemon=True))
            closers.append(threading.Thread(target=pair.close_popups, args=(popups_done,), daemon=True))
            watchers.append(threading.Thread(target=pair.watch, args=(stop,), daemon=True))
        for thread in senders + closers + watchers:
            thread.start()
        while any(t.is_alive() for t in senders):
            for thread in senders:
                thread.join(60)
                if thread.is_alive():
                    break
            say("; ".join(f"{p.key}: {p.typed} typed, {p.sent_by_console} from the console, "
                          f"{len(p.windows)} popup windows" for p in pairs))
        sent_at = time.monotonic()
        if not stop.is_set():
            say(f"all sent after {sent_at - begin:.0f} s; waiting {RESEND_WINDOW} s for the last resends")
            while time.monotonic() < sent_at + RESEND_WINDOW and not stop.is_set():
                stop.wait(5)
            taps = [t for p in pairs for t in p.taps.values()]
            wait_quiet(taps, 5, TICK + 5)
            time.sleep(3)  # the last windows open
        popups_done.set()
        for thread in closers:
            thread.join(60)
        stop.set()
        for thread in watchers:
            thread.join(5)
        for pair in pairs:
            if pair.program.running():
                pair.collect()
            else:
                pair.console_shown = []
                pair.log_shown = pair._chat_of(pair.program.log_lines())
        return report(pairs, options, time.monotonic() - started)


def main(argv):
    parser = argparse.ArgumentParser(description="The loss soak of chat lines and popups.")
    parser.add_argument("--lines", type=int, default=int(os.environ.get("SOAK_LOSS_LINES", 500)),
                        help="chat lines each way on each bed (default 500)")
    parser.add_argument("--rate", type=float, default=float(os.environ.get("SOAK_LOSS_RATE", 1.0)),
                        help="lines a second from each sender (default 1)")
    parser.add_argument("--popups", type=int, default=int(os.environ.get("SOAK_LOSS_POPUPS", 30)),
                        help="popups from the console peer to the copy on each bed (default 30)")
    parser.add_argument("--loss", type=int, default=int(os.environ.get("SOAK_LOSS_PERCENT", 30)),
                        help="percent of the datagrams lost each way on each copy's link (default 30)")
    options = parser.parse_args(argv)
    # A time limit's signal still stops the programs and removes the beds.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(128 + signal.SIGTERM))
    missing = [p for p in (h.PROGRAM_EXE, h.DRIVER_EXE, cp.CONSOLE_EXE) if not p.exists()]
    if missing:
        say(f"not built: {', '.join(map(str, missing))}")
        return 1
    return campaign(options)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
