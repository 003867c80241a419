#!/usr/bin/env python3
"""Reads a PDF with pdftotext and prints, page by page (tab-separated), either
   page  <number>            then
   line  <text>              each non-empty line, layout kept, NFKC-normalised, blanks squeezed
or, with the argument "boxes",
   word  <xMin> <yMin> <xMax> <yMax> <text>   each word, in points from the page's top left;
or, with the argument "sizes", one line a page:
   size  <width> <height>    in points, as pdfinfo reads them."""
import html
import re
import subprocess
import sys
import unicodedata


def normal(text):
    return " ".join(unicodedata.normalize("NFKC", text).split())


if len(sys.argv) > 2 and sys.argv[2] == "sizes":
    out = subprocess.run(["pdfinfo", "-f", "1", "-l", "1000000", sys.argv[1]], check=True,
                         capture_output=True).stdout.decode("utf-8")
    for m in re.finditer(r"^Page +\d+ size: +([\d.]+) x ([\d.]+) pts", out, re.M):
        print("size\t%s\t%s" % (m.group(1), m.group(2)))
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
