"""The program's popup message windows as a test sees them: found by their
captions among the top-level windows, read and pressed by handle."""
import subprocess

import harness as h
import command_ids

RECEIVED = "Mosswick - 受信 - ".encode("cp932")
REPLY = "Mosswick - 返信".encode("cp932")


def popups(program):
    """(handle, caption) of every visible popup window, in z-order."""
    found = []
    for line in program.drive("windows").splitlines():
        handle, kind, visible, *title = line.split()
        caption = h.unhexed(title[0]) if title else b""
        if kind == "#32770" and visible == "1" and (caption.startswith(RECEIVED) or caption == REPLY):
            found.append((handle, caption))
    return found


def wait_popups(program, count, timeout=15):
    """The handles of the popup windows once there are `count` of them."""
    h.wait_until(lambda: len(popups(program)) >= count, timeout, interval=0.3)
    return [handle for handle, _ in popups(program)]


def rect(program, handle):
    return tuple(int(v) for v in program.drive("rect", handle).split())


def text(program, handle, control):
    return h.unhexed(program.drive("child-text", handle, command_ids.id_of(control)))


def set_text(program, handle, control, value):
    program.drive("set-text", handle, command_ids.id_of(control), h.hexed(value))


CLOSE = 1  # the close button is IDOK


def press(program, handle, control):
    """Presses a button of the window: a name of the ids header, or CLOSE."""
    program.drive("command", handle, control if isinstance(control, int) else command_ids.id_of(control))


def caption(program, handle):
    for found, title in popups(program):
        if found == handle:
            return title
    return None


def pixels(program, handle, control, rgb, tolerance=0):
    return int(program.drive("pixels", handle, command_ids.id_of(control), f"{rgb:06x}", tolerance))


def other_program_in_front(test, program):
    """Notepad, another process on the program's desktop, started and given
    the foreground: the window the user works in when a popup comes."""
    other = subprocess.Popen(program._in_namespace(["wine", "notepad"]), env=program.env, stdin=subprocess.DEVNULL,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
    test.addCleanup(other.kill)
    program.drive("foreground", "Notepad", wait=30)


def z_order(program, handle):
    """Where the window lies among the visible top-level windows, 0 in front,
    and where Notepad lies."""
    shown = [line.split() for line in program.drive("windows").splitlines()]
    shown = [fields for fields in shown if fields[2] == "1"]
    return ([i for i, fields in enumerate(shown) if fields[0] == handle][0],
            [i for i, fields in enumerate(shown) if fields[1] == "Notepad"][0])
