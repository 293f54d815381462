"""Drives the real show as a person would: under its own virtual X server,
with keys sent by xdotool, answers typed on its standard input, its console
read line by line, and screenshots whose pixels the tests check."""

import argparse
import json
import os
import random
import re
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import threading
import time
import unittest
import zlib

ARGS = None


def parse_args():
    """Takes --binary and --show off the command line; the rest is unittest's."""
    global ARGS
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("--binary", required=True)
    parser.add_argument("--show", required=True)
    ARGS, rest = parser.parse_known_args()
    return [sys.argv[0]] + rest


def main():
    unittest.main(argv=parse_args(), verbosity=2)


class VirtualDisplay:
    """An Xvfb of our own: 800x600x24, on a display number nobody uses."""

    def __init__(self):
        self.number = self._free_display_number()
        self.name = ":%d" % self.number
        self.process = subprocess.Popen(
            ["Xvfb", self.name, "-screen", "0", "800x600x24", "-nolisten", "tcp", "-noreset"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        socket = "/tmp/.X11-unix/X%d" % self.number
        deadline = time.time() + 20
        while not os.path.exists(socket):
            if self.process.poll() is not None or time.time() > deadline:
                raise RuntimeError("Xvfb did not start on " + self.name)
            time.sleep(0.05)

    @staticmethod
    def _free_display_number():
        for _ in range(200):
            n = random.randint(100, 999)
            if not os.path.exists("/tmp/.X%d-lock" % n) and not os.path.exists("/tmp/.X11-unix/X%d" % n):
                return n
        raise RuntimeError("no free X display number")

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()


class Screenshot:
    """A screen dump read straight from xwd's format, decoded pixel by pixel
    on demand, so taking one costs a few milliseconds."""

    def __init__(self, data):
        fields = struct.unpack(">25I", data[:100])
        header_size, ncolors = fields[0], fields[19]
        self.width, self.height = fields[4], fields[5]
        self.little = fields[7] == 0
        self.bytes_per_pixel = fields[11] // 8
        self.bytes_per_line = fields[12]
        self.masks = fields[14:17]
        self.shifts = [(m & -m).bit_length() - 1 for m in self.masks]
        self.data = data[header_size + 12 * ncolors:]

    def pixel(self, x, y):
        i = y * self.bytes_per_line + x * self.bytes_per_pixel
        value = int.from_bytes(self.data[i:i + self.bytes_per_pixel], "little" if self.little else "big")
        return tuple((value & m) >> s for m, s in zip(self.masks, self.shifts))


class Show:
    """The show running in a copy of the run folder, on its own display."""

    def __init__(self, prepare=None, env=None):
        self.workdir = tempfile.mkdtemp(prefix="show-e2e-")
        self.folder = os.path.join(self.workdir, "show")
        shutil.copytree(ARGS.show, self.folder, symlinks=True)
        if prepare:
            prepare(self.folder)
        self.display = VirtualDisplay()
        run_env = dict(os.environ)
        run_env.update({
            "DISPLAY": self.display.name,
            "SDL_AUDIODRIVER": "dummy",
            "LIBGL_ALWAYS_SOFTWARE": "1",
            # Frames as fast as they come, for the bench on a display with a
            # refresh (Xvfb has none).
            "VELMO_NO_VSYNC": "1",
        })
        run_env.update(env or {})
        self.lines = []
        self.partial = ""
        self.lock = threading.Condition()
        self.started = time.time()
        self.process = subprocess.Popen(
            [os.path.abspath(ARGS.binary)], cwd=self.folder, env=run_env,
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self._readers = [threading.Thread(target=self._read, args=(self.process.stdout,), daemon=True),
                         threading.Thread(target=self._drain, args=(self.process.stderr,), daemon=True)]
        for reader in self._readers:
            reader.start()
        self.stderr = b""

    def _read(self, stream):
        # Prompts leave the cursor on their line, so the text after the last
        # line end is kept visible as the line in progress.
        fd = stream.fileno()
        while True:
            chunk = os.read(fd, 4096)
            with self.lock:
                if not chunk:
                    self.lock.notify_all()
                    return
                text = self.partial + chunk.decode("latin-1")
                *complete, self.partial = text.split("\n")
                self.lines.extend(complete)
                self.lock.notify_all()

    def _drain(self, stream):
        self.stderr = stream.read()

    # -- console ---------------------------------------------------------
    def output(self):
        with self.lock:
            return "\n".join(self.lines + [self.partial])

    def wait_for(self, pattern, timeout=60, after=0):
        """The first line from index `after` on matching the pattern; its match."""
        regex = re.compile(pattern)
        deadline = time.time() + timeout
        with self.lock:
            while True:
                for index in range(after, len(self.lines) + 1):
                    line = self.lines[index] if index < len(self.lines) else self.partial
                    m = regex.search(line)
                    if m:
                        return m, index
                remaining = deadline - time.time()
                if remaining <= 0 or self.process.poll() is not None and not self._readers[0].is_alive():
                    raise AssertionError("no line matching %r; output was:\n%s\nstderr:\n%s" % (
                        pattern, "\n".join(self.lines[-40:]), self.stderr.decode("latin-1")))
                self.lock.wait(min(remaining, 0.2))

    def status_time(self, timeout=60, after=None):
        """Waits for a status line printed after now; returns (demo time, frame)."""
        start = len(self.lines) if after is None else after
        m, _ = self.wait_for(r"^FPS:\S+ Time:(\S+) Frame: (\d+)$", timeout, start)
        return float(m.group(1)), int(m.group(2))

    def latest_demo_time(self):
        """The demo time of the last status line printed so far."""
        with self.lock:
            for line in reversed(self.lines):
                m = re.match(r"^FPS:\S+ Time:(\S+) Frame: \d+$", line)
                if m:
                    return float(m.group(1))
        return 0.0

    def wait_until_demo_time(self, seconds, timeout=120):
        deadline = time.time() + timeout
        while True:
            t, _ = self.status_time(max(1, deadline - time.time()))
            if t >= seconds:
                return t

    def press(self, key, pattern, timeout=60):
        """Presses a key and waits for the line it should print; its match."""
        before = len(self.lines)
        self.key(key)
        return self.wait_for(pattern, timeout, before)[0]

    def jump_to(self, seconds):
        """The author's typed-time key: t, then the seconds at the prompt."""
        self.press("t", r"Enter new time: $")
        self.type_line(str(seconds))

    def type_line(self, text):
        self.process.stdin.write((text + "\n").encode("latin-1"))
        self.process.stdin.flush()

    # -- keyboard and screen ---------------------------------------------
    def _xdotool(self, *args):
        subprocess.run(["xdotool"] + list(args), check=True,
                       env=dict(os.environ, DISPLAY=self.display.name))

    def key(self, name, hold=0.15):
        """Presses and holds a key as a person would, then lets it go."""
        self._xdotool("mousemove", "400", "300")
        self._xdotool("keydown", name)
        time.sleep(hold)
        self._xdotool("keyup", name)

    def chord(self, keys):
        """Keys pressed together, as xdotool names them: "shift+Right"."""
        self._xdotool("key", "--delay", "80", keys)

    def click(self, x, y):
        """A left click at window pixel (x, y), counted from the top left."""
        self._xdotool("mousemove", str(x), str(y), "click", "1")

    def drag(self, x0, y, x1, steps=8):
        """Holds the left button at x0 and lets it go at x1, on row y."""
        self._xdotool("mousemove", str(x0), str(y), "mousedown", "1")
        for i in range(1, steps + 1):
            time.sleep(0.05)
            self._xdotool("mousemove", str(x0 + (x1 - x0) * i // steps), str(y))
        self._xdotool("mouseup", "1")

    def screenshot(self):
        xwd = subprocess.run(["xwd", "-root", "-silent", "-display", self.display.name],
                             check=True, stdout=subprocess.PIPE).stdout
        return Screenshot(xwd)

    def wait_exit(self, timeout=20):
        return self.process.wait(timeout)

    def quit(self, timeout=20):
        self.key("Escape", hold=0.3)
        return self.wait_exit(timeout)

    def close(self):
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGKILL)
            self.process.wait()
        for stream in (self.process.stdin, self.process.stdout, self.process.stderr):
            try:
                stream.close()
            except OSError:
                pass
        self.display.stop()
        shutil.rmtree(self.workdir, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
        return False


class ShowCase(unittest.TestCase):
    """Test methods that share one run of the show, each starting it would
    cost seconds: they run in the order of their names, each going on from
    the demo time the one before left. A subclass may give a static
    prepare(folder) and an env, as Show takes them."""

    prepare = None
    env = None

    @classmethod
    def setUpClass(cls):
        cls.show = Show(prepare=cls.prepare, env=cls.env)
        cls.show.status_time(timeout=90)

    @classmethod
    def tearDownClass(cls):
        cls.show.close()


def count(shot, predicate, box=(0, 0, 800, 600), step=4):
    """How many of the box's pixels, every step-th in each direction, match."""
    x0, y0, x1, y1 = box
    return sum(1 for y in range(y0, y1, step) for x in range(x0, x1, step) if predicate(shot.pixel(x, y)))


def share(shot, predicate, box=(0, 0, 800, 600), step=4):
    x0, y0, x1, y1 = box
    return count(shot, predicate, box, step) / (len(range(y0, y1, step)) * len(range(x0, x1, step)))


def changed(a, b, predicate, step=2):
    """Pixels where the predicate holds in one picture and not the other."""
    return sum(1 for y in range(0, 600, step) for x in range(0, 800, step)
               if predicate(a.pixel(x, y)) != predicate(b.pixel(x, y)))


def shots_until(show, end, timeout=30):
    """(demo time, screenshot) pairs taken back to back, without waiting for
    status lines, until the demo time passes end."""
    shots = []
    deadline = time.time() + timeout
    while show.latest_demo_time() <= end and time.time() < deadline:
        shots.append((show.latest_demo_time(), show.screenshot()))
    return shots


def write_png(path, rows):
    """An RGB PNG from its rows of pixel bytes, top to bottom."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    header = struct.pack(">IIBBBBB", len(rows[0]) // 3, len(rows), 8, 2, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
                + chunk(b"IDAT", zlib.compress(b"".join(b"\0" + row for row in rows), 9)) + chunk(b"IEND", b""))


def write_script(folder, name, text):
    with open(os.path.join(folder, "scripts", name), "w") as f:
        f.write(text)


def denim(p):
    """The dancer's trousers, in their lit band and in their shaded one (about
    48, 82, 104) that some poses turn towards the camera: neither the slime's
    greens nor a black picture has a blue this far above red and green."""
    return p[2] > p[0] + 45 and p[2] > p[1] + 12


def near(colour, expected, tolerance=8):
    return all(abs(a - b) <= tolerance for a, b in zip(colour, expected))


# The capture program, from outside.

class RunFolder:
    """A copy of the run folder, and the capture (beside the show's binary)
    started in it headless."""

    def __init__(self):
        self.workdir = tempfile.mkdtemp(prefix="capture-e2e-")
        self.folder = os.path.join(self.workdir, "show")
        shutil.copytree(ARGS.show, self.folder, symlinks=True)

    def start(self, *args, **extra_env):
        env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
        env.update(extra_env)
        binary = os.path.join(os.path.dirname(os.path.abspath(ARGS.binary)), "capture")
        return subprocess.Popen([binary] + list(args), cwd=self.folder, env=env, stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE, text=True, start_new_session=True)

    def run(self, *args, **extra_env):
        process = self.start(*args, **extra_env)
        out, err = process.communicate(timeout=300)
        return process.returncode, out, err

    def path(self, *parts):
        return os.path.join(self.folder, *parts)


def probe(path):
    result = subprocess.run(["ffprobe", "-v", "error", "-of", "json", "-show_streams", "-show_format", path],
                            stdout=subprocess.PIPE, check=True, text=True)
    return json.loads(result.stdout)


def stills(folder):
    found = {}
    for name in sorted(os.listdir(folder)):
        with open(os.path.join(folder, name), "rb") as f:
            found[name] = f.read()
    return found
