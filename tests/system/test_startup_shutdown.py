"""Start-up and shutdown of the whole program: the title, the window state
written at exit, and the message shown when the port is taken."""
import unittest

import harness as h

WINDOW_KEYS = ["Top", "Bottom", "Left", "Right", "End_Status", "Personal_Status", "Popup_Status",
               "Split1_Pos", "Split2_Pos", "Split3_Pos"]
NUMERIC_KEYS = ["Top", "Bottom", "Left", "Right", "Split1_Pos", "Split2_Pos", "Split3_Pos"]

INIT_ERROR_TITLE = "Mosswick - 初期化処理エラー".encode("cp932")
INIT_ERROR_TEXT = ("初期化処理でエラーが発生しました。\n"
                   "指定したポート番号は既に使用されている可能性があります。").encode("cp932")


def any_slot():
    """A namespace of its own when the test network is up (nothing else then
    competes for the port), this machine's network otherwise."""
    return 1 if h.netbed_count() >= 1 else None


class StartAndClose(h.SystemTestCase):

    def window_information(self, program):
        self.assertTrue(program.ini_path.exists(), "Mosswick.ini was not written")
        info = h.read_ini(program.ini_path).get("Window_Information", {})
        self.assertEqual(sorted(info), sorted(WINDOW_KEYS))
        for key in NUMERIC_KEYS:
            self.assertRegex(info[key], rb"^-?\d+$", key)
        return info

    def test_first_start_shows_login_name_and_close_saves_window_state(self):
        # The folder holds a RICHED20.DLL of its own: the system's is loaded.
        program = self.start_program(any_slot(), planted=True)
        expected = b"Mosswick - [" + h.login_name() + b"]"
        try:
            _, visible, _ = program.main_window(title=expected)
        except h.DriverError:
            self.fail(f"title {program.title()!r}, expected {expected!r}")
        self.assertTrue(visible, "the main window should be shown")
        self.assertFalse((program.dir / "planted-library-loaded").exists(), "the folder's RICHED20.DLL was loaded")
        self.assertFalse(program.ini_path.exists(), "nothing is written before shutdown")

        program.close()
        self.assertEqual(program.wait_exit(), 0)
        info = self.window_information(program)
        self.assertEqual(int(info["Right"]) - int(info["Left"]), 550)
        self.assertEqual(int(info["Bottom"]) - int(info["Top"]), 450)
        self.assertEqual((info["End_Status"], info["Personal_Status"], info["Popup_Status"]),
                         (b"View", b"Off", b"Off"))

    def test_saved_rectangle_and_personal_mode_come_back(self):
        ini = h.ini_text({"Window_Information": {"Left": 120, "Top": 80, "Right": 620, "Bottom": 560,
                                                 "Personal_Status": "On"},
                          "Client_Definition": {"Name": "和田"}})
        program = self.start_program(any_slot(), ini)
        program.main_window(title="Mosswick - [和田]".encode("cp932"))
        program.close()
        self.assertEqual(program.wait_exit(), 0)
        info = self.window_information(program)
        self.assertEqual([int(info[k]) for k in ("Left", "Top", "Right", "Bottom")], [120, 80, 620, 560])
        self.assertEqual(info["Personal_Status"], b"On")
        self.assertEqual(info["Popup_Status"], b"Off")

    def test_a_folder_named_in_japanese_keeps_the_settings_and_the_log_on_an_english_windows(self):
        """The folder's name holds "表" and "ソ", whose second byte is the code
        of '\\', and no character of code page 1252: the INI and the log beside
        the program are found, and written as CP932 bytes. A name CP932 cannot
        hold (simplified Chinese) is reached through its short form."""
        ini = h.ini_text({"Client_Definition": {"Name": "wada", "Log_Save": "Yes"},
                          "Memo": {"Folder": "表示ソフト"}})
        for index, folder in enumerate(("表示ソフト", "简体中文")):
            with self.subTest(folder=folder):
                program = self.start_program(any_slot(), ini, name=f"folder{index}", folder=folder,
                                             locale="en_US.UTF-8")
                program.main_window(title=b"Mosswick - [wada]")
                program.set_text("IDC_INPUT", b"into the log")
                program.command("IDM_SEND")
                self.assertTrue(h.wait_until(program.log_lines, 10), "nothing was logged")
                program.close()
                self.assertEqual(program.wait_exit(), 0)
                self.assertEqual(program.log_lines(), [b"1 wada > into the log"])
                self.window_information(program)
                self.assertTrue(program.ini_path.read_bytes().startswith(ini), "the lines already there were changed")

    def test_port_in_use_is_reported_and_the_program_runs_on(self):
        slot = any_slot()
        if slot is not None:
            holder = h.udp_socket(slot, h.PORT)
            ini = None
        else:
            holder = h.udp_socket(None, 0)
            ini = h.ini_text({"Client_Definition": {"Port_Number": holder.getsockname()[1]}})
        self.addCleanup(holder.close)
        program = self.start_program(slot, ini)

        title, text = program.message_box(title=INIT_ERROR_TITLE)
        self.assertEqual(text, INIT_ERROR_TEXT)
        program.press_button(INIT_ERROR_TITLE)
        gone = h.wait_until(lambda: program.drive("msgbox-text", h.hexed(INIT_ERROR_TITLE), wait=0,
                                                  check=False) == "", 30)
        self.assertTrue(gone, "the message box did not go away")
        self.assertTrue(program.running())
        program.main_window()
        program.close()
        self.assertEqual(program.wait_exit(), 0)


if __name__ == "__main__":
    unittest.main()
