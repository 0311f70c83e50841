"""The two release pieces, used the way their users use them: the zip for
Windows (tools/make-dist.sh), unpacked into an empty folder and started
there, and the install on a Linux desktop (tools/install-linux.sh), started
through its launcher in a home of its own, which makes its own Wine prefix.
Each start goes on until the program lists itself in its user area."""
import configparser
import os
import xml.etree.ElementTree as ET
import shutil
import struct
import subprocess
import zipfile
import zlib
from pathlib import Path

import harness as h

MAKE_DIST = h.ROOT / "tools" / "make-dist.sh"
INSTALL_LINUX = h.ROOT / "tools" / "install-linux.sh"
AVAILABLE = "受信可".encode("cp932")
BOM = b"\xef\xbb\xbf"
PREFIX_WAIT = 300  # the launcher's first start runs wineboot
JAPANESE_NAME = "和田".encode("cp932")


def any_slot():
    """A namespace of its own when the test network is up, so that nothing
    else competes for the port; this machine's network otherwise."""
    return 1 if h.netbed_count() >= 1 else None


def fresh_dir(path):
    shutil.rmtree(path, ignore_errors=True)
    path.mkdir(parents=True)
    return path


def run_script(command, **env_changes):
    """Runs a release script against the build under test; a None value
    removes that variable."""
    env = dict(os.environ, MW_BUILD_WIN=str(h.BUILD_WIN))
    env.update({key: str(value) for key, value in env_changes.items() if value is not None})
    for key in [key for key, value in env_changes.items() if value is None]:
        env.pop(key, None)
    result = subprocess.run([str(c) for c in command], env=env, stdin=subprocess.DEVNULL,
                            capture_output=True, text=True, timeout=300)
    if result.returncode != 0:
        raise AssertionError(f"{command[0]} failed ({result.returncode}):\n{result.stdout}{result.stderr}")
    return result.stdout


def help_files():
    """The help page's pictures the build holds, as paths from Mosswick-help/."""
    folder = h.BUILD_WIN / "Mosswick-help"
    return {"Mosswick-help/" + p.relative_to(folder).as_posix() for p in folder.rglob("*") if p.is_file()}


def version_numbers(text):
    """1.16 and 1.16.0.0 are one version."""
    numbers = [int(part) for part in text.split(".")]
    return numbers + [0] * (4 - len(numbers))


def product_version(exe):
    """The ProductVersion of a program's version resource, the one Explorer shows."""
    data, key = exe.read_bytes(), "ProductVersion\0".encode("utf-16-le")
    at = data.index(key) + len(key)
    at += 2 if data[at:at + 2] == b"\0\0" else 0  # padding to a 4-byte boundary
    end = next(i for i in range(at, len(data), 2) if data[i:i + 2] == b"\0\0")
    return version_numbers(data[at:end].decode("utf-16-le"))


def resources(data):
    """{(type, name): bytes} of a program's resources, the first language of
    each, read from the .rsrc section of its bytes."""
    u16, u32 = (lambda at: struct.unpack_from("<H", data, at)[0]), (lambda at: struct.unpack_from("<I", data, at)[0])
    pe = u32(0x3C)
    sections = pe + 24 + u16(pe + 20)
    rsrc = next(at for at in range(sections, sections + 40 * u16(pe + 6), 40) if data[at:at + 5] == b".rsrc")
    base, rva = u32(rsrc + 20), u32(rsrc + 12)

    def entries(directory):
        count = u16(base + directory + 12) + u16(base + directory + 14)
        return [(u32(at), u32(at + 4)) for at in range(base + directory + 16, base + directory + 16 + 8 * count, 8)]

    found = {}
    for kind, types in entries(0):
        for name, names in entries(types & 0x7FFFFFFF):
            _, leaf = entries(names & 0x7FFFFFFF)[0]
            at, size = base + u32(base + leaf) - rva, u32(base + leaf + 4)
            found[(kind, name)] = data[at:at + size]
    return found


def own_row(program, name, test):
    """Waits for the user area's one row, the user's own, and checks it."""
    rows = h.wait_until(lambda: program.list_rows("IDC_USERLIST"), h.START_WAIT, interval=0.5)
    test.assertTrue(rows, "the own row did not appear in the user area")
    [(shown, status, address)] = rows
    test.assertEqual((shown, status), (name, AVAILABLE))
    if program.slot is not None:
        test.assertEqual(address, h.slot_address(program.slot).encode())


# --------------------------------------------------------------- the zip

class UnpackedProgram(h.Program):
    """The program as a Windows user starts it: from the folder the zip
    unpacked, with the INI and the log beside it."""

    def __init__(self, folder, slot):
        super().__init__("release-unpacked", slot)
        self.dir = folder
        self.exe = folder / "Mosswick.exe"


class ReleaseZip(h.SystemTestCase):

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.work = fresh_dir(h.WORK / "release-zip")
        cls.zip_path = Path(run_script([MAKE_DIST, cls.work / "dist"]).split()[-1])
        cls.folder = cls.zip_path.stem
        with zipfile.ZipFile(cls.zip_path) as archive:
            cls.names = archive.namelist()
            cls.contents = {name: archive.read(name) for name in cls.names if not name.endswith("/")}

    def shipped(self, name):
        return self.contents.get(f"{self.folder}/{name}")

    def test_zip_holds_one_folder_with_the_program_the_help_and_the_readme(self):
        self.assertRegex(self.zip_path.name, r"^Mosswick-\d+(\.\d+)+\.zip$")
        self.assertEqual(version_numbers(self.folder.removeprefix("Mosswick-")), product_version(h.PROGRAM_EXE),
                         "the zip's version is the program's own")
        for entry in self.names:
            with self.subTest(entry=entry):
                self.assertTrue(entry.startswith(self.folder + "/"), "every entry sits in the one folder")
                self.assertNotIn("\\", entry)
                self.assertNotIn("..", entry.split("/"))
        files = {entry[len(self.folder) + 1:] for entry in self.contents}
        self.assertEqual(files, {"Mosswick.exe", "Mosswick.html", "README.txt"} | help_files())
        for name in files - {"README.txt"}:
            self.assertEqual(self.shipped(name), (h.BUILD_WIN / name).read_bytes(), f"{name} as built")

    def test_program_carries_its_manifest_and_every_icon_size(self):
        found = resources(self.shipped("Mosswick.exe"))
        manifest = ET.fromstring(found[(24, 1)])
        text = {element.tag.split("}")[1]: (element.text or "").strip() for element in manifest.iter()}
        controls = [e.attrib for e in manifest.iter() if e.attrib.get("name") == "Microsoft.Windows.Common-Controls"]
        self.assertEqual([c["version"] for c in controls], ["6.0.0.0"], "the common controls of version 6")
        levels = [e.attrib for e in manifest.iter() if e.tag.endswith("requestedExecutionLevel")]
        self.assertEqual([lv["level"] for lv in levels], ["asInvoker"])
        systems = {e.attrib["Id"] for e in manifest.iter() if e.tag.endswith("supportedOS")}
        self.assertEqual(systems, {"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}, "Windows 10 and 11")
        self.assertEqual((text["dpiAware"], text["gdiScaling"]), ("false", "true"))
        groups = [body for (kind, _), body in found.items() if kind == 14]
        self.assertEqual(len(groups), 5, "the program icon and the four alert colours")
        for body in groups:
            sizes = [body[6 + 14 * i] for i in range(struct.unpack_from("<H", body, 4)[0])]
            self.assertEqual(sizes, [16, 20, 24, 32, 48])

    def test_readme_is_utf8_with_a_bom_japanese_first_then_english(self):
        data = self.shipped("README.txt")
        self.assertIsNotNone(data, "README.txt is not in the zip")
        self.assertTrue(data.startswith(BOM), "Notepad needs the byte order mark")
        text = data[len(BOM):].decode("utf-8")
        self.assertNotIn("\n", text.replace("\r\n", ""), "every line ends in CR LF")
        self.assertIn(self.folder.removeprefix("Mosswick-"), text.splitlines()[0], "the version heads the file")
        self.assertNotIn("@VERSION@", text)

        japanese_at, english_at = text.find("Mosswick は、"), text.find("Mosswick is a chat program")
        self.assertGreaterEqual(japanese_at, 0, "no Japanese part")
        self.assertGreater(english_at, japanese_at, "the English part follows the Japanese one")
        # Words looked for may be broken across lines.
        japanese, english = (" ".join(part.split()).lower() for part in (text[:english_at], text[english_at:]))
        common = ["55700", "192.168.2.255", "Mosswick.exe", "Mosswick.ini", "Mosslog.txt", "ネットワーク",
                  "make install-linux"]
        for part, words in ((japanese, common + ["ファイアウォール", "インストーラーはありません"]),
                            (english, common + ["firewall", "no installer", "both directions"])):
            for word in words:
                with self.subTest(word=word):
                    self.assertIn(word.lower(), part)

    def test_unpacked_program_starts_lists_itself_and_keeps_its_ini_beside_it(self):
        target = fresh_dir(self.work / "unpacked")
        with zipfile.ZipFile(self.zip_path) as archive:
            archive.extractall(target)
        self.assertEqual([p.name for p in target.iterdir()], [self.folder])
        folder = target / self.folder
        program = UnpackedProgram(folder, any_slot())
        self.addCleanup(program.stop)
        program.start()
        self.assertEqual(program.main_window()[1:], (True, b"Mosswick - [" + h.login_name() + b"]"))
        own_row(program, h.login_name(), self)
        program.close()
        self.assertEqual(program.wait_exit(), 0)
        self.assertTrue((folder / "Mosswick.ini").exists(), "Mosswick.ini is written beside the program")


# ------------------------------------------------------------ Linux install

LAUNCHER = "bin/mosswick"
DESKTOP_FILE = "share/applications/mosswick.desktop"
ICON = "share/icons/hicolor/48x48/apps/mosswick.png"
PROGRAM_FILES = "share/mosswick"
# PREFIX and the Exec value it gives: a path with a space is quoted, and a
# per cent sign doubled (alone it starts a field code).
PREFIXES = {"/opt/mosswick": "/opt/mosswick/bin/mosswick",
            "/opt/moss wick 50%": '"/opt/moss wick 50%%/bin/mosswick"'}


def png_pixels(data):
    """(width, height, rows of RGBA) of an 8-bit RGBA PNG with unfiltered rows."""
    at, chunks = 8, {}
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        assert struct.unpack(">I", data[at + 8 + length:at + 12 + length])[0] == zlib.crc32(kind + body), kind
        chunks[kind] = chunks.get(kind, b"") + body
        at += 12 + length
    width, height, depth, colour = struct.unpack(">IIBB", chunks[b"IHDR"][:10])
    assert data[:8] == b"\x89PNG\r\n\x1a\n" and (depth, colour) == (8, 6), "an 8-bit RGBA PNG"
    raw, stride = zlib.decompress(chunks[b"IDAT"]), width * 4 + 1
    assert all(raw[y * stride] == 0 for y in range(height)), "rows without filters"
    return width, height, [[tuple(raw[y * stride + 1 + 4 * x:y * stride + 5 + 4 * x]) for x in range(width)]
                           for y in range(height)]


def ico_pixels(data):
    """Rows of RGBA of an .ico file's first image (32-bit, stored bottom-up)."""
    size, offset = data[6], struct.unpack("<I", data[18:22])[0]
    colour = data[offset + 40:offset + 40 + size * size * 4]
    pixels = [(colour[i + 2], colour[i + 1], colour[i], colour[i + 3]) for i in range(0, len(colour), 4)]
    return [pixels[y * size:(y + 1) * size] for y in reversed(range(size))]


class LaunchedProgram(h.Program):
    """The program as the installed launcher starts it, the launcher given a
    user's environment with no Wine or locale settings; the driver joins the
    program in the prefix the launcher uses."""

    def __init__(self, name, launcher, launch_env, prefix, data_dir, slot):
        super().__init__(name, slot)
        self.launcher, self.launch_env, self.prefix = launcher, launch_env, prefix
        self.dir, self.exe = data_dir, data_dir / "Mosswick.exe"
        self.env.update(launch_env, WINEPREFIX=str(prefix), LANG="ja_JP.UTF-8", LC_ALL="ja_JP.UTF-8")
        self.launch_log = h.WORK / "runs" / name / "launcher.log"

    def start(self):
        self._log = open(self.launch_log, "wb")
        # Started from elsewhere: the launcher moves to the data folder itself.
        self.process = subprocess.Popen(self._in_namespace([str(self.launcher)]), cwd=h.WORK, env=self.launch_env,
                                        stdin=subprocess.DEVNULL, stdout=self._log, stderr=subprocess.STDOUT,
                                        start_new_session=True)
        return self

    def wait_prefix_ready(self, test):
        """The driver must not touch the prefix before the launcher has made
        it: Wine would make one of its own at the same time."""
        marker = self.prefix / ".mosswick-ready"
        h.wait_until(lambda: marker.exists() or not self.running(), PREFIX_WAIT, interval=1)
        test.assertTrue(marker.exists(), f"no prefix {self.prefix}: {self.launch_log.read_text(errors='replace')}")


class LinuxInstall(h.SystemTestCase):

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.work = fresh_dir(h.WORK / "release-install")
        cls.stages = {}
        for number, prefix in enumerate(PREFIXES):
            cls.stages[prefix] = fresh_dir(cls.work / f"stage{number}")
            run_script([INSTALL_LINUX], DESTDIR=cls.stages[prefix], PREFIX=prefix)
        cls.stage = cls.stages["/opt/mosswick"]
        cls.root = cls.stage / "opt" / "mosswick"

    def test_files_are_where_a_desktop_looks_for_them_and_name_the_prefix(self):
        files = {p.relative_to(self.root).as_posix() for p in self.root.rglob("*") if not p.is_dir()}
        program = {"Mosswick.exe", "Mosswick.html", "wine-env.sh"} | help_files()
        self.assertEqual(files, {LAUNCHER, DESKTOP_FILE, ICON} | {f"{PROGRAM_FILES}/{name}" for name in program})
        self.assertEqual([p.name for p in self.stage.iterdir()], ["opt"], "everything goes below DESTDIR/PREFIX")
        self.assertEqual((self.root / PROGRAM_FILES / "Mosswick.exe").read_bytes(), h.PROGRAM_EXE.read_bytes())
        self.assertTrue(os.access(self.root / LAUNCHER, os.X_OK), "the launcher is executable")
        for name, foreign in ((LAUNCHER, self.stage), (DESKTOP_FILE, self.stage), (LAUNCHER, h.ROOT)):
            self.assertNotIn(str(foreign), (self.root / name).read_text(encoding="utf-8"), f"{name} names {foreign}")

    def test_desktop_entry_starts_the_launcher_from_the_network_and_chat_menus(self):
        validator = shutil.which("desktop-file-validate")
        for prefix, exec_value in PREFIXES.items():
            with self.subTest(prefix=prefix):
                path = self.stages[prefix] / prefix.lstrip("/") / DESKTOP_FILE
                if validator:
                    result = subprocess.run([validator, str(path)], capture_output=True, text=True)
                    complaints = [line for line in (result.stdout + result.stderr).splitlines() if "hint:" not in line]
                    self.assertEqual((result.returncode, complaints), (0, []))
                parser = configparser.ConfigParser(interpolation=None)
                parser.optionxform = str
                parser.read_string(path.read_text(encoding="utf-8"))
                entry = parser["Desktop Entry"]
                self.assertEqual({key: entry.get(key) for key in ("Type", "Name", "Exec", "Icon", "Terminal")},
                                 {"Type": "Application", "Name": "Mosswick", "Exec": exec_value, "Icon": "mosswick",
                                  "Terminal": "false"})
                self.assertRegex(entry.get("Name[ja]", ""), r"[\u3040-\u30ff\u4e00-\u9fff]", "a Japanese name")
                self.assertTrue(entry.get("Comment"), "a comment")
                self.assertTrue(entry["Categories"].endswith(";"))
                self.assertLessEqual({"Network", "Chat", "InstantMessaging"}, set(entry["Categories"].split(";")))

    def test_icon_is_the_programs_own_icon_as_a_48_pixel_png(self):
        width, height, rows = png_pixels((self.root / ICON).read_bytes())
        self.assertEqual((width, height), (48, 48))
        own = ico_pixels((h.BUILD_WIN / "generated" / "tarnicon.ico").read_bytes())
        scale = width // len(own)
        for y in range(height):
            for x in range(width):
                want, got = own[y // scale][x // scale], rows[y][x]
                if want[3] or got[3]:
                    self.assertEqual(got, want, f"pixel ({x}, {y})")
        self.assertEqual(rows[0][0][3], 0, "the corners are clear")

    def test_launcher_makes_its_prefix_and_data_folder_and_starts_the_program(self):
        slot = any_slot()
        home = fresh_dir(self.work / "home")
        run_script([INSTALL_LINUX], HOME=home, PREFIX=None, DESTDIR=None)
        data_dir = home / ".local" / "share" / "mosswick"
        prefix = data_dir / "wineprefix"
        # The default PREFIX: the installed folder is the data folder, where
        # the program writes its settings at exit.
        self.start_and_quit(LaunchedProgram("release-launcher", home / ".local" / LAUNCHER,
                                            self.launch_env(home), prefix, data_dir, slot), h.login_name())
        self.assertTrue((data_dir / "Mosswick.ini").exists(), "Mosswick.ini in the data folder")
        self.assertEqual(os.listdir(home / ".local" / "share" / "applications"), ["mosswick.desktop"])
        self.assertFalse((home / ".config" / "menus").exists(), "Wine's menu builder left the menus alone")

        # A system-wide install (here the staged one): the program is copied
        # into the user's data folder, the help page linked, the prefix made
        # above reused. The user's settings are already there: a Japanese
        # name, which reaches the title intact only in code page 932.
        other_home = fresh_dir(self.work / "home2")
        other_data = other_home / ".local" / "share" / "mosswick"
        other_data.mkdir(parents=True)
        (other_data / "Mosswick.ini").write_bytes(b"[Client_Definition]\r\nName=" + JAPANESE_NAME + b"\r\n")
        env = dict(self.launch_env(other_home), WINEPREFIX=str(prefix))
        self.start_and_quit(LaunchedProgram("release-launcher2", self.root / LAUNCHER, env, prefix, other_data, slot),
                            JAPANESE_NAME)
        exe = other_data / "Mosswick.exe"
        self.assertFalse(exe.is_symlink(), "Wine takes the program's folder from a real file")
        self.assertEqual(exe.read_bytes(), h.PROGRAM_EXE.read_bytes())
        self.assertEqual((other_data / "Mosswick.html").resolve(), self.root / PROGRAM_FILES / "Mosswick.html")
        self.assertIn("Window_Information", h.read_ini(other_data / "Mosswick.ini"),
                      "the window state is saved beside the copied program")

    @staticmethod
    def launch_env(home):
        """A user's session: a home and a display, no Wine or locale settings."""
        env = {key: value for key, value in os.environ.items()
               if not key.startswith(("WINE", "XDG_", "LC_", "MW_")) and key not in ("PREFIX", "DESTDIR")}
        env.update(HOME=str(home), LANG="C")
        return env

    def start_and_quit(self, program, name):
        self.addCleanup(program.stop)
        program.start()
        program.wait_prefix_ready(self)
        self.assertEqual(program.main_window(wait=120)[1:], (True, b"Mosswick - [" + name + b"]"))
        own_row(program, name, self)
        program.close()
        self.assertEqual(program.wait_exit(), 0)
        program.stop()
