#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace quotaplan {

// The cells of a table read from a data file (a CSV text, an .xls or .xlsx workbook's first
// sheet), as texts: a text cell as written, a number in its plain form ("1500.25", the
// shortest that reads back the same), an .xls date as "YYYY-MM-DD". Rows keep their 1-based
// line (CSV) or row number (workbooks) in the file; empty rows are left out.
struct SheetRow {
    int line = 0;
    std::vector<std::string> cells;
};
struct SheetCells {
    std::vector<SheetRow> rows;
};

// Why a file could not be read: the line (0: the file as a whole) and the Italian message.
struct SheetRefusal {
    int line = 0;
    std::string message;
};

using SheetContent = std::variant<SheetCells, SheetRefusal>;

// The fields of one CSV line split at `separator`, each trimmed of blanks and taken out of the
// double quotes a spreadsheet puts around it ("" inside quotes is one quote).
std::vector<std::string> CsvFields(std::string_view line, char separator);

// The separator of a CSV text: of ";", tab, "," and "|", the one that splits its first lines
// (up to ten) into the same number of fields, at least two, the most fields winning; ";" when
// none does.
char CsvSeparator(std::string_view text);

// The rows of a CSV text (DataLines: blank lines left out) split at its separator.
SheetCells ReadCsvText(std::string_view text);

// The first worksheet of an Excel 97-2003 workbook (FreeXL); a refusal naming the file when it
// cannot be opened or read.
SheetContent ReadXlsSheet(const std::filesystem::path& file);

// The first worksheet of an .xlsx workbook: the zip's xl/worksheets/sheet1.xml (or the first
// worksheet it holds) and its shared strings, read with Qt's XML stream reader. A refusal
// naming the file when it is no workbook.
SheetContent ReadXlsxSheet(const std::filesystem::path& file);

// Any of the three by the file's first bytes: a compound file is .xls, a zip .xlsx, anything
// else a CSV text in the data files' encodings (DataFileTextAsUtf8). Files above 64 MiB, and
// files that cannot be read, are refused with their name.
SheetContent ReadSheetFile(const std::filesystem::path& file);

}  // namespace quotaplan
