#!/usr/bin/env python3
"""Reads one stream of a compound file with xlrd's own compound-document reader and prints
its length and whether its bytes equal those of a reference file."""
import sys

from xlrd import compdoc

with open(sys.argv[1], "rb") as f:
    doc = compdoc.CompDoc(f.read(), logfile=sys.stderr)
data = doc.get_named_stream(sys.argv[2])
with open(sys.argv[3], "rb") as f:
    expected = f.read()
if data is None:
    print("missing")
else:
    print(len(data), "equal" if data == expected else "different")
