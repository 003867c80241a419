#!/usr/bin/env python3
"""Reads a PDF with pdftotext and prints, page by page (tab-separated), either
   page  <number>            then
   line  <text>              each non-empty line, layout kept, NFKC-normalised, blanks squeezed
or, with the argument "boxes",
   word  <xMin> <yMin> <xMax> <yMax> <text>   each word, in points from the page's top left;
or, with the argument "sizes", one line a page:
   size  <width> <height>    in points, as pdfinfo reads them;
or, with the argument "rules", one line a page:
   rules <count> <bottom>    the horizontal rules across most of the page's width, as
                             pdftoppm draws the page at 72 dpi, and the lowest one's height
                             in points from the top (-1 when none)."""
import glob
import html
import os
import re
import subprocess
import sys
import tempfile
import unicodedata


def normal(text):
    return " ".join(unicodedata.normalize("NFKC", text).split())


if len(sys.argv) > 2 and sys.argv[2] == "sizes":
    out = subprocess.run(["pdfinfo", "-f", "1", "-l", "1000000", sys.argv[1]], check=True,
                         capture_output=True).stdout.decode("utf-8")
    for m in re.finditer(r"^Page +\d+ size: +([\d.]+) x ([\d.]+) pts", out, re.M):
        print("size\t%s\t%s" % (m.group(1), m.group(2)))
    sys.exit(0)

def read_pgm(path):
    with open(path, "rb") as f:
        data = f.read()
    fields = []
    position = 0
    while len(fields) < 4:  # magic, width, height, maximum
        while data[position:position + 1].isspace():
            position += 1
        end = position
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[position:end])
        position = end
    assert fields[0] == b"P5"
    width, height = int(fields[1]), int(fields[2])
    return width, height, data[position + 1:]


if len(sys.argv) > 2 and sys.argv[2] == "rules":
    with tempfile.TemporaryDirectory() as folder:
        subprocess.run(["pdftoppm", "-gray", "-r", "72", sys.argv[1], os.path.join(folder, "p")],
                       check=True)
        for path in sorted(glob.glob(os.path.join(folder, "p-*.pgm")),
                           key=lambda name: int(re.search(r"-(\d+)\.pgm$", name).group(1))):
            width, height, pixels = read_pgm(path)
            rules, lowest, previous = 0, -1, False
            for y in range(height):
                row = pixels[y * width:(y + 1) * width]
                # A rule is drawn a hair wide, so it comes out light grey but across the page;
                # no line of text darkens more than half of it.
                dark = sum(1 for value in row if value < 250) > width * 0.7
                if dark and not previous:
                    rules += 1
                    lowest = y
                previous = dark
            print("rules\t%d\t%d" % (rules, lowest))
    sys.exit(0)

if len(sys.argv) > 2 and sys.argv[2] == "boxes":
    out = subprocess.run(["pdftotext", "-bbox", sys.argv[1], "-"], check=True,
                         capture_output=True).stdout.decode("utf-8")
    for page_number, page in enumerate(out.split("<page ")[1:], start=1):
        print("page\t%d" % page_number)
        for m in re.finditer(r'<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" '
                             r'yMax="([\d.]+)">(.*?)</word>', page):
            print("word\t%s\t%s\t%s\t%s\t%s" % (m.group(1), m.group(2), m.group(3), m.group(4),
                                                normal(html.unescape(m.group(5)))))
    sys.exit(0)

text = subprocess.run(["pdftotext", "-layout", "-enc", "UTF-8", sys.argv[1], "-"], check=True,
                      capture_output=True).stdout.decode("utf-8")
pages = text.split("\f")
if pages and not pages[-1].strip():
    pages.pop()
for number, page in enumerate(pages, start=1):
    print("page\t%d" % number)
    for line in page.splitlines():
        line = normal(line)
        if line:
            print("line\t" + line)
