"""Long scenarios that run in a thread of their own, each on a bed of its own,
while other tests run: a crowd of console peers, a lossy link waiting for
the resend tick. The test that owns a scenario waits for its outcome and
fails with the scenario's own failure."""
import contextlib
import threading
import time
import unittest

import console_peer
import harness as h
import netbed
import sniffer


class Scene:
    """What a scenario starts; everything is stopped, closed or removed when
    the scenario ends, in reverse order."""

    def __init__(self):
        self.stack = contextlib.ExitStack()
        self.cancelled = threading.Event()
        self.consoles = []
        self.check = unittest.TestCase()
        self.check.maxDiff = None

    def bed(self, count):
        bed = netbed.Bed.bring_up(count)
        self.stack.callback(bed.close)
        return bed

    def console(self, name, slot, ini, bed):
        peer = console_peer.ConsolePeer(name, slot, ini, bed.prefix)
        self.stack.callback(peer.stop)
        self.consoles.append(peer)
        return peer.start()

    def program(self, name, slot, ini, bed):
        """The real program under Wine in namespace `slot` of the bed."""
        program = h.Program(name, slot, ini, netbed=bed.prefix)
        self.stack.callback(program.stop)
        return program.start()

    def sniffer(self, slot, bed):
        watcher = sniffer.Sniffer(slot, bed.prefix)
        self.stack.callback(watcher.close)
        return watcher

    def kill(self):
        """Ends every console peer at once, so that the scenario's waits give
        up; loops of its own watch `cancelled`."""
        self.cancelled.set()
        for peer in list(self.consoles):
            if peer.running():
                peer.process.kill()


class Background:
    """Runs scenario(scene) in a thread from the moment it is made."""

    def __init__(self, name, scenario):
        self.name = name
        self.scene = Scene()
        self.value = None
        self.error = None
        self.started = time.monotonic()
        self.seconds = None
        self._thread = threading.Thread(target=self._run, args=(scenario,), name=name, daemon=True)
        self._thread.start()

    def _run(self, scenario):
        try:
            with self.scene.stack:
                self.value = scenario(self.scene)
        except BaseException as error:  # handed to the test that waits
            self.error = error
        self.seconds = time.monotonic() - self.started

    def result(self, timeout):
        """Waits for the scenario; raises its failure (or skip), else returns
        its value."""
        self._thread.join(timeout)
        if self._thread.is_alive():
            self.scene.kill()
            self._thread.join()
            raise AssertionError(f"{self.name}: still running after {timeout:.0f} s")
        if self.error is not None:
            raise self.error
        return self.value

    def cancel(self):
        """Stops a scenario nobody waited for (only some tests were run), and
        waits until its bed is removed: every wait in a scenario is bounded."""
        if self._thread.is_alive():
            self.scene.kill()
            self._thread.join()
