#!/usr/bin/python3
"""The acquisition companion's OSC input, fed by independent senders (liblo's
oscsend and python3-liblo, plain UDP for broken packets), judged from its
--record file and its output.
  osc_input_test.py [--wine] PROGRAM
--wine runs the Windows program under wine (in WINEPREFIX)."""
import csv
import math
import os
import re
import socket
import subprocess
import sys
import tempfile
import time

import liblo

WINE = sys.argv[1] == "--wine"
PROGRAM = sys.argv[-1]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED:", what)


def free_port():
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def udp_socket_state(port):
    """(rx_queue bytes, drops) of the UDP socket bound to `port`, or None."""
    with open("/proc/net/udp") as table:
        for line in table.readlines()[1:]:
            fields = line.split()
            if int(fields[1].split(":")[1], 16) == port:
                return int(fields[4].split(":")[1], 16), int(fields[-1])
    return None


def wait_for(condition, bound):
    end = time.monotonic() + bound
    while time.monotonic() < end:
        if condition():
            return True
        time.sleep(0.005)
    return condition()


class Companion:
    """The program listening on a free port of 127.0.0.1, recording."""

    def __init__(self, directory, seconds, extra=()):
        self.port, self.dir = free_port(), directory
        self.out = open(os.path.join(directory, "out.txt"), "w")
        command = (["wine"] if WINE else []) + [PROGRAM, "--osc", str(self.port), "--osc-bind", "127.0.0.1",
                                                "--record", "rec.csv", "--duration", str(seconds), *extra]
        env = dict(os.environ, PELGRIN32_AREA_NAME="feltrix-osc-test-%d" % os.getpid())
        self.process = subprocess.Popen(command, cwd=directory, stdout=self.out, stderr=subprocess.STDOUT, env=env)
        if not wait_for(lambda: udp_socket_state(self.port) is not None, 60):
            raise SystemExit("the program did not open UDP port %d" % self.port)
        self.start = time.monotonic()
        self.target = liblo.Address("127.0.0.1", self.port)

    def at(self, seconds):
        """Sleeps until `seconds` after the port opened: the senders' timeline."""
        time.sleep(max(0.0, self.start + seconds - time.monotonic()))

    def finish(self):
        code = self.process.wait(timeout=120)
        self.out.close()
        with open(os.path.join(self.dir, "out.txt"), newline=None) as f:
            self.text = f.read()
        with open(os.path.join(self.dir, "rec.csv")) as f:
            self.rows = [{k: float(v) for k, v in row.items()} for row in csv.DictReader(f)]
        check(code == 0, "exit code %s: %s" % (code, self.text))
        return self

    def rows_between(self, low, high):
        return [r for r in self.rows if low <= r["seconds"] <= high]


def stream(companion, begin, seconds, left=30.0, right=8.0, blink_at=None):
    """10 Hz on TP9/AF7 (left) and AF8/TP10 (right) at 256 Hz, in bursts of 12
    samples, every other burst as a bundle (as MuseIO sends)."""
    rate, burst, sent = 256, 12, 0
    while sent < seconds * rate:
        companion.at(begin + sent / rate)
        messages = []
        for n in range(sent, sent + burst):
            a = math.sin(2 * math.pi * 10 * n / rate)
            messages.append(liblo.Message("/muse/eeg", left * a, left * a, right * a, right * a))
        if (sent // burst) % 2:
            liblo.send(companion.target, liblo.Bundle(*messages))
        else:
            for message in messages:
                liblo.send(companion.target, message)
        sent += burst
        if blink_at is not None and sent / rate >= blink_at:
            liblo.send(companion.target, "/muse/elements/blink", 1)
            blink_at = None
    return begin + sent / rate


def within(value, expected, share):
    return abs(value - expected) <= share * expected


def test_known_signal_blink_and_stream_stop(directory):
    c = Companion(directory, 18)
    stopped = stream(c, 0.3, 10, blink_at=6.0)
    stream(c, 14.0, 3.5)
    c.finish()
    # Recording times count from the session's start, a little after the
    # port opened.
    steady = c.rows_between(4.5, 5.8)
    check(steady and all(within(r["leftAlphaValue"], 212, 0.1) and within(r["rightAlphaValue"], 57, 0.1) and
                         r["artifact"] == 0 for r in steady),
          "left/right alpha ~212/57 without artifact: %s" % [(r["leftAlphaValue"], r["rightAlphaValue"]) for r in steady])
    check(any(r["artifact"] == 1 for r in c.rows_between(5.8, 7.3)), "the blink raised the artifact")
    silent = [r for r in c.rows if r["seconds"] > stopped and r["artifact"] == 1]
    check(silent and silent[0]["seconds"] <= stopped + 2.5,
          "artifact within 2.5 s of the stream's end at %.2f s: %s" % (stopped, silent[:1]))
    check("no OSC data on port %d for 2 s" % c.port in c.text, "the status line says no data came")
    resumed = c.rows_between(16.0, 17.5)
    check(resumed and all(r["artifact"] == 0 and within(r["leftAlphaValue"], 212, 0.1) for r in resumed),
          "values flow again after the stream resumes")


def test_band_powers(directory):
    # Value = sqrt(10^B) uV in 0.1 uV: one averaged value, then one per
    # sensor (TP9, AF7, AF8, TP10).
    def value(bels):
        return round(math.sqrt(10 ** float(bels)) * 10)

    cases = [(["1.5"], 56, 56), (["1.0", "2.0", "1.2", "0.8"], 100, 40), (["4.6532"], value(4.6532), value(4.6532))]
    c = Companion(directory, 1.2 * len(cases) + 0.5)
    for i, (values, left, right) in enumerate(cases):
        c.at(0.2 + 1.2 * i)
        subprocess.run(["oscsend", "localhost", str(c.port), "/muse/elements/alpha_absolute", "f" * len(values),
                        *values], check=True)
    c.finish()
    for i, (values, left, right) in enumerate(cases):
        rows = c.rows_between(0.6 + 1.2 * i, 1.2 + 1.2 * i)
        check(rows and all(r["leftAlphaValue"] == left and r["rightAlphaValue"] == right for r in rows),
              "alpha_absolute %s gives %d/%d: %s" % (values, left, right,
                                                      [(r["leftAlphaValue"], r["rightAlphaValue"]) for r in rows]))


def test_bad_input_then_a_valid_stream(directory):
    c = Companion(directory, 13)
    raw = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    nan = float("nan")
    truncated_bundle = b"#bundle\0" + bytes(8) + (64).to_bytes(4, "big") + b"/muse/eeg\0\0\0"
    # A blob whose size runs far past the datagram, its type tags behind an
    # address with a NUL inside it: readers of OSC disagree on where it ends.
    hidden_blob = b"/a\0xyzw\0,bb\0" + (0x7FFFFFF0).to_bytes(4, "big") + bytes(4)
    kinds = [(4000, lambda i: b"x" * (5 + i % 3 + 4 * (i % 20))),         # not OSC
             (1000, lambda i: truncated_bundle),
             (1000, lambda i: hidden_blob),
             (1000, lambda i: liblo.Message("/muse/eeg", "a", "b", "c", "d")),  # wrong types
             (1000, lambda i: liblo.Message("/muse/eeg", nan, nan, nan, nan)),
             (1000, lambda i: liblo.Message("/not/muse/%d" % (i % 7), 1.0)),  # unknown
             (1000, lambda i: b"/muse/eeg\0\0\0,f\0\0" + bytes(5000))]        # oversized
    c.at(0.2)
    for count, make in kinds:
        for i in range(count):
            packet = make(i)
            if isinstance(packet, bytes):
                raw.sendto(packet, ("127.0.0.1", c.port))
            else:
                liblo.send(c.target, packet)
            # Never more waiting in the socket than it holds.
            if i % 20 == 19 and not wait_for(lambda: (udp_socket_state(c.port) or (1,))[0] == 0, 5):
                if c.process.poll() is not None:
                    c.finish()  # says how it ended
                raise SystemExit("the program stopped reading its socket")
    check(time.monotonic() - c.start < 8.0, "10,000 packets sent within 8 s")
    drops = udp_socket_state(c.port)[1]
    stream(c, 8.5, 4)
    c.finish()
    check(drops == 0, "the system dropped %d datagrams" % drops)
    # (Samples dropped, if any, are the valid stream's: a sender starved by a
    # busy machine catches up in one burst, which the program may cut short.)
    counts = re.search(r"OSC packets received, \d+ bad \((\d+) malformed, (\d+) wrong type, (\d+) NaN/inf, "
                       r"(\d+) oversized, \d+ samples dropped\), (\d+) to unknown addresses", c.text)
    check(counts and counts.groups() == ("6000", "1000", "1000", "1000", "1000"),
          "counts of bad and unknown packets: %s" % (counts and counts.group(0)))
    check("unknown OSC address /not/muse/0" in c.text and "/not/muse/5" not in c.text,
          "the first five unknown addresses are named, once")
    end = c.rows_between(11.0, 12.4)
    check(end and all(r["artifact"] == 0 and within(r["leftAlphaValue"], 212, 0.1) for r in end),
          "still measuring after the bad packets")


def test_rate_other_than_expected(directory):
    c = Companion(directory, 7.5, ["--osc-rate", "220"])
    stream(c, 0.2, 7.0)
    c.finish()
    check("(not the expected 220: see --osc-rate)" in c.text, "the status line says the rate is off")


def test_errors(directory):
    busy = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    busy.bind(("0.0.0.0", 0))
    port = busy.getsockname()[1]
    cases = [(["--osc", str(port)], "cannot listen on UDP port %d: it is in use" % port),
             (["--osc", "70000"], "bad UDP port for --osc: \"70000\""),
             (["--osc", "9000", "--osc-bind", "1.2.3"], "bad address for --osc-bind: \"1.2.3\""),
             (["--osc", "9000", "--osc-map", "missing.oscmap"], "cannot open the OSC mapping file")]
    for arguments, message in cases:
        # Output through a file: wine's background processes inherit it (a
        # pipe would never see its end).
        with open(os.path.join(directory, "out.txt"), "w+") as out:
            code = subprocess.run((["wine"] if WINE else []) + [PROGRAM, *arguments], cwd=directory, stdout=out,
                                  stderr=subprocess.STDOUT, timeout=60).returncode
            out.seek(0)
            text = out.read()
        check(code == 1 and message in text, "%s: exit %d, %s" % (arguments, code, text))

for test in [test_errors, test_band_powers, test_rate_other_than_expected, test_known_signal_blink_and_stream_stop,
             test_bad_input_then_a_valid_stream]:
    with tempfile.TemporaryDirectory() as d:
        print("==", test.__name__, flush=True)
        test(d)
print("%d failed" % len(failures))
sys.exit(1 if failures else 0)
