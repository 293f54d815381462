"""Frame times over the show from its status lines (one every 10 frames):
a table per half second, the slowest half-seconds, the share of smooth
10-frame intervals per segment, and a plot as a PNG written without any
library beyond Python's own."""

import struct
import zlib

SMOOTH_MS = 1000.0 / 60.0


def intervals(samples):
    """(demo time at the start, mean frame time in ms) of every 10-frame
    interval, measured on the wall clock."""
    out = []
    for (w0, t0, f0), (w1, t1, f1) in zip(samples, samples[1:]):
        if f1 > f0 and t1 >= t0:
            out.append((t0, 1000.0 * (w1 - w0) / (f1 - f0)))
    return out


def half_seconds(samples):
    """{half-second index: (mean, worst) frame time in ms}."""
    buckets = {}
    for t, ms in intervals(samples):
        buckets.setdefault(int(t * 2), []).append(ms)
    return {k: (sum(v) / len(v), max(v)) for k, v in sorted(buckets.items())}


def smooth_share(samples, start, end):
    """Share of the segment's 10-frame intervals at 60 frames per second or more."""
    inside = [ms for t, ms in intervals(samples) if start <= t < end]
    return sum(ms <= SMOOTH_MS for ms in inside) / len(inside) if inside else None


def print_report(samples, segments, plot_path):
    table = half_seconds(samples)
    name_at = lambda t: next((name for s, e, name in segments if s <= t < e), "the end")
    print("\nframe time per half second (ms: mean / worst)")
    row = []
    for k, (mean, worst) in table.items():
        row.append("%6.1f s %5.1f/%5.1f" % (k / 2.0, mean, worst))
        if len(row) == 4:
            print("  " + "   ".join(row))
            row = []
    if row:
        print("  " + "   ".join(row))
    print("\nslowest half-seconds")
    for k, (mean, worst) in sorted(table.items(), key=lambda kv: -kv[1][0])[:10]:
        print("  %6.1f s  %5.1f ms mean  %5.1f ms worst  (%s)" % (k / 2.0, mean, worst, name_at(k / 2.0)))
    print("\n10-frame intervals at 60 fps or more, per segment (target 95%)")
    for start, end, name in segments:
        share = smooth_share(samples, start, end)
        print("  %-32s %s" % (name, "-" if share is None else "%5.1f%%" % (100 * share)))
    write_plot(plot_path, table, max(e for _, e, _ in segments))
    print("\nplot: %s" % plot_path)


def write_plot(path, table, seconds, width=960, height=360, top_ms=50.0):
    """Mean (dark) and worst (light) frame time per half second against show
    time (grid: 10 s, 10 ms); the red line is 16.7 ms."""
    pixels = [[(255, 255, 255)] * width for _ in range(height)]
    y_of = lambda ms: height - 1 - int(min(ms, top_ms) / top_ms * (height - 1))
    for ms in range(10, int(top_ms) + 1, 10):
        pixels[y_of(ms)] = [(225, 225, 225)] * width
    for second in range(0, int(seconds) + 1, 10):
        for y in range(height):
            pixels[y][int(second / seconds * (width - 1))] = (225, 225, 225)
    for k, (mean, worst) in table.items():
        x0 = int(k / 2.0 / seconds * (width - 1))
        x1 = max(x0 + 1, int((k + 1) / 2.0 / seconds * (width - 1)))
        for x in range(x0, min(x1, width)):
            for y in range(y_of(worst), height):
                pixels[y][x] = (40, 60, 140) if y >= y_of(mean) else (150, 170, 220)
    for x in range(width):
        pixels[y_of(SMOOTH_MS)][x] = (220, 30, 30)
    raw = b"".join(b"\0" + bytes(c for p in row for c in p) for row in pixels)
    chunk = lambda tag, data: (struct.pack(">I", len(data)) + tag + data
                               + struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF))
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
                + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))
