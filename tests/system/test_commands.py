"""Commands of the menu that hand work to the shell or act on the output
area: show log with and without a log file, the help page, clearing the
screen."""
import harness as h

SHOW_LOG_TITLE = "Mosswick - ログの表示".encode("cp932")
NO_LOG_FILE = "ログファイルは存在していません。".encode("cp932")
HELP_FAILED_TITLE = "Mosswick - ヘルプ".encode("cp932")


def top_windows(program):
    """(class, title) of every top-level window on the program's desktop."""
    shown = []
    for line in program.drive("windows").splitlines():
        handle, kind, visible, title = line.split()
        shown.append((kind, h.unhexed(title)))
    return shown


class ShellCommands(h.SystemTestCase):

    def start(self, name, **client):
        ini = h.ini_text({"Client_Definition": {"Name": name, **client}})
        program = self.start_program(None, ini)
        program.main_window(title=f"Mosswick - [{name}]".encode())
        return program

    def test_show_log_without_a_log_file_says_so(self):
        program = self.start("nolog")
        program.command("IDM_SHOWLOG")
        self.assertEqual(program.message_box(SHOW_LOG_TITLE), (SHOW_LOG_TITLE, NO_LOG_FILE))
        program.press_button(SHOW_LOG_TITLE)

    def test_show_log_opens_the_log_in_the_text_viewer_and_clear_empties_the_screen(self):
        program = self.start("withlog", Log_Save="Yes")
        program.set_text("IDC_INPUT", b"into the log")
        program.command("IDM_SEND")
        self.assertTrue(h.wait_until(lambda: b"into the log" in program.child_text("IDC_OUTPUT"), 10))
        program.command("IDM_SHOWLOG")
        self.assertTrue(h.wait_until(lambda: any(kind == "Notepad" for kind, _ in top_windows(program)), 20),
                        f"no viewer: {top_windows(program)}")
        # The written line was flushed before the viewer read the file.
        self.assertIn(b"1 withlog > into the log", program.log_path.read_bytes())

        program.command("IDM_CLEAR")
        self.assertTrue(h.wait_until(lambda: program.child_text("IDC_OUTPUT") == b"", 5))
        self.assertIn(b"into the log", program.log_path.read_bytes(), "clearing the screen keeps the log")

    def test_help_opens_the_help_page_in_its_viewer(self):
        program = self.start("helper")
        self.assertTrue((program.exe.parent / "Mosswick.html").exists())
        program.command("IDM_HELPCONTENTS")
        # The viewer (Notepad on the test desktop) shows the page beside the program.
        self.assertTrue(h.wait_until(lambda: any(kind == "Notepad" and b"Mosswick" in title
                                                 for kind, title in top_windows(program)), 20),
                        f"no viewer: {top_windows(program)}")
        titles = [title for _, title in top_windows(program)]
        self.assertNotIn(HELP_FAILED_TITLE, titles, "the help page could not be opened")
