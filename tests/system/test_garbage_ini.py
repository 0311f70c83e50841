"""The real program started on broken settings files: empty and huge values,
numbers out of range or not numbers at all, bytes that are no Shift-JIS,
fonts with garbage fields, a line of a megabyte, a settings file that is a
directory or cannot be read. Each time the program starts with its window
titled, shows its own row, uses the values as the settings rules read them
(name, placement, port, the own entry it sends), and closes with exit code 0."""
import contextlib
import os
import re
import unittest
from dataclasses import dataclass, field

import harness as h
import wire

AVAILABLE = "受信可".encode("cp932")
CREATED_SIZE = (550, 450)
MEGABYTE = 1 << 20

CLIENT_TEXTS = ["Name", "ChatMsg_Recieve", "PopupMsg_Recieve", "ChatMsg_Recieve_At_Toray",
                "PopupMsg_Recieve_At_Toray", "IME_Auto_Change", "Broadcast_Send_Check", "Personal_Send_Check",
                "Popup_Send_Check", "Log_Save", "Date_View", "Time_View", "OuArea_TextColor_Force",
                "InArea_TextColor_Force", "UsArea_TextColor_Force", "Icon_Color", "UserArea_View", "Start_Send",
                "Debug"]
CLIENT_NUMBERS = ["Port_Number", "InArea_TextColor", "InArea_BackColor", "OuArea_TextColor", "OuArea_BackColor",
                  "UsArea_TextColor", "UsArea_BackColor", "Msg_TextColor"]
FONTS = ["OuArea_Font", "InArea_Font", "UsArea_Font"]
WINDOW_NUMBERS = ["Split1_Pos", "Split2_Pos", "Split3_Pos", "Left", "Top", "Right", "Bottom"]
WINDOW_TEXTS = ["End_Status", "Personal_Status", "Popup_Status"]
ADDRESSES = [f"Address{i:02d}" for i in range(1, 31)]


def ini_bytes(sections):
    """An INI file from {section: {key: value bytes}}, CR LF line ends."""
    lines = []
    for section, keys in sections.items():
        lines.append(b"[%s]" % section.encode())
        lines.extend(b"%s=%s" % (key.encode(), value) for key, value in keys.items())
    return b"\r\n".join(lines) + b"\r\n"


def every_key(text, number, font, address):
    return ini_bytes({
        "Client_Definition": {**{k: text for k in CLIENT_TEXTS}, **{k: number for k in CLIENT_NUMBERS},
                              **{k: font for k in FONTS}},
        "Broadcast_Definition": {"Broadcast_LocalNetwork": text, "Number": number,
                                 **{k: address for k in ADDRESSES}},
        "Window_Information": {**{k: number for k in WINDOW_NUMBERS}, **{k: text for k in WINDOW_TEXTS}},
    })


def created_size(rect, screen):
    """The saved rectangle was not usable: the window keeps its created size."""
    size = (rect[2] - rect[0], rect[3] - rect[1])
    return None if size == CREATED_SIZE else f"the window is {size}, not its created size {CREATED_SIZE}"


def at_origin_within_screen(rect, screen):
    """A usable rectangle far larger than the screen: moved there, and the
    window system keeps it about the screen's size."""
    width, height = rect[2] - rect[0], rect[3] - rect[1]
    if rect[:2] != (0, 0) or width > screen[0] + 100 or height > screen[1] + 100:
        return f"the window is at {rect}, not at 0, 0 and about the screen's size {screen}"
    return None


@dataclass
class Expect:
    name: bytes = None          # the user name: title, own row, own entry sent (None: the login name)
    # False: the name holds bytes that are no Shift-JIS, and the settings
    # store may hand over something else; title, row and own entry must still
    # agree, and these bytes stay in it.
    exact: bool = True
    keeps: bytes = b""
    shown: bool = True          # False: the program starts waiting in the tray
    port: int = h.PORT          # where it answers; None: nowhere near 55700
    placement: object = created_size
    colour: tuple = (0, 0, 0)   # the own entry's colour as sent
    starts_to: tuple = ()       # slots that get the announcement at start, once each
    chat: bool = False          # a peer's chat line shows in the output area
    saved: dict = field(default_factory=dict)  # Window_Information key -> test of the saved number


@dataclass
class Case:
    name: str
    ini: bytes = None
    prepare: object = None      # prepare(directory) instead of writing `ini`
    expect: Expect = field(default_factory=Expect)


def font(*fields):
    return b":".join(fields)


GOOD_FONT_NUMBERS = [b"-14", b"0", b"0", b"0", b"400", b"0", b"0", b"0", b"128", b"2", b"0", b"0", b"0"]


class GarbageSettings(h.SystemTestCase):

    def setUp(self):
        super().setUp()
        self.slot = 1 if h.netbed_count() >= 3 else None
        self.screen = None

    def run_cases(self, cases):
        for case in cases:
            with self.subTest(case=case.name):
                self.run_case(case)

    def run_case(self, case):
        with contextlib.ExitStack() as stack:
            program = h.Program(re.sub(r"\W+", "-", case.name), self.slot, case.ini)
            stack.callback(program.stop)
            if case.prepare is not None:
                case.prepare(program.dir)
            starts = {slot: stack.enter_context(contextlib.closing(h.Peer(slot))) for slot in case.expect.starts_to}
            program.start()
            self.check_program(program, case.expect, starts, stack)

    def check_program(self, program, expect, starts, stack):
        _, visible, _ = program.main_window()
        row = h.wait_until(lambda: program.list_rows("IDC_USERLIST"), 30, interval=0.5)
        self.assertTrue(row, "no own row")
        title = program.title()
        self.assertTrue(title.startswith(b"Mosswick - [") and title.endswith(b"]"), f"title {title!r}")
        name = title[len(b"Mosswick - ["):-1]
        wanted = h.login_name() if expect.name is None else expect.name[:19]
        if expect.exact:
            self.assertEqual(name, wanted, "the name in the title")
        else:
            self.assertTrue(len(name) <= 19 and expect.keeps in name, f"the name in the title {name!r}")
        self.assertEqual(visible, expect.shown, "shown" if expect.shown else "waiting in the tray")
        [(row_name, row_status, row_address)] = row
        self.assertEqual((row_name, row_status), (name, AVAILABLE), "the own row")
        if self.slot is not None:
            self.assertEqual(row_address, h.slot_address(self.slot).encode())
        rect = tuple(int(v) for v in program.drive("rect", h.MAIN_CLASS).split())
        if self.screen is None:
            self.screen = tuple(int(v) for v in program.drive("screen-size").split())
        problem = expect.placement(rect, self.screen)
        self.assertIsNone(problem, problem)

        if self.slot is not None:
            self.check_network(program, expect, name, starts, stack)
        self.assertTrue(program.running(), "the program has gone")
        program.close()
        self.assertEqual(program.wait_exit(), 0, "the program did not close cleanly")
        if expect.saved:
            saved = h.read_ini(program.ini_path).get("Window_Information", {})
            for key, test in expect.saved.items():
                self.assertRegex(saved.get(key, b""), rb"^-?\d+$", f"saved {key}")
                self.assertTrue(test(int(saved[key])), f"saved {key}={saved[key]!r}")

    def check_network(self, program, expect, name, starts, stack):
        own = h.slot_address(self.slot)
        for slot, peer in starts.items():
            got = peer.wait_for(wire.of_kind(wire.KIND_START, own), 10)
            self.assertIsNotNone(got, f"no announcement at start to {h.slot_address(slot)}")
            self.assertIsNone(peer.wait_for(wire.of_kind(wire.KIND_START, own), 1),
                              f"a second announcement to {h.slot_address(slot)}")
        port = expect.port or h.PORT
        peer = starts[2] if port == h.PORT and 2 in starts else stack.enter_context(contextlib.closing(h.Peer(2, port)))
        hello = wire.own_entry_datagram(wire.KIND_START, peer.address, 7000, b"peer")
        if expect.port is None:
            peer.send(hello, own)
            self.assertIsNone(peer.wait_for(wire.acknowledges(hello), 2), "it answers at 55700")
            return
        self.assertIsNotNone(peer.exchange(hello, own, wire.acknowledges(hello), timeout=15, alive=program.running),
                             f"no answer at port {expect.port}")
        table = peer.wait_for(wire.of_kind(wire.KIND_USERLIST, own), 10)
        self.assertIsNotNone(table, "no table in answer to an announcement")
        entry = table[16:16 + wire.ENTRY_SIZE]
        self.assertEqual(wire.c_text(entry[4:24]), name, "the own name as sent")
        self.assertEqual((entry[24], entry[26], entry[28]), expect.colour, "the own colour as sent")
        if expect.chat:
            line = wire.chat(peer.address, 7001, 1001, b"still readable")
            self.assertIsNotNone(peer.exchange(line, own, wire.acknowledges(line), timeout=10))
            shown = h.wait_until(lambda: program.output_lines()[-1:] == [b"1 peer > still readable"], 10)
            self.assertTrue(shown, f"the output area shows {program.output_lines()[-1:]}")

    # ------------------------------------------------------------ the cases

    def test_empty_huge_and_overlong_values(self):
        huge = b"V" * 10000
        self.run_cases([
            # Empty values are read as empty: no name, port 0, black, and an
            # End_Status that does not begin with "V" starts in the tray.
            Case("every key empty", every_key(b"", b"", b"", b""), expect=Expect(name=b"", shown=False, port=None)),
            # Cut to their fields; numbers at the end of the 32-bit range,
            # the splitter bars clamped from above and saved so.
            Case("every key 10000 bytes", every_key(huge, b"9" * 10000, b"9:" * 5000, b"1." * 5000),
                 expect=Expect(name=huge, port=None, saved={"Split1_Pos": lambda v: 0 < v < 1024,
                                                             "Split2_Pos": lambda v: 0 < v < 1280})),
            Case("a line of 1 MB, then more keys",
                 b"[Client_Definition]\r\nName=" + b"L" * MEGABYTE + b"\r\nPort_Number=55701\r\n",
                 expect=Expect(name=b"L" * 19, port=55701)),
            Case("the whole file one line of 1 MB", b"Name=" + b"M" * MEGABYTE),
        ])

    def test_numbers_out_of_range_and_not_numbers(self):
        window = lambda **keys: {k: str(v).encode() for k, v in keys.items()}
        self.run_cases([
            Case("negative numbers", ini_bytes({
                "Client_Definition": {"Port_Number": b"-1"},
                "Broadcast_Definition": {"Number": b"-5"},
                "Window_Information": window(Split1_Pos=-100000, Split2_Pos=-100000, Split3_Pos=-100000,
                                             Left=-500, Top=-500, Right=100, Bottom=100)}),
                 # Positions are clamped from above only: saved as they came.
                 expect=Expect(port=None, saved={"Split1_Pos": lambda v: v == -100000})),
            Case("numbers beyond 32 bits, placement off the screen", ini_bytes({
                "Client_Definition": {"Port_Number": b"99999999999", "Msg_TextColor": b"99999999999"},
                "Window_Information": window(Split1_Pos=99999999999, Split2_Pos=99999, Left=99999, Top=99999,
                                             Right=100549, Bottom=100449)}),
                 expect=Expect(port=None, colour=(255, 255, 255), saved={"Split1_Pos": lambda v: 0 < v < 1024,
                                                                         "Split2_Pos": lambda v: 0 < v < 1280})),
            # Number far above the 30 addresses there is room for: the
            # addresses given, then the default 127.0.0.1 (the program itself).
            Case("1000 host addresses of which two are given, window larger than the screen", ini_bytes({
                "Client_Definition": {"Start_Send": b"Yes"},
                "Broadcast_Definition": {"Number": b"1000", "Address01": h.slot_address(2).encode(),
                                         "Address02": b"@" + h.slot_address(3).encode(), "Address03": b"nonsense"},
                "Window_Information": window(Left=0, Top=0, Right=99999, Bottom=99999)}),
                 expect=Expect(starts_to=(2, 3), placement=at_origin_within_screen)),
            Case("numbers and colours that are no numbers", ini_bytes({
                "Client_Definition": {"Port_Number": b"abc", "Msg_TextColor": b"blue", "OuArea_BackColor": b"red",
                                      "UsArea_BackColor": b"-1", "UsArea_TextColor": b"0x00FF00"},
                "Broadcast_Definition": {"Number": b"xyz"},
                "Window_Information": {k: b"left" for k in WINDOW_NUMBERS}}),
                 expect=Expect(port=None, saved={"Split1_Pos": lambda v: v == 0})),
            # A number is its leading digits after blanks and a sign.
            Case("numbers with blanks, signs and trailing garbage", ini_bytes({
                "Client_Definition": {"Port_Number": b"  +55701xyz", "Msg_TextColor": b"255 red"},
                "Window_Information": window(Split1_Pos="200px", Left=" 120", Top="+80", Right="620;",
                                             Bottom="560 px")}),
                 expect=Expect(port=55701, colour=(255, 0, 0),
                               placement=lambda rect, screen: None if rect == (120, 80, 620, 560)
                               else f"the window is at {rect}, not at (120, 80, 620, 560)",
                               saved={"Split1_Pos": lambda v: v == 200})),
        ])

    def test_invalid_shift_jis_and_garbage_fonts(self):
        lone = font(*GOOD_FONT_NUMBERS, b"\x82")
        self.run_cases([
            # Sent byte for byte; what a window makes of such bytes is its own.
            Case("a name and face names of lone lead bytes", ini_bytes({
                "Client_Definition": {"Name": b"\x81", "OuArea_Font": lone, "InArea_Font": font(*GOOD_FONT_NUMBERS,
                                                                                                 b"\x80\xff"),
                                      "UsArea_Font": font(*GOOD_FONT_NUMBERS, b"\xff\xfe\xfd")}}),
                 expect=Expect(name=b"\x81", exact=False, chat=True)),
            Case("a name of 0x80, 0xFF and a lead byte at its end",
                 ini_bytes({"Client_Definition": {"Name": b"\x80\xffab\x82"}}),
                 expect=Expect(name=b"\x80\xffab\x82", exact=False, keeps=b"ab")),
            Case("a name cut inside a double-byte character",
                 ini_bytes({"Client_Definition": {"Name": b"A" * 18 + "漢字".encode("cp932")}}),
                 expect=Expect(name=b"A" * 18, exact=False, keeps=b"A" * 18)),
            Case("fonts with garbage fields", ini_bytes({"Client_Definition": {
                "OuArea_Font": font(b"abc", b"def", b"ghi", b"jkl", b"mno", b"pqr", b"stu", b"vwx", b"yz", b"12",
                                    b"34", b"56", b"78", b"face"),
                "InArea_Font": font(b"99999999", b"-99999999", b"3600", b"-3600", b"99999", b"999", b"999", b"999",
                                    b"999", b"999", b"999", b"999", b"999", b"F" * 100),
                "UsArea_Font": b":" * 40}}), expect=Expect(chat=True)),
            Case("fonts of too few fields and of fields all empty", ini_bytes({"Client_Definition": {
                "OuArea_Font": b"1:2:3", "InArea_Font": b"-2147483648:" * 13, "UsArea_Font": font(*[b""] * 14)}}),
                 expect=Expect(chat=True)),
        ])

    def test_settings_file_that_cannot_be_read(self):
        def directory(where):
            (where / "Mosswick.ini").mkdir()

        def unreadable(where):
            path = where / "Mosswick.ini"
            path.write_bytes(ini_bytes({"Client_Definition": {"Name": b"secret", "Port_Number": b"55701"}}))
            path.chmod(0)
            try:
                open(path, "rb").close()
            except PermissionError:
                return
            raise unittest.SkipTest(f"this user (uid {os.geteuid()}) reads a file of mode 000 anyway, and so does "
                                    "the program under Wine: an unreadable settings file cannot be made here")

        self.run_cases([
            Case("Mosswick.ini is a directory", prepare=directory),
            Case("Mosswick.ini cannot be read", prepare=unreadable),
        ])


if __name__ == "__main__":
    unittest.main()
