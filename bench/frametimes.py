"""Frame times over the show from its status lines (one every 10 frames):
a table per half second, the slowest half-seconds, the share of smooth
10-frame intervals per segment, and a plot as a PNG written without any
library beyond Python's own."""

import harness

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
    for index, (start, end, name) in enumerate(segments):
        share = smooth_share(samples, start, end)
        print("  %d %-30s %s" % (index + 1, name, "-" if share is None else "%5.1f%%" % (100 * share)))
    write_plot(plot_path, table, segments)
    print("\nplot: %s" % plot_path)


# 3x5 glyphs, rows top to bottom, for the axis labels.
GLYPHS = {
    "0": ("111", "101", "101", "101", "111"), "1": ("010", "110", "010", "010", "111"),
    "2": ("111", "001", "111", "100", "111"), "3": ("111", "001", "111", "001", "111"),
    "4": ("101", "101", "111", "001", "001"), "5": ("111", "100", "111", "001", "111"),
    "6": ("111", "100", "111", "101", "111"), "7": ("111", "001", "010", "010", "010"),
    "8": ("111", "101", "111", "101", "111"), "9": ("111", "101", "111", "001", "111"),
    ".": ("000", "000", "000", "000", "010"), " ": ("000", "000", "000", "000", "000"),
    "m": ("000", "000", "111", "111", "101"), "s": ("000", "011", "010", "001", "011"),
}


class Canvas:
    def __init__(self, width, height):
        self.width, self.height = width, height
        self.rows = [[(255, 255, 255)] * width for _ in range(height)]

    def fill(self, x0, y0, x1, y1, colour):
        for y in range(max(0, y0), min(self.height, y1)):
            for x in range(max(0, x0), min(self.width, x1)):
                self.rows[y][x] = colour

    def text(self, x, y, string, scale=2, colour=(60, 60, 60)):
        """Writes `string` with its top left corner at (x, y)."""
        for glyph in string:
            for row, bits in enumerate(GLYPHS[glyph]):
                for column, bit in enumerate(bits):
                    if bit == "1":
                        self.fill(x + column * scale, y + row * scale,
                                  x + (column + 1) * scale, y + (row + 1) * scale, colour)
            x += 4 * scale

    def write_png(self, path):
        harness.write_png(path, [bytes(c for p in row for c in p) for row in self.rows])


def write_plot(path, table, segments, width=1000, height=400, top_ms=50.0):
    """Mean (dark) and worst (light) frame time per half second against show
    time, on the segments in alternating shades numbered as the report lists
    them; the red line is 16.7 ms (60 fps)."""
    left, bottom, top = 44, 24, 16
    plot_w, plot_h = width - left - 8, height - bottom - top
    seconds = max(e for _, e, _ in segments)
    canvas = Canvas(width, height)
    x_of = lambda t: left + int(t / seconds * (plot_w - 1))
    y_of = lambda ms: top + plot_h - 1 - int(min(ms, top_ms) / top_ms * (plot_h - 1))
    for index, (start, end, _) in enumerate(segments):
        if index % 2:
            canvas.fill(x_of(start), top, x_of(end), top + plot_h, (244, 244, 250))
        canvas.text(x_of(start) + 3, 2, str(index + 1))
    for ms in range(10, int(top_ms) + 1, 10):
        canvas.fill(left, y_of(ms), left + plot_w, y_of(ms) + 1, (215, 215, 215))
        canvas.text(4, y_of(ms) - 4, "%2d ms" % ms)
    for second in range(0, int(seconds) + 1, 10):
        canvas.fill(x_of(second), top, x_of(second) + 1, top + plot_h, (215, 215, 215))
        canvas.text(x_of(second) - 6, top + plot_h + 6, "%d s" % second if second else "0")
    for k, (mean, worst) in table.items():
        x0, x1 = x_of(k / 2.0), max(x_of(k / 2.0) + 1, x_of((k + 1) / 2.0))
        canvas.fill(x0, y_of(worst), x1, y_of(mean), (150, 170, 220))
        canvas.fill(x0, y_of(mean), x1, top + plot_h, (40, 60, 140))
    canvas.fill(left, y_of(SMOOTH_MS), left + plot_w, y_of(SMOOTH_MS) + 1, (220, 30, 30))
    canvas.text(left + plot_w - 40, y_of(SMOOTH_MS) - 14, "16.7", colour=(220, 30, 30))
    canvas.write_png(path)
