#!/usr/bin/env python3
"""Reads a PDF with pdftotext (layout kept) and prints, page by page (tab-separated):
   page  <number>
   line  <text of each non-empty line, NFKC-normalised, blanks squeezed>"""
import subprocess
import sys
import unicodedata

text = subprocess.run(["pdftotext", "-layout", "-enc", "UTF-8", sys.argv[1], "-"], check=True,
                      capture_output=True).stdout.decode("utf-8")
pages = text.split("\f")
if pages and not pages[-1].strip():
    pages.pop()
for number, page in enumerate(pages, start=1):
    print("page\t%d" % number)
    for line in page.splitlines():
        line = " ".join(unicodedata.normalize("NFKC", line).split())
        if line:
            print("line\t" + line)
