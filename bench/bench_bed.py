"""What the benchmarks that run whole programs share: the Wine prefix, a
virtual display of their own, and a standalone test network brought up for
the run and removed after it, even when the run is ended from outside."""
import contextlib
import os
import shutil
import signal
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tests" / "system"))

import harness as h  # noqa: E402
import netbed  # noqa: E402


def start_display():
    """An Xvfb of its own when there is no display; returns its process."""
    if os.environ.get("DISPLAY"):
        return None
    # Xvfb writes the number it picked through -displayfd; a file, because
    # it may write again after the reader of a pipe has gone.
    number_file = h.WORK / "display"
    number_file.parent.mkdir(parents=True, exist_ok=True)
    with open(number_file, "w") as out:
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(out.fileno()), "-screen", "0", "1280x1024x24",
                                 "-nolisten", "tcp"], pass_fds=[out.fileno()], stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
    number = h.wait_until(lambda: number_file.read_text().strip(), 10, interval=0.1)
    if not number or xvfb.poll() is not None:
        xvfb.kill()
        raise RuntimeError("Xvfb did not start")
    os.environ["DISPLAY"] = ":" + number
    return xvfb


def prepare_wine():
    subprocess.run(["bash", "-c", "source tools/wine-env.sh && mosswick_wine_prefix"], cwd=ROOT, check=True)
    os.environ.setdefault("WINEPREFIX", str(ROOT / "build" / "wineprefix"))


@contextlib.contextmanager
def bench_bed(name, slots, wine=True):
    """A standalone bed of `slots` namespaces for the benchmark `name`, with
    the Wine prefix made and a display of its own when `wine`; prints the
    machine line first. Yields the bed."""
    shutil.rmtree(h.WORK / "bin", ignore_errors=True)  # no copy of another build's driver or peer
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    check = subprocess.run([str(h.NETBED), "check"], capture_output=True, text=True)
    if check.returncode != 0:
        sys.exit(f"{name}: {check.stderr.strip()}")
    xvfb = None
    if wine:
        prepare_wine()
        xvfb = start_display()
    bed = netbed.Bed.bring_up(slots, standalone=True)
    try:
        print(f"{os.cpu_count()} CPUs, {os.uname().release}, {h.PROGRAM_EXE}", flush=True)
        yield bed
    finally:
        bed.close()
        if xvfb:
            xvfb.kill()
