"""The author's timeline panel on the running show: Tab shows and hides it
and the picture comes back as it was; a click jumps the show and the music;
a flash is selected by its bar, moved a beat with Shift+Right and saved with
Ctrl+S, changing exactly its own line, and then fires at its new time; a
read-only script keeps its bytes and the edit survives in a recovery file."""

import os
import re
import time
import unittest

import harness
from harness import Show, near, write_script

BEAT = 5.0 / 11.0
# The lanes as the panel lays them out (window rows, from the top).
FLASH_ROW = 600 - 115
STATUS_ROW = 592
# A flash of the author's own, held white long enough to catch, and others
# on lines of their own that must not change.
FLASHES = ("3 5 0.1 0.3 1.2 1\n"
           "60.5 61 0.05 0.3 0 1\n"
           "# the loader stops at this line; it stays\n")
FLASH_X = int(4.0 / 120.0 * 800)


def prepare(folder):
    write_script(folder, "flash.txt", FLASHES)


def white(shot):
    return near(shot.pixel(400, 100), (255, 255, 255), 12)


class Panel(unittest.TestCase):
    def test_tab_shows_the_panel_and_hides_it_leaving_the_picture_as_it_was(self):
        with Show() as show:
            show.wait_until_demo_time(5.0)
            show.press("space", r"\*\* Paused \*\*")
            time.sleep(0.5)
            before = show.screenshot()
            show.key("Tab")
            time.sleep(1.0)
            shown = show.screenshot()
            show.key("Tab")
            time.sleep(0.5)
            after = show.screenshot()
            panel_rows = range(400, 600, 7)
            self.assertTrue(any(shown.pixel(x, y) != before.pixel(x, y) for y in panel_rows for x in range(0, 800, 7)),
                            "the panel shows over the lower part")
            self.assertEqual([before.pixel(x, y) for y in range(0, 600, 5) for x in range(0, 800, 5)],
                             [after.pixel(x, y) for y in range(0, 600, 5) for x in range(0, 800, 5)],
                             "hidden, the picture is the show's")
            self.assertEqual(show.quit(), 0)

    def test_a_click_jumps_the_show_and_the_music_to_the_time_under_it(self):
        with Show() as show:
            show.wait_until_demo_time(2.0)
            show.key("Tab")
            time.sleep(0.5)
            before = len(show.lines)
            show.click(500, STATUS_ROW)
            m, _ = show.wait_for(r"^\*\* Bar (\d+) beat (\d+): (\S+) s \*\*$", after=before)
            landed = float(m.group(3))
            self.assertLess(abs(landed - 500 / 800.0 * 120.0), BEAT / 4)
            self.assertGreaterEqual(show.status_time()[0], landed)
            # A drag scrubs: the picture follows, and only the release
            # places the music and says where.
            before = len(show.lines)
            show.drag(100, STATUS_ROW, 300)
            m, index = show.wait_for(r"^\*\* Bar (\d+) beat (\d+): (\S+) s \*\*$", after=before)
            self.assertLess(abs(float(m.group(3)) - 300 / 800.0 * 120.0), BEAT / 4)
            self.assertEqual(sum(1 for l in show.lines[before:] if l.startswith("** Bar")), 1)
            self.assertEqual(show.quit(), 0)

    def test_a_flash_moved_a_beat_and_saved_changes_its_own_line_and_fires_there(self):
        with Show(prepare=prepare) as show:
            show.wait_until_demo_time(1.0)
            show.key("Tab")
            time.sleep(0.5)
            before = len(show.lines)
            show.click(FLASH_X, FLASH_ROW)
            show.wait_for(r"^Selected flash, Start: 3 End: 5$", after=before)
            show.chord("shift+Right")
            show.chord("ctrl+s")
            show.wait_for(r"^Saved scripts/flash\.txt: 2 flashes$", after=before)
            show.wait_for(r"^Adding Flash, Start: 3\.45455 End: 5\.45455", after=before)
            with open(os.path.join(show.folder, "scripts", "flash.txt")) as f:
                lines = f.read().split("\n")
            first = [float(v) for v in lines[0].split()]
            self.assertAlmostEqual(first[0], 3 + BEAT, places=5)
            self.assertAlmostEqual(first[1], 5 + BEAT, places=5)
            self.assertEqual(first[2:], [0.1, 0.3, 1.2, 1.0])
            self.assertEqual("\n".join(lines[1:]), FLASHES.split("\n", 1)[1])
            with open(os.path.join(show.folder, "scripts", "flash.txt.bak")) as f:
                self.assertEqual(f.read(), FLASHES)

            show.jump_to(3)
            show.wait_until_demo_time(3.15)
            self.assertFalse(white(show.screenshot()), "the flash no longer starts at 3 s")
            show.wait_until_demo_time(4.3)
            self.assertTrue(white(show.screenshot()), "it fires a beat later")
            self.assertEqual(show.quit(), 0)

    def test_a_read_only_script_keeps_its_bytes_and_the_edit_goes_to_a_recovery_file(self):
        def read_only(folder):
            prepare(folder)
            os.chmod(os.path.join(folder, "scripts", "flash.txt"), 0o444)

        with Show(prepare=read_only) as show:
            show.wait_until_demo_time(1.0)
            show.key("Tab")
            time.sleep(0.5)
            before = len(show.lines)
            show.click(FLASH_X, FLASH_ROW)
            show.wait_for(r"^Selected flash", after=before)
            show.chord("shift+Right")
            show.chord("ctrl+s")
            show.wait_for(r"^Cannot save scripts/flash\.txt: it is read-only; the edits stay on the panel$",
                          after=before)
            path = os.path.join(show.folder, "scripts", "flash.txt")
            with open(path) as f:
                self.assertEqual(f.read(), FLASHES)
            self.assertEqual(show.quit(), 0)
            self.assertRegex(show.output(), r"Unsaved edits of scripts/flash\.txt written to "
                                             r"scripts/flash\.txt\.recovered")
            with open(path + ".recovered") as f:
                self.assertAlmostEqual(float(f.read().split()[0]), 3 + BEAT, places=5)
            self.assertFalse(os.path.exists(path + ".bak"))


if __name__ == "__main__":
    harness.main()
