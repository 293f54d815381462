"""The soundtrack and the developer keys from outside: the opening scope on
screen, jumping to a typed time, restarting, reloading the scripts, typed
text that is not a number, a missing mp3, and the written sound output."""

import os
import struct
import time
import unittest

import harness
from harness import Show

GREY = (102, 102, 102)


def count_lines(show, pattern_text, after):
    return sum(1 for line in show.lines[after:] if line.startswith(pattern_text))


class MusicAndKeys(unittest.TestCase):
    def test_opening_scope_draws_the_waveform_on_grey(self):
        with Show() as show:
            show.wait_until_demo_time(6.0, timeout=120)
            shot = show.screenshot()
            dark = shot.count(lambda p: p[0] < 40 and p[1] < 40 and p[2] < 40, step=2)
            grey = shot.count(lambda p: abs(p[0] - 102) < 6 and abs(p[2] - 102) < 6, step=2)
            self.assertGreater(dark, 200, "black scope lines across the picture")
            self.assertGreater(grey, dark, "on the grey background")
            self.assertEqual(show.quit(), 0)

    def test_typed_time_restart_and_bad_input(self):
        with Show() as show:
            show.status_time(timeout=90)
            show.jump_to(30)
            t, _ = show.status_time()
            t, _ = show.status_time()
            self.assertGreaterEqual(t, 30.0)
            self.assertLess(t, 33.0)

            show.jump_to("soon")  # not a number: the time runs on
            t, _ = show.status_time()
            self.assertGreaterEqual(t, 30.0)
            show.key("c")
            show.wait_for(r"Enter new speed: ")
            show.type_line("fast")
            show.jump_to(40)  # the next prompt still reads
            show.status_time()
            t, _ = show.status_time()
            self.assertGreaterEqual(t, 40.0)

            before = len(show.lines)
            show.key("0")
            show.wait_for(r"^\*\*\* Time resets \*\*\*$", after=before)
            t, frame = show.status_time()
            self.assertLess(t, 3.0)
            self.assertEqual(show.quit(), 0)

    def test_reload_twice_leaves_each_list_with_its_file(self):
        with Show() as show:
            show.status_time(timeout=90)
            folder = os.path.join(show.folder, "scripts")
            flashes = len(open(os.path.join(folder, "flash.txt")).read().split()) // 6
            blacks = len(open(os.path.join(folder, "black.txt")).read().split()) // 6
            for _ in range(2):
                before = len(show.lines)
                show.key("l")
                show.wait_for(r"^\*\* ResetAndLoad \*\*$", after=before)
                show.status_time()
                self.assertEqual(count_lines(show, "Adding Flash", before), flashes)
                self.assertEqual(count_lines(show, "Adding Black", before), blacks)
            self.assertEqual(show.quit(), 0)

    def test_pause_holds_the_time_and_beat_keys_walk_the_grid(self):
        out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "pause-%d.raw" % os.getpid())
        beat = 0.4545454680919647
        try:
            with Show(env={"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": out,
                           "SDL_DISKAUDIODELAY": "23"}) as show:
                show.wait_until_demo_time(3.0, timeout=120)
                before = len(show.lines)
                show.key("space")
                show.wait_for(r"^\*\* Paused \*\*$", after=before)
                paused_at = time.time()
                held, frame = show.status_time()
                for _ in range(3):
                    t, later = show.status_time()
                    self.assertEqual(t, held)
                    self.assertGreater(later, frame)

                # Steps land exactly on the grid and stay there while paused.
                cell = int(held / beat + 1e-6)
                for key, cells in [("period", cell + 1), ("comma", cell), ("comma", cell - 1),
                                   ("bracketright", (cell - 1) // 4 * 4 + 4)]:
                    before = len(show.lines)
                    show.key(key)
                    m, _ = show.wait_for(r"^\*\* Bar (\d+) beat (\d+): (\S+) s \*\*$", after=before)
                    self.assertEqual((int(m.group(1)), int(m.group(2))), (cells // 4 + 1, cells % 4 + 1))
                    self.assertAlmostEqual(float(m.group(3)), cells * beat, places=4)
                    show.status_time()
                    t, _ = show.status_time()
                    self.assertEqual(t, float(m.group(3)))
                held = t
                time.sleep(3.0)  # long enough to find the silence in the sound

                before = len(show.lines)
                show.key("space")
                show.wait_for(r"^\*\* Resumed \*\*$", after=before)
                pause_seconds = time.time() - paused_at
                show.status_time()
                t, _ = show.status_time()
                self.assertGreater(t, held)
                # Goes on from where it was held: the pause is not caught up on.
                self.assertLess(t - held, pause_seconds)
                self.assertEqual(show.quit(), 0)
            with open(out, "rb") as f:
                data = f.read()
            samples = struct.unpack("<%dh" % (len(data) // 2), data[:len(data) // 2 * 2])
            longest = run = 0
            for value in samples:
                run = run + 1 if value == 0 else 0
                longest = max(longest, run)
            self.assertGreater(longest, 2 * 44100 * 2, "the music stops while paused")
        finally:
            if os.path.exists(out):
                os.remove(out)

    def test_missing_soundtrack_runs_silent(self):
        def without_mp3(folder):
            os.remove(os.path.join(folder, "ddata", "velmo-tesk.mp3"))

        with Show(prepare=without_mp3) as show:
            _, index = show.wait_for(r"^Opening mp3 file: ddata/velmo-tesk\.mp3$")
            _, next_index = show.wait_for(r"^File not found$", after=index)
            self.assertEqual(next_index, index + 1)
            show.wait_until_demo_time(1.0)
            self.assertEqual(show.quit(), 0)

    def test_disk_output_holds_the_soundtrack(self):
        out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "disk-%d.raw" % os.getpid())
        try:
            with Show(env={"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": out,
                               # about one 1024-frame buffer's worth of real time
                               "SDL_DISKAUDIODELAY": "23"}) as show:
                show.wait_until_demo_time(3.0)
                self.assertEqual(show.quit(), 0)
            data = open(out, "rb").read()
            self.assertGreater(len(data), 44100 * 4)  # at least a second of stereo 16-bit
            first_second = struct.unpack("<%dh" % (44100 * 2), data[:44100 * 4])
            # SDL may write a few silent device buffers before the first mix.
            loud = [i for i, v in enumerate(first_second) if abs(v) > 300]
            self.assertTrue(loud, "the first second is silent")
            self.assertLess(loud[0], 4 * 1024 * 2 + 2048)
        finally:
            if os.path.exists(out):
                os.remove(out)


if __name__ == "__main__":
    harness.main()
