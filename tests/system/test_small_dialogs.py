"""The status change, machine information and version dialogs of the real
program, opened by their commands. The status dialog lists the nine presets
in order under the current status, takes 14 typed bytes at most, refuses an
empty field with a message (nothing sent, the dialog stays), and sends a new
status, or the same one again, to a scripted peer as a status change that
the own row of the user area shows too. The machine information dialog
shows the namespace's host name, the login name and the program's own
address; the version dialog its icon, name and version."""
import time
import unittest

import command_ids
import harness as h
import wire

STATUS_TITLE = "Mosswick - 状態変更".encode("cp932")
INFO_TITLE = "Mosswick - マシン情報".encode("cp932")
VERSION_TITLE = "Mosswick - バージョン情報".encode("cp932")
PRESETS = [text.encode("cp932") for text in
           ("受信可", "受信不可", "在席中", "外出中", "会議中", "食事中", "休憩中", "喫煙中", "睡眠中")]
EMPTY_FIELD = "文字が入力されていません。".encode("cp932")
OBTAINING = "  取得中".encode("cp932")
MOSS_GREEN = 0x346E28  # the speech bubble of the program icon
IDOK, IDCANCEL = 1, 2
NAME = b"dialoger"
QUIET = 1.5  # how long a peer listens to be sure nothing comes


def dialogs(program, title):
    """Handles of the visible dialog boxes with this caption (a message box
    over a dialog may share the dialog's caption), topmost first."""
    found = []
    for line in program.drive("windows").splitlines():
        handle, kind, visible, *caption = line.split()
        if kind == "#32770" and visible == "1" and caption and h.unhexed(caption[0]) == title:
            found.append(handle)
    return found


def statics(program, handle):
    """The texts of the window's static controls."""
    lines = [line.split() for line in program.drive("children", handle).splitlines()]
    return [h.unhexed(text) for _, kind, _, text in lines if kind == "Static"]


def text(program, handle, control):
    return h.unhexed(program.drive("child-text", handle, command_ids.id_of(control)))


def set_field(program, handle, value):
    program.drive("set-text", handle, command_ids.id_of("IDC_STATUS_TEXT"), h.hexed(value))


def press(program, handle, button):
    program.drive("command", handle, button)


class SmallDialogs(h.SystemTestCase):

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.require_namespaces(2)
        cls.program = cls.start_class_program(1, h.ini_text({"Client_Definition": {"Name": NAME.decode()}}))
        cls.program.main_window(title=b"Mosswick - [" + NAME + b"]")
        cls.own = h.slot_address(1)
        cls.peer = cls.open_class_peer(2)
        cls.seen_counts = set()
        wire.wait_listening(cls.peer, cls.own, 9001, cls.program.running)
        hello = wire.own_entry_datagram(wire.KIND_START, cls.peer.address, 9002, b"peer")
        if cls.peer.exchange(hello, cls.own, wire.acknowledges(hello), alive=cls.program.running) is None:
            raise AssertionError("the peer's announcement was not acknowledged")

    def open(self, command, title):
        """Opens a dialog through the main window's command; its handle."""
        self.assertEqual(dialogs(self.program, title), [], "the dialog is open already")
        self.program.command(command)
        found = h.wait_until(lambda: dialogs(self.program, title), 15)
        self.assertTrue(found, f"{command} opens no dialog")
        self.addCleanup(self.close_left_open, title)
        return found[0]

    def close_left_open(self, title):
        """After a failure: the dialogs and message boxes a test left, so that
        the next test finds the main window free."""
        for handle in dialogs(self.program, title):
            self.program.drive("command", handle, IDCANCEL, check=False)
        h.wait_until(lambda: not dialogs(self.program, title), 10)

    def assert_closes(self, title):
        self.assertTrue(h.wait_until(lambda: not dialogs(self.program, title), 10), "the dialog did not close")

    def own_row(self):
        for name, status, address in self.program.list_rows("IDC_USERLIST"):
            if address == self.own.encode():
                return name, status
        return None

    def status_changes(self, timeout):
        """The status field (20 bytes) of the next new status change from the
        program, or None. Each one is acknowledged, as a peer does, and a
        resend of one seen before does not count as new."""
        deadline = time.monotonic() + timeout
        while (left := deadline - time.monotonic()) > 0:
            got = self.peer.wait_for(wire.of_kind(wire.KIND_STATUS, self.own), left)
            if got is None:
                return None
            self.peer.send(wire.expected_resp(got, self.peer.address), self.own)
            if wire.Header(got).all_count in self.seen_counts:
                continue
            self.seen_counts.add(wire.Header(got).all_count)
            entry = got[wire.HEADER_SIZE:wire.HEADER_SIZE + wire.ENTRY_SIZE]
            self.assertEqual(entry[4:4 + len(NAME) + 1], NAME + b"\0", "the status change names someone else")
            return entry[32:52]
        return None

    def change_status(self, status):
        """Opens the dialog, puts `status` into the field and presses 変更."""
        dialog = self.open("IDM_STATUS", STATUS_TITLE)
        set_field(self.program, dialog, status)
        press(self.program, dialog, IDOK)
        self.assert_closes(STATUS_TITLE)

    def test_status_dialog(self):
        self.peer.drain()
        dialog = self.open("IDM_STATUS", STATUS_TITLE)
        self.assertEqual(text(self.program, dialog, "IDC_STATUS_TEXT"), PRESETS[0], "the field lacks the status")

        # Walking the list with the arrow keys puts each preset into the field.
        field = lambda: text(self.program, dialog, "IDC_STATUS_TEXT")
        self.program.drive("keys", dialog, "Down", *["Up"] * len(PRESETS), "sleep:500")
        self.assertTrue(h.wait_until(lambda: field() == PRESETS[0], 5), "the top of the list is not the first preset")
        shown = [field()]
        for _ in PRESETS[1:]:
            self.program.drive("keys", dialog, "Down")
            h.wait_until(lambda: field() != shown[-1], 5)
            shown.append(field())
        self.assertEqual(shown, PRESETS, "the presets are not listed in their order")

        # Typing stops at 14 bytes.
        set_field(self.program, dialog, b"")
        self.program.drive("keys", dialog, "text:" + b"abcdefghijklmnopqrst".hex(), "sleep:300")
        h.wait_until(lambda: len(field()) >= 14, 5)
        self.assertEqual(field(), b"abcdefghijklmn")

        # An empty field is refused; the dialog stays; Cancel then sends nothing.
        set_field(self.program, dialog, b"")
        press(self.program, dialog, IDOK)
        boxes = h.wait_until(lambda: [b for b in dialogs(self.program, STATUS_TITLE) if b != dialog], 10)
        self.assertTrue(boxes, "no message for the empty field")
        self.assertIn(EMPTY_FIELD, statics(self.program, boxes[0]))
        press(self.program, boxes[0], IDOK)
        self.assertTrue(h.wait_until(lambda: dialogs(self.program, STATUS_TITLE) == [dialog], 10),
                        "the dialog did not stay open alone after the message")
        press(self.program, dialog, IDCANCEL)
        self.assert_closes(STATUS_TITLE)
        self.assertIsNone(self.status_changes(QUIET), "a refused or cancelled status was sent")
        self.assertEqual(self.own_row(), (NAME, PRESETS[0]))

        # A typed status of 14 bytes goes to the peer whole and shows in the own row.
        typed = "打合せ中です。".encode("cp932")
        self.change_status(typed)
        self.assertEqual(self.status_changes(10), wire.text_field(typed, 20), "the new status was not sent")
        self.assertTrue(h.wait_until(lambda: self.own_row() == (NAME, typed), 10),
                        f"the own row shows {self.own_row()}")

        # The dialog opens on the status in force, and pressing 変更 on it sends it again.
        dialog = self.open("IDM_STATUS", STATUS_TITLE)
        self.assertEqual(text(self.program, dialog, "IDC_STATUS_TEXT"), typed)
        press(self.program, dialog, IDOK)
        self.assert_closes(STATUS_TITLE)
        self.assertEqual(self.status_changes(10), wire.text_field(typed, 20), "the same status is not sent again")

        # A preset the same way, and back to where the class started.
        self.change_status(PRESETS[0])
        self.assertEqual(self.status_changes(10), wire.text_field(PRESETS[0], 20))
        self.assertTrue(h.wait_until(lambda: self.own_row() == (NAME, PRESETS[0]), 10))

    def test_machine_information_and_version(self):
        dialog = self.open("IDM_MACHINEINFO", INFO_TITLE)
        self.assertTrue(h.wait_until(lambda: text(self.program, dialog, "IDC_INFO_COMPUTER") != OBTAINING, 10),
                        "the host name is never filled in")
        host = h.namespace_name(1).encode()
        self.assertEqual(text(self.program, dialog, "IDC_INFO_COMPUTER"), b"  " + host)
        self.assertEqual(text(self.program, dialog, "IDC_INFO_ADDRESS"), b"  " + self.own.encode())
        self.assertEqual(text(self.program, dialog, "IDC_INFO_LOGIN"), b"  " + h.login_name())
        press(self.program, dialog, IDOK)
        self.assert_closes(INFO_TITLE)

        dialog = self.open("IDM_VERSION", VERSION_TITLE)
        self.assertIn(b"Mosswick  Version 1.16", statics(self.program, dialog))
        icon = int(self.program.drive("pixels", dialog, command_ids.id_of("IDC_VERSION_ICON"), f"{MOSS_GREEN:06x}", 8))
        self.assertGreater(icon, 50, "the program icon is not drawn")
        self.program.drive("keys", dialog, "Escape")
        self.assert_closes(VERSION_TITLE)


if __name__ == "__main__":
    unittest.main()
