#!/usr/bin/env python3
"""The chart of a run and of a merge is well-formed SVG with a bar per seat
and a score curve per bot.

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
    bars = [r for r in root.iter(SVG + "rect") if r.get("fill") == "#6baed6"]
    if len(bars) != seats:
        problems.append(f"{path}: {len(bars)} bars for {seats} seats")
    curves = list(root.iter(SVG + "polyline"))
    if len(curves) != bots:
        problems.append(f"{path}: {len(curves)} score curves for {bots} bots")
    for curve in curves:
        points = curve.get("points").split()
        if len(points) != 168:
            problems.append(f"{path}: a curve of {len(points)} points, not 168")
    texts = "".join(t.text or "" for t in root.iter(SVG + "text"))
    for words in ("Seat 1", "Seat 3", "reads the deck", "fair share"):
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
