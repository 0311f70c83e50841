"""Waiting in the tray and the ways an arrival is announced, at the real
program: going to the tray hides the window and shows the icon, and not
before the shell has taken the icon; a new taskbar gets the icon again,
blinking if it blinked; a double-click brings the window back and takes the
icon away; the context menu offers the restore item only from the tray, and
its exit item ends the program over the settings sheet; a notice box opens
once however many lines arrive while it is open; a program that ended in the
tray starts there. (The title-bar icon, which another process cannot read
under Wine, is tested on a real window in the Windows-side tests.)"""
import time
import unittest

import harness as h
import popup_windows as pw
import settings_sheet
import wire

WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_CANCELMODE = 0x203, 0x204, 0x1F
UM_TRAYNOTIFY, IDC_TRAYICON = 64001, 65004
NOTICE_TITLE = "Mosswick - メッセージの到着".encode("cp932")
STANDALONE_TRAY = "__winex11_standalone_tray"
MENU_CLASS = "#32768"


def windows(program):
    """(handle, class, visible) of the top-level windows."""
    return [tuple(line.split()[:3]) for line in program.drive("windows").splitlines()]


def tray_icons(program):
    """How many icons the desktop's tray shows (Wine's tray window, made once
    an icon is added, shows one child per icon)."""
    for handle, kind, visible in windows(program):
        if kind == STANDALONE_TRAY and visible == "1":
            return len(program.drive("children", handle).splitlines())
    return 0


def new_taskbar(program):
    """What Explorer does when it starts again: every icon is gone, and the
    windows are told."""
    program.drive("tray-icon", "Mosswick", IDC_TRAYICON, "delete")
    program.drive("post-registered", "Mosswick", h.hexed(b"TaskbarCreated"), 0, 0)


def main_visible(program):
    return any(kind == "Mosswick" and visible == "1" for _, kind, visible in windows(program))


def notice_boxes(program):
    boxes = []
    for line in program.drive("windows").splitlines():
        handle, kind, visible, *title = line.split()
        if kind == "#32770" and visible == "1" and title and h.unhexed(title[0]) == NOTICE_TITLE:
            boxes.append(handle)
    return boxes


def notices(program):
    return len(notice_boxes(program))


def menu_height(program):
    """The height of the open context menu, or None."""
    for handle, kind, visible in windows(program):
        if kind == MENU_CLASS and visible == "1":
            left, top, right, bottom = map(int, program.drive("rect", handle).split())
            return bottom - top
    return None


class Tray(h.SystemTestCase):

    def start(self, name, slot=None, **client):
        window = client.pop("window", {})
        ini = h.ini_text({"Client_Definition": {"Name": name, **client}, "Window_Information": window})
        program = self.start_program(slot, ini)
        program.main_window(title=f"Mosswick - [{name}]".encode())
        return program

    def test_to_the_tray_and_back(self):
        program = self.start("trayer")
        self.assertEqual(tray_icons(program), 0)
        # The shell refuses an icon it holds already: the window stays until the icon is taken.
        program.drive("tray-icon", "Mosswick", IDC_TRAYICON, "add")
        program.command("IDM_GOTOTRAY")
        self.assertIsNone(h.wait_until(lambda: not main_visible(program), 2), "hidden without an icon")
        program.drive("tray-icon", "Mosswick", IDC_TRAYICON, "delete")
        self.assertTrue(h.wait_until(lambda: not main_visible(program) and tray_icons(program) == 1, 10),
                        "the window is not hidden with an icon in the tray")
        new_taskbar(program)
        self.assertTrue(h.wait_until(lambda: tray_icons(program) == 1, 10), "the icon is lost with the taskbar")
        self.assertFalse(main_visible(program))
        program.drive("post", "Mosswick", UM_TRAYNOTIFY, IDC_TRAYICON, WM_LBUTTONDBLCLK)
        self.assertTrue(h.wait_until(lambda: main_visible(program) and tray_icons(program) == 0, 10),
                        "a double-click does not bring the window back and take the icon away")

    def test_the_restore_item_only_from_the_tray(self):
        program = self.start("menus")
        program.drive("post", "Mosswick", 0x7B, 0, (200 << 16) | 300)  # WM_CONTEXTMENU at (300, 200)
        self.assertTrue(h.wait_until(lambda: menu_height(program) is not None, 10), "no context menu")
        shown = menu_height(program)
        program.drive("post", "Mosswick", WM_CANCELMODE, 0, 0)
        self.assertTrue(h.wait_until(lambda: menu_height(program) is None, 10))
        program.command("IDM_GOTOTRAY")
        self.assertTrue(h.wait_until(lambda: tray_icons(program) == 1, 10))
        program.drive("post", "Mosswick", UM_TRAYNOTIFY, IDC_TRAYICON, WM_RBUTTONDOWN)
        self.assertTrue(h.wait_until(lambda: menu_height(program) is not None, 10), "no menu from the tray")
        # A separator and the restore item more.
        self.assertGreater(menu_height(program), shown + 10, "the tray's menu has no restore item")
        program.drive("post", "Mosswick", WM_CANCELMODE, 0, 0)

    def test_exit_from_the_tray_over_the_settings_sheet_and_its_colour_dialog(self):
        self.require_namespaces(2)
        program = self.start("quitter", 1, Debug="Yes")  # an internal error would show its report
        peer = self.open_peer(2)
        hello = wire.own_entry_datagram(wire.KIND_START, peer.address, 4100, b"peer")
        self.assertIsNotNone(peer.exchange(hello, h.slot_address(1), wire.acknowledges(hello), alive=program.running))
        program.command("IDM_GOTOTRAY")
        self.assertTrue(h.wait_until(lambda: tray_icons(program) == 1, 10))
        sheet = settings_sheet.Sheet.open(program)
        self.assertEqual(sheet.page(settings_sheet.DISPLAY).click("IDC_DISP_OUT_BACK"), "pending")
        peer.drain()
        program.command("IDM_EXIT")  # as the tray menu's last item posts it
        self.assertIsNotNone(peer.wait_for(wire.of_kind(wire.KIND_END, h.slot_address(1)), 15), "no goodbye")
        # The close runs once the dialogs' modal loops have returned, not inside them.
        self.assertNotIn(sheet.handle, [handle for handle, _, _ in windows(program)], "closed under the sheet")
        self.assertEqual(program.wait_exit(), 0, "the program did not end")
        self.assertEqual(h.read_ini(program.ini_path)["Window_Information"]["End_Status"], b"TaskToray")

    def test_a_program_that_ended_in_the_tray_starts_there(self):
        program = self.start_program(None, h.ini_text({"Client_Definition": {"Name": "sleeper"},
                                                       "Window_Information": {"End_Status": "TaskToray"}}))
        self.assertTrue(h.wait_until(lambda: tray_icons(program) == 1, h.START_WAIT), "no tray icon at start")
        self.assertFalse(main_visible(program))


class Arrivals(h.SystemTestCase):

    def setUp(self):
        super().setUp()
        self.require_namespaces(2)
        self.peer = self.open_peer(2)
        self.own = h.slot_address(1)
        self.all_count = 7000

    def start(self, arrival, **client):
        ini = h.ini_text({"Client_Definition": {"Name": "notified", "ChatMsg_Recieve": arrival, **client}})
        self.program = self.start_program(1, ini)
        self.program.main_window(title=b"Mosswick - [notified]")
        self.all_count += 1
        hello = wire.own_entry_datagram(wire.KIND_START, self.peer.address, self.all_count, b"peer")
        ack = self.peer.exchange(hello, self.own, wire.acknowledges(hello), alive=self.program.running)
        self.assertIsNotNone(ack, "the announcement was not acknowledged")

    def chat(self, number, text):
        self.all_count += 1
        datagram = wire.chat(self.peer.address, self.all_count, number, text)
        self.peer.send(datagram, self.own)
        self.assertIsNotNone(self.peer.wait_for(wire.acknowledges(datagram), 10))

    def test_one_notice_box_however_many_lines_arrive(self):
        self.start("Msg")
        pw.other_program_in_front(self, self.program)
        self.chat(1001, b"first")
        self.assertEqual(self.program.message_box(NOTICE_TITLE)[1], "peerさんのメッセージが到着しました。".encode("cp932"))
        box_at, other_at = pw.z_order(self.program, notice_boxes(self.program)[0])
        self.assertLess(box_at, other_at, "the notice opened behind the program in front")
        self.assertEqual(self.program.drive("topmost", notice_boxes(self.program)[0]), "0", "it stays above all")
        self.chat(1002, b"second")
        self.chat(1003, b"third")
        self.assertTrue(h.wait_until(lambda: len(self.program.output_lines()) == 3, 10))
        self.assertEqual(notices(self.program), 1, "a second notice box opened")
        self.program.press_button(NOTICE_TITLE)
        self.assertTrue(h.wait_until(lambda: notices(self.program) == 0, 10))
        self.chat(1004, b"after it closed")
        self.assertTrue(h.wait_until(lambda: notices(self.program) == 1, 10), "no notice after the first closed")

    def test_a_blinking_tray_icon_blinks_on_after_a_new_taskbar(self):
        self.start("Msg", ChatMsg_Recieve_At_Toray="Icon")
        self.program.command("IDM_GOTOTRAY")
        self.assertTrue(h.wait_until(lambda: tray_icons(self.program) == 1, 10))
        self.chat(1001, b"while away")
        new_taskbar(self.program)
        self.assertTrue(h.wait_until(lambda: tray_icons(self.program) == 1, 10), "the icon is lost with the taskbar")
        tray = next(handle for handle, kind, _ in windows(self.program) if kind == STANDALONE_TRAY)
        looks = {self.program.drive("digest", tray, 0) for _ in range(6) if time.sleep(0.3) is None}
        self.assertGreater(len(looks), 1, "the icon no longer blinks")


if __name__ == "__main__":
    unittest.main()
