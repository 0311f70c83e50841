"""Popup messages at the real program: each opens a window of its own,
cascaded over eight places, in its sender's colours; a popup sent twice opens
twice; the reply goes back as a popup numbered 0. Between two copies a popup
typed in popup mode opens at the other, and its reply opens back."""
import unittest

import command_ids
import harness as h
import popup_windows as pw
import wire

SENDER_LABEL = "送信者： ".encode("cp932")
RED = (200, 30, 40)


class PopupsFromAPeer(h.SystemTestCase):

    def setUp(self):
        super().setUp()
        self.require_namespaces(2)
        self.program = self.start_program(1)
        self.peer = self.open_peer(2)
        self.own = h.slot_address(1)
        self.all_count = 5000
        wire.wait_listening(self.peer, self.own, self.next_count(), self.program.running)

    def next_count(self):
        self.all_count += 1
        return self.all_count

    def announce(self, name=b"peer", color=RED):
        hello = wire.own_entry_datagram(wire.KIND_START, self.peer.address, self.next_count(), name, color=color)
        ack = self.peer.exchange(hello, self.own, wire.acknowledges(hello), alive=self.program.running)
        self.assertIsNotNone(ack, "the announcement was not acknowledged")

    def popup(self, text, datagram=None):
        datagram = datagram or wire.popup(self.peer.address, self.next_count(), text.encode("cp932"))
        self.peer.send(datagram, self.own)
        self.assertIsNotNone(self.peer.wait_for(wire.acknowledges(datagram), 10), "popup not acknowledged")
        return datagram

    def test_popups_cascade_over_eight_places(self):
        self.announce()
        for i in range(9):
            self.popup(f"ポップアップ {i}")
            self.assertEqual(len(pw.wait_popups(self.program, i + 1)), i + 1, f"popup {i} has no window")
        by_text = {pw.text(self.program, handle, "IDC_POPUP_TEXT"): handle for handle in pw.wait_popups(self.program, 9)}
        rects = [pw.rect(self.program, by_text[f"ポップアップ {i}".encode("cp932")]) for i in range(9)]
        step = rects[1][0] - rects[0][0]
        self.assertGreater(step, 10, f"the second popup is not further right: {rects[:2]}")
        for i in range(8):
            self.assertEqual((rects[i][0] - rects[0][0], rects[i][1] - rects[0][1]), (i * step, i * step),
                             f"popup {i} is not {i} caption heights right and down")
        self.assertEqual(rects[8], rects[0], "the ninth popup is not back at the first one's place")
        # The last one is on top, where the first one lies beneath it.
        handle = by_text["ポップアップ 8".encode("cp932")]
        self.assertEqual(pw.text(self.program, handle, "IDC_POPUP_LABEL"), SENDER_LABEL + b"peer")
        self.assertTrue(pw.caption(self.program, handle).startswith(pw.RECEIVED))
        # The message in its sender's colour.
        self.assertGreater(pw.pixels(self.program, handle, "IDC_POPUP_TEXT", 0xC81E28, 40), 0,
                           "the sender's colour is not drawn")

    def test_unknown_sender_and_a_popup_sent_twice(self):
        datagram = self.popup("誰から？")
        self.popup(None, datagram)  # a resend whose acknowledgement was lost
        handles = pw.wait_popups(self.program, 2)
        self.assertEqual(len(handles), 2, "a popup sent twice does not open twice")
        for handle in handles:
            self.assertEqual(pw.text(self.program, handle, "IDC_POPUP_LABEL"), SENDER_LABEL)
            self.assertEqual(pw.text(self.program, handle, "IDC_POPUP_TEXT"), "誰から？".encode("cp932"))
            pw.press(self.program, handle, pw.CLOSE)
        self.assertTrue(h.wait_until(lambda: not pw.popups(self.program), 10), "the windows did not close")

    def test_reply_goes_back_as_a_popup_numbered_zero(self):
        self.announce()
        pw.other_program_in_front(self, self.program)
        self.popup("質問です")
        [handle] = pw.wait_popups(self.program, 1)
        popup_at, other_at = pw.z_order(self.program, handle)
        self.assertLess(popup_at, other_at, "the popup opened behind the program in front")
        # Keys typed as the popup comes up leave the message as it came.
        self.program.drive("keys", handle, "enter", "space", "sleep:300")
        self.assertTrue(pw.caption(self.program, handle).startswith(pw.RECEIVED), "a key switched to the reply")
        self.assertEqual(pw.text(self.program, handle, "IDC_POPUP_TEXT"), "質問です".encode("cp932"))
        self.assertEqual(self.program.drive("focus", handle).split()[0], str(command_ids.id_of("IDC_POPUP_TEXT")))
        # Given the foreground, it is one window among the others.
        self.assertEqual(self.program.drive("topmost", handle), "0", "the popup stays above every window")
        self.program.drive("keys", handle, "alt+r")
        self.assertTrue(h.wait_until(lambda: pw.caption(self.program, handle) == pw.REPLY, 5))
        self.assertEqual(pw.text(self.program, handle, "IDC_POPUP_LABEL"), "送信先： peer".encode("cp932"))
        self.assertEqual(pw.text(self.program, handle, "IDC_POPUP_TEXT"), b"")
        self.peer.drain()
        # An empty reply does nothing: the window stays, nothing is sent.
        pw.press(self.program, handle, "IDC_POPUP_SEND")
        self.assertIsNone(self.peer.wait_for(wire.of_kind(wire.KIND_POPUP, self.own), 1.5))
        self.assertEqual(pw.caption(self.program, handle), pw.REPLY)

        pw.set_text(self.program, handle, "IDC_POPUP_TEXT", "答えです".encode("cp932"))
        pw.press(self.program, handle, "IDC_POPUP_SEND")
        reply = self.peer.wait_for(wire.of_kind(wire.KIND_POPUP, self.own), 10)
        self.assertIsNotNone(reply, "no reply arrived")
        text = "答えです".encode("cp932")
        header = wire.Header(reply)
        self.assertEqual((header.length, header.num, header.addr), (len(text) + 21, len(text), self.own))
        self.assertEqual(reply[16:20], bytes(4), "a reply carries the number 0")
        self.assertEqual(reply[20:20 + len(text) + 1], text + b"\0")
        self.assertTrue(h.wait_until(lambda: not pw.popups(self.program), 10), "the window stayed after the reply")


class PopupsBetweenTwoCopies(h.SystemTestCase):

    def test_a_popup_and_its_reply(self):
        self.require_namespaces(2)
        names = {1: "青井", 2: "蓮見"}
        programs = self.start_two_copies(names, name="popup-copy")
        for slot, program in programs.items():
            self.assertTrue(h.wait_until(lambda: len(program.list_rows("IDC_USERLIST")) == 2, 30, interval=0.5),
                            f"copy {slot} does not see the other")
        first, second = programs[1], programs[2]
        first.command("IDM_POPUPMODE")
        first.set_text("IDC_INPUT", "お昼どうする？".encode("cp932"))
        first.command("IDM_SEND")
        handles = pw.wait_popups(second, 1)
        self.assertEqual(len(handles), 1, "no popup at the other copy")
        self.assertEqual(pw.text(second, handles[0], "IDC_POPUP_LABEL"), SENDER_LABEL + names[1].encode("cp932"))
        self.assertEqual(pw.popups(first), [], "a popup is not shown at its sender")

        pw.press(second, handles[0], "IDC_POPUP_REPLY")
        pw.set_text(second, handles[0], "IDC_POPUP_TEXT", "そば".encode("cp932"))
        pw.press(second, handles[0], "IDC_POPUP_SEND")
        back = pw.wait_popups(first, 1)
        self.assertEqual(len(back), 1, "the reply opens no window at the first copy")
        self.assertEqual(pw.text(first, back[0], "IDC_POPUP_TEXT"), "そば".encode("cp932"))
        self.assertEqual(pw.text(first, back[0], "IDC_POPUP_LABEL"), SENDER_LABEL + names[2].encode("cp932"))


if __name__ == "__main__":
    unittest.main()
