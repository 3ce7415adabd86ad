#!/usr/bin/env python3
"""The chart of a run and of a merge is well-formed SVG with a win share and
its interval per seat and per bot, and a score curve per bot, each panel
scaled to its data.

Usage: check_svg.py PELLARO_SIM
"""
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

SVG = "{http://www.w3.org/2000/svg}"


def check(path, seats, bots):
    root = ElementTree.parse(path).getroot()
    problems = []
    if root.tag != SVG + "svg":
        problems.append(f"{path}: the root is {root.tag}, not svg")
    # A dot per seat, and per bot when the bots differ.
    shown = seats + (bots if bots > 1 else 0)
    dots = [c for c in root.iter(SVG + "circle") if c.get("class") == "share"]
    if len(dots) != shown:
        problems.append(f"{path}: {len(dots)} win shares for {shown}")
    intervals = [g for g in root.iter(SVG + "g") if g.get("class") == "interval"]
    if len(intervals) != shown:
        problems.append(f"{path}: {len(intervals)} intervals for {shown}")
    for interval in intervals:
        upright = next(interval.iter(SVG + "line"))
        if abs(float(upright.get("y1")) - float(upright.get("y2"))) < 14:
            problems.append(f"{path}: an interval too short to see")
    # Scaled to the data: the bots' shares spread over much of their panel.
    bot_heights = [float(c.get("cy")) for c in dots[seats:]]
    if bots > 1 and max(bot_heights) - min(bot_heights) < 60:
        problems.append(f"{path}: the bots' shares lie within {bot_heights}")
    curves = list(root.iter(SVG + "polyline"))
    if len(curves) != bots:
        problems.append(f"{path}: {len(curves)} score curves for {bots} bots")
    for curve in curves:
        xs = [float(point.split(",")[0]) for point in curve.get("points").split()]
        if not 20 <= len(xs) <= 168 or min(xs) < 90 or max(xs) > 800:
            problems.append(f"{path}: a curve of {len(xs)} points from {min(xs)} to {max(xs)}")
    texts = "".join(t.text or "" for t in root.iter(SVG + "text"))
    for words in ("Seat 1", "Seat 3", "reads the deck", "fair 33.3%"):
        if words not in texts:
            problems.append(f"{path}: no text '{words}'")
    return problems


def main():
    program = sys.argv[1]
    with tempfile.TemporaryDirectory() as folder:
        run = [program, "run", "--bots", "greedy,random,clairvoyant", "--budget", "2",
               "--games", "30", "--quiet", "--svg", f"{folder}/run.svg",
               "--json", f"{folder}/run.json"]
        merge = [program, "merge", f"{folder}/run.json", "--svg", f"{folder}/merge.svg"]
        for command in (run, merge):
            subprocess.run(command, check=True, stdout=subprocess.DEVNULL)
        problems = check(f"{folder}/run.svg", 3, 3) + check(f"{folder}/merge.svg", 3, 3)
    for problem in problems:
        print("FAIL:", problem)
    if not problems:
        print("both charts are well-formed SVG")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
