"""The capture at sizes other than the window's, from outside: a 1920 x 1080
video with its sound whose picture is 4:3, centred between black bars, and
which, scaled down to 800 x 600, looks as the 800 x 600 capture does;
at each of the bench's sixteen fixed stills; supersampling; and sizes it
refuses."""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest

import harness
from harness import RunFolder, probe

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "bench"))
import compare_frames  # noqa: E402

FPS = 30
# The light scene: the source text, the torus' points, the cartoon boxes'
# outlines and the scope's echo over it all.
FROM, TO = 74.0, 74.2
LOWEST_PSNR = 30.0


def rgb(path, *filters):
    args = ["ffmpeg", "-v", "error", "-i", path]
    if filters:
        args += ["-vf", ",".join(filters)]
    return subprocess.run(args + ["-f", "rawvideo", "-pix_fmt", "rgb24", "-"], stdout=subprocess.PIPE,
                          check=True).stdout


def psnr_at_800(large, small, picture, offset):
    """PSNR in dB of the large still's picture, averaged down to 800 x 600,
    against the 800 x 600 still."""
    result = subprocess.run(
        ["ffmpeg", "-i", large, "-i", small, "-lavfi",
         "[0]crop=%d:%d:%d:0,scale=800:600:flags=area[a];[a][1]psnr" % (picture[0], picture[1], offset),
         "-f", "null", "-"], stderr=subprocess.PIPE, text=True, check=True).stderr
    return float(result.rsplit("average:", 1)[1].split()[0])


class Sizes(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.run_folder = RunFolder()
        common = ["--fps", str(FPS), "--from", str(FROM), "--to", str(TO)]
        cls.small = cls.run_folder.run("small.mp4", "--png", "small", *common)
        cls.large = cls.run_folder.run("large.mp4", "--png", "large", "--size", "1920x1080", *common)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.run_folder.workdir, ignore_errors=True)

    def stills(self, folder):
        return sorted(os.listdir(self.run_folder.path(folder)))

    def test_1080p_gives_a_1920_by_1080_h264_video_with_sound(self):
        code, _, err = self.large
        self.assertEqual(code, 0, err)
        info = probe(self.run_folder.path("large.mp4"))
        video = [s for s in info["streams"] if s["codec_type"] == "video"][0]
        self.assertEqual((video["width"], video["height"], video["codec_name"]), (1920, 1080, "h264"))
        self.assertTrue(any(s["codec_type"] == "audio" for s in info["streams"]))

    def test_the_picture_is_4_by_3_centred_between_black_bars(self):
        self.assertEqual(self.large[0], 0, self.large[2])
        row = 1920 * 3
        for name in self.stills("large"):
            pixels = rgb(self.run_folder.path("large", name))
            for y in range(0, 1080, 3):
                line = pixels[y * row:(y + 1) * row]
                for side, bar in (("left", line[:240 * 3]), ("right", line[1680 * 3:])):
                    self.assertEqual(bar.count(0), 240 * 3, "%s: the %s bar is not black at row %d" % (name, side, y))
            # The picture reaches the bars: the floor, in the lower third, is
            # lit in the picture's first and last columns, down to its last row.
            for y in (800, 1079):
                edges = [pixels[y * row + x * 3:y * row + x * 3 + 3] for x in (240, 1679)]
                self.assertTrue(all(sum(p) > 60 for p in edges), "%s: the picture does not fill 1440 x 1080" % name)

    def test_scaled_down_it_matches_the_800_by_600_capture_at_every_fixed_still(self):
        capture = os.path.join(os.path.dirname(os.path.abspath(harness.ARGS.binary)), "capture")
        with tempfile.TemporaryDirectory() as folder:
            # The dance's stills end clips from 86.95 s: at 10 frames a
            # second they take a third of the bench's time.
            found = compare_frames.compare_size(capture, "1920x1080", folder, fps=10)
        self.assertEqual(sorted(found), sorted(compare_frames.CHECK_TIMES))
        for seconds, value in found.items():
            self.assertGreaterEqual(value, LOWEST_PSNR, "%.1f s" % seconds)

    def test_supersampling_renders_larger_and_filters_down(self):
        self.assertEqual(self.small[0], 0, self.small[2])
        code, _, err = self.run_folder.run("super.mp4", "--png", "super", "--size", "1024x768", "--supersample",
                                           "2", "--fps", str(FPS), "--from", str(FROM), "--to", str(FROM + 0.05))
        self.assertEqual(code, 0, err)
        name = self.stills("super")[0]
        info = probe(self.run_folder.path("super.mp4"))
        self.assertEqual(info["streams"][0]["width"], 1024)
        value = psnr_at_800(self.run_folder.path("super", name), self.run_folder.path("small", name), (1024, 768), 0)
        self.assertGreaterEqual(value, LOWEST_PSNR, name)

    def test_sizes_it_cannot_make_are_refused_in_one_line(self):
        for size in ["1920", "1921x1080", "300x240", "8000x4320", "axb", "1920x1080x3"]:
            code, _, err = self.run_folder.run("bad.mp4", "--size", size)
            self.assertEqual(code, 2, size)
            self.assertIn("--size needs WIDTHxHEIGHT, even numbers from 320 to 7680", err)
        code, _, err = self.run_folder.run("bad.mp4", "--size", "7680x4320", "--supersample", "2")
        self.assertEqual(code, 2)
        self.assertIn("more than 8192 pixels a side", err)
        self.assertFalse(os.path.exists(self.run_folder.path("bad.mp4")))


if __name__ == "__main__":
    harness.main()
