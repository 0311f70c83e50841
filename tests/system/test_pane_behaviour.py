"""The panes as a user drives them, with real keys and clicks: Tab and
Shift+Tab walk the fixed order (the user area only in personal mode); Enter
in the input area sends once however long it is held, Shift+Enter sends too,
Ctrl+Enter does nothing; the send button with nothing typed sends nothing;
outside personal mode no user stays selected; the IP column sorts by bytes
and turns round on the next click; a user who announced red is drawn red
unless the user-area colour is forced; Start and End each act once and the
toolbar shows which of them holds; the output area's context menu copies its
selection into the input area.

What the program sends is what a scripted peer in another namespace
receives; the peer acknowledges every chat line, so nothing is resent."""
import time
import unittest

import command_ids
import harness as h
import wire

OWN_NAME = b"mine"
PEER_NAME = b"peer"
RED = (255, 0, 0)
EVERYONE = "全員".encode("cp932")
PERSONAL = "個人".encode("cp932")
# Two more users, made known through a user list from the peer. Their
# addresses lie in the test network's range, where no host answers; in byte
# order "198.18.0.10" comes before "198.18.0.9".
OTHERS = ((b"alpha", "198.18.0.9"), (b"zulu", "198.18.0.10"))
# How long the peer listens to be sure that nothing more comes.
QUIET = 1.5
IDS = {name: command_ids.id_of(name) for name in ("IDC_OUTPUT", "IDC_INPUT", "IDC_USERLIST", "IDC_SEND")}


def pane_ini(hosts=(), **client):
    """The program's INI: its name, the host address list, and a user area
    wide enough to show all three columns."""
    broadcast = {"Number": len(hosts), **{f"Address{i + 1:02d}": a for i, a in enumerate(hosts)}}
    return h.ini_text({"Client_Definition": {"Name": OWN_NAME.decode(), **client},
                       "Broadcast_Definition": broadcast,
                       "Window_Information": {"Split2_Pos": 330}})


def chat_text(datagram):
    return datagram[20:].split(b"\0", 1)[0]


class PeerAndProgram(h.SystemTestCase):
    """The program in namespace 1 and a scripted peer in namespace 2 that has
    announced itself in red."""

    INI = None

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.require_namespaces(2)
        cls.program = cls.start_class_program(1, cls.INI())
        cls.peer = cls.open_class_peer(2)
        cls.own = h.slot_address(1)
        cls.program.main_window(title=b"Mosswick - [" + OWN_NAME + b"]")
        cls.counter = 7000

    def setUp(self):
        super().setUp()
        self.peer.drain()
        # The numbers of the program's datagrams seen so far: a copy resent
        # at the program's tick (its acknowledgement was not yet in) is the
        # same datagram again, not a new one.
        self.seen = set()

    @classmethod
    def tell(cls, datagram):
        """Sends the datagram until the program acknowledges it."""
        answer = cls.peer.exchange(datagram, cls.own, wire.acknowledges(datagram), alive=cls.program.running)
        if answer is None:
            raise AssertionError(f"the program did not acknowledge kind {wire.Header(datagram).kind}")

    @classmethod
    def next_count(cls):
        cls.counter += 1
        return cls.counter

    @classmethod
    def announce_peer(cls):
        cls.tell(wire.own_entry_datagram(wire.KIND_START, cls.peer.address, cls.next_count(), PEER_NAME,
                                         color=RED))

    def rows(self):
        return self.program.list_rows("IDC_USERLIST")

    def wait_rows(self, count, timeout=15):
        if not h.wait_until(lambda: len(self.rows()) == count, timeout, interval=0.3):
            self.assertEqual(len(self.rows()), count, f"rows: {self.rows()}")

    def row_of(self, address):
        for index, row in enumerate(self.rows()):
            if row[2] == address.encode():
                return index
        self.fail(f"no row for {address}: {self.rows()}")

    def datagrams(self, kind, seconds):
        """The datagrams of that kind from the program that reach the peer
        within `seconds`; chat lines are acknowledged, and a resent copy (the
        number of one already seen) is left out."""
        got = []
        deadline = time.monotonic() + seconds
        while (left := deadline - time.monotonic()) > 0:
            data = self.peer.wait_for(wire.of_kind(kind, self.own), left)
            if data is None:
                break
            if kind == wire.KIND_CHAT:
                self.peer.send(wire.expected_resp(data, self.peer.address), self.own)
            if wire.Header(data).all_count not in self.seen:
                self.seen.add(wire.Header(data).all_count)
                got.append(data)
        return got

    def next_chat(self, timeout=10):
        """The text of the next chat line that reaches the peer (acknowledged),
        or None."""
        deadline = time.monotonic() + timeout
        while (left := deadline - time.monotonic()) > 0:
            data = self.peer.wait_for(wire.of_kind(wire.KIND_CHAT, self.own), left)
            if data is None:
                return None
            self.peer.send(wire.expected_resp(data, self.peer.address), self.own)
            if wire.Header(data).all_count not in self.seen:
                self.seen.add(wire.Header(data).all_count)
                return chat_text(data)
        return None

    def assert_nothing_sent(self, kind, what):
        extra = self.datagrams(kind, QUIET)
        self.assertEqual([chat_text(d) if kind == wire.KIND_CHAT else wire.Header(d).kind for d in extra], [],
                         f"sent after {what}")

    def input_text(self):
        return self.program.child_text("IDC_INPUT")

    def wait_status(self, text):
        if not h.wait_until(lambda: self.program.status_text(1) == text, 5, interval=0.2):
            self.assertEqual(self.program.status_text(1), text, "status bar part 1")


class PanesDriven(PeerAndProgram):
    """The user area holds four users: the program itself (198.18.0.11), the
    red peer (198.18.0.12) and the two users from the peer's list."""

    INI = staticmethod(lambda: pane_ini(UsArea_TextColor_Force="No"))

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.announce_peer()
        entries = [wire.user_entry(address, name) for name, address in OTHERS]
        cls.tell(wire.userlist(cls.peer.address, cls.next_count(), entries))

    def setUp(self):
        super().setUp()
        # A message box left by an earlier test would hold every click.
        self.program.drive("press-button", wait=0, check=False)
        self.wait_rows(4)
        if self.program.status_text(1) != EVERYONE:
            self.program.command("IDM_PERSONALMODE")
            self.wait_status(EVERYONE)
        self.program.set_text("IDC_INPUT", b"")

    def walk(self, start, *steps):
        """Clicks into the `start` pane, then types each key of `steps`
        ((key, pane) pairs) and waits for the focus to reach its pane."""
        self.program.click(start, 5, 5)
        tokens = [f"expect-focus:{IDS[start]}"]
        for key, pane in steps:
            tokens += [key, f"expect-focus:{IDS[pane]}"]
        self.program.keys(*tokens)

    def test_tab_order_with_and_without_personal_mode(self):
        self.program.set_text("IDC_INPUT", b"abc")
        forwards = ["IDC_SEND", "IDC_OUTPUT", "IDC_INPUT"]
        backwards = ["IDC_OUTPUT", "IDC_SEND", "IDC_INPUT"]
        self.walk("IDC_INPUT", *[("Tab", p) for p in forwards], *[("Shift+Tab", p) for p in backwards])

        self.program.command("IDM_PERSONALMODE")
        self.wait_status(PERSONAL)
        forwards = ["IDC_SEND", "IDC_USERLIST", "IDC_OUTPUT", "IDC_INPUT"]
        backwards = ["IDC_OUTPUT", "IDC_USERLIST", "IDC_SEND", "IDC_INPUT"]
        self.walk("IDC_INPUT", *[("Tab", p) for p in forwards], *[("Shift+Tab", p) for p in backwards])
        # Tab is never typed into the input area.
        self.assertEqual(self.input_text(), b"abc")

    def test_enter_sends_once_held_enter_repeats_nothing_ctrl_enter_does_nothing(self):
        self.program.click("IDC_INPUT", 5, 5)
        self.program.type_text(b"one")
        self.program.keys("Enter")
        self.assertEqual(self.next_chat(), b"one")
        self.assertTrue(h.wait_until(lambda: self.input_text() == b"", 5), "the input area was not emptied")

        # Enter held down: the first press sends; the text typed while it is
        # held stays, through the repeats, with no line break.
        self.program.type_text(b"two")
        self.program.keys("down:Enter")
        try:
            self.assertEqual(self.next_chat(), b"two")
            self.program.type_text(b"three")
            self.program.keys("down:Enter", "down:Enter", "down:Enter")
            self.assert_nothing_sent(wire.KIND_CHAT, "Enter repeated by holding it")
        finally:
            self.program.keys("up:Enter")
        self.assertEqual(self.input_text(), b"three")

        self.program.keys("Shift+Enter")
        self.assertEqual(self.next_chat(), b"three", "Shift+Enter")

        self.program.type_text(b"four")
        self.program.keys("Ctrl+Enter")
        self.assert_nothing_sent(wire.KIND_CHAT, "Ctrl+Enter")
        self.assertEqual(self.input_text(), b"four", "Ctrl+Enter changed the input area")

        # The own copy of each line sent shows once in the output area, and
        # the line never sent not at all.
        shown = [line.split(b" > ", 1)[1] for line in self.program.output_lines() if b" > " in line]
        counts = {text: shown.count(text) for text in (b"one", b"two", b"three", b"four")}
        self.assertEqual(counts, {b"one": 1, b"two": 1, b"three": 1, b"four": 0}, f"output area: {shown}")

    def test_the_line_limit_counts_cp932_bytes(self):
        # A line holds 255 bytes: a longer text put in is cut at a whole
        # character, and typing past the limit is refused, a two-byte
        # character that would cross it too; what is sent is what was shown.
        kana = "あ".encode("cp932")
        self.program.set_text("IDC_INPUT", b"a" * 300)
        self.assertEqual(self.input_text(), b"a" * 255)
        self.program.set_text("IDC_INPUT", b"a" * 254 + kana)
        self.assertEqual(self.input_text(), b"a" * 254)
        self.program.set_text("IDC_INPUT", b"a" * 252)
        self.program.click("IDC_INPUT", 5, 5)
        self.program.keys("Ctrl+End", "text:" + (kana * 3).hex())
        self.assertEqual(self.input_text(), b"a" * 252 + kana)
        self.program.keys("Enter")
        self.assertEqual(self.next_chat(), b"a" * 252 + kana)

    def test_send_button_sends_nothing_without_text(self):
        before = self.program.output_lines()
        self.program.click("IDC_SEND", 25, 10)
        self.assert_nothing_sent(wire.KIND_CHAT, "the send button with an empty input area")
        self.assertEqual(self.program.output_lines(), before)

        # The same click with text sends it.
        self.program.set_text("IDC_INPUT", b"five")
        self.program.click("IDC_SEND", 25, 10)
        self.assertEqual(self.next_chat(), b"five")
        self.assert_nothing_sent(wire.KIND_CHAT, "one click")

    def test_output_context_menu_copies_the_selection_into_the_input_area(self):
        self.program.set_text("IDC_INPUT", b"six")
        self.program.keys("Enter")
        self.assertEqual(self.next_chat(), b"six")
        self.assertTrue(h.wait_until(lambda: any(line.endswith(b"> six") for line in self.program.output_lines()),
                                     5), "the own line was not shown")
        last = [line for line in self.program.output_lines() if line.endswith(b"> six")][-1]
        row = len(self.program.output_lines()) - 1
        line_height = 14

        # The last line selected by keys, then "入力エリアにコピー(&P)" by its
        # mnemonic: the line is pasted at the input area's caret.
        self.program.set_text("IDC_INPUT", b"|")
        self.program.click("IDC_OUTPUT", 3, 4 + row * line_height)
        self.program.keys("Home", "Shift+End")
        self.program.click("IDC_OUTPUT", 30, 4 + row * line_height, "right")
        self.program.keys("p")
        self.assertTrue(h.wait_until(lambda: self.input_text() == last + b"|", 5), f"input: {self.input_text()!r}")

        # Nothing selected: the clipboard keeps what it had, and that is pasted.
        self.program.set_text("IDC_INPUT", b"")
        self.program.click("IDC_OUTPUT", 3, 4 + row * line_height)
        self.program.click("IDC_OUTPUT", 30, 4 + row * line_height, "right")
        self.program.keys("p")
        self.assertTrue(h.wait_until(lambda: self.input_text() == last, 5), f"input: {self.input_text()!r}")
        self.assert_nothing_sent(wire.KIND_CHAT, "the context menu")

    def test_a_long_conversation_is_read_whole_and_cleared_into_an_area_that_works_as_before(self):
        # 200 lines of some 60 bytes: far beyond what one small read of the
        # area's text holds.
        texts = [("長い会話の%03d行目です。出力エリアを満たしていきます" % i).encode("cp932") for i in range(200)]
        for i, text in enumerate(texts):
            self.peer.send(wire.chat(self.peer.address, self.next_count(), 50000 + i, text), self.own)

        def shown():
            return [line.split(b" > ", 1)[1] for line in self.program.output_lines() if b" > " in line]
        self.assertTrue(h.wait_until(lambda: shown()[-1:] == texts[-1:], 20), f"shown: {len(shown())} lines")
        self.assertEqual(shown()[-200:], texts)

        # Emptied, the area is a new window that shows the next line and
        # keeps its own context menu.
        self.program.command("IDM_CLEAR")
        self.assertTrue(h.wait_until(lambda: self.program.output_lines() == [], 10), "the area was not emptied")
        after = "消去の後".encode("cp932")
        self.tell(wire.chat(self.peer.address, self.next_count(), 50200, after))
        self.assertTrue(h.wait_until(lambda: shown() == [after], 10), f"shown: {shown()}")
        line = self.program.output_lines()[0]
        self.program.set_text("IDC_INPUT", b"")
        self.program.click("IDC_OUTPUT", 3, 4)
        self.program.keys("Home", "Shift+End")
        self.program.click("IDC_OUTPUT", 30, 4, "right")
        self.program.keys("p")
        self.assertTrue(h.wait_until(lambda: self.input_text() == line, 5), f"input: {self.input_text()!r}")
        self.program.set_text("IDC_INPUT", b"")

    def test_users_are_selected_only_in_personal_mode(self):
        self.program.click_row("IDC_USERLIST", 1)
        self.program.click_row("IDC_USERLIST", 2, "ctrl")
        self.assertEqual(self.program.selected_rows("IDC_USERLIST"), [False] * 4, "outside personal mode")
        self.assertFalse(self.program.toolbar_pressed("IDM_PERSONALMODE"))

        self.program.command("IDM_PERSONALMODE")
        self.wait_status(PERSONAL)
        self.assertTrue(self.program.toolbar_pressed("IDM_PERSONALMODE"))
        self.program.click_row("IDC_USERLIST", 0)
        self.program.click_row("IDC_USERLIST", 1, "ctrl")
        self.program.click_row("IDC_USERLIST", 2, "ctrl")
        self.assertEqual(self.program.selected_rows("IDC_USERLIST"), [True, True, True, False], "in personal mode")

        self.program.command("IDM_PERSONALMODE")
        self.wait_status(EVERYONE)
        self.assertEqual(self.program.selected_rows("IDC_USERLIST"), [False] * 4, "after personal mode is off")
        self.assertFalse(self.program.toolbar_pressed("IDM_PERSONALMODE"))

    def test_columns_sort_by_bytes_each_in_its_own_direction(self):
        def column(index):
            return [row[index] for row in self.rows()]

        addresses = sorted(row[2] for row in self.rows())
        self.assertEqual(addresses, [b"198.18.0.10", b"198.18.0.11", b"198.18.0.12", b"198.18.0.9"])
        self.program.click_header("IDC_USERLIST", 2)
        self.assertEqual(column(2), addresses, "first click on the IP column")
        self.program.click_header("IDC_USERLIST", 2)
        self.assertEqual(column(2), addresses[::-1], "second click on the IP column")
        # The name column's first click sorts ascending, whatever the other
        # column did; rows keep their texts together.
        self.program.click_header("IDC_USERLIST", 0)
        self.assertEqual(column(0), [b"alpha", OWN_NAME, PEER_NAME, b"zulu"], "first click on the name column")
        self.assertEqual(column(2), [b"198.18.0.9", b"198.18.0.11", b"198.18.0.12", b"198.18.0.10"])
        self.program.click_header("IDC_USERLIST", 2)
        self.assertEqual(column(2), addresses, "third click on the IP column")

    def test_peer_announced_red_is_drawn_red(self):
        peer_row, own_row = self.row_of(self.peer.address), self.row_of(self.own)
        for index in range(3):
            with self.subTest(column=index):
                self.assertGreater(self.program.pixels("IDC_USERLIST", 0xFF0000, 60, peer_row, index), 0,
                                   "no red in the peer's row")
                self.assertEqual(self.program.pixels("IDC_USERLIST", 0xFF0000, 60, own_row, index), 0,
                                 "red in the own row")
                self.assertGreater(self.program.pixels("IDC_USERLIST", 0x000000, 60, own_row, index), 0,
                                   "the own row is not drawn black")


class StartEndAndForcedColour(PeerAndProgram):
    """The peer is in the program's host address list and has announced
    itself; the user area's colour is forced (black)."""

    INI = staticmethod(lambda: pane_ini([h.slot_address(2)], UsArea_TextColor_Force="Yes"))

    def setUp(self):
        super().setUp()
        self.announce_peer()
        self.wait_rows(2)
        self.peer.drain()

    def buttons(self):
        return {"start": self.program.toolbar_pressed("IDM_START"), "end": self.program.toolbar_pressed("IDM_END")}

    def test_start_and_end_each_act_once_and_show_which_holds(self):
        ended = {"start": False, "end": True}
        self.assertTrue(h.wait_until(lambda: self.buttons() == ended, 10), f"after start-up: {self.buttons()}")

        # End before any Start: no leave announcement, the peer stays.
        self.program.command("IDM_END")
        self.assert_nothing_sent(wire.KIND_END, "End before Start")
        self.assertEqual(len(self.rows()), 2)
        self.assertEqual(self.buttons(), ended)

        self.program.command("IDM_START")
        self.program.command("IDM_START")
        self.assertEqual(len(self.datagrams(wire.KIND_START, 3)), 1, "announcements for Start twice")
        self.assertEqual(self.buttons(), {"start": True, "end": False}, "after Start")

        self.program.command("IDM_END")
        self.program.command("IDM_END")
        self.assertEqual(len(self.datagrams(wire.KIND_END, 3)), 1, "leave announcements for End twice")
        self.assertEqual(self.buttons(), ended, "after End")
        self.wait_rows(1)

    def test_forced_colour_draws_a_red_peer_in_the_user_area_colour(self):
        row = self.row_of(self.peer.address)
        self.assertEqual(self.program.pixels("IDC_USERLIST", 0xFF0000, 60, row), 0, "red in the peer's row")
        self.assertGreater(self.program.pixels("IDC_USERLIST", 0x000000, 60, row), 0, "the peer's row is not black")


if __name__ == "__main__":
    unittest.main()
