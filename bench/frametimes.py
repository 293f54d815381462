"""Every frame's time over one run of the show, from the show's frame log
(VELMO_FRAME_LOG): per segment the median and the 99th percentile frame time
and the share of frames over 16.7 ms (a frame shown twice at 60 Hz) and
over 33.3 ms (a stutter), the twenty worst single frames with what was on
screen, and a plot of every frame, as a PNG written without any library
beyond Python's own."""

import harness

SMOOTH_MS = 1000.0 / 60.0
STUTTER_MS = 2000.0 / 60.0


def read_frame_log(path):
    """(demo time, frame ms) of every frame the log holds."""
    with open(path) as f:
        return [tuple(map(float, line.split())) for line in f if len(line.split()) == 2]


def percentile(sorted_ms, share):
    return sorted_ms[min(len(sorted_ms) - 1, int(share * len(sorted_ms)))]


def segment_figures(frames, start, end):
    """(frames, median, p99, worst, share over 16.7 ms, share over 33.3 ms)
    of the frames that drew a time in [start, end)."""
    inside = sorted(ms for t, ms in frames if start <= t < end)
    if not inside:
        return None
    n = len(inside)
    return (n, percentile(inside, 0.5), percentile(inside, 0.99), inside[-1],
            sum(ms > SMOOTH_MS for ms in inside) / n, sum(ms > STUTTER_MS for ms in inside) / n)


def print_report(frames, segments, plot_path, worst=20):
    name_at = lambda t: next((name for s, e, name in segments if s <= t < e), "the end")
    print("\nframe times per segment, every frame (ms)")
    print("  %-32s %7s %7s %7s %7s %8s %8s" % ("segment", "frames", "median", "p99", "worst", ">16.7", ">33.3"))
    for start, end, name in segments:
        figures = segment_figures(frames, start, end)
        if figures:
            n, median, p99, top, smooth, stutter = figures
            print("  %-32s %7d %7.2f %7.2f %7.1f %7.2f%% %7.2f%%" % (name, n, median, p99, top,
                                                                   100 * smooth, 100 * stutter))
    print("\nthe %d slowest frames" % worst)
    for t, ms in sorted(frames, key=lambda f: -f[1])[:worst]:
        print("  %7.3f s  %6.1f ms  (%s)" % (t, ms, name_at(t)))
    write_plot(plot_path, frames, segments)
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


def write_plot(path, frames, segments, width=1200, height=420, top_ms=50.0):
    """Every frame's time (a dot; frames over the top at the top edge)
    against show time, on the segments in alternating shades numbered as the
    report lists them; red is 16.7 ms (60 fps), orange 33.3 ms."""
    left, bottom, top = 44, 24, 16
    plot_w, plot_h = width - left - 8, height - bottom - top
    seconds = max(e for _, e, _ in segments)
    canvas = Canvas(width, height)
    x_of = lambda t: left + int(min(max(t, 0.0), seconds) / seconds * (plot_w - 1))
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
    for line_ms, colour, label in ((SMOOTH_MS, (220, 30, 30), "16.7"), (STUTTER_MS, (235, 140, 20), "33.3")):
        canvas.fill(left, y_of(line_ms), left + plot_w, y_of(line_ms) + 1, colour)
        canvas.text(left + plot_w - 40, y_of(line_ms) - 14, label, colour=colour)
    for t, ms in frames:
        x, y = x_of(t), y_of(ms)
        canvas.fill(x, y - 1, x + 2, y + 1, (40, 60, 140) if ms <= SMOOTH_MS else (200, 20, 20))
    canvas.write_png(path)
