#!/usr/bin/env python3
"""Turns the HTML that unrtf makes of a document into lines (tab-separated):
   title  <document title>
   text   <text before the first table>
   td     <text of each table cell, in order>
Line breaks inside a text are written as \\n."""
import html.parser
import subprocess
import sys


class Reader(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.title, self.before, self.cells = "", "", []
        self.where = "body"

    def handle_starttag(self, tag, attrs):
        if tag == "title":
            self.where = "title"
        elif tag == "td":
            self.where = "td"
            self.cells.append("")
        elif tag == "table" and self.where == "body":
            self.where = "tables"
        elif tag == "br":
            self.add("\n")

    def handle_endtag(self, tag):
        if tag == "title":
            self.where = "body"

    def handle_data(self, data):
        self.add(data.replace("\n", ""))

    def add(self, text):
        if self.where == "title":
            self.title += text
        elif self.where == "body":
            self.before += text
        elif self.where == "td":
            self.cells[-1] += text


html_text = subprocess.run(["unrtf", "--html", sys.argv[1]], check=True,
                           capture_output=True).stdout.decode("utf-8")
reader = Reader()
reader.feed(html_text)
esc = lambda t: t.replace("\n", "\\n")
print("title\t" + esc(reader.title))
print("text\t" + esc(reader.before))
for cell in reader.cells:
    print("td\t" + esc(cell))
