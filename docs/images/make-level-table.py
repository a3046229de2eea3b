#!/usr/bin/env python3
# Remakes the table of the shipped levels in docs/levels.md from `levels stats`.
#   build/brimvale-tool levels stats data/levels/*.txt > stats.txt
#   python3 docs/images/make-level-table.py stats.txt
# Each level's row takes its figures from the stats output and its idea (the
# comment line above its title) and needs line from data/levels/*.txt; the
# pages' lines and the thresholds are copied as the tool printed them.
import glob
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
DOC = os.path.join(ROOT, "docs", "levels.md")
START = "<!-- level table: made by docs/images/make-level-table.py -->"
END = "<!-- end of the level table -->"


def sources():
    levels = []
    for path in sorted(glob.glob(os.path.join(ROOT, "data", "levels", "*.txt"))):
        idea, needs, trap = "", "", False
        for line in open(path, encoding="utf-8"):
            line = line.rstrip("\n")
            if line.startswith(";"):
                idea = line[1:].strip()
            elif line.startswith("title "):
                levels.append({"title": line[6:], "idea": idea, "needs": "", "trap": False})
                idea = ""
            elif line.startswith("needs ") and levels:
                levels[-1]["needs"] = line[6:]
            elif line.startswith("trap ") and levels:
                levels[-1]["trap"] = True
            elif line.strip() == "":
                idea = ""
    return levels


def figures(path):
    rows, summary = [], []
    for line in open(path, encoding="utf-8"):
        line = line.rstrip("\n")
        m = re.match(r"^\s*(\d+) (.{20}) +(-?\d+) +(\d+) +(\S+) +(\S+) +(\S+) +(\S+) +(\d+) +(\d+) +(\d+) +(\d+) (\S+) +(\S+)", line)
        if m and not line.startswith("    "):
            rows.append(m.groups())
        elif line.startswith(("page ", "  used", "met:", "NOT met:", "  boards", "90 levels")) or re.match(r"^\d+ levels,", line):
            summary.append(line)
    return rows, summary


def number(text):
    plus = text.endswith("+")
    text = text.rstrip("+")
    return "{:,}".format(int(text)) + ("+" if plus else "")


def main():
    rows, summary = figures(sys.argv[1])
    levels = sources()
    if len(rows) != len(levels):
        sys.exit("the stats output has %d levels, the sources %d" % (len(rows), len(levels)))
    out = [START, "",
           "| # | picture | title | presses | states to the optimum | reachable states | dead states | dead floor | walking | needs | trap | idea |",
           "|---|---|---|---|---|---|---|---|---|---|---|---|"]
    for r, l in zip(rows, levels):
        n = int(r[0])
        out.append("| %d | ![](images/levels/%03d.png) | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s |" % (
            n, n, l["title"], r[2], number(r[3]), number(r[4]), r[5], r[12], r[13], l["needs"],
            "yes" if l["trap"] else "", l["idea"].rstrip(".")[:1].lower() + l["idea"].rstrip(".")[1:]))
    out += ["", "The pages and the set's thresholds, as `brimvale-tool levels stats data/levels/*.txt` printed them:",
            "", "```"] + summary + ["```", "", END]
    doc = open(DOC, encoding="utf-8").read()
    a, b = doc.index(START), doc.index(END) + len(END)
    open(DOC, "w", encoding="utf-8").write(doc[:a] + "\n".join(out) + doc[b:])


if __name__ == "__main__":
    main()
