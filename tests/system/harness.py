"""The real Mosswick.exe under Wine, run from a scratch directory, optionally
inside one of the test network's namespaces, and driven from outside through
mwdriver.exe.

tools/run-system-tests.sh prepares the environment this module reads:
DISPLAY (an Xvfb display), WINEPREFIX (the template prefix), MW_SYSTEST_DIR
(scratch space), NETBED_PREFIX and MW_NETBED_COUNT when the namespaces are up,
or MW_NETBED_SKIP with the reason why they are not."""
import contextlib
import ctypes
import os
import pwd
import re
import shutil
import socket
import subprocess
import tempfile
import time
import unittest
from pathlib import Path

import command_ids

ROOT = Path(__file__).resolve().parents[2]
BUILD_WIN = Path(os.environ.get("MW_BUILD_WIN", ROOT / "build" / "win"))
PROGRAM_EXE = BUILD_WIN / "Mosswick.exe"
DRIVER_EXE = BUILD_WIN / "mwdriver.exe"
PLANTED_LIBRARY = BUILD_WIN / "planted_library.dll"
NETBED = ROOT / "tools" / "netbed.sh"
WORK = Path(os.environ.get("MW_SYSTEST_DIR", ROOT / "build" / "system-tests"))
# The locale Wine runs in, which sets its ANSI code page (tools/wine-env.sh).
LOCALE = os.environ.get("MW_LOCALE") or "ja_JP.UTF-8"
TEMPLATE_PREFIX = Path(os.environ.get("WINEPREFIX", ROOT / "build" / (
    "wineprefix" if LOCALE == "ja_JP.UTF-8" else f"wineprefix-{LOCALE.split('.')[0]}")))

MAIN_CLASS = "Mosswick"
PORT = 55700
SUBNET = "198.18.0."

# Generous limits: Wine start-up on a loaded machine can take a while.
START_WAIT = 60
EXIT_WAIT = 60
DRIVER_CHUNK = 5


def hexed(text):
    return text.hex() if text else "-"


def unhexed(field):
    return b"" if field == "-" else bytes.fromhex(field)


def login_name():
    """Wine reports the Unix user as the Windows login name."""
    return pwd.getpwuid(os.getuid()).pw_name.encode("cp932")


def wait_until(condition, timeout, interval=0.2):
    """Polls `condition` until it returns a true value; returns that value, or
    None when the time runs out."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() >= deadline:
            return None
        time.sleep(interval)


# ---------------------------------------------------------------- namespaces

def netbed_prefix():
    return os.environ.get("NETBED_PREFIX", "mw")


def netbed_count():
    return int(os.environ.get("MW_NETBED_COUNT", "0") or 0)


def netbed_skip_reason(needed):
    if netbed_count() >= needed:
        return None
    return os.environ.get("MW_NETBED_SKIP") or "the test network is not up (run through tools/run-system-tests.sh)"


def netbed_env(netbed=None):
    """The environment for tools/netbed.sh on the bed named by `netbed`
    (None: the one the runner brought up)."""
    env = dict(os.environ)
    env["NETBED_PREFIX"] = netbed or netbed_prefix()
    return env


def set_loss(slot, percent, direction="both", netbed=None):
    """Drops that share of the packets in the slot's namespace (0: none)."""
    subprocess.run([str(NETBED), "loss", str(slot), str(percent), direction], check=True,
                   stdin=subprocess.DEVNULL, env=netbed_env(netbed))


def set_second_interface(slot, cidr, netbed=None):
    """A second interface holding `cidr` and the default route ("off": none)."""
    subprocess.run([str(NETBED), "second", str(slot), cidr], check=True, stdin=subprocess.DEVNULL,
                   env=netbed_env(netbed))


def long_scenario(test):
    """Marks a test that waits for the program's own timers (tens of seconds);
    MW_QUICK=1 leaves such tests out."""
    return unittest.skipIf(os.environ.get("MW_QUICK") == "1", "long scenario (MW_QUICK=1)")(test)


def namespace_name(slot, netbed=None):
    return f"{netbed or netbed_prefix()}{slot}"


def slot_address(slot):
    return f"{SUBNET}{10 + slot}"


_libc = ctypes.CDLL(None, use_errno=True)
_CLONE_NEWNET = 0x40000000


def _setns(fd):
    if _libc.setns(fd, _CLONE_NEWNET) != 0:
        error = ctypes.get_errno()
        raise OSError(error, os.strerror(error))


@contextlib.contextmanager
def inside_namespace(slot, netbed=None):
    """Runs the block with this thread in the slot's network namespace; sockets
    made there stay there."""
    own = os.open("/proc/thread-self/ns/net", os.O_RDONLY)
    target = os.open(f"/run/netns/{namespace_name(slot, netbed)}", os.O_RDONLY)
    try:
        _setns(target)
        try:
            yield
        finally:
            _setns(own)
    finally:
        os.close(target)
        os.close(own)


def udp_socket(slot, port, host="", netbed=None):
    """A UDP socket bound to `port`, in the slot's namespace (slot None: this
    machine's own network)."""
    context = inside_namespace(slot, netbed) if slot is not None else contextlib.nullcontext()
    with context:
        sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        sock.bind((host, port))
    return sock


class Peer:
    """A scripted peer: a UDP socket on the program's port in its own
    namespace. Datagrams that arrive while the peer waits for something else
    are kept, in order, for later waits."""

    def __init__(self, slot, port=PORT, netbed=None):
        self.slot = slot
        self.address = slot_address(slot)
        self.port = port
        self.sock = udp_socket(slot, port, netbed=netbed)
        self.kept = []

    def close(self):
        self.sock.close()

    def send(self, datagram, to):
        self.sock.sendto(datagram, (to, self.port))

    def receive(self, timeout):
        """The next datagram from the socket as (datagram, source address),
        or None when nothing arrives in time."""
        self.sock.settimeout(max(timeout, 0.001))
        try:
            data, source = self.sock.recvfrom(65536)
        except socket.timeout:
            return None
        return data, source[0]

    def wait_for(self, match, timeout):
        """The first datagram, kept or new, for which match(datagram, source)
        holds."""
        for index, (data, source) in enumerate(self.kept):
            if match(data, source):
                del self.kept[index]
                return data
        deadline = time.monotonic() + timeout
        while True:
            left = deadline - time.monotonic()
            if left <= 0:
                return None
            got = self.receive(left)
            if got is None:
                return None
            if match(*got):
                return got[0]
            self.kept.append(got)

    def exchange(self, datagram, to, match, timeout=START_WAIT, resend=1.0, alive=None):
        """Sends `datagram` every `resend` seconds until an answer that matches
        arrives: the way to find out that the program is listening. Gives up
        early once `alive()` says the program has gone."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline and (alive is None or alive()):
            self.send(datagram, to)
            answer = self.wait_for(match, min(resend, deadline - time.monotonic()))
            if answer is not None:
                return answer
        return None

    def drain(self):
        """Forgets everything received so far."""
        while self.receive(0.05):
            pass
        self.kept.clear()


# ----------------------------------------------------------------- the program

def template_prefix(locale):
    """The template prefix of a locale, made by tools/wine-env.sh when it is
    not there yet: the runner's own for its locale."""
    if locale == LOCALE:
        return TEMPLATE_PREFIX
    env = {key: value for key, value in os.environ.items() if key != "WINEPREFIX"}
    env["MW_LOCALE"] = locale
    made = subprocess.run(["bash", "-c", 'source tools/wine-env.sh && mosswick_wine_prefix && echo "$WINEPREFIX"'],
                          cwd=ROOT, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, check=True, timeout=600)
    return Path(made.stdout.decode().split()[-1])


def prefix_for(slot, netbed=None, locale=LOCALE):
    """One Wine prefix per place the program runs (and locale it runs in),
    copied from the template."""
    name = "host" if slot is None else namespace_name(slot, netbed)
    if locale != LOCALE:
        name += "-" + locale.split(".")[0]
    prefix = WORK / "prefixes" / name
    if not (prefix / ".mosswick-ready").exists():
        if prefix.exists():
            shutil.rmtree(prefix)
        prefix.parent.mkdir(parents=True, exist_ok=True)
        subprocess.run(["cp", "-a", str(template_prefix(locale)), str(prefix)], check=True)
        open_html_with_notepad(prefix)
    return prefix


def open_html_with_notepad(prefix):
    """The test desktop has no web browser: Wine's browser bridge would open
    the help page nowhere to be seen. Notepad stands in for the viewer, so that
    a test sees the page open. Edited in the copy's registry file, before any
    wineserver reads it."""
    registry = prefix / "system.reg"
    text = registry.read_bytes()
    key = rb"[Software\\Classes\\htmlfile\\shell\\open\\command]"
    start = text.find(key)
    if start < 0:
        return
    line = text.find(b"\n@=", start)
    end = text.find(b"\n", line + 1)
    viewer = rb'@="\"C:\\windows\\system32\\notepad.exe\" \"%1\""'
    registry.write_bytes(text[:line + 1] + viewer + text[end:])


def driver_exe():
    """A copy of the driver for this run, safe from rebuilds under way."""
    copy = WORK / "bin" / DRIVER_EXE.name
    if not copy.exists():
        copy.parent.mkdir(parents=True, exist_ok=True)
        shutil.copy2(DRIVER_EXE, copy)
    return copy


class DriverError(AssertionError):
    pass


class Program:
    """One copy of Mosswick.exe in its own directory (the INI and the log live
    beside it), with its own wineserver, in the slot's namespace or not.
    `folder` places it one folder deeper, in a folder of that name; `locale`
    runs it in another locale than the run's (another ANSI code page)."""

    def __init__(self, name, slot=None, ini=None, netbed=None, folder=None, locale=LOCALE, planted=False):
        self.slot = slot
        self.netbed = netbed or netbed_prefix()
        run_dir = WORK / "runs" / name
        if run_dir.exists():
            shutil.rmtree(run_dir)
        self.dir = run_dir / folder if folder else run_dir
        self.dir.mkdir(parents=True)
        self.exe = self.dir / "Mosswick.exe"
        shutil.copy2(PROGRAM_EXE, self.exe)
        # The help page ships beside the program.
        help_page = PROGRAM_EXE.parent / "Mosswick.html"
        if help_page.exists():
            shutil.copy2(help_page, self.dir / help_page.name)
        if ini is not None:
            (self.dir / "Mosswick.ini").write_bytes(ini)
        overrides = os.environ.get("WINEDLLOVERRIDES", "mscoree,mshtml=")
        if planted:
            # A library named as a system library lies beside the program, and
            # Wine takes a library found on the search path before its own, as
            # Windows does for one that is not among its known libraries.
            shutil.copy2(PLANTED_LIBRARY, self.dir / "RICHED20.DLL")
            overrides += ";riched20=n,b"
        self.env = netbed_env(self.netbed)
        self.env.update(WINEPREFIX=str(prefix_for(slot, self.netbed, locale)),
                        WINEDEBUG=os.environ.get("WINEDEBUG", "-all"), LANG=locale, LC_ALL=locale, WINEARCH="win64",
                        WINEDLLOVERRIDES=overrides)
        self.process = None
        self._log = None

    @property
    def ini_path(self):
        return self.dir / "Mosswick.ini"

    @property
    def log_path(self):
        return self.dir / "Mosslog.txt"

    def _in_place(self, command):
        """In the slot's network namespace (no host name needed)."""
        if self.slot is None:
            return command
        return ["nsenter", f"--net=/run/netns/{namespace_name(self.slot, self.netbed)}"] + command

    def start(self):
        self._stop_server()
        self._start_server()
        self._log = open(self.dir / "wine.log", "wb")
        command = self._in_namespace(["wine", str(self.exe)])
        # Wine would wait on an inherited stdin pipe: give it none.
        self.process = subprocess.Popen(command, cwd=self.dir, env=self.env, stdin=subprocess.DEVNULL,
                                        stdout=self._log, stderr=subprocess.STDOUT, start_new_session=True)
        return self

    def _in_namespace(self, command):
        """With its own host name, for the program and its wineserver."""
        if self.slot is None:
            return command
        return [str(NETBED), "exec", str(self.slot)] + command

    def _start_server(self):
        """A persistent wineserver, started inside the namespace: the
        program's sockets are made by the server. A server of an earlier run
        that is still on its way out holds the prefix's lock (exit status 2)
        for a moment."""
        command = self._in_namespace(["wineserver", "-p"])
        deadline = time.monotonic() + 60
        while True:
            # No pipes: the server lives on and would hold them open.
            result = subprocess.run(command, env=self.env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                    stderr=subprocess.DEVNULL, timeout=60)
            if result.returncode == 0:
                return
            if result.returncode != 2 or time.monotonic() >= deadline:
                raise RuntimeError(f"wineserver -p failed with status {result.returncode}")
            time.sleep(0.2)

    def running(self):
        return self.process is not None and self.process.poll() is None

    def wait_exit(self, timeout=EXIT_WAIT):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def stop(self):
        """Closes the program if it still runs, then ends its wineserver."""
        if self.running():
            self.drive("close", MAIN_CLASS, wait=2, check=False)
            if self.wait_exit(20) is None:
                self.process.kill()
                self.process.wait(10)
        self._stop_server()
        if self._log:
            self._log.close()
            self._log = None

    def _stop_server(self):
        quiet = dict(stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-k"], env=self.env, **quiet)
        subprocess.run(["wineserver", "-w"], env=self.env, timeout=60, **quiet)

    # The driver runs in the same prefix and namespace.

    def drive(self, *args, wait=15, check=True):
        """Runs one driver command; a long wait is cut into short ones so that
        a program that has died is noticed at once."""
        deadline = time.monotonic() + wait
        while True:
            chunk = max(0, min(DRIVER_CHUNK, deadline - time.monotonic()))
            status, out, err = self._run_driver(["-w", f"{chunk:.1f}", *map(str, args)], chunk + 60)
            if status != 1 or time.monotonic() >= deadline or not self.running():
                break
        if check and status != 0:
            state = "" if self.running() else f" (the program has exited with code {self.process.returncode})"
            raise DriverError(f"mwdriver {' '.join(map(str, args))}: exit {status}: {err.strip()}{state}")
        return out.strip()

    def _run_driver(self, args, timeout):
        # Output goes through files, not pipes: a Wine process that the driver
        # happens to start (the desktop, a service) would inherit a pipe and
        # hold it open long after the driver has finished.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            command = self._in_place(["wine", str(driver_exe()), *args])
            status = subprocess.run(command, env=self.env, stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                    timeout=timeout).returncode
            out.seek(0)
            err.seek(0)
            return status, out.read().decode("ascii", errors="replace"), err.read().decode(errors="replace")

    def main_window(self, title=None, wait=START_WAIT):
        """(handle, visible, title) of the main window; with `title`, waits
        for the window to carry it."""
        args = ["find", MAIN_CLASS] + ([hexed(title)] if title is not None else [])
        handle, visible, shown = self.drive(*args, wait=wait).split()
        return handle, visible == "1", unhexed(shown)

    def title(self):
        return unhexed(self.drive("title", MAIN_CLASS))

    def close(self):
        self.drive("close", MAIN_CLASS)

    def message_box(self, title=None, wait=START_WAIT):
        args = ["msgbox-text"] + ([hexed(title)] if title is not None else [])
        shown_title, text = self.drive(*args, wait=wait).split()
        return unhexed(shown_title), unhexed(text)

    def press_button(self, title=None, button=1):
        self.drive("press-button", button, *([hexed(title)] if title is not None else []))

    def query_end_session(self):
        return int(self.drive("query-end-session", MAIN_CLASS))

    def end_session(self, ending=1, how=0):
        return int(self.drive("end-session", MAIN_CLASS, ending, how))

    def list_rows(self, control):
        output = self.drive("listview-rows", MAIN_CLASS, command_ids.id_of(control))
        return [[unhexed(field) for field in line.split()] for line in output.splitlines() if line]

    def child_text(self, control):
        return unhexed(self.drive("child-text", MAIN_CLASS, command_ids.id_of(control)))

    def set_text(self, control, text):
        self.drive("set-text", MAIN_CLASS, command_ids.id_of(control), hexed(text))

    def command(self, name):
        """Posts WM_COMMAND with the named id to the main window."""
        self.drive("command", MAIN_CLASS, command_ids.id_of(name))

    def output_lines(self):
        """The output area's lines, without their line ends."""
        return [line for line in re.split(rb"\r\n|\r|\n", self.child_text("IDC_OUTPUT")) if line]

    def log_lines(self):
        """Mosslog.txt's lines (CR LF ends), without their line ends."""
        if not self.log_path.exists():
            return []
        return self.log_path.read_bytes().split(b"\r\n")[:-1]

    # Real input (SendInput from the driver, which shares the program's Wine
    # server) and what the panes show on the screen.

    def keys(self, *tokens):
        """Brings the main window to the front and types the keys: names (Tab,
        Enter), MOD+KEY (Shift+Tab, Ctrl+Enter), down:KEY and up:KEY (a key
        held down again before its release repeats), text:HEX, sleep:MS."""
        self.drive("keys", MAIN_CLASS, *tokens)

    def type_text(self, text):
        """Types ASCII text into the window that has the focus."""
        self.keys("text:" + text.hex())

    def click(self, control, x, y, modifiers=""):
        """A real left click at (x, y) in the control's client area;
        `modifiers` "ctrl", "shift", "right" (the right button), joined by +."""
        self.drive("click", MAIN_CLASS, command_ids.id_of(control), x, y, *([modifiers] if modifiers else []))

    def click_row(self, control, row, modifiers=""):
        """A real click on a list-view row, near its left end."""
        self.drive("click-row", MAIN_CLASS, command_ids.id_of(control), row, *([modifiers] if modifiers else []))

    def click_header(self, control, column):
        """A real click on a list-view column heading."""
        self.drive("click-header", MAIN_CLASS, command_ids.id_of(control), column)

    def focus(self):
        """The control id of the window that has the keyboard focus on the
        main window's thread (0 when none has it or it has no id)."""
        return int(self.drive("focus", MAIN_CLASS).split()[0])

    def selected_rows(self, control):
        """For each list-view row in display order: whether it is selected."""
        return [flag == "1" for flag in self.drive("listview-selected", MAIN_CLASS, command_ids.id_of(control)).split()]

    def status_text(self, part):
        """The text of one part of the status bar."""
        return unhexed(self.drive("statusbar-text", MAIN_CLASS, command_ids.id_of("IDC_STATUSBAR"), part))

    def toolbar_state(self, command):
        """The toolbar button's state bits (TBSTATE_*: 1 checked, that is shown
        pressed; 4 enabled); -1 when there is no such button."""
        return int(self.drive("toolbar-state", MAIN_CLASS, command_ids.id_of("IDC_TOOLBAR"),
                              command_ids.id_of(command)))

    def toolbar_pressed(self, command):
        return self.toolbar_state(command) & 1 == 1

    def pixels(self, control, rgb, tolerance=0, row=None, column=None):
        """How many pixels of the colour (0xRRGGBB, each component within
        `tolerance`) the screen shows in the control's client area, or in one
        list-view row of it, or in one column of that row."""
        where = [] if row is None else [row] + ([] if column is None else [column])
        return int(self.drive("pixels", MAIN_CLASS, command_ids.id_of(control), f"{rgb:06x}", tolerance, *where))


def read_ini(path):
    """Sections of an INI file as {section: {key: value bytes}}."""
    sections = {}
    current = None
    for raw in path.read_bytes().splitlines():
        line = raw.strip()
        if line.startswith(b"[") and line.endswith(b"]"):
            current = sections.setdefault(line[1:-1].decode("ascii"), {})
        elif current is not None and b"=" in line:
            key, value = line.split(b"=", 1)
            current[key.strip().decode("ascii")] = value.strip()
    return sections


def ini_text(sections):
    """An INI file's bytes (CP932, CRLF) from {section: {key: text}}."""
    lines = []
    for section, keys in sections.items():
        lines.append(f"[{section}]")
        lines.extend(f"{key}={value}" for key, value in keys.items())
    return ("\r\n".join(lines) + "\r\n").encode("cp932")


class SystemTestCase(unittest.TestCase):
    """Skips when the program, the driver or a display is missing; stops
    every program and closes every peer a test (or a test class) opened,
    also when its set-up fails."""

    @classmethod
    def setUpClass(cls):
        missing = [p.name for p in (PROGRAM_EXE, DRIVER_EXE) if not p.exists()]
        if missing:
            raise unittest.SkipTest(f"not built: {', '.join(missing)}")
        if not os.environ.get("DISPLAY"):
            raise unittest.SkipTest("no display (run through tools/run-system-tests.sh)")

    def start_program(self, slot=None, ini=None, name=None, **where):
        """`where`: the Program's folder and locale, when not the usual."""
        program = Program(name or self.id().rsplit(".", 1)[-1], slot, ini, **where)
        self.addCleanup(program.stop)
        return program.start()

    def start_two_copies(self, names, name="copy"):
        """Copies in slots 1 and 2 ({slot: user name}), each announcing itself
        to the other at start; returns {slot: Program} once both windows are up."""
        programs = {}
        for slot, other in ((1, 2), (2, 1)):
            ini = ini_text({"Client_Definition": {"Name": names[slot], "Start_Send": "Yes"},
                            "Broadcast_Definition": {"Number": 1, "Address01": slot_address(other)}})
            programs[slot] = self.start_program(slot, ini, name=f"{name}{slot}")
            programs[slot].main_window(title=f"Mosswick - [{names[slot]}]".encode("cp932"))
        return programs

    def open_peer(self, slot):
        peer = Peer(slot)
        self.addCleanup(peer.close)
        return peer

    @classmethod
    def start_class_program(cls, slot=None, ini=None, name=None):
        program = Program(name or cls.__name__, slot, ini)
        cls.addClassCleanup(program.stop)
        return program.start()

    @classmethod
    def open_class_peer(cls, slot):
        peer = Peer(slot)
        cls.addClassCleanup(peer.close)
        return peer

    @staticmethod
    def require_namespaces(needed):
        """Skips unless the test network has at least `needed` namespaces."""
        reason = netbed_skip_reason(needed)
        if reason:
            raise unittest.SkipTest(reason)
