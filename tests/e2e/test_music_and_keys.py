"""The show's runtime and the author's keys from outside, on one run: the
status lines, the start-time file, the opening scope on grey, the black
after it, typed times, restart, typed text that is not a number, reloading
the scripts by key and by saving them, recording camera paths, pause and
beat steps, Escape, and the written sound output."""

import os
import re
import struct
import time
import unittest

import harness
from harness import ShowCase, count, near, write_script

GREY = (102, 102, 102)
STATUS = re.compile(r"^FPS:(\S+) Time:(\S+) Frame: (\d+)$")
SOUND_FILE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "disk-%d.raw" % os.getpid())
NUMBER = r"-?\d+\.\d\d"


def record(show, key, prompt, name, way_points, written=None):
    """Starts a recording with its key, types the file name, marks way points
    with m and finishes with p, waiting for each step on the console."""
    before = len(show.lines)
    show.press(key, prompt)
    show.type_line(name)
    show.wait_for(r"Writing camera pos to file: scripts/%s$" % (written or name), after=before)
    for _ in range(way_points):
        show.key("m")
        show.status_time()
    show.press("p", r"Position saving\. Closing file\.\.Done!$")


def lines_of(show, name, pattern):
    lines = open(os.path.join(show.folder, "scripts", name)).read().splitlines()
    for line in lines:
        assert re.match(pattern, line), line
    return len(lines)


class RuntimeAndKeys(ShowCase):
    env = {"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": SOUND_FILE,
           # about one 1024-frame buffer's worth of real time
           "SDL_DISKAUDIODELAY": "23"}

    @staticmethod
    def prepare(folder):
        write_script(folder, "starttime.txt", "3 2 1\n")

    @classmethod
    def tearDownClass(cls):
        super().tearDownClass()
        if os.path.exists(SOUND_FILE):
            os.remove(SOUND_FILE)

    def test_1_status_lines_and_a_start_time_file_that_is_printed_but_not_applied(self):
        show = self.show
        show.wait_for(r"Starttime, X: 3 Y: 2 iZ: 1$")
        _, index = show.wait_for(r"^FPS:")
        m = STATUS.match(show.lines[index])
        self.assertIsNotNone(m, show.lines[index])
        self.assertEqual(m.group(3), "10")
        fps, t = float(m.group(1)), float(m.group(2))
        self.assertAlmostEqual(fps, 10 / t, delta=0.01 * fps + 1e-3)
        self.assertLess(t, 4.0)  # not 4.09 + elapsed: start-up set it back to 0
        frames = [int(STATUS.match(l).group(3)) for l in show.lines if STATUS.match(l)]
        self.assertTrue(all(f % 10 == 0 for f in frames))

    def test_2_opening_scope_draws_the_waveform_on_grey_then_black(self):
        show = self.show
        show.wait_until_demo_time(6.0)
        shot = show.screenshot()
        self.assertEqual((shot.width, shot.height), (800, 600))
        for corner in ((5, 5), (795, 595)):
            self.assertTrue(near(shot.pixel(*corner), GREY), shot.pixel(*corner))
        dark = count(shot, lambda p: p[0] < 40 and p[1] < 40 and p[2] < 40, step=2)
        grey = count(shot, lambda p: abs(p[0] - 102) < 6 and abs(p[2] - 102) < 6, step=2)
        self.assertGreater(dark, 200, "black scope lines across the picture")
        self.assertGreater(grey, dark, "on the grey background")

        show.jump_to(16)
        show.wait_until_demo_time(17.0)
        shot = show.screenshot()
        for corner in ((5, 5), (795, 5)):
            self.assertTrue(near(shot.pixel(*corner), (0, 0, 0)), shot.pixel(*corner))

    def test_3_typed_time_restart_and_bad_input(self):
        show = self.show
        show.jump_to(30)
        show.status_time()
        t, _ = show.status_time()
        self.assertGreaterEqual(t, 30.0)
        self.assertLess(t, 33.0)

        show.jump_to("soon")  # not a number: the time runs on
        t, _ = show.status_time()
        self.assertGreaterEqual(t, 30.0)
        show.press("c", r"Enter new speed: ")
        show.type_line("fast")
        show.jump_to(40)  # the next prompt still reads
        show.status_time()
        t, _ = show.status_time()
        self.assertGreaterEqual(t, 40.0)

        show.press("0", r"^\*\*\* Time resets \*\*\*$")
        t, _ = show.status_time()
        self.assertLess(t, 3.0)

    def test_4b_saved_scripts_reload_by_themselves(self):
        show = self.show
        write_script(show.folder, "live.pos", "0 -20 0 0 0 0 0 0 1\n0 -25 5 0 0 0 0 0 1\n")
        for name, text, expected in [
                ("cameras.txt", "1 500 live.pos\n", r"^Loading camera pos from file: scripts/live\.pos$"),
                ("flash.txt", "40 41 0.1 0.2 0.3 1\n",
                 r"^Adding Flash, Start: 40 End: 41 Up: 0.1 Down: 0.2 Peek: 0.3 Strength: 1$"),
                ("live.pos", "0 -30 0 0 0 0 0 0 1\n0 -35 5 0 0 0 0 0 1\n",
                 r"^Loading camera pos from file: scripts/live\.pos$")]:
            before = len(show.lines)
            write_script(show.folder, name, text)
            _, changed = show.wait_for(r"^Changed: scripts/%s$" % re.escape(name), after=before)
            show.wait_for(expected, after=changed)
            # Seen by the next frame: at most the status line of the frame
            # the save fell into comes between.
            between = [l for l in show.lines[before:changed] if l.startswith("FPS:")]
            self.assertLessEqual(len(between), 1)

        # Half written: the loader's usual reading, and the show goes on.
        before = len(show.lines)
        write_script(show.folder, "flash.txt", "40 41 0.1 ")
        _, changed = show.wait_for(r"^Changed: scripts/flash\.txt$", after=before)
        show.status_time()
        self.assertFalse([l for l in show.lines[changed:] if l.startswith("Adding Flash")])

    def test_5_recording_paths_from_the_keyboard_and_playing_one_back(self):
        show = self.show
        record(show, "o", r"Camera position saving\. Enter filename:", "path1", way_points=3)
        # A name that is too long is cut at 127 characters.
        record(show, "i", r"Spline position saving\. Enter filename:", "x" * 300, way_points=0, written="x" * 127)
        record(show, "i", r"Spline position saving\. Enter filename:", "points1", way_points=3)
        self.assertEqual(lines_of(show, "path1", r"^%s( %s){8}$" % (NUMBER, NUMBER)), 8)
        self.assertEqual(lines_of(show, "points1", r"^%s( %s){2}$" % (NUMBER, NUMBER)), 8)

        # The recording plays back as a camera path once the script names it.
        write_script(show.folder, "cameras.txt", "1 500 path1\n")
        before = len(show.lines)
        show.press("l", r"Adding Camera, Start: 1 End: 500 Filename: scripts/path1$")
        show.wait_for(r"Loading camera pos from file: scripts/path1$", after=before)
        show.status_time()
        self.assertNotIn("File Not Found : scripts/path1", show.output())

        # Recorded over, an authored file is copied first, and the console
        # names the copy; the timing scripts are no exception.
        for name in ("room.pos", "cameras.txt"):
            path = os.path.join(show.folder, "scripts", name)
            with open(path, "rb") as f:
                authored = f.read()
            before = len(show.lines)
            record(show, "o", r"Camera position saving\. Enter filename:", name, way_points=1)
            m, _ = show.wait_for(r"^Kept the old scripts/%s as (scripts/%s\.bak(\.\d+)?)$"
                                 % (re.escape(name), re.escape(name)), after=before)
            with open(os.path.join(show.folder, m.group(1)), "rb") as f:
                self.assertEqual(f.read(), authored, name)

    def test_5b_pause_holds_the_time_and_beat_keys_walk_the_grid(self):
        show = self.show
        beat = 0.4545454680919647
        show.jump_to(3)
        show.wait_until_demo_time(3.5)
        show.press("space", r"^\*\* Paused \*\*$")
        type(self).paused_at = time.time()
        held, frame = show.status_time()
        for _ in range(3):
            t, later = show.status_time()
            self.assertEqual(t, held)
            self.assertGreater(later, frame)

        # Steps land exactly on the grid and stay there while paused.
        cell = int(held / beat + 1e-6)
        for key, cells in [("period", cell + 1), ("comma", cell), ("comma", cell - 1),
                           ("bracketright", (cell - 1) // 4 * 4 + 4)]:
            m = show.press(key, r"^\*\* Bar (\d+) beat (\d+): (\S+) s \*\*$")
            self.assertEqual((int(m.group(1)), int(m.group(2))), (cells // 4 + 1, cells % 4 + 1))
            self.assertAlmostEqual(float(m.group(3)), cells * beat, places=4)
            show.status_time()
            t, _ = show.status_time()
            self.assertEqual(t, float(m.group(3)))
        held = t
        time.sleep(3.0)  # long enough to find the silence in the sound

        show.press("space", r"^\*\* Resumed \*\*$")
        pause_seconds = time.time() - self.paused_at
        show.status_time()
        t, _ = show.status_time()
        self.assertGreater(t, held)
        # Goes on from where it was held: the pause is not caught up on.
        self.assertLess(t - held, pause_seconds)

    def test_6_escape_ends_the_show_and_the_sound_output_holds_the_soundtrack(self):
        self.assertEqual(self.show.quit(), 0)
        data = open(SOUND_FILE, "rb").read()
        self.assertGreater(len(data), 44100 * 4)  # at least a second of stereo 16-bit
        first_second = struct.unpack("<%dh" % (44100 * 2), data[:44100 * 4])
        # SDL may write a few silent device buffers before the first mix.
        loud = [i for i, v in enumerate(first_second) if abs(v) > 300]
        self.assertTrue(loud, "the first second is silent")
        self.assertLess(loud[0], 4 * 1024 * 2 + 2048)
        samples = struct.unpack("<%dh" % (len(data) // 2), data[:len(data) // 2 * 2])
        longest = run = 0
        for value in samples:
            run = run + 1 if value == 0 else 0
            longest = max(longest, run)
        self.assertGreater(longest, 2 * 44100 * 2, "the music stops while paused")


if __name__ == "__main__":
    harness.main()
