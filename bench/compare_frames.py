#!/usr/bin/env python3
"""Checks that a change leaves the picture alone. The capture program draws
the same frame on every run, so stills taken at fixed show times by a build
before a change and by a build after it can be compared pixel by pixel.

  compare_frames.py stills CAPTURE_BINARY FOLDER   # one still per check time
  compare_frames.py compare BEFORE_FOLDER AFTER_FOLDER
  compare_frames.py plain CAPTURE_BINARY FOLDER [SECONDS...]
  compare_frames.py size CAPTURE_BINARY WIDTHxHEIGHT FOLDER [--supersample N]

The comparison prints, per still, the largest difference in any colour
channel (0-255) and how many channels differ, then the largest of all.
"plain" takes the stills twice, with the speed-ups and on the plain path
(VELMO_PLAIN_PATH=1), into FOLDER/fast and FOLDER/plain, and compares them.
"size" takes the stills at 800 x 600 and at the size given, scales the
larger picture (its bars cropped off) down to 800 x 600 by averaging, and
prints the PSNR of each still against the 800 x 600 one, and the lowest."""

import glob
import math
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
SHOW = os.path.join(HERE, "..", "show")
# One or two in each segment, on busy moments: flashes, logos, the title,
# the room's bands, the turning model, the box rain, the dance, the slime.
CHECK_TIMES = [5.0, 17.5, 20.0, 24.5, 27.0, 35.0, 45.0, 55.0, 60.0, 65.0,
               75.0, 80.0, 90.0, 95.0, 105.0, 112.0]
FPS = 30


# The dance's camera takes over only when its window opens during play: a
# jump straight past 87 s leaves the light scene's camera in charge, far
# from the dancer. Stills in the dance are the last frame of a clip played
# from just before.
DANCE_START = 86.95


PLAIN_PATH = "VELMO_PLAIN_PATH"


def take_stills(capture, folder, times=CHECK_TIMES, plain=False, extra=(), fps=FPS):
    os.makedirs(folder, exist_ok=True)
    env = dict(os.environ)
    env.pop(PLAIN_PATH, None)
    if plain:
        env[PLAIN_PATH] = "1"
    with tempfile.TemporaryDirectory() as scratch:
        for t in times:
            frames = os.path.join(scratch, "%07.2f" % t)
            video = os.path.join(scratch, "clip.mp4")
            start = DANCE_START if DANCE_START < t < 100.0 else t
            subprocess.run([os.path.abspath(capture), video, "--fps", str(fps), "--from", str(start),
                            "--to", str(t + 2.0 / fps), "--png", frames] + list(extra),
                           cwd=SHOW, env=env, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            # The second frame after a jump: the first shows effects whose
            # shaders are still being checked against the renderer.
            taken = sorted(glob.glob(os.path.join(frames, "*.png")))
            still = taken[1] if start == t else taken[-1]
            os.replace(still, os.path.join(folder, "%07.2f.png" % t))
            print("still at %.2f s" % t, flush=True)


def pixels(path):
    return subprocess.run(["ffmpeg", "-v", "error", "-i", path, "-f", "rawvideo", "-pix_fmt", "rgb24", "-"],
                          stdout=subprocess.PIPE, check=True).stdout


def difference(a, b):
    if a == b:
        return 0, 0
    worst, count = 0, 0
    for x, y in zip(a, b):
        if x != y:
            count += 1
            worst = max(worst, abs(x - y))
    return worst, count


def compare(before, after):
    """Prints and returns {still's seconds: (largest difference, channels differing)}."""
    worst = 0
    result = {}
    for path in sorted(glob.glob(os.path.join(before, "*.png"))):
        name = os.path.basename(path)
        largest, count = difference(pixels(path), pixels(os.path.join(after, name)))
        worst = max(worst, largest)
        result[float(name[:-4])] = (largest, count)
        print("%s  largest difference %3d, channels differing %7d" % (name[:-4] + " s", largest, count))
    print("largest per-channel difference over all stills: %d of 255" % worst)
    return result


def picture_at_800(path, width, height):
    """The still's 4:3 picture, bars cropped, averaged down to 800 x 600."""
    picture_height = height if width * 3 >= height * 4 else (width * 3 // 4) // 2 * 2
    picture_width = min(width, (height * 4 // 3) // 2 * 2) if width * 3 >= height * 4 else width
    crop = "crop=%d:%d:%d:%d,scale=800:600:flags=area" % (
        picture_width, picture_height, (width - picture_width) // 2, (height - picture_height) // 2)
    return subprocess.run(["ffmpeg", "-v", "error", "-i", path, "-vf", crop, "-f", "rawvideo", "-pix_fmt", "rgb24", "-"],
                          stdout=subprocess.PIPE, check=True).stdout


def psnr(a, b):
    squared = sum((x - y) * (x - y) for x, y in zip(a, b)) / len(a)
    return float("inf") if squared == 0 else 10 * math.log10(255 * 255 / squared)


def compare_size(capture, size, folder, extra=(), fps=FPS):
    """Prints and returns {still's seconds: PSNR in dB} of the stills taken at
    `size` (scaled down) against those taken at 800 x 600. A lower `fps`
    takes the dance's clips in fewer frames, the others as they are."""
    width, height = (int(n) for n in size.split("x"))
    small, large = os.path.join(folder, "800x600"), os.path.join(folder, size)
    take_stills(capture, small, fps=fps)
    take_stills(capture, large, extra=["--size", size] + list(extra), fps=fps)
    result = {}
    for path in sorted(glob.glob(os.path.join(small, "*.png"))):
        name = os.path.basename(path)
        result[float(name[:-4])] = psnr(pixels(path), picture_at_800(os.path.join(large, name), width, height))
        print("%s  PSNR %.2f dB" % (name[:-4] + " s", result[float(name[:-4])]), flush=True)
    print("lowest PSNR over all stills: %.2f dB" % min(result.values()))
    return result


def compare_plain(capture, folder, times=CHECK_TIMES):
    fast, plain = os.path.join(folder, "fast"), os.path.join(folder, "plain")
    take_stills(capture, fast, times)
    take_stills(capture, plain, times, plain=True)
    return compare(fast, plain)


def main():
    if len(sys.argv) == 4 and sys.argv[1] == "stills":
        take_stills(sys.argv[2], sys.argv[3])
    elif len(sys.argv) == 4 and sys.argv[1] == "compare":
        compare(sys.argv[2], sys.argv[3])
    elif len(sys.argv) in (5, 7) and sys.argv[1] == "size":
        compare_size(sys.argv[2], sys.argv[3], sys.argv[4], sys.argv[5:])
    elif len(sys.argv) >= 4 and sys.argv[1] == "plain":
        compare_plain(sys.argv[2], sys.argv[3], [float(t) for t in sys.argv[4:]] or CHECK_TIMES)
    else:
        print(__doc__)
        sys.exit(2)


if __name__ == "__main__":
    main()
