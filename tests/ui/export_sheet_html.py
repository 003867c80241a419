#!/usr/bin/env python3
"""Prints the first sheet of an .xls file, as python3-xlrd reads it, as an HTML table that
looks like a spreadsheet: column letters, row numbers, grid lines, the stored column widths,
numbers shown with their cell's number format in the Italian convention.
Usage: export_sheet_html.py FILE.xls [ROWS]"""
import html
import sys

import xlrd


def italian(value, decimals, grouped):
    text = "{:,.{}f}".format(value, decimals) if grouped else "{:.{}f}".format(value, decimals)
    return text.replace(",", "_").replace(".", ",").replace("_", ".")


def shown(book, cell):
    fmt = book.format_map[book.xf_list[cell.xf_index].format_key].format_str
    if cell.ctype == xlrd.XL_CELL_DATE:
        y, m, d = xlrd.xldate_as_tuple(cell.value, book.datemode)[:3]
        return "%02d/%02d/%02d" % (d, m, y % 100), "right"
    if cell.ctype == xlrd.XL_CELL_NUMBER:
        if "0.00" in fmt:
            return italian(cell.value, 2, "#,##" in fmt), "right"
        text = repr(cell.value)
        return (text[:-2] if text.endswith(".0") else text).replace(".", ","), "right"
    return cell.value, "left"


book = xlrd.open_workbook(sys.argv[1], formatting_info=True)
sheet = book.sheet_by_index(0)
rows = min(sheet.nrows, int(sys.argv[2]) if len(sys.argv) > 2 else sheet.nrows)
columns = max(sheet.ncols, 8)
# A character of the default font is about 7 pixels; widths are stored in 1/256 characters.
widths = [int(sheet.colinfo_map[c].width / 256 * 7) if c in sheet.colinfo_map else 64
          for c in range(columns)]

out = ['<html><body style="font-family: sans-serif; font-size: 9pt">',
       '<p style="font-size: 11pt"><b>%s</b> &mdash; %s</p>'
       % (html.escape(sys.argv[1].split("/")[-1]), html.escape(sheet.name)),
       '<table border="1" cellspacing="0" cellpadding="2" style="border-color: #b0b0b0">',
       '<tr><td bgcolor="#e6e6e6" width="28"></td>']
for c in range(columns):
    out.append('<td bgcolor="#e6e6e6" align="center" width="%d">%s</td>'
               % (widths[c], chr(ord("A") + c)))
out.append("</tr>")
for r in range(rows):
    out.append('<tr><td bgcolor="#e6e6e6" align="center">%d</td>' % (r + 1))
    values = sheet.row(r)

    def empty(c):
        return c >= len(values) or values[c].ctype == xlrd.XL_CELL_EMPTY

    c = 0
    while c < columns:
        text, align = ("", "left") if empty(c) else shown(book, values[c])
        # A text runs on over the empty cells to its right, as a spreadsheet shows it.
        span = 1
        if text and align == "left":
            while c + span < columns and empty(c + span):
                span += 1
        out.append('<td colspan="%d" align="%s" style="white-space: nowrap">%s</td>'
                   % (span, align, html.escape(str(text)) or "&nbsp;"))
        c += span
    out.append("</tr>")
out.append("</table></body></html>")
print("\n".join(out))
