#!/usr/bin/env python3
"""The help page against the program it describes.

Every command of the menu bar, the tray menu and the output area's menu, every
accelerator, and every page and dialog (with the texts of its controls) is read
from the resources and sources and looked for in the page, in the section where
a reader looks for it. Links, pictures and the page's encoding are checked too.

MOSSWICK_HELP_PAGE names another copy of the page (its pictures beside it) to
check instead of resources/help/Mosswick.html.
"""

import collections
import html.parser
import os
import re
import unittest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
PAGE = os.environ.get("MOSSWICK_HELP_PAGE", os.path.join(ROOT, "resources", "help", "Mosswick.html"))
PICTURES = "Mosswick-help"
PICTURE_BUDGET = 300 * 1024

# Where each dialog resource is described.
DIALOG_SECTIONS = {
    "RES_DLG_BASE": "settings-base",
    "RES_DLG_SENDRECV": "settings-sendrecv",
    "RES_DLG_COLOR": "settings-display",
    "RES_DLG_NETWORK": "settings-network",
    "RES_DLG_STATUS": "dialog-status",
    "RES_DLG_INFO": "dialog-info",
    "RES_DLG_VERSION": "dialog-version",
}
# The keys the panes handle themselves (shell/pane_keys.cpp).
PANE_KEYS = ["Enter", "Tab", "Shift+Tab"]

VOID_TAGS = {"area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta", "source", "wbr"}


def source(*parts):
    with open(os.path.join(ROOT, *parts), encoding="utf-8") as f:
        return f.read()


def squeeze(text):
    return re.sub(r"\s+", "", text)


def split_hint(text):
    """A menu text and its accelerator hint, written after a tab ("\\t" in
    the .rc file)."""
    parts = re.split(r"\t|\\t", text, maxsplit=1)
    return parts[0], parts[1] if len(parts) > 1 else ""


def label(text):
    """A menu or control text as the page names it: no mnemonic, no
    accelerator hint, no trailing ellipsis or colon."""
    text = split_hint(text)[0]
    text = re.sub(r"\(&.\)", "", text).replace("&", "")
    return squeeze(text).rstrip(".").rstrip("：:")


class HelpPage(html.parser.HTMLParser):
    """The page's text by enclosing id, its table rows and headings, links,
    pictures and the attributes that matter."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.open = []  # (tag, id)
        self.ids, self.links, self.pictures, self.scripts = [], [], [], []
        self.charset = self.lang = None
        self.text = collections.defaultdict(str)
        self.rows, self.headings = [], []
        self.row = self.cell = self.heading = None

    def enclosing(self):
        return {i for _, i in self.open if i}

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if "id" in a:
            self.ids.append(a["id"])
        if tag == "html":
            self.lang = a.get("lang")
        if tag == "meta" and "charset" in a:
            self.charset = a["charset"]
        if tag == "a" and "href" in a:
            self.links.append(a["href"])
        if tag == "img":
            self.pictures.append(a.get("src", ""))
        if tag == "script" or any(k.startswith("on") for k in a):
            self.scripts.append(tag)
        if tag not in VOID_TAGS:
            self.open.append((tag, a.get("id")))
        if tag == "tr":
            self.row = []
        elif tag in ("th", "td") and self.row is not None:
            self.cell = []
        elif re.fullmatch(r"h[1-6]", tag):
            self.heading = []

    def handle_endtag(self, tag):
        if tag in ("th", "td") and self.cell is not None:
            self.row.append("".join(self.cell))
            self.cell = None
        elif tag == "tr" and self.row is not None:
            self.rows.append((self.enclosing(), self.row))
            self.row = None
        elif re.fullmatch(r"h[1-6]", tag) and self.heading is not None:
            self.headings.append((self.enclosing(), "".join(self.heading)))
            self.heading = None
        if any(t == tag for t, _ in self.open):
            while self.open.pop()[0] != tag:
                pass

    def handle_data(self, data):
        if any(t in ("style", "title") for t, _ in self.open):
            return
        for i in self.enclosing() | {""}:
            self.text[i] += data
        for part in (self.cell, self.heading):
            if part is not None:
                part.append(data)

    def row_for(self, section, term):
        """The first row in `section` whose first cell names `term`."""
        for ids, cells in self.rows:
            if section in ids and cells and squeeze(cells[0]) == term:
                return cells
        return None


def read_page():
    with open(PAGE, encoding="utf-8") as f:  # strict: the file must be UTF-8
        raw = f.read()
    page = HelpPage()
    page.feed(raw)
    page.close()
    return page


def menu_items(cpp):
    return re.findall(r'AppendMenuText\([^;]*?"([^"]+)"\s*\)', cpp)


def dialogs():
    """Each dialog resource of the settings sheet and the small dialogs: its
    caption and the texts of its controls."""
    found = {}
    for rc in ("settings.rc", "dialogs.rc"):
        for name, body in re.findall(r"^(\w+)\s+DIALOGEX\b(.*?)^END", source("resources", rc), re.M | re.S):
            caption = re.search(r'^CAPTION\s+"([^"]*)"', body, re.M).group(1)
            controls = re.findall(r'^\s*(?!CAPTION)[A-Z]+\s+"([^"]+)"', body, re.M)
            found[name] = (caption, [label(c) for c in controls])
    return found


class HelpPageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.page = read_page()
        cls.help_dir = os.path.dirname(os.path.abspath(PAGE))

    def assertDescribed(self, section, term, shortcut=""):
        cells = self.page.row_for(section, term)
        self.assertIsNotNone(cells, f"{term!r} has no row in #{section}")
        self.assertGreater(len(cells), 1, f"{term!r} in #{section} has no description")
        self.assertGreaterEqual(len(squeeze(cells[-1])), 2, f"{term!r} in #{section} has an empty description")
        if shortcut:
            self.assertIn(shortcut, [squeeze(c) for c in cells], f"{term!r} in #{section} lacks its key {shortcut}")

    def test_page_is_plain_japanese_utf8(self):
        self.assertEqual((self.page.charset or "").lower(), "utf-8")
        self.assertEqual(self.page.lang, "ja")
        self.assertEqual(self.page.scripts, [], "the page is read without JavaScript")

    def test_internal_links_reach_their_ids(self):
        ids = collections.Counter(self.page.ids)
        self.assertEqual([i for i, n in ids.items() if n > 1], [], "duplicate ids")
        for href in self.page.links:
            if href.startswith("#"):
                with self.subTest(href=href):
                    self.assertIn(href[1:], ids)

    def test_pictures_exist_beside_the_page_and_all_are_shown(self):
        shown = set()
        for src in self.page.pictures:
            with self.subTest(src=src):
                self.assertTrue(src.startswith(PICTURES + "/"), "only the pictures folder is copied beside the page")
                self.assertTrue(os.path.isfile(os.path.join(self.help_dir, src)))
                shown.add(os.path.basename(src))
        folder = os.path.join(self.help_dir, PICTURES)
        kept = set(os.listdir(folder)) if os.path.isdir(folder) else set()
        self.assertEqual(kept - shown, set(), "pictures kept but not shown")
        self.assertLess(sum(os.path.getsize(os.path.join(folder, f)) for f in kept), PICTURE_BUDGET)

    def test_every_menu_command_is_described_with_its_key(self):
        menu_rc = source("resources", "menu.rc")
        for popup in re.findall(r'^\s*POPUP\s+"([^"]+)"', menu_rc, re.M):
            with self.subTest(popup=popup):
                self.assertTrue(any("menu" in ids and label(popup) in squeeze(h) for ids, h in self.page.headings),
                                f"no heading for the {popup} menu")
        items = re.findall(r'^\s*MENUITEM\s+"([^"]+)"', menu_rc, re.M)
        self.assertGreater(len(items), 10)
        for item in items:
            with self.subTest(menu=item):
                self.assertDescribed("menu", label(item), split_hint(item)[1])
        tray = menu_items(source("shell", "win32", "main_window_tray.cpp"))
        output = menu_items(source("shell", "win32", "pane_procedures.cpp"))
        self.assertGreater(len(tray), 5)
        self.assertEqual(len(output), 2)
        for section, texts in (("tray-menu", tray), ("output-menu", output)):
            for item in texts:
                with self.subTest(section=section, item=item):
                    self.assertDescribed(section, label(item))

    def test_every_key_is_described(self):
        accel = re.findall(r'^\s*(?:"(\w)"|(VK_RETURN)),\s*\w+,\s*VIRTKEY,\s*CONTROL', source("resources", "accel.rc"),
                           re.M)
        self.assertEqual(len(accel), 7)
        keys = ["Ctrl+" + (letter or "Enter") for letter, _ in accel] + PANE_KEYS
        for key in keys:
            with self.subTest(key=key):
                self.assertDescribed("keys", key)

    def test_every_page_and_dialog_is_described_with_its_controls(self):
        found = dialogs()
        self.assertEqual(set(found), set(DIALOG_SECTIONS), "a dialog without a place in the page")
        for name, (caption, controls) in found.items():
            section = DIALOG_SECTIONS[name]
            title = caption.replace("Mosswick - ", "")
            with self.subTest(dialog=title):
                self.assertTrue(any(section in ids and title in squeeze(h) for ids, h in self.page.headings),
                                f"#{section} has no heading naming {title}")
                text = squeeze(self.page.text[section])
                for control in controls:
                    self.assertIn(control, text, f"#{section} does not mention {control!r}")


if __name__ == "__main__":
    unittest.main(verbosity=2)
