#!/usr/bin/env python3
"""Writes a minimal .xlsx workbook with one sheet, for the bank-plan reader's tests.

Usage: make_xlsx.py OUT.xlsx ROWS.json
ROWS.json is a list of rows; each cell is a string (a shared string), a number, or
{"date": "YYYY-MM-DD"} (a date serial with a date style), or null (no cell).
"""
import datetime
import json
import sys
import zipfile
from xml.sax.saxutils import escape

out, rows_file = sys.argv[1], sys.argv[2]
with open(rows_file, encoding="utf-8") as f:
    rows = json.load(f)

shared = []
def shared_index(text):
    if text not in shared:
        shared.append(text)
    return shared.index(text)

def column_name(index):
    name = ""
    index += 1
    while index:
        index, rest = divmod(index - 1, 26)
        name = chr(65 + rest) + name
    return name

sheet_rows = []
for r, row in enumerate(rows, start=1):
    cells = []
    for c, value in enumerate(row):
        ref = f"{column_name(c)}{r}"
        if value is None:
            continue
        if isinstance(value, str):
            cells.append(f'<c r="{ref}" t="s"><v>{shared_index(value)}</v></c>')
        elif isinstance(value, dict):
            day = datetime.date.fromisoformat(value["date"])
            serial = (day - datetime.date(1899, 12, 30)).days
            cells.append(f'<c r="{ref}" s="1"><v>{serial}</v></c>')
        else:
            cells.append(f'<c r="{ref}"><v>{value!r}</v></c>')
    sheet_rows.append(f'<row r="{r}">{"".join(cells)}</row>')

main = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
parts = {
    "[Content_Types].xml":
        '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'
        '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
        '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
        '<Default Extension="xml" ContentType="application/xml"/>'
        '<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>'
        '<Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>'
        '<Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/>'
        '<Override PartName="/xl/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"/>'
        '</Types>',
    "_rels/.rels":
        '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'
        '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
        '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>'
        '</Relationships>',
    "xl/workbook.xml":
        f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'
        f'<workbook xmlns="{main}" xmlns:r="{rel}"><sheets>'
        f'<sheet name="Piano" sheetId="1" r:id="rId1"/></sheets></workbook>',
    "xl/_rels/workbook.xml.rels":
        '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'
        '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
        '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>'
        '<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/>'
        '<Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>'
        '</Relationships>',
    "xl/styles.xml":
        f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'
        f'<styleSheet xmlns="{main}"><fonts count="1"><font/></fonts><fills count="1"><fill/></fills>'
        f'<borders count="1"><border/></borders><cellStyleXfs count="1"><xf/></cellStyleXfs>'
        f'<cellXfs count="2"><xf/><xf numFmtId="14" applyNumberFormat="1"/></cellXfs></styleSheet>',
    "xl/worksheets/sheet1.xml":
        f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'
        f'<worksheet xmlns="{main}"><sheetData>{"".join(sheet_rows)}</sheetData></worksheet>',
}
parts["xl/sharedStrings.xml"] = (
    f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'
    f'<sst xmlns="{main}" count="{len(shared)}" uniqueCount="{len(shared)}">'
    + "".join(f"<si><t>{escape(text)}</t></si>" for text in shared) + "</sst>")

with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as workbook:
    for name, text in parts.items():
        workbook.writestr(name, text)
