"""The two worked examples of docs/console.md, run as the page runs them.

examples/line-logger.py keeps the record in namespace 1; the build script
examples/post-build-result.sh posts from namespace 2, its host list naming
only the logger; a plain console peer listens in namespace 3. The script's
lines reach the logger's file and the third peer once each, and the script
exits with the command's status. It leaves only once every receiver has
answered a user check sent after its lines: while that check cannot reach
the third peer, the script stays and its console peer sends no End. A
receiver that heard nothing while the script joined (neither the news of it
nor its first check) still shows the lines, once the script's resend tick
has told it who sends them. Both wait for that tick. Stopped with SIGTERM,
the logger leaves the chat and its file holds exactly the chat lines and
popups it was sent. The real program, as a receiver, shows a posted failure
in its output area. The page shows both examples as they are."""
import datetime
import os
import re
import shutil
import signal
import subprocess
import time
import unittest

import console_peer as cp
import harness as h
import netbed
import sniffer
import wire

LOGGER_SCRIPT = h.ROOT / "examples" / "line-logger.py"
BUILD_SCRIPT = h.ROOT / "examples" / "post-build-result.sh"

LOGGER, BUILDER, THIRD = 1, 2, 3
NAMES = {LOGGER: "記録係", BUILDER: "ビルド番", THIRD: "三番"}
# How long the check behind the script's lines is kept from the third peer
# after the lines reached it: the script must still be waiting then.
HOLD = 2.0
# How long the third peer hears nothing once the script has started: enough
# for the script to join and check, well before its first resend tick (15 s
# after its console peer started).
DEAF = 5.0
SCRIPT_WAIT = 90

# The build the script runs: a success that takes a second, or a failure
# whose last lines include one that looks like a console command and texts
# with a CP932 trail byte 0x5C (表, ソ).
BUILD = """\
echo "compiling 3 files"
if [ "$1" = ok ]; then sleep 1; echo "linked"; exit 0; fi
echo "step 1 of 2: ソース"
echo "main.c:12: エラー: 表示できない文字"
echo "/usr/bin/ld: cannot find -lmoss" >&2
exit 2
"""
FAILURE_TAIL = ["step 1 of 2: ソース", "main.c:12: エラー: 表示できない文字", "/usr/bin/ld: cannot find -lmoss"]
FAILURE_POST = ["ビルド失敗 (終了コード 2): sh build.sh fail"] + [f"| {line}" for line in FAILURE_TAIL]

STAMPED = re.compile(r"^(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)\t(.*)$")


def address(slot):
    return h.slot_address(slot)


def hold_checks_after_chat(sender, receiver):
    """On the bridge: from the first chat line `sender` sends `receiver` on,
    the user checks it sends there are dropped (the kind is the 16 bits six
    bytes into the UDP payload)."""
    match = f"ip daddr {receiver} udp dport {h.PORT} @th,112,16"
    hub_nft(f"""table bridge mwhold {{
  set chatted {{ type ipv4_addr; flags dynamic; }}
  chain forward {{
    type filter hook forward priority -1;
    ip saddr {sender} {match} {wire.KIND_CHAT} add @chatted {{ ip saddr }}
    ip saddr @chatted {match} {wire.KIND_CHECK} drop
  }}
}}
""")


def release_checks():
    hub_nft("delete table bridge mwhold\n", check=False)


def hub_nft(rules, check=True):
    subprocess.run(["nsenter", f"--net=/run/netns/{h.netbed_prefix()}hub", "nft", "-f", "-"], input=rules.encode(),
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=check)


class BuildScript:
    """Runs the build script from a scratch directory of the test class,
    which holds build.sh and the builder's settings."""

    @classmethod
    def prepare(cls, name, builder_ini):
        cls.work = h.WORK / "runs" / name
        if cls.work.exists():
            shutil.rmtree(cls.work)
        cls.work.mkdir(parents=True)
        (cls.work / "build.sh").write_text(BUILD, encoding="utf-8")
        cls.env = h.netbed_env()
        cls.env["MOSSWICK_CONSOLE"] = str(cp.console_exe())
        cls.builder_dir = cls.directory("builder", builder_ini)

    @classmethod
    def directory(cls, name, ini):
        path = cls.work / name
        path.mkdir()
        (path / "Mosswick.ini").write_bytes(ini)
        return path

    def run_build(self, outcome):
        """Starts the script in the builder's namespace on `sh build.sh OUTCOME`."""
        command = [str(h.NETBED), "exec", str(BUILDER), str(BUILD_SCRIPT), str(self.builder_dir), "--", "sh",
                   "build.sh", outcome]
        script = subprocess.Popen(command, cwd=self.work, env=self.env, stdin=subprocess.DEVNULL,
                                  stdout=subprocess.PIPE, stderr=subprocess.PIPE, start_new_session=True)
        self.addCleanup(self.end_group, script, signal.SIGKILL)
        return script

    @staticmethod
    def end_group(process, signum):
        """Signals a process group that may have ended meanwhile."""
        if process.poll() is None:
            os.killpg(process.pid, signum)

    def finish(self, script):
        """The script's exit status, output and error output."""
        try:
            out, err = script.communicate(timeout=SCRIPT_WAIT)
        except subprocess.TimeoutExpired:
            os.killpg(script.pid, signal.SIGKILL)
            out, err = script.communicate()
            self.fail(f"the script did not finish: {err.decode(errors='replace')}")
        return script.returncode, out.decode("utf-8"), err.decode("utf-8", errors="replace")


class ConsoleExamples(BuildScript, unittest.TestCase):
    """The logger and a plain console peer run for the whole class; each
    test runs the build script once, the logger's test last."""

    @classmethod
    def setUpClass(cls):
        netbed.Bed.main(3)
        cls.started = datetime.datetime.now().replace(microsecond=0)
        # Only the logger is on the script's host list, and it does not
        # announce itself at start: the script itself must, and it learns of
        # the third peer from the logger's answer.
        cls.prepare("console-examples", cp.console_ini(NAMES[BUILDER], [address(LOGGER)], start_send=False))

        cls.third = cp.start_console(cls, NAMES[THIRD], THIRD, cp.console_ini(NAMES[THIRD], []),
                                     class_level=True).wait_ready()
        cls.log_file = cls.work / "chat-log.txt"
        logger_dir = cls.directory("logger", cp.console_ini(NAMES[LOGGER], [address(THIRD)]))
        cls.logger_errors = open(cls.work / "logger-stderr.txt", "wb")
        cls.addClassCleanup(cls.logger_errors.close)
        cls.logger = subprocess.Popen([str(h.NETBED), "exec", str(LOGGER), str(LOGGER_SCRIPT), "--dir",
                                       str(logger_dir), str(cls.log_file)], env=cls.env, stdin=subprocess.DEVNULL,
                                      stdout=subprocess.DEVNULL, stderr=cls.logger_errors, start_new_session=True)
        cls.addClassCleanup(cls.stop_logger)
        if cls.third.wait_users(lambda rows: address(LOGGER) in cls.addresses(rows), 30) is None:
            raise AssertionError(f"the logger never joined: {cls.third.describe()}")

    @classmethod
    def stop_logger(cls):
        if cls.logger.poll() is None:
            cls.logger.send_signal(signal.SIGTERM)
            try:
                cls.logger.wait(30)
            except subprocess.TimeoutExpired:
                os.killpg(cls.logger.pid, signal.SIGKILL)
                cls.logger.wait(10)

    def setUp(self):
        super().setUp()
        self.log_mark = len(self.logged())

    @staticmethod
    def addresses(rows):
        return {row[-1] for row in rows}

    # What the examples did

    def logged(self):
        """(moment, line) of every line in the logger's file."""
        if not self.log_file.exists():
            return []
        text = self.log_file.read_text(encoding="utf-8")
        entries = []
        # A line still being written waits for the next look.
        for raw in text[:text.rfind("\n") + 1].splitlines():
            match = STAMPED.match(raw)
            self.assertIsNotNone(match, f"not a stamped line: {raw!r}")
            entries.append((datetime.datetime.strptime(match.group(1), "%Y-%m-%d %H:%M:%S"), match.group(2)))
        return entries

    def logged_here(self, count):
        """The lines the logger's file got during this test, once `count`
        have come (or what came within the wait)."""
        def lines():
            return [line for _, line in self.logged()[self.log_mark:]]

        h.wait_until(lambda: len(lines()) >= count, 20)
        return lines()

    def builder_lines_at_third(self, since, count):
        """The script's chat lines as the third peer printed them, once
        `count` have come (or what came within the wait)."""
        def lines_from_builder(lines):
            return [line for line in lines[since:] if (cp.parse_chat(line) or (0, ""))[1] == NAMES[BUILDER]]

        self.third.wait_for(lambda lines: len(lines_from_builder(lines)) >= count, 20)
        return lines_from_builder(self.third.lines)

    def expect_posted(self, since, texts):
        """The third peer shows the script's lines exactly once each and in
        order, and the logger's file gets the same lines."""
        shown = self.builder_lines_at_third(since, len(texts))
        self.assertEqual([cp.parse_chat(line)[2] for line in shown], texts, "what the third peer shows")
        self.assertEqual(self.logged_here(len(shown)), shown, "what the logger's file got")

    # The tests

    def test_a_failure_is_posted_with_the_last_lines_of_its_output(self):
        since = self.third.mark()
        status, out, err = self.finish(self.run_build("fail"))
        self.assertEqual(status, 2, err)
        self.assertIn("compiling 3 files\n", out, "the command's output is shown while it runs")
        self.assertIn("/usr/bin/ld: cannot find -lmoss\n", out)
        self.expect_posted(since, FAILURE_POST)

    @h.long_scenario
    def test_a_success_is_posted_once_every_receiver_has_answered_behind_it(self):
        link = sniffer.open_sniffer(self, THIRD)
        since = self.third.mark()
        hold_checks_after_chat(address(BUILDER), address(THIRD))
        self.addCleanup(release_checks)
        script = self.run_build("ok")

        self.assertTrue(h.wait_until(lambda: link.arrivals(wire.KIND_CHAT, address(BUILDER)), 30),
                        "the script's line never reached the third peer")
        time.sleep(HOLD)
        self.assertIsNone(script.poll(), "the script ended before the third peer answered")
        self.assertEqual(link.arrivals(wire.KIND_END, address(BUILDER)), [],
                         "the script's console peer left before the third peer answered")
        # The check comes again on the script's resend tick.
        release_checks()

        status, out, err = self.finish(script)
        self.assertEqual(status, 0, err)
        self.assertEqual(out, "compiling 3 files\nlinked\n")
        shown = self.builder_lines_at_third(since, 1)
        text = cp.parse_chat(shown[0])[2] if shown else ""
        match = re.fullmatch(r"ビルド成功: sh build\.sh ok \((\d+) s\)", text)
        self.assertIsNotNone(match, f"what the third peer shows: {shown}")
        # The build sleeps a second; the time is the build's alone.
        self.assertIn(int(match.group(1)), (1, 2))
        self.expect_posted(since, [text])

    @h.long_scenario
    def test_a_receiver_that_missed_the_joining_gets_the_lines_after_the_resend_tick(self):
        since = self.third.mark()
        h.set_loss(THIRD, 100, "in")
        self.addCleanup(h.set_loss, THIRD, 0)
        script = self.run_build("fail")
        time.sleep(DEAF)
        h.set_loss(THIRD, 0)
        status, _, err = self.finish(script)
        self.assertEqual(status, 2, err)
        self.assertNotIn("no answer", err)
        self.expect_posted(since, FAILURE_POST)

    def test_the_logger_keeps_chat_lines_and_popups_and_leaves_on_sigterm(self):
        since = self.third.mark()
        self.third.send("記録係さん、こんにちは")
        echo = self.third.wait_line(lambda line: (cp.parse_chat(line) or (0, "", ""))[2] == "記録係さん、こんにちは",
                                    10, since)
        self.assertIsNotNone(echo, self.third.describe())
        # A stroke is no message: it is left out. The popup after it comes
        # from the same sender, so once the popup is recorded the stroke has
        # been seen too.
        self.third.send_stroke("ff0000", 3, [(10, 20), (30, 40)])
        self.third.send("/popup 会議は 3 時から")
        expected = [echo, f"[popup] {NAMES[THIRD]} > 会議は 3 時から"]
        self.assertEqual(self.logged_here(2), expected, "what the logger's file got")

        self.logger.send_signal(signal.SIGTERM)
        self.assertEqual(self.logger.wait(30), 0, "the logger's exit status")
        self.assertIsNotNone(self.third.wait_users(lambda rows: address(LOGGER) not in self.addresses(rows), 10),
                             "the logger did not leave the chat")
        # Nothing more came on the way out, and every line of the whole file
        # is stamped with a moment of this run, in order.
        entries = self.logged()
        self.assertEqual([line for _, line in entries[self.log_mark:]], expected, "lines written on leaving")
        moments = [moment for moment, _ in entries]
        self.assertEqual(moments, sorted(moments), "the stamps go back in time")
        self.assertTrue(all(self.started <= moment <= datetime.datetime.now() for moment in moments),
                        f"stamps outside the run: {moments}")


class PageShowsTheExamples(unittest.TestCase):
    """docs/console.md shows both examples in full, as they are."""

    def test_the_page_holds_each_example_unchanged(self):
        page = (h.ROOT / "docs" / "console.md").read_text(encoding="utf-8")
        for script in (BUILD_SCRIPT, LOGGER_SCRIPT):
            with self.subTest(script=script.name):
                self.assertTrue(script.read_text(encoding="utf-8") in page, f"the page shows another {script.name}")


class ProgramReceives(BuildScript, h.SystemTestCase):
    """The real program in namespace 1 as the only receiver: the script's
    host list names it."""

    def test_the_program_shows_a_posted_failure(self):
        self.require_namespaces(2)
        self.prepare("console-examples-program", cp.console_ini(NAMES[BUILDER], [address(1)]))
        program = self.start_program(1, h.ini_text({"Client_Definition": {"Name": "窓"}}), "console-examples-window")
        program.main_window(title="Mosswick - [窓]".encode("cp932"))
        self.assertTrue(h.wait_until(lambda: program.list_rows("IDC_USERLIST"), h.START_WAIT, interval=0.5),
                        "the program's network did not start")

        status, _, err = self.finish(self.run_build("fail"))
        self.assertEqual(status, 2, err)
        # The console peer's messages are numbered from 1 at each start.
        expected = [f"{number} {NAMES[BUILDER]} > {text}".encode("cp932")
                    for number, text in enumerate(FAILURE_POST, 1)]
        sender = f" {NAMES[BUILDER]} > ".encode("cp932")

        def posted():
            return [line for line in program.output_lines() if sender in line]

        h.wait_until(lambda: len(posted()) >= len(expected), 20, interval=0.5)
        self.assertEqual(posted(), expected)


if __name__ == "__main__":
    unittest.main()
