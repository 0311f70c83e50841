"""The settings sheet on the real program: what each page shows when it
opens, what OK writes to Mosswick.ini (compared byte for byte), that Cancel
writes nothing, the log box acting at once, a new name reaching a peer, the
screen type resizing the window, and the Network page's address list, port
and Start."""
import unittest

import harness as h
import settings_sheet as ss
import wire

BASE_KEYS = ["Name", "IME_Auto_Change", "Date_View", "Time_View", "Log_Save", "Msg_TextColor"]
DISPLAY_KEYS = ["OuArea_TextColor_Force", "InArea_TextColor_Force", "UsArea_TextColor_Force", "OuArea_TextColor",
                "OuArea_BackColor", "InArea_BackColor", "InArea_TextColor", "UsArea_TextColor", "UsArea_BackColor",
                "OuArea_Font", "InArea_Font", "UsArea_Font"]

LOG = b"LOG"
EMPTY_NAME_TITLE = "Mosswick - 名前".encode("cp932")
EMPTY_NAME_TEXT = "名前が指定されていないため、名前にログイン名を使用します。".encode("cp932")
FULL_LIST_TITLE = "Mosswick - ホストＩＰアドレス".encode("cp932")
FULL_LIST_TEXT = "ホストＩＰアドレスは３０個までしか指定できません。".encode("cp932")

SHOWN_ITEMS = ["ﾀｲﾄﾙﾊﾞｰのｱｲｺﾝを点滅 (15秒間)", "ﾒｯｾｰｼﾞﾎﾞｯｸｽを出す", "何もしない"]
TRAY_ITEMS = ["ﾀｽｸﾄﾚｲのｱｲｺﾝを点滅", "ﾒｯｾｰｼﾞﾎﾞｯｸｽを出す", "何もしない"]


def any_slot():
    """A namespace of its own when the test network is up (nothing else then
    competes for the port), this machine's network otherwise."""
    return 1 if h.netbed_count() >= 1 else None


def with_keys(sections, section, values):
    """The file's sections after writing `values` into `section`: a key
    already there keeps its place, a new one goes to the end of its section,
    as the profile-string writes do."""
    updated = {name: dict(keys) for name, keys in sections.items()}
    updated.setdefault(section, {}).update(values)
    return updated


def base_keys(name, **changed):
    """The six keys the Base page writes on OK, as it writes them for an
    unchanged page with default settings, with `changed` values instead."""
    keys = {"Name": name, "IME_Auto_Change": "No", "Date_View": "No", "Time_View": "No", "Log_Save": "No",
            "Msg_TextColor": 0}
    keys.update(changed)
    return keys


def window_place(program):
    """The main window's (left, top) and (width, height) on the screen."""
    left, top, right, bottom = (int(v) for v in program.drive("rect", h.MAIN_CLASS).split())
    return (left, top), (right - left, bottom - top)


def main_window_visible(program):
    for line in program.drive("windows").splitlines():
        handle, kind, visible, *_ = line.split()
        if kind == h.MAIN_CLASS:
            return visible == "1"
    return False


class SheetTestCase(h.SystemTestCase):

    def start(self, sections, slot=None):
        """Starts the program on that file and waits until its network is
        up (its own row is in the user area)."""
        return self.started(self.start_program(slot, h.ini_text(sections)), sections)

    def started(self, program, sections):
        name = sections["Client_Definition"]["Name"]
        program.main_window(title=f"Mosswick - [{name}]".encode("cp932"))
        self.assertTrue(h.wait_until(lambda: program.list_rows("IDC_USERLIST"), 30, interval=0.5),
                        "the network did not start")
        return program

    def assert_ini(self, program, sections, message=None):
        self.assertEqual(program.ini_path.read_bytes(), h.ini_text(sections), message)

    def assert_title(self, program, name):
        expected = b"Mosswick - [" + name + b"]"
        if not h.wait_until(lambda: program.title() == expected, 10):
            self.assertEqual(program.title(), expected)


class BasePage(SheetTestCase):

    def test_ok_writes_the_six_keys_and_cancel_nothing(self):
        before = {"Client_Definition": {"Name": "柴田", "Date_View": "Yes"},
                  "Broadcast_Definition": {"Number": 0}}
        program = self.start(before, any_slot())

        sheet = ss.Sheet.open(program)
        base = sheet.page(ss.BASE)
        self.assertEqual(base.text("IDC_BASE_NAME"), "柴田".encode("cp932"))
        self.assertEqual([base.checked(c) for c in ("IDC_BASE_IME", "IDC_BASE_DATE", "IDC_BASE_TIME", "IDC_BASE_LOG")],
                         [False, True, False, False])
        # Edits left with Cancel change nothing, on any page.
        base.set_text("IDC_BASE_NAME", b"cancelled")
        self.assertEqual(base.click("IDC_BASE_TIME"), "done")
        sheet.page(ss.SEND_RECEIVE).click("IDC_SR_PERSONALCHECK")
        sheet.close_with_cancel()
        self.assert_ini(program, before, "Cancel wrote to the file")
        self.assert_title(program, "柴田".encode("cp932"))

        sheet = ss.Sheet.open(program)
        base = sheet.page(ss.BASE)
        self.assertEqual(base.text("IDC_BASE_NAME"), "柴田".encode("cp932"), "the cancelled name came back")
        base.set_text("IDC_BASE_NAME", "柴田真".encode("cp932"))
        base.click("IDC_BASE_IME")
        base.click("IDC_BASE_DATE")
        base.click("IDC_BASE_TIME")
        sheet.close_with_ok()
        after = with_keys(before, "Client_Definition",
                          base_keys("柴田真", IME_Auto_Change="Yes", Time_View="Yes"))
        self.assert_ini(program, after, "OK after the Base page alone")
        self.assert_title(program, "柴田真".encode("cp932"))

    def test_log_box_acts_at_once_whatever_closes_the_sheet(self):
        before = {"Client_Definition": {"Name": "記録"}}
        program = self.start(before, any_slot())
        self.assertFalse(program.log_path.exists())

        sheet = ss.Sheet.open(program)
        sheet.page(ss.BASE).click("IDC_BASE_LOG")
        self.assertTrue(h.wait_until(lambda: program.status_text(3) == LOG, 10), "no LOG in the status bar")
        self.assertTrue(program.log_path.exists(), "ticking the box opened no log file")
        sheet.close_with_cancel()
        self.assert_ini(program, before, "Cancel wrote Log_Save")
        self.assertEqual(program.status_text(3), LOG, "Cancel closed the log")

        program.set_text("IDC_INPUT", b"kept in the log")
        program.command("IDM_SEND")
        self.assertTrue(h.wait_until(lambda: b"kept in the log" in program.log_path.read_bytes(), 10),
                        "the open log got no line")

        sheet = ss.Sheet.open(program)
        base = sheet.page(ss.BASE)
        self.assertTrue(base.checked("IDC_BASE_LOG"), "the box does not show the open log")
        # Deleting the log while logging leaves a new, empty file at once.
        base.click("IDC_BASE_DELETELOG")
        self.assertTrue(h.wait_until(lambda: program.log_path.exists() and program.log_path.stat().st_size == 0, 10),
                        "the log was not replaced by an empty file")
        sheet.close_with_ok()
        after = with_keys(before, "Client_Definition", base_keys("記録", Log_Save="Yes"))
        self.assert_ini(program, after)

        sheet = ss.Sheet.open(program)
        sheet.page(ss.BASE).click("IDC_BASE_LOG")
        self.assertTrue(h.wait_until(lambda: program.status_text(3) == b"", 10), "LOG stayed in the status bar")
        sheet.close_with_ok()
        self.assertEqual(h.read_ini(program.ini_path)["Client_Definition"]["Log_Save"], b"No")


class NameChange(SheetTestCase):

    def setUp(self):
        super().setUp()
        self.require_namespaces(2)
        self.program = self.start({"Client_Definition": {"Name": "aoki"}}, 1)
        self.own = h.slot_address(1)
        self.peer = self.open_peer(2)
        wire.wait_listening(self.peer, self.own, 7000, self.program.running)
        hello = wire.own_entry_datagram(wire.KIND_START, self.peer.address, 7001, b"peer")
        self.assertIsNotNone(self.peer.exchange(hello, self.own, wire.acknowledges(hello), alive=self.program.running),
                             "the announcement was not acknowledged")
        self.assertTrue(h.wait_until(lambda: len(self.program.list_rows("IDC_USERLIST")) == 2, 15),
                        "the peer is not in the user area")

    def status_from_program(self, timeout):
        """The next KIND_STATUS from the program, acknowledged; None if none."""
        status = self.peer.wait_for(wire.of_kind(wire.KIND_STATUS, self.own), timeout)
        if status is not None:
            self.peer.send(wire.expected_resp(status, self.peer.address), self.own)
        return status

    @staticmethod
    def announced_name(status):
        entry = status[wire.HEADER_SIZE:wire.HEADER_SIZE + wire.ENTRY_SIZE]
        return entry[4:24].split(b"\0", 1)[0]

    def test_a_new_name_is_announced_and_titled(self):
        self.peer.drain()
        ss.Sheet.open(self.program).close_with_ok()
        self.assertIsNone(self.status_from_program(2), "OK without changes announced a change")

        # A letter's case alone is a change.
        sheet = ss.Sheet.open(self.program)
        sheet.page(ss.BASE).set_text("IDC_BASE_NAME", b"Aoki")
        sheet.close_with_ok()
        status = self.status_from_program(10)
        self.assertIsNotNone(status, "the new name was not announced")
        self.assertEqual(self.announced_name(status), b"Aoki")
        self.assert_title(self.program, b"Aoki")

        # An empty name becomes the login name, with a warning; the sheet closes.
        sheet = ss.Sheet.open(self.program)
        sheet.page(ss.BASE).set_text("IDC_BASE_NAME", b"")
        sheet.ok()
        self.assertEqual(self.program.message_box(EMPTY_NAME_TITLE), (EMPTY_NAME_TITLE, EMPTY_NAME_TEXT))
        self.program.press_button(EMPTY_NAME_TITLE)
        sheet.wait_closed()
        self.assertEqual(h.read_ini(self.program.ini_path)["Client_Definition"]["Name"], h.login_name())
        self.assert_title(self.program, h.login_name())
        status = self.peer.wait_for(lambda data, source: (wire.Header(data).kind == wire.KIND_STATUS
                                                          and self.announced_name(data) == h.login_name()), 10)
        self.assertIsNotNone(status, "the login name was not announced")


class SendReceivePage(SheetTestCase):

    def test_page_shows_the_settings_and_ok_writes_its_keys_in_order(self):
        before = {"Client_Definition": {"Name": "送受", "Broadcast_Send_Check": "Yes", "ChatMsg_Recieve": "None",
                                        "Icon_Color": "SkyBlue"}}
        program = self.start(before, any_slot())
        sheet = ss.Sheet.open(program)
        page = sheet.page(ss.SEND_RECEIVE)
        self.assertEqual([page.checked(c) for c in ("IDC_SR_BROADCASTCHECK", "IDC_SR_PERSONALCHECK",
                                                    "IDC_SR_POPUPCHECK")], [True, False, False])
        self.assertEqual(page.combo_items("IDC_SR_SHOWNLIST"), [t.encode("cp932") for t in SHOWN_ITEMS])
        self.assertEqual(page.combo_items("IDC_SR_TRAYLIST"), [t.encode("cp932") for t in TRAY_ITEMS])
        self.assertEqual((page.combo_selected("IDC_SR_SHOWNLIST"), page.combo_selected("IDC_SR_TRAYLIST")), (2, 0))
        self.assertEqual([page.checked(c) for c in ("IDC_SR_YELLOW", "IDC_SR_GREEN", "IDC_SR_SKYBLUE", "IDC_SR_RED")],
                         [False, False, True, False])

        page.click("IDC_SR_BROADCASTCHECK")
        page.click("IDC_SR_PERSONALCHECK")
        page.select_combo_item("IDC_SR_SHOWNLIST", 1)
        page.select_combo_item("IDC_SR_TRAYLIST", 2)
        page.click("IDC_SR_RED")
        sheet.close_with_ok()
        # The Base page, the start page, applies first.
        after = with_keys(before, "Client_Definition", base_keys("送受"))
        after = with_keys(after, "Client_Definition",
                          {"Personal_Send_Check": "Yes", "Broadcast_Send_Check": "No", "Popup_Send_Check": "No",
                           "ChatMsg_Recieve": "Msg", "ChatMsg_Recieve_At_Toray": "None", "Icon_Color": "Red"})
        self.assert_ini(program, after)


class DisplayPage(SheetTestCase):

    def switch_type(self, program, radio):
        sheet = ss.Sheet.open(program)
        sheet.page(ss.DISPLAY).click(radio)
        sheet.close_with_ok()

    def close(self, program):
        program.close()
        self.assertEqual(program.wait_exit(), 0)
        return h.read_ini(program.ini_path)

    def test_screen_type_resizes_the_window_and_sets_the_splitters(self):
        # A hand-edited screen type that is neither 1 nor 2 is TYPE I.
        before = {"Client_Definition": {"Name": "画面", "UserArea_View": "3"},
                  "Window_Information": {"Left": 60, "Top": 50, "Right": 610, "Bottom": 500}}
        program = self.start(before, any_slot())
        self.assertEqual(window_place(program), ((60, 50), (550, 450)))

        sheet = ss.Sheet.open(program)
        page = sheet.page(ss.DISPLAY)
        self.assertEqual((page.checked("IDC_DISP_TYPE1"), page.checked("IDC_DISP_TYPE2")), (True, False))
        # A text colour button is usable exactly while its enforce box is ticked.
        self.assertEqual([page.enabled(c) for c in ("IDC_DISP_OUT_TEXT", "IDC_DISP_IN_TEXT", "IDC_DISP_US_TEXT")],
                         [False, True, False])
        page.click("IDC_DISP_IN_FORCE")
        self.assertFalse(page.enabled("IDC_DISP_IN_TEXT"))
        page.click("IDC_DISP_IN_FORCE")
        self.assertTrue(page.enabled("IDC_DISP_IN_TEXT"))
        # The same type again: UserArea_View as it was, the window as it was.
        sheet.close_with_ok()
        client = h.read_ini(program.ini_path)["Client_Definition"]
        self.assertEqual(list(client), ["Name", "UserArea_View"] + BASE_KEYS[1:] + DISPLAY_KEYS)
        self.assertEqual(client["UserArea_View"], b"3")
        self.assertEqual([client[k] for k in DISPLAY_KEYS[:3]], [b"No", b"Yes", b"No"])
        self.assertEqual(window_place(program), ((60, 50), (550, 450)))

        self.switch_type(program, "IDC_DISP_TYPE2")
        self.assertTrue(h.wait_until(lambda: window_place(program) == ((60, 50), (520, 450)), 10),
                        f"TYPE II window: {window_place(program)}")
        self.assertEqual(h.read_ini(program.ini_path)["Client_Definition"]["UserArea_View"], b"2")
        info = self.close(program)["Window_Information"]
        self.assertEqual((info["Split1_Pos"], info["Split2_Pos"], info["Split3_Pos"]), (b"250", b"140", b"300"))
        self.assertEqual((int(info["Right"]) - int(info["Left"]), int(info["Bottom"]) - int(info["Top"])), (520, 450))

        # The next run starts in TYPE II; back to TYPE I.
        program = self.started(self.start_program(any_slot(), program.ini_path.read_bytes(), name="second-run"),
                               before)
        sheet = ss.Sheet.open(program)
        self.assertTrue(sheet.page(ss.DISPLAY).checked("IDC_DISP_TYPE2"))
        sheet.close_with_cancel()
        self.switch_type(program, "IDC_DISP_TYPE1")
        self.assertTrue(h.wait_until(lambda: window_place(program) == ((60, 50), (550, 450)), 10),
                        f"TYPE I window: {window_place(program)}")
        self.assertEqual(h.read_ini(program.ini_path)["Client_Definition"]["UserArea_View"], b"1")
        info = self.close(program)["Window_Information"]
        self.assertEqual((info["Split1_Pos"], info["Split2_Pos"], info["Split3_Pos"]), (b"330", b"135", b"300"))

    def test_from_the_tray_the_sheet_opens_in_the_corner_and_a_new_type_brings_the_window_back(self):
        before = {"Client_Definition": {"Name": "トレイ"},
                  "Window_Information": {"Left": 60, "Top": 50, "Right": 610, "Bottom": 500}}
        program = self.start(before, any_slot())
        program.command("IDM_GOTOTRAY")
        self.assertTrue(h.wait_until(lambda: not main_window_visible(program), 10), "the window stayed shown")
        sheet = ss.Sheet.open(program)
        left, top, right, bottom = (int(v) for v in program.drive("rect", sheet.handle).split())
        screen_w, screen_h = (int(v) for v in program.drive("screen-size").split())
        self.assertGreater(left, screen_w // 2, f"the sheet is not at the right: {left, top, right, bottom}")
        self.assertGreater(top, screen_h // 3, f"the sheet is not at the bottom: {left, top, right, bottom}")
        self.assertTrue(right <= screen_w and bottom <= screen_h, f"the sheet runs off the screen: {right, bottom}")
        sheet.page(ss.DISPLAY).click("IDC_DISP_TYPE2")
        sheet.close_with_ok()
        self.assertTrue(h.wait_until(lambda: main_window_visible(program), 10), "the window did not come back")
        self.assertEqual(window_place(program), ((60, 50), (520, 450)))
        # Back from the tray as from its menu: the window is saved as shown.
        self.assertEqual(self.close(program)["Window_Information"]["End_Status"], b"View")


class NetworkPage(SheetTestCase):

    def wait_box_gone(self, program, title):
        gone = h.wait_until(lambda: program.drive("msgbox-text", h.hexed(title), wait=0, check=False) == "", 15)
        self.assertTrue(gone, "the message box did not go away")

    def delete(self, page, text):
        """Selects the entry and deletes it: its text goes into the edit."""
        page.select_list_item("IDC_NET_LIST", page.list_items("IDC_NET_LIST").index(text))
        page.click("IDC_NET_DELETE")
        self.assertNotIn(text, page.list_items("IDC_NET_LIST"))
        self.assertEqual(page.text("IDC_NET_ADDRESS"), text)

    def add(self, page, text):
        """Types the address and adds it; the list afterwards."""
        page.set_text("IDC_NET_ADDRESS", text)
        self.assertEqual(page.click("IDC_NET_ADD"), "done")
        return page.list_items("IDC_NET_LIST")

    def test_addresses_are_checked_and_written_in_list_order(self):
        hosts = ["@10.0.0.5", "10.0.0.9"] + [f"10.0.1.{i}" for i in range(1, 29)]
        before = {"Client_Definition": {"Name": "網"},
                  "Broadcast_Definition": {"Number": 30, **{f"Address{i + 1:02d}": a for i, a in enumerate(hosts)}}}
        program = self.start(before, any_slot())
        own = program.list_rows("IDC_USERLIST")[0][2]

        sheet = ss.Sheet.open(program)
        page = sheet.page(ss.NETWORK)
        self.assertEqual(sorted(page.list_items("IDC_NET_LIST")), sorted(a.encode() for a in hosts))
        self.assertEqual(page.text("IDC_NET_PORT"), b"55700")
        self.assertEqual((page.checked("IDC_NET_LOCALBROADCAST"), page.checked("IDC_NET_STARTSEND")), (False, False))

        # Thirty entries: Add says so, even with nothing typed.
        self.assertEqual(page.click("IDC_NET_ADD"), "pending")
        self.assertEqual(program.message_box(FULL_LIST_TITLE), (FULL_LIST_TITLE, FULL_LIST_TEXT))
        program.press_button(FULL_LIST_TITLE)
        self.wait_box_gone(program, FULL_LIST_TITLE)
        self.assertEqual(len(page.list_items("IDC_NET_LIST")), 30)

        self.delete(page, b"10.0.1.3")
        self.delete(page, b"10.0.1.4")
        kept = page.list_items("IDC_NET_LIST")
        for refused in (b"127.0.0.1", own, b"abc", b"@10.0.0.7", b"10.0.1.1", b"10.0.0.9", b""):
            with self.subTest(refused=refused):
                self.assertEqual(self.add(page, refused), kept)
                self.assertEqual(page.text("IDC_NET_ADDRESS"), refused, "a refused address left the edit")
        for accepted in (b"10.0.0.10", b"127.1.2.3"):
            with self.subTest(accepted=accepted):
                self.assertIn(accepted, self.add(page, accepted))
                self.assertEqual(page.text("IDC_NET_ADDRESS"), b"", "the edit kept an added address")
        items = page.list_items("IDC_NET_LIST")
        self.assertLess(items.index(b"10.0.0.10"), items.index(b"10.0.0.9"), "the list is not in text order")
        self.delete(page, b"10.0.1.5")
        page.click("IDC_NET_STARTSEND")
        items = page.list_items("IDC_NET_LIST")
        sheet.close_with_ok()

        after = with_keys(before, "Client_Definition", base_keys("網") | {"Port_Number": "55700", "Start_Send": "Yes"})
        # The list shrank to 29: Address30 stays in the file, unread.
        after = with_keys(after, "Broadcast_Definition",
                          {"Broadcast_LocalNetwork": "No", "Number": 29,
                           **{f"Address{i + 1:02d}": a.decode() for i, a in enumerate(items)}})
        self.assert_ini(program, after)

    def test_a_new_port_waits_for_the_next_run_and_a_new_host_gets_the_next_start(self):
        self.require_namespaces(3)
        before = {"Client_Definition": {"Name": "港", "Start_Send": "Yes"}, "Broadcast_Definition": {"Number": 0}}
        program = self.start(before, 1)
        own = h.slot_address(1)
        peer, host = self.open_peer(2), self.open_peer(3)
        wire.wait_listening(peer, own, 8000, program.running)

        sheet = ss.Sheet.open(program)
        page = sheet.page(ss.NETWORK)
        self.assertEqual(self.add(page, host.address.encode()), [host.address.encode()])
        page.set_text("IDC_NET_PORT", b"55800")
        sheet.close_with_ok()
        after = with_keys(before, "Client_Definition", base_keys("港") | {"Port_Number": "55800", "Start_Send": "Yes"})
        after = with_keys(after, "Broadcast_Definition",
                          {"Broadcast_LocalNetwork": "No", "Number": 1, "Address01": host.address})
        self.assert_ini(program, after)

        # The running program keeps its port, and the sheet shows the port in use.
        wire.wait_listening(peer, own, 8100, program.running)
        sheet = ss.Sheet.open(program)
        page = sheet.page(ss.NETWORK)
        self.assertEqual(page.text("IDC_NET_PORT"), b"55700")
        self.assertEqual(page.list_items("IDC_NET_LIST"), [host.address.encode()])
        sheet.close_with_cancel()

        self.assertIsNone(host.wait_for(wire.of_kind(wire.KIND_START), 0.5), "announced before Start")
        program.command("IDM_END")
        program.command("IDM_START")
        self.assertIsNotNone(host.wait_for(wire.of_kind(wire.KIND_START, own), 10),
                             "the next Start did not reach the new host")


if __name__ == "__main__":
    unittest.main()
