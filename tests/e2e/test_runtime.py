"""The show's runtime from outside: status lines, the grey-then-black
background, the start-time file, Escape, and a start-up that cannot run."""

import os
import re
import subprocess
import unittest

import harness
from harness import Show, near

GREY = (102, 102, 102)
STATUS = re.compile(r"^FPS:(\S+) Time:(\S+) Frame: (\d+)$")


class Runtime(unittest.TestCase):
    def test_status_lines_background_and_escape(self):
        with Show() as show:
            first, index = show.wait_for(r"^FPS:", timeout=90)
            line = show.lines[index]
            m = STATUS.match(line)
            self.assertIsNotNone(m, line)
            self.assertEqual(m.group(3), "10")
            fps, t = float(m.group(1)), float(m.group(2))
            self.assertAlmostEqual(fps, 10 / t, delta=0.01 * fps + 1e-3)
            frames = [int(STATUS.match(l).group(3)) for l in show.lines if STATUS.match(l)]
            self.assertTrue(all(f % 10 == 0 for f in frames))

            # Before 16.46 s the clear colour is grey; a corner shows it.
            t, _ = show.status_time()
            self.assertLess(t, 15.0, "start-up too slow to see the grey")
            shot = show.screenshot()
            self.assertEqual((shot.width, shot.height), (800, 600))
            self.assertTrue(near(shot.pixel(5, 5), GREY), shot.pixel(5, 5))
            self.assertTrue(near(shot.pixel(795, 595), GREY), shot.pixel(795, 595))

            show.wait_until_demo_time(17.0)
            shot = show.screenshot()
            self.assertTrue(near(shot.pixel(5, 5), (0, 0, 0)), shot.pixel(5, 5))
            self.assertTrue(near(shot.pixel(795, 5), (0, 0, 0)), shot.pixel(795, 5))

            self.assertEqual(show.quit(), 0)

    def test_start_time_file_is_printed_but_the_show_starts_at_zero(self):
        def with_start_time(folder):
            with open(os.path.join(folder, "scripts", "starttime.txt"), "w") as f:
                f.write("3 2 1\n")

        with Show(prepare=with_start_time) as show:
            show.wait_for(r"Starttime, X: 3 Y: 2 iZ: 1$")
            t, frame = show.status_time(timeout=90, after=0)
            self.assertEqual(frame, 10)
            self.assertLess(t, 4.0)  # not 4.09 + elapsed: start-up set it back to 0
            self.assertEqual(show.quit(), 0)

    def test_missing_start_time_file_is_reported_and_the_show_runs(self):
        def without_start_time(folder):
            path = os.path.join(folder, "scripts", "starttime.txt")
            if os.path.exists(path):
                os.remove(path)

        with Show(prepare=without_start_time) as show:
            show.wait_for(r"Could not open file: scripts/starttime\.txt$")
            show.status_time(timeout=90)
            self.assertEqual(show.quit(), 0)

    def test_missing_splash_stops_start_up_with_a_clear_error(self):
        def without_splash(folder):
            os.remove(os.path.join(folder, "demodata", "bg003x.jpg"))

        with Show(prepare=without_splash) as show:
            show.wait_for(r"^Texutre image file not found: demodata/bg003x\.jpg$")
            status = show.wait_exit()
            self.assertGreater(status, 0)  # an error status, not a signal
            self.assertNotIn("FPS:", show.output())

    def test_without_a_display_the_show_stops_at_once_naming_the_window(self):
        no_server = ":%d" % harness.VirtualDisplay._free_display_number()
        for display in (None, no_server):
            env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "SDL_VIDEODRIVER")}
            env["SDL_AUDIODRIVER"] = "dummy"
            if display:
                env["DISPLAY"] = display
            result = subprocess.run([os.path.abspath(harness.ARGS.binary)], cwd=harness.ARGS.show, env=env,
                                    stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                    timeout=20, text=True, errors="replace")
            self.assertEqual(result.returncode, 1, display)
            lines = [l for l in result.stderr.splitlines() if "window" in l]
            self.assertEqual(len(lines), 1, result.stderr)
            self.assertIn("Cannot open the show's 800 x 600 OpenGL window", lines[0])
            self.assertIn(display or "DISPLAY is not set", lines[0])
            self.assertNotIn("FPS:", result.stdout)


if __name__ == "__main__":
    harness.main()
