#!/usr/bin/env python3
"""Prints the first sheet of an .xls file as read by xlrd, one item a line (tab-separated):
   sheet  <name>  <nrows>  <ncols>
   cell   <row>  <col>  <type>  <format>  <value>   (dates as YYYY-MM-DD, numbers as repr)
   width  <col>  <width>
Texts have backslash, tab and newline escaped as \\\\, \\t and \\n."""
import sys

import xlrd


def escape(text):
    return text.replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n")


book = xlrd.open_workbook(sys.argv[1], formatting_info=True, ragged_rows=True)
sheet = book.sheet_by_index(0)
out = sys.stdout
out.write("sheet\t%s\t%d\t%d\n" % (escape(sheet.name), sheet.nrows, sheet.ncols))
for r in range(sheet.nrows):
    for c, cell in enumerate(sheet.row(r)):
        if cell.ctype == xlrd.XL_CELL_EMPTY:
            continue
        fmt = book.format_map[book.xf_list[cell.xf_index].format_key].format_str
        if cell.ctype == xlrd.XL_CELL_DATE:
            y, m, d = xlrd.xldate_as_tuple(cell.value, book.datemode)[:3]
            value = "%04d-%02d-%02d" % (y, m, d)
        elif cell.ctype == xlrd.XL_CELL_NUMBER:
            value = repr(cell.value)
        else:
            value = escape(cell.value)
        out.write("cell\t%d\t%d\t%d\t%s\t%s\n" % (r, c, cell.ctype, fmt, value))
for c, info in sorted(sheet.colinfo_map.items()):
    out.write("width\t%d\t%d\n" % (c, info.width))
