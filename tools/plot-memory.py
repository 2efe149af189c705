#!/usr/bin/env python3
"""Draws the resident memory of a long run (the CSV the fault tests write: seconds,
resident_kib) as a line chart, SVG turned into PNG with rsvg-convert.

  tools/plot-memory.py memory.csv docs/memory-long-run.png [--title TEXT]
"""
import argparse
import csv
import subprocess

W, H, LEFT, RIGHT, TOP, BOTTOM = 900, 420, 80, 20, 40, 50


def nice_step(span, count):
    raw = span / count
    for step in (0.1, 0.2, 0.25, 0.5, 1, 2, 5, 10, 20, 25, 50, 100, 200, 250, 500, 1000, 2000, 5000):
        if step >= raw:
            return step
    return raw


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("csv")
    parser.add_argument("png")
    parser.add_argument("--title", default="Resident memory of a long run")
    args = parser.parse_args()
    with open(args.csv) as f:
        rows = [(float(r["seconds"]) / 60, int(r["resident_kib"]) / 1024) for r in csv.DictReader(f)]
    xs, ys = [r[0] for r in rows], [r[1] for r in rows]
    x_max = max(xs) or 1
    y_step = nice_step(max(ys) / 6, 1)
    y_max = (int(max(ys) / y_step) + 1) * y_step
    sx = lambda x: LEFT + (W - LEFT - RIGHT) * x / x_max
    sy = lambda y: H - BOTTOM - (H - TOP - BOTTOM) * y / y_max
    out = ['<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" font-family="sans-serif" font-size="12">' % (W, H),
           '<rect width="100%" height="100%" fill="white"/>',
           '<text x="%d" y="24" font-size="15">%s</text>' % (LEFT, args.title)]
    y = 0
    while y <= y_max:
        out.append('<line x1="%d" y1="%.1f" x2="%d" y2="%.1f" stroke="#ddd"/>' % (LEFT, sy(y), W - RIGHT, sy(y)))
        out.append('<text x="%d" y="%.1f" text-anchor="end">%g MiB</text>' % (LEFT - 6, sy(y) + 4, y))
        y += y_step
    x_step = nice_step(x_max, 8)
    x = 0
    while x <= x_max + 1e-9:
        out.append('<line x1="%.1f" y1="%d" x2="%.1f" y2="%d" stroke="#ddd"/>' % (sx(x), TOP, sx(x), H - BOTTOM))
        out.append('<text x="%.1f" y="%d" text-anchor="middle">%g</text>' % (sx(x), H - BOTTOM + 16, x))
        x += x_step
    out.append('<text x="%d" y="%d" text-anchor="middle">minutes</text>' % ((LEFT + W - RIGHT) // 2, H - 10))
    points = " ".join("%.1f,%.1f" % (sx(x), sy(y)) for x, y in rows)
    out.append('<polyline points="%s" fill="none" stroke="#1f6fb4" stroke-width="1.5"/>' % points)
    out.append("</svg>")
    subprocess.run(["rsvg-convert", "-o", args.png], input="\n".join(out).encode(), check=True)


if __name__ == "__main__":
    main()
