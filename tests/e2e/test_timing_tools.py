"""The author's timing tools from outside: scripted flashes and fades on
screen, the opening cartoon model, camera path recording from the keyboard,
and start-up failures that must stop the show cleanly."""

import os
import re
import unittest

import harness
from harness import Show, near


def write_script(folder, name, text):
    with open(os.path.join(folder, "scripts", name), "w") as f:
        f.write(text)


def is_orange(p):
    return p[0] > 150 and 40 < p[1] < 200 and p[2] < 90


def record(show, key, prompt, name, way_points, written=None):
    """Starts a recording with its key, types the file name, marks way points
    with m and finishes with p, waiting for each step on the console."""
    before = len(show.lines)
    show.key(key)
    show.wait_for(prompt, after=before)
    show.type_line(name)
    show.wait_for(r"Writing camera pos to file: scripts/%s$" % (written or name), after=before)
    for _ in range(way_points):
        show.key("m")
        show.status_time()
    before = len(show.lines)
    show.key("p")
    show.wait_for(r"Position saving\. Closing file\.\.Done!$", after=before)


class TimingTools(unittest.TestCase):
    def test_scripted_flash_peak_and_black_fade_bottom(self):
        def scripts(folder):
            write_script(folder, "flash.txt", "3 6 0.1 0.2 2.5 1\n")
            write_script(folder, "black.txt", "7 10 0.1 0.2 2.5 1\n")

        with Show(prepare=scripts) as show:
            show.wait_for(r"^Adding Flash, Start: 3 End: 6 Up: 0.1 Down: 0.2 Peek: 2.5 Strength: 1$")
            show.wait_for(r"^Adding Black, Start: 7 End:10Up: 0.1 Down: 0.2 Peek: 2.5 Strength: 1$")
            show.wait_until_demo_time(3.5)
            shot = show.screenshot()
            self.assertTrue(near(shot.pixel(5, 5), (255, 255, 255), 3), shot.pixel(5, 5))
            self.assertGreater(shot.count(lambda p: p[0] > 250 and p[1] > 250), 25000)
            show.wait_until_demo_time(7.5)
            shot = show.screenshot()
            self.assertTrue(near(shot.pixel(5, 5), (0, 0, 0), 3), shot.pixel(5, 5))
            self.assertEqual(show.quit(), 0)

    def test_cartoon_model_between_its_cuts(self):
        with Show() as show:
            show.status_time(timeout=90)
            show.jump_to(20)
            t = show.wait_until_demo_time(20.3)
            self.assertLess(t, 23.0)
            shot = show.screenshot()
            orange = shot.count(is_orange)
            self.assertGreater(orange, 300, "the model's orange knot should fill part of the view")
            self.assertTrue(near(shot.pixel(400, 5), (0, 0, 0), 10))
            self.assertEqual(show.quit(), 0)

    def test_recording_a_path_from_the_keyboard(self):
        with Show() as show:
            show.status_time(timeout=90)
            record(show, "o", r"Camera position saving\. Enter filename:", "path1", way_points=3)
            # A name that is too long is cut at 127 characters.
            record(show, "i", r"Spline position saving\. Enter filename:", "x" * 300, way_points=0,
                   written="x" * 127)
            record(show, "i", r"Spline position saving\. Enter filename:", "points1", way_points=3)

            pose_lines = open(os.path.join(show.folder, "scripts", "path1")).read().splitlines()
            self.assertEqual(len(pose_lines), 8)
            number = r"-?\d+\.\d\d"
            for line in pose_lines:
                self.assertRegex(line, r"^%s( %s){8}$" % (number, number))
            point_lines = open(os.path.join(show.folder, "scripts", "points1")).read().splitlines()
            self.assertEqual(len(point_lines), 8)
            for line in point_lines:
                self.assertRegex(line, r"^%s( %s){2}$" % (number, number))

            # The recording plays back as a camera path once the script names it.
            write_script(show.folder, "cameras.txt", "1 500 path1\n")
            show.key("l")
            start = show.wait_for(r"^\*\* ResetAndLoad \*\*$")[1]
            show.wait_for(r"Adding Camera, Start: 1 End: 500 Filename: scripts/path1$", after=start)
            show.wait_for(r"Loading camera pos from file: scripts/path1$", after=start)
            show.status_time()
            self.assertNotIn("File Not Found : scripts/path1", show.output())
            self.assertEqual(show.quit(), 0)

    def test_camera_naming_a_missing_path_does_not_stop_the_show(self):
        def scripts(folder):
            write_script(folder, "cameras.txt", "1 3 nothere.pos\n")

        with Show(prepare=scripts) as show:
            show.wait_for(r"File Not Found : scripts/nothere\.pos")
            show.wait_until_demo_time(3.5)
            self.assertEqual(show.quit(), 0)

    def test_saved_scripts_reload_by_themselves(self):
        def scripts(folder):
            write_script(folder, "cameras.txt", "1 500 live.pos\n")
            write_script(folder, "live.pos", "0 -20 0 0 0 0 0 0 1\n0 -25 5 0 0 0 0 0 1\n")

        with Show(prepare=scripts) as show:
            show.status_time(timeout=90)
            for name, text, expected in [
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
            self.assertEqual(show.quit(), 0)

    def test_missing_effect_image_stops_start_up(self):
        def without_logo(folder):
            os.remove(os.path.join(folder, "ddata", "kvell.png"))

        with Show(prepare=without_logo) as show:
            show.wait_for(r"^Texutre image file not found: ddata/kvell\.png$")
            self.assertGreater(show.wait_exit(), 0)


if __name__ == "__main__":
    harness.main()
