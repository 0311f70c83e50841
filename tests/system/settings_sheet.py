"""The settings sheet as a test sees it: opened on a running program with its
command, its pages reached by their own window handles (the pages reuse
control ids, so a control is only unique within its page), closed with OK or
Cancel and waited for until it has gone."""
import harness as h
import command_ids

TITLE = "Mosswick - 設定".encode("cp932")
DIALOG_CLASS = "#32770"

BASE, SEND_RECEIVE, DISPLAY, NETWORK = range(4)


class Page:
    """One page's dialog, addressed by its handle."""

    def __init__(self, program, handle):
        self.program = program
        self.handle = handle

    def _drive(self, command, control, *args):
        return self.program.drive(command, self.handle, command_ids.id_of(control), *args)

    def click(self, control):
        """Clicks a button, check box or radio button; "pending" when the
        click opened a modal window that is still open, else "done"."""
        return self._drive("click-button", control)

    def checked(self, control):
        return self._drive("checked", control) == "1"

    def enabled(self, control):
        return self._drive("enabled", control) == "1"

    def text(self, control):
        return h.unhexed(self._drive("child-text", control))

    def set_text(self, control, text):
        self._drive("set-text", control, h.hexed(text))

    def list_items(self, control):
        return [h.unhexed(line) for line in self._drive("listbox-items", control).splitlines() if line]

    def select_list_item(self, control, index):
        self._drive("listbox-select", control, index)

    def combo_items(self, control):
        return [h.unhexed(line) for line in self._drive("combo-items", control).splitlines() if line]

    def combo_selected(self, control):
        return int(self._drive("combo-selected", control))

    def select_combo_item(self, control, index):
        self._drive("combo-select", control, index)


class Sheet:
    """An open settings sheet of one program."""

    def __init__(self, program, handle):
        self.program = program
        self.handle = handle

    @classmethod
    def open(cls, program):
        """Chooses the settings command and waits for the sheet."""
        program.command("IDM_SETTINGS")
        handle, _, _ = program.drive("find", DIALOG_CLASS, h.hexed(TITLE)).split()
        return cls(program, handle)

    def page(self, index):
        """Shows the page (created when first shown) and returns it."""
        return Page(self.program, self.program.drive("sheet-page", self.handle, index))

    def ok(self):
        self.program.drive("sheet-button", self.handle, "ok")

    def cancel(self):
        self.program.drive("sheet-button", self.handle, "cancel")

    def wait_closed(self, wait=15):
        self.program.drive("wait-gone", self.handle, wait=wait)

    def close_with_ok(self):
        self.ok()
        self.wait_closed()

    def close_with_cancel(self):
        self.cancel()
        self.wait_closed()
