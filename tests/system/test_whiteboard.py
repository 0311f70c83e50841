"""The shared whiteboard at the real program: one board at most; a stroke
dragged with the mouse goes to every peer once, never resent; peers' strokes
and clears change the board, a closed board ignores them and opens white;
keys pressed in the board stay there. Between two copies a drawing appears
pixel for pixel on the other board, and a clear empties both."""
import time
import unittest

import console_peer as cp
import harness as h
import wire

BOARD_TITLE = "Mosswick - 白板".encode("cp932")
CLEAR_TITLE = "Mosswick - 白板のクリア".encode("cp932")
CANVAS = "IDC_BOARD_CANVAS"
RED = (255, 0, 0)


def boards(program):
    """Handles of the program's visible whiteboard windows."""
    found = []
    for line in program.drive("windows").splitlines():
        handle, kind, visible, *title = line.split()
        if kind == "#32770" and visible == "1" and title and h.unhexed(title[0]) == BOARD_TITLE:
            found.append(handle)
    return found


def open_board(program, at):
    """Opens the board and moves it to `at` (screen pixels); its handle."""
    program.command("IDM_WHITEBOARD")
    h.wait_until(lambda: boards(program), 10, interval=0.3)
    [board] = boards(program)
    program.drive("move", board, *at)
    return board


def canvas_origin(program, board):
    """The canvas's client area origin in the board's client coordinates."""
    for line in program.drive("layout", board).splitlines()[1:]:
        fields = line.split()
        if int(fields[0]) == h.command_ids.id_of(CANVAS):
            return int(fields[2]) + 2, int(fields[3]) + 2  # inside its edge
    raise AssertionError("no canvas")


def drag(program, board, start, end):
    """A real drag with the left button on the canvas, in canvas pixels."""
    x, y = canvas_origin(program, board)
    program.drive("drag", board, x + start[0], y + start[1], x + end[0], y + end[1])


def digest(program, board):
    """(digest, pixels not white) of the canvas as the screen shows it."""
    value, not_white = program.drive("digest", board, h.command_ids.id_of(CANVAS)).split()
    return value, int(not_white)


def press(program, board, control):
    program.drive("command", board, control if isinstance(control, int) else h.command_ids.id_of(control))


class BoardWithPeers(h.SystemTestCase):

    def setUp(self):
        super().setUp()
        self.require_namespaces(3)
        self.program = self.start_program(1)
        self.program.main_window()
        self.own = h.slot_address(1)
        self.peers = [self.open_peer(2), self.open_peer(3)]
        self.all_count = 9000
        for i, peer in enumerate(self.peers):
            hello = wire.own_entry_datagram(wire.KIND_START, peer.address, self.next_count(), b"peer%d" % i)
            self.assertIsNotNone(peer.exchange(hello, self.own, wire.acknowledges(hello), alive=self.program.running))
        for peer in self.peers:
            peer.drain()

    def next_count(self):
        self.all_count += 1
        return self.all_count

    def stroke_from(self, peer, **fields):
        datagram = wire.board(peer.address, self.next_count(), **fields)
        peer.send(datagram, self.own)
        self.assertIsNotNone(peer.wait_for(wire.acknowledges(datagram), 10), "the stroke was not acknowledged")

    def boards_received(self, peer, seconds):
        got = []
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            datagram = peer.wait_for(wire.of_kind(wire.KIND_BOARD, self.own), max(0.1, deadline - time.monotonic()))
            if datagram is not None:
                got.append(datagram)
        return got

    def test_one_board_and_a_dragged_stroke_to_each_peer_once(self):
        board = open_board(self.program, (700, 100))
        self.program.command("IDM_WHITEBOARD")
        time.sleep(1)
        self.assertEqual(len(boards(self.program)), 1, "a second board opened")
        drag(self.program, board, (20, 30), (150, 120))
        self.assertGreater(digest(self.program, board)[1], 0, "the own stroke is not drawn")
        for peer in self.peers:
            got = self.boards_received(peer, 3)
            self.assertEqual(len(got), 1, f"{peer.address} got {len(got)} strokes")
            stroke = got[0]
            header = wire.Header(stroke)
            self.assertEqual((len(stroke), header.length, header.num, header.addr), (436, 436, 0, self.own))
            width, count, clear = (int.from_bytes(stroke[i:i + 2], "big") for i in (22, 24, 26))
            self.assertEqual((stroke[16:22], width, clear), (bytes(6), 1, 0))
            self.assertGreaterEqual(count, 2)

    @h.long_scenario
    def test_a_stroke_is_never_resent(self):
        board = open_board(self.program, (700, 100))
        drag(self.program, board, (10, 10), (60, 60))
        # The peers acknowledge nothing: a kept copy would come again on the
        # 15-second tick.
        for peer in self.peers:
            self.assertEqual(len(self.boards_received(peer, 20 if peer is self.peers[0] else 1)), 1)

    def test_peer_strokes_and_clears_change_the_board_and_a_closed_board_ignores_them(self):
        board = open_board(self.program, (700, 100))
        self.assertEqual(digest(self.program, board)[1], 0, "the board does not open white")
        self.stroke_from(self.peers[0], colour=RED, width=8, points=[(20, 20), (200, 150), (250, 40)])
        self.assertTrue(h.wait_until(lambda: self.program.drive("pixels", board, h.command_ids.id_of(CANVAS),
                                                                "ff0000", 0) != "0", 5), "the peer's stroke is not drawn")
        self.stroke_from(self.peers[1], clear=True)
        self.assertTrue(h.wait_until(lambda: digest(self.program, board)[1] == 0, 5), "the clear did not empty it")
        # A width of 65535 and points off the canvas draw within bounds.
        self.stroke_from(self.peers[0], colour=RED, width=65535, points=[(10, 10), (65535, 65535)])
        self.assertTrue(h.wait_until(lambda: digest(self.program, board)[1] > 0, 5))
        self.assertTrue(self.program.running())

        press(self.program, board, 2)  # Cancel closes it
        self.assertTrue(h.wait_until(lambda: not boards(self.program), 5), "the board did not close")
        self.stroke_from(self.peers[0], colour=RED, width=8, points=[(20, 20), (200, 150)])
        board = open_board(self.program, (700, 100))
        time.sleep(0.5)
        self.assertEqual(digest(self.program, board)[1], 0, "the reopened board is not white")

    def test_keys_pressed_in_the_board_stay_there(self):
        board = open_board(self.program, (700, 100))
        # Ctrl+W is the main window's "wait in the tray"; pressed in the board
        # it goes to the board's dialog handling first.
        self.program.drive("keys", board, "Ctrl+W", "sleep:500")
        time.sleep(1)
        self.assertTrue(any(kind == "Mosswick" and visible == "1"
                            for _, kind, visible, *_ in (l.split() for l in self.program.drive("windows").splitlines())),
                        "a key pressed in the board reached the main window")


class BoardsBetweenTwoCopies(h.SystemTestCase):

    def test_a_drawing_appears_on_the_other_board_and_a_clear_empties_both(self):
        self.require_namespaces(2)
        programs = self.start_two_copies({1: "青井", 2: "蓮見"}, name="board-copy")
        for slot, program in programs.items():
            self.assertTrue(h.wait_until(lambda: len(program.list_rows("IDC_USERLIST")) == 2, 30, interval=0.5))
        first, second = programs[1], programs[2]
        board1 = open_board(first, (20, 560))
        board2 = open_board(second, (500, 560))
        # Red at width 8, blue at width 4, black at width 1, and a click.
        for swatch, width, start, end in ((1153, "IDC_BOARD_WIDTH8", (20, 20), (250, 200)),
                                          (1154, "IDC_BOARD_WIDTH4", (30, 250), (280, 60)),
                                          (1166, "IDC_BOARD_WIDTH1", (150, 10), (150, 280))):
            press(first, board1, swatch)
            press(first, board1, width)
            drag(first, board1, start, end)
        drag(first, board1, (100, 100), (100, 100))
        time.sleep(1)
        self.assertTrue(h.wait_until(lambda: digest(second, board2) == digest(first, board1), 10),
                        f"the boards differ: {digest(first, board1)} {digest(second, board2)}")
        self.assertGreater(digest(first, board1)[1], 0)

        press(first, board1, "IDC_BOARD_CLEAR")
        self.assertEqual(first.message_box(CLEAR_TITLE)[1], "白板をクリアしますか？".encode("cp932"))
        first.press_button(CLEAR_TITLE, 6)  # Yes
        self.assertTrue(h.wait_until(lambda: digest(first, board1)[1] == 0 and digest(second, board2)[1] == 0, 10),
                        "a clear did not empty both boards")


class BoardWithConsolePeers(h.SystemTestCase):

    def test_console_peers_see_a_dragged_stroke_and_draw_on_the_board(self):
        self.require_namespaces(3)
        program = self.start_program(1, h.ini_text({"Client_Definition": {"Name": "drawer"}}))
        program.main_window()
        consoles = [cp.start_console(self, f"viewer{slot}", slot, cp.console_ini(f"viewer{slot}", [h.slot_address(1)]))
                    for slot in (2, 3)]
        for console in consoles:
            console.wait_ready()
        self.assertTrue(h.wait_until(lambda: len(program.list_rows("IDC_USERLIST")) == 3, 30, interval=0.5),
                        "the program does not see both console peers")
        board = open_board(program, (700, 100))
        marks = [console.mark() for console in consoles]
        drag(program, board, (30, 40), (200, 160))
        for console, mark in zip(consoles, marks):
            lines = console.wait_board_lines(1, 10, since=mark)
            self.assertIsNotNone(lines, f"{console.describe()} saw no stroke")
            [stroke] = lines
            self.assertEqual((stroke.sender, stroke.colour, stroke.width, stroke.clear), ("drawer", "000000", 1, False))
            self.assertGreaterEqual(stroke.count, 2)

        consoles[0].send_stroke((255, 0, 0), 8, [(20, 250), (280, 250)], to=h.slot_address(1))
        self.assertTrue(h.wait_until(lambda: program.drive("pixels", board, h.command_ids.id_of(CANVAS),
                                                           "ff0000", 0) != "0", 10), "the console's stroke is not drawn")
        consoles[1].send_clear()
        self.assertTrue(h.wait_until(lambda: digest(program, board)[1] == 0, 10), "the console's clear did not empty it")


if __name__ == "__main__":
    unittest.main()
