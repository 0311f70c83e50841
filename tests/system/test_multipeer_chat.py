"""Chat lines between whole programs. A line typed into one copy's input area
shows in the other copies' output areas (in the sender's colour) and message
logs, numbered from 1; console peers and the program talk both ways. Over a
lossy link, 50 lines each way show exactly once, however their copies
arrive. A peer that never acknowledges gets a message six times in all, and a
receiver whose acknowledgements are all lost shows it once.

The lossy link and the silent peer wait for the resend tick; they run on
beds of their own in the background while the copies talk."""
import os
import time
import unittest

import background
import console_peer as cp
import harness as h
import netbed
import wire

TICK = 15
RESENDS = 5
LOSS_PERCENT = 30
LINES_EACH_WAY = 50
# Six sends on a 15-second tick reach 75 s after the first; a little more for
# slow starts.
RESEND_WINDOW = 95

_module_started = None
_scenarios = {}


def program_skip_reason():
    """Why the program cannot run here, or None."""
    missing = [p.name for p in (h.PROGRAM_EXE, h.DRIVER_EXE) if not p.exists()]
    if missing:
        return f"not built: {', '.join(missing)}"
    if not os.environ.get("DISPLAY"):
        return "no display (run through tools/run-system-tests.sh)"
    return None


def setUpModule():
    global _module_started
    _module_started = time.monotonic()
    if h.netbed_skip_reason(1) is not None or os.environ.get("MW_QUICK") == "1":
        return
    _scenarios["lossy"] = background.Background("50 lines each way over a lossy link", fifty_each_way_over_loss)
    if program_skip_reason() is None:
        for sends in (True, False):
            _scenarios[f"program {'sends' if sends else 'receives'}"] = background.Background(
                f"a silent peer, the program {'sending' if sends else 'receiving'}",
                lambda scene, sends=sends: silent_peer_and_deaf_receiver(scene, sends))


def tearDownModule():
    for scenario in _scenarios.values():
        scenario.cancel()
    print(f"\nmulti-peer chat: {time.monotonic() - _module_started:.0f} s"
          + "".join(f"; {s.name} {s.seconds:.0f} s" for s in _scenarios.values() if s.seconds is not None))


def message_number(datagram):
    """The low 16 bits of a chat datagram's counter, signed."""
    return int.from_bytes(datagram[18:20], "big", signed=True)


def message_text(datagram):
    return datagram[20:].split(b"\0", 1)[0]


def shown_by_repeat_rule(copies):
    """The (number, text) lines a receiver shows for these chat copies from a
    sender that did not start over meanwhile, in arrival order: the first copy
    of each number is shown, every later copy of it is a repeat."""
    shown, seen = [], set()
    for datagram in copies:
        number = message_number(datagram)
        if number in seen:
            continue
        seen.add(number)
        shown.append((number - 1000, message_text(datagram).decode("cp932")))
    return shown


def numbers_shown(lines, sender):
    """The distinct message numbers of the sender's chat lines."""
    return {chat[0] for chat in map(cp.parse_chat, lines) if chat and chat[1] == sender}


def wait_quiet(sniffers, quiet=2.0, timeout=60):
    """Waits until no datagram has arrived at any of the links for `quiet`
    seconds (resends come in bursts, one per tick)."""
    def calm():
        moments = [s.last_moment() for s in sniffers if s.last_moment() is not None]
        return not moments or time.monotonic() - max(moments) >= quiet

    return h.wait_until(calm, timeout, interval=0.2)


# ------------------------------------------------------------ background


def fifty_each_way_over_loss(scene):
    """Two console peers; the link of the first loses 30% of the datagrams in
    each direction. Each types 50 lines at once. Every datagram between them
    crosses the lossy link once, and what reaches each peer is watched on its
    own link: its screen must show each line whose copies arrived exactly
    once, in the order of their first copies, even when a resent copy comes
    after later lines."""
    bed = scene.bed(2)
    names = {1: "lossyA", 2: "lossyB"}
    peers = {}
    for slot, name in names.items():
        other = h.slot_address(3 - slot)
        peer = scene.console(name, slot, cp.console_ini(name, [other]), bed).wait_ready()
        scene.check.assertIsNotNone(peer.wait_line("[state] started", 10), peer.describe())
        peers[slot] = peer
    for slot, peer in peers.items():
        scene.check.assertIsNotNone(peer.wait_users(lambda rows: len(rows) == 2, 30), peer.describe())
    links = {slot: scene.sniffer(slot, bed) for slot in names}
    bed.loss(1, LOSS_PERCENT)

    texts = {slot: [f"{names[slot]} 行{i:02d} over a lossy link" for i in range(1, LINES_EACH_WAY + 1)]
             for slot in names}
    marks = {slot: peer.mark() for slot, peer in peers.items()}
    for slot, peer in peers.items():
        peer.send_lines(texts[slot])

    deadline = time.monotonic() + RESEND_WINDOW
    for slot, peer in peers.items():
        sender = names[3 - slot]
        peer.wait_for(lambda lines: len(numbers_shown(lines, sender)) >= LINES_EACH_WAY,
                      max(1, deadline - time.monotonic()))

    # What each peer shows, read while nothing arrives.
    def arrived():
        return {slot: len(links[slot].arrivals(wire.KIND_CHAT)) for slot in names}

    for _ in range(10):
        wait_quiet(links.values())
        before = arrived()
        shown = {slot: [(n, text) for n, name, text in peers[slot].chat_lines(marks[slot])
                        if name == names[3 - slot]] for slot in names}
        if arrived() == before:
            break
    outcome = {}
    for slot in names:
        sender_slot = 3 - slot
        copies = [d.payload for d in links[slot].arrivals(wire.KIND_CHAT, h.slot_address(sender_slot))]
        expected = shown_by_repeat_rule(copies)
        scene.check.assertEqual(shown[slot], expected, f"{names[slot]} shows other than the copies it received")
        scene.check.assertEqual(len(shown[slot]), len(set(shown[slot])), f"{names[slot]} shows a line twice")
        sent = {(i, text) for i, text in enumerate(texts[sender_slot], 1)}
        missing = sent - set(shown[slot])
        # A line is lost only when all six of its copies are: about one run
        # in thirty loses one of the fifty at 30% loss.
        scene.check.assertLessEqual(len(missing), 1, f"lines never shown at {names[slot]}: {sorted(missing)}")
        outcome[names[slot]] = (len(copies), len(shown[slot]), len(shown[slot]) - len(set(shown[slot])),
                                len(missing))
    return outcome


class ProgramSide:
    """The program as one end of a scenario, on a bed of its own."""

    def __init__(self, scene, bed, slot, name, hosts):
        broadcast = {"Number": len(hosts), **{f"Address{i + 1:02d}": a for i, a in enumerate(hosts)}}
        ini = h.ini_text({"Client_Definition": {"Name": name, "Start_Send": "Yes", "Log_Save": "Yes"},
                          "Broadcast_Definition": broadcast})
        self.program = scene.program(f"silent-peer-{name}", slot, ini, bed)
        self.program.main_window(title=f"Mosswick - [{name}]".encode("cp932"))

    def wait_users(self, count, timeout):
        return h.wait_until(lambda: len(self.program.list_rows("IDC_USERLIST")) == count, timeout, interval=0.5)

    def say(self, text):
        self.program.set_text("IDC_INPUT", text.encode("cp932"))
        self.program.command("IDM_SEND")

    def output_texts(self):
        return [line.decode("cp932", "replace") for line in self.program.output_lines()]

    def logged_texts(self):
        return [line.decode("cp932", "replace") for line in self.program.log_lines()]

    def times_shown(self, line):
        return {"log": self.program.log_lines().count(line.encode("cp932")),
                "output area": self.program.output_lines().count(line.encode("cp932"))}


class ConsoleSide:
    """A console peer as one end of a scenario."""

    def __init__(self, scene, bed, slot, name, hosts):
        self.peer = scene.console(name, slot, cp.console_ini(name, hosts), bed).wait_ready()

    def wait_users(self, count, timeout):
        return self.peer.wait_users(lambda rows: len(rows) == count, timeout)

    def say(self, text):
        self.peer.send(text)

    def output_texts(self):
        return list(self.peer.lines)

    def logged_texts(self):
        return []  # the console peer keeps no log here

    def times_shown(self, line):
        return {"console": sum(1 for n, name, text in self.peer.chat_lines() if f"{n} {name} > {text}" == line)}


def silent_peer_and_deaf_receiver(scene, program_sends):
    """A sender sends one line to everyone it knows: a scripted peer that
    never acknowledges anything, and a receiver whose acknowledgements are
    all lost on its link. Each gets the line six times in all (once, then on
    five ticks), then no more; the receiver shows it once. The program is the
    sender and a console peer the receiver, or the other way round."""
    bed = scene.bed(3)
    sending, receiving = (ProgramSide, ConsoleSide) if program_sends else (ConsoleSide, ProgramSide)
    # The receiver listens before the sender announces itself to it.
    receiver = receiving(scene, bed, 3, "受け手", [])
    sender = sending(scene, bed, 1, "送り手", [h.slot_address(3)])
    scene.check.assertTrue(sender.wait_users(2, 30), "the sender does not list the receiver")

    # The silent peer makes itself known with an announcement, and from then
    # on answers nothing.
    silent = bed.peer(2)
    scene.stack.callback(silent.close)
    silent.send(wire.own_entry_datagram(wire.KIND_START, silent.address, 9000, "無口".encode("cp932")),
                h.slot_address(1))
    scene.check.assertTrue(sender.wait_users(3, 15), "the sender does not list the silent peer")
    silent.drain()

    link = scene.sniffer(3, bed)
    bed.loss(3, 100, "out")
    sender.say("一度だけ")

    # The silent peer listens until six copies have come, and one tick more.
    copies = []

    def listen_until(deadline, enough):
        while len(copies) < enough and time.monotonic() < deadline and not scene.cancelled.is_set():
            got = silent.receive(min(1.0, deadline - time.monotonic()))
            if got and wire.Header(got[0]).kind == wire.KIND_CHAT:
                copies.append(got[0])

    listen_until(time.monotonic() + RESEND_WINDOW, 1 + RESENDS)
    listen_until(time.monotonic() + TICK + 3, 2 + RESENDS)
    scene.check.assertEqual(len(copies), 1 + RESENDS, "copies the silent peer received")
    scene.check.assertEqual({wire.Header(d).all_count for d in copies}, {wire.Header(copies[0]).all_count},
                            "resent copies keep their datagram number")
    scene.check.assertEqual(len(link.arrivals(wire.KIND_CHAT, h.slot_address(1))), 1 + RESENDS,
                            "copies that reached the receiver")
    shown = receiver.times_shown("1 送り手 > 一度だけ")
    scene.check.assertEqual(shown, dict.fromkeys(shown, 1), "times the receiver shows the line")

    # A tick after the last copy went unanswered, the sender says the line
    # never arrived, once for each receiver, in its output and not its log.
    told = [f"[未達] 無口 ({h.slot_address(2)}) へのメッセージは届きませんでした： 一度だけ",
            f"[未達] 受け手 ({h.slot_address(3)}) へのメッセージは届きませんでした： 一度だけ"]
    scene.check.assertTrue(h.wait_until(lambda: all(t in sender.output_texts() for t in told), TICK + 5),
                           f"the sender did not say the line never arrived: {sender.output_texts()[-4:]}")
    scene.check.assertEqual([sender.output_texts().count(t) for t in told], [1, 1])
    scene.check.assertFalse([line for line in sender.logged_texts() if "未達" in line], "the notice was logged")


class LossyLinkAndSilentPeer(unittest.TestCase):
    """Sorted after CopiesAndConsole, so that the background runs alongside it."""

    def scenario(self, name, reason):
        if name not in _scenarios:
            self.skipTest(reason)
        return _scenarios[name].result(300)

    @h.long_scenario
    def test_fifty_lines_each_way_over_a_lossy_link(self):
        outcome = self.scenario("lossy", h.netbed_skip_reason(1))
        print("\n  " + "; ".join(f"{name}: {copies} copies, {shown} lines, {twice} shown again, {lost} lost"
                                 for name, (copies, shown, twice, lost) in outcome.items()), end=" ")

    @h.long_scenario
    def test_a_peer_that_never_acknowledges_gets_six_copies_from_the_program(self):
        self.scenario("program sends", h.netbed_skip_reason(1) or program_skip_reason())

    @h.long_scenario
    def test_the_program_shows_once_a_line_whose_acknowledgements_are_lost(self):
        self.scenario("program receives", h.netbed_skip_reason(1) or program_skip_reason())


# ------------------------------------------------------------ copies and console

COPY_NAMES = {1: "窓一", 2: "窓二"}
CONSOLE_NAME = "端末"
CONSOLE_SLOT = 3
COLOURS = {1: 255, 2: 0x008000}  # red and green, 0x00BBGGRR
SCREEN_COLOURS = {1: 0xFF0000, 2: 0x008000}  # the same as 0xRRGGBB
# Side by side in the lower half of the screen, so that what the screen shows
# of one is never the other, nor a window of the scenarios running meanwhile
# (those open where the window system places new windows, at the top left).
PLACES = {1: {"Left": 0, "Top": 540, "Right": 550, "Bottom": 990},
          2: {"Left": 600, "Top": 540, "Right": 1150, "Bottom": 990}}


def copy_ini(slot):
    others = [h.slot_address(other) for other in (1, 2, 3) if other != slot]
    return h.ini_text({"Client_Definition": {"Name": COPY_NAMES[slot], "Start_Send": "Yes", "Log_Save": "Yes",
                                             "Msg_TextColor": COLOURS[slot]},
                       "Broadcast_Definition": {"Number": 2, "Address01": others[0], "Address02": others[1]},
                       "Window_Information": PLACES[slot]})


class CopiesAndConsole(h.SystemTestCase):
    """Two copies of the program (namespaces 1 and 2) and a console peer (3)
    that announce themselves at start to each other, the log on."""

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        netbed.Bed.main(3)
        cls.programs = {}
        for slot in COPY_NAMES:
            program = cls.start_class_program(slot, copy_ini(slot), name=f"chat-copy{slot}")
            program.main_window(title=f"Mosswick - [{COPY_NAMES[slot]}]".encode("cp932"))
            # Each copy is listening before the next announces itself.
            if not h.wait_until(lambda: len(program.list_rows("IDC_USERLIST")) >= 1, h.START_WAIT, interval=0.5):
                raise AssertionError(f"copy {slot} shows no own row")
            cls.programs[slot] = program
        others = [h.slot_address(1), h.slot_address(2)]
        cls.console = cp.start_console(cls, CONSOLE_NAME, CONSOLE_SLOT, cp.console_ini(CONSOLE_NAME, others),
                                       class_level=True).wait_ready()
        if cls.console.wait_users(lambda rows: len(rows) == 3, 30) is None:
            raise AssertionError(f"the console peer does not list everyone: {cls.console.describe()}")
        for slot, program in cls.programs.items():
            if not h.wait_until(lambda: len(program.list_rows("IDC_USERLIST")) == 3, 30, interval=0.5):
                raise AssertionError(f"copy {slot} lists {program.list_rows('IDC_USERLIST')}")

    def wait_shown(self, program, line, where="output", timeout=20):
        """Waits until the line is in the program's output area (or log);
        returns how often it is there."""
        read = program.output_lines if where == "output" else program.log_lines
        h.wait_until(lambda: line in read(), timeout, interval=0.5)
        return read().count(line)

    def type_and_send(self, slot, text):
        program = self.programs[slot]
        program.set_text("IDC_INPUT", text.encode("cp932"))
        program.command("IDM_SEND")
        self.assertTrue(h.wait_until(lambda: program.child_text("IDC_INPUT") == b"", 10, interval=0.5),
                        "the input area was not emptied after sending")

    def test_console_line_reaches_both_copies(self):
        text = "こんにちは、窓の皆さん"
        since = self.console.mark()
        self.console.send(text)
        self.assertIsNotNone(self.console.wait_line(f"1 {CONSOLE_NAME} > {text}", 10, since), "no local echo")
        line = f"1 {CONSOLE_NAME} > {text}".encode("cp932")
        for slot, program in self.programs.items():
            with self.subTest(copy=slot):
                self.assertEqual(self.wait_shown(program, line, "log"), 1, f"log: {program.log_lines()}")
                self.assertEqual(self.wait_shown(program, line), 1, f"output area: {program.output_lines()}")

    def test_copy_line_reaches_the_other_copy_and_the_console_and_back(self):
        since = self.console.mark()
        self.type_and_send(1, "窓一から、ソ・表・能")  # trail bytes 0x5C in CP932
        line = f"1 {COPY_NAMES[1]} > 窓一から、ソ・表・能".encode("cp932")
        self.assertEqual(self.wait_shown(self.programs[1], line), 1, "own echo")
        for where in ("output", "log"):
            self.assertEqual(self.wait_shown(self.programs[2], line, where), 1, f"the other copy's {where}")
        # Drawn in the sender's colour: the other copy shows red, and no
        # green yet (its own colour, which it has not used).
        self.assertGreater(self.programs[2].pixels("IDC_OUTPUT", SCREEN_COLOURS[1], 40), 0, "no red line")
        self.assertEqual(self.programs[2].pixels("IDC_OUTPUT", SCREEN_COLOURS[2], 40), 0, "a green line")
        self.assertIsNotNone(self.console.wait_line(line.decode("cp932"), 10, since), self.console.describe())

        self.type_and_send(2, "お返事")
        answer = f"1 {COPY_NAMES[2]} > お返事".encode("cp932")
        for where in ("output", "log"):
            self.assertEqual(self.wait_shown(self.programs[1], answer, where), 1, f"the first copy's {where}")
        self.assertGreater(self.programs[1].pixels("IDC_OUTPUT", SCREEN_COLOURS[2], 40), 0, "no green line")
        self.assertIsNotNone(self.console.wait_line(answer.decode("cp932"), 10, since), self.console.describe())


if __name__ == "__main__":
    unittest.main()
