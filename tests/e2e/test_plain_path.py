"""The switch that turns every speed-up off: the capture still runs with it,
and its stills stay within the differences the speed-ups are known to make
(tenths of a level on the room's rims, a few dozen outline pixels)."""

import os
import sys
import tempfile
import unittest

import harness

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "bench"))
import compare_frames  # noqa: E402

# Per still: the largest channel difference and the channels differing that
# the speed-ups may make, with room to spare over what was measured.
#   5 s   the opening scope: no speed-up changes a pixel
#   35 s  the room: one highlight level where the map is shrunk, on the rims
#         (measured 128 and 17,289)
#   90 s  the dancer: outline edges for back-face lines (237 and 237)
BOUNDS = {5.0: (0, 0), 35.0: (160, 26000), 90.0: (255, 600)}


class PlainPath(unittest.TestCase):
    def test_stills_with_and_without_the_speed_ups_differ_only_as_far_as_they_may(self):
        capture = os.path.join(os.path.dirname(os.path.abspath(harness.ARGS.binary)), "capture")
        with tempfile.TemporaryDirectory() as folder:
            found = compare_frames.compare_plain(capture, folder, sorted(BOUNDS))
        for seconds, (largest, count) in found.items():
            bound = BOUNDS[seconds]
            self.assertLessEqual(largest, bound[0], "%.1f s" % seconds)
            self.assertLessEqual(count, bound[1], "%.1f s" % seconds)


if __name__ == "__main__":
    harness.main()
