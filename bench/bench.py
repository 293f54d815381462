#!/usr/bin/env python3
"""Runs the show under Xvfb and prints figures: start-up time (launch to the
first loop pass), frames per second in each segment of the show, every
frame's time per segment with the slowest frames and a plot of them all. A
benchmark, not a test: it prints numbers and passes no judgement."""

import argparse
import os
import random
import sys
import subprocess
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "e2e"))
import harness  # noqa: E402

import frametimes  # noqa: E402

SHOW_TIMES = os.path.join(HERE, "..", "build", "bench", "show_times")
RELOAD_BENCH = os.path.join(HERE, "..", "build", "bench", "reload_bench")


def show_segments(program=SHOW_TIMES):
    """The show's segments, (start, end, name), as the show's own table of
    times holds them."""
    lines = subprocess.run([program], stdout=subprocess.PIPE, text=True, check=True).stdout.splitlines()
    return [(float(start), float(end), name) for start, end, name in (line.split("\t") for line in lines)]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--binary", default=os.path.join(HERE, "..", "build", "demo"))
    parser.add_argument("--show", default=os.path.join(HERE, "..", "show"))
    parser.add_argument("--plot", default="frametimes.png", help="where the frame-time plot goes")
    parser.add_argument("--until", type=float, default=116.0, help="demo seconds to run")
    parser.add_argument("--sync", default=os.path.join(HERE, "..", "build", "bench", "av_sync_bench"))
    parser.add_argument("--audio", default="none,dummy",
                        help="SDL audio drivers for the sync runs, comma-separated; 'none' opens no"
                             " device, so the layer mixes into its own silent output at real-time pace")
    parser.add_argument("--frames-only", action="store_true",
                        help="play the show once and print only the per-frame report and plot")
    args = parser.parse_args()
    harness.ARGS = args
    segments = show_segments()

    if not args.frames_only:
        report_startup()
    with tempfile.TemporaryDirectory() as scratch:
        log = os.path.join(scratch, "frames.txt")
        samples = play_through(args.until, frame_log=log)  # (wall clock, demo time, frame)
        every_frame = frametimes.read_frame_log(log)
    if args.frames_only:
        frametimes.print_report(every_frame, segments, args.plot)
        return

    print("%-32s %8s %8s %8s" % ("segment", "fps avg", "fps min", "frames"))
    for start, end, name in segments:
        rates = []
        frames = 0
        seconds = 0.0
        for (_, t0, f0), (_, t1, f1) in zip(samples, samples[1:]):
            if start <= t0 and t1 <= end and f1 > f0 and t1 > t0:
                rates.append((f1 - f0) / (t1 - t0))
                frames += f1 - f0
                seconds += t1 - t0
        if rates:
            print("%-32s %8.1f %8.1f %8d" % (name, frames / seconds, min(rates), frames))
        else:
            print("%-32s %8s %8s %8d" % (name, "-", "-", 0))
    frametimes.print_report(every_frame, segments, args.plot)
    report_panel(args, segments)
    report_reloads()
    report_text_display()
    report_sync(args)


def play_through(until, panel=False, frame_log=None):
    """(wall clock, demo time, frame) of every status line of one run from
    0 s, with the author's panel shown from the start or not; the show logs
    every frame's time into `frame_log` when given."""
    with harness.Show(env={"VELMO_FRAME_LOG": frame_log} if frame_log else None) as show:
        samples = []
        m, _ = show.wait_for(r"^FPS:\S+ Time:(\S+) Frame: (\d+)$", timeout=120)
        if panel:
            show.key("Tab")
        samples.append((time.time(), float(m.group(1)), int(m.group(2))))
        while samples[-1][1] < until:
            t, frame = show.status_time(timeout=120)
            samples.append((time.time(), t, frame))
        show.quit()
    return samples


def mean_frame_ms(samples, start, end):
    frames, seconds = 0, 0.0
    for (w0, t0, f0), (w1, t1, f1) in zip(samples, samples[1:]):
        if start + 0.5 <= t0 and t1 <= end and f1 > f0:
            frames += f1 - f0
            seconds += w1 - w0
    return 1000.0 * seconds / frames if frames else float("nan")


def report_panel(args, segments):
    """Frame time per segment with the author's panel hidden and shown, one
    run each, closed first."""
    closed = play_through(args.until)
    shown = play_through(args.until, panel=True)
    print("\nmean frame time with the author's panel (ms)")
    print("  %-32s %8s %8s" % ("segment", "closed", "open"))
    for start, end, name in segments:
        print("  %-32s %8.2f %8.2f" % (name, mean_frame_ms(closed, start, end), mean_frame_ms(shown, start, end)))


def report_reloads():
    """Milliseconds a reload of the flash script takes, by its size."""
    print("\nflash script reload (best of five)")
    result = subprocess.run([os.path.abspath(RELOAD_BENCH)], stdout=subprocess.PIPE, text=True, check=True)
    for line in result.stdout.splitlines():
        print("  " + line)


def text_display_files():
    """The source scroller's file as shipped, one line of 500 KB, and 100 KB
    of random bytes (always the same ones)."""
    rng = random.Random(7)
    return [("as shipped", None), ("one 500 KB line", b"x" * 500000 + b"\n"),
            ("100 KB of random bytes", bytes(rng.randrange(256) for _ in range(100000)))]


def light_scene_fps(content):
    """Frames per second over 73-80 s, the light scene under its scroller."""
    def prepare(folder):
        if content is not None:
            with open(os.path.join(folder, "main.cpp"), "wb") as f:
                f.write(content)
    with harness.Show(prepare=prepare) as show:
        show.wait_until_demo_time(2.0)
        show.jump_to(72.0)
        show.wait_until_demo_time(73.0)
        t0, f0 = show.status_time()
        w0 = time.time()
        while True:
            t, f = show.status_time()
            if t >= 80.0:
                break
        w1 = time.time()
        show.quit()
    return (f - f0) / (w1 - w0)


def report_text_display(rounds=2):
    """The light scene's frame rate with each scroller file, the files taken
    in turn, round after round, so the machine's drift falls on all alike."""
    files = text_display_files()
    rates = {name: [] for name, _ in files}
    for _ in range(rounds):
        for name, content in files:
            rates[name].append(light_scene_fps(content))
    usual = sum(rates[files[0][0]]) / rounds
    print("\nlight scene (73-80 s) with the scroller's file")
    for name, _ in files:
        mean = sum(rates[name]) / rounds
        print("  %-26s %7.1f fps  %+6.1f %%  (runs: %s)" % (name, mean, 100.0 * (mean - usual) / usual,
                                                           ", ".join("%.1f" % r for r in rates[name])))


def report_startup(runs=5):
    """Launch to the first pass of the frame loop: the first status line's
    arrival less the demo time it reports."""
    seconds = []
    for _ in range(runs):
        with harness.Show() as show:
            m, _ = show.wait_for(r"^FPS:\S+ Time:(\S+) Frame: \d+$", timeout=120)
            seconds.append(time.time() - show.started - float(m.group(1)))
            show.quit()
    seconds.sort()
    print("start-up (launch to first loop pass): median %.2f s (%.2f to %.2f, %d runs)"
          % (seconds[runs // 2], seconds[0], seconds[-1], runs))


def report_sync(args):
    """Demo time against the audible music at 0 s, before and after a 3 s
    pause at 10 s, at 60 and at 120 s."""
    for driver in args.audio.split(","):
        print("\naudio/video sync (SDL audio driver: %s)" % driver)
        env = dict(os.environ, SDL_AUDIODRIVER=driver)
        result = subprocess.run([os.path.abspath(args.sync)], cwd=args.show, env=env,
                                stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        for line in result.stdout.splitlines():
            if line.startswith(("demo", "paused", "audio thread", "No sound")):
                print("  " + line)


if __name__ == "__main__":
    main()
