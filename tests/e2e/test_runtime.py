"""Start-up from outside: a show that cannot start stops with a clear error,
and one whose optional files are missing, or whose scripts are the
author's own, runs on and shows them."""

import os
import re
import subprocess
import unittest

import harness
from harness import Show, ShowCase, count, near, write_script


def remove(folder, *paths):
    for path in paths:
        os.remove(os.path.join(folder, path))


class StartUpThatCannotRun(unittest.TestCase):
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

    def test_a_missing_picture_stops_start_up_naming_it(self):
        for picture in ("demodata/bg003x.jpg", "ddata/kvell.png", "ddata/kantig-overlay-igen.png"):
            with Show(prepare=lambda folder: remove(folder, picture)) as show:
                show.wait_for(r"^Texutre image file not found: %s$" % picture.replace(".", r"\."))
                self.assertGreater(show.wait_exit(), 0, picture)  # an error status, not a signal
                self.assertNotIn("FPS:", show.output())


class MissingFilesAndOwnScripts(ShowCase):
    @staticmethod
    def prepare(folder):
        remove(folder, "scripts/starttime.txt", "ddata/velmo-tesk.mp3", "skeleton/skeleton.cfg",
               "ddata/blobroom.3ds", "demodata/torus.3ds")
        write_script(folder, "cameras.txt", "1 3 nothere.pos\n")
        write_script(folder, "flash.txt", "3 6 0.1 0.2 2.5 1\n")
        write_script(folder, "black.txt", "7 10 0.1 0.2 2.5 1\n")

    def test_1_each_missing_file_is_named(self):
        show = self.show
        show.wait_for(r"Could not open file: scripts/starttime\.txt$")
        _, index = show.wait_for(r"^Opening mp3 file: ddata/velmo-tesk\.mp3$")
        self.assertEqual(show.wait_for(r"^File not found$", after=index)[1], index + 1)
        show.wait_for(r"^Cannot load correctly model config file\.$")
        show.wait_for(r"File Not Found : scripts/nothere\.pos")
        show.wait_for(r"Adding Flash, Start: 3 End: 6 Up: 0.1 Down: 0.2 Peek: 2.5 Strength: 1$")
        show.wait_for(r"^Adding Black, Start: 7 End:10Up: 0.1 Down: 0.2 Peek: 2.5 Strength: 1$")
        for model in ("ddata/blobroom.3ds", "demodata/torus.3ds"):
            show.wait_for(r"^Could not read model: %s$" % re.escape(model))

    def test_2_scripted_flash_peak_and_black_fade_bottom(self):
        self.show.wait_until_demo_time(3.5)
        shot = self.show.screenshot()
        self.assertTrue(near(shot.pixel(5, 5), (255, 255, 255), 3), shot.pixel(5, 5))
        self.assertGreater(count(shot, lambda p: p[0] > 250 and p[1] > 250), 25000)
        self.show.wait_until_demo_time(7.5)
        shot = self.show.screenshot()
        self.assertTrue(near(shot.pixel(5, 5), (0, 0, 0), 3), shot.pixel(5, 5))

    def test_3_the_show_runs_on_through_the_room_the_light_scene_and_the_character_section(self):
        for seconds in (35, 75, 90):
            self.show.jump_to(seconds)
            self.assertGreaterEqual(self.show.wait_until_demo_time(seconds + 0.5), seconds + 0.5)
        self.assertEqual(self.show.quit(), 0)
        self.assertIn(b"opening failed!", self.show.stderr)
        # Each missing model is named once, by the show; the console carries
        # no notices of the libraries' own.
        everything = self.show.output() + self.show.stderr.decode(errors="replace")
        for model in ("blobroom.3ds", "torus.3ds"):
            self.assertEqual(everything.count(model), 1, everything)
        self.assertNotIn("State::reset()", everything)
        self.assertNotIn("Scaling image", everything)


if __name__ == "__main__":
    harness.main()
