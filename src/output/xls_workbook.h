#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/calendar_date.h"

namespace quotaplan {

// How a number cell is shown.
enum class XlsNumberFormat {
    General,  // as the spreadsheet shows any number
    Amount,   // "#,##0.00"
    Rate,     // "0.00"
    Date,     // "dd/mm/yy": the number is a date serial
};

// One worksheet of an Excel 97-2003 workbook: text and number cells and column widths.
// Rows and columns count from 0; at most 65,536 rows and 256 columns.
class XlsSheet {
public:
    static constexpr int kMaxRows = 65536;
    static constexpr int kMaxColumns = 256;
    // The longest text a cell holds, in UTF-16 units; longer texts are cut there.
    static constexpr std::size_t kMaxTextLength = 32767;

    explicit XlsSheet(std::string name) : name_(std::move(name)) {}

    // Each setter replaces what the cell held. Throws std::out_of_range outside the sheet.
    // An empty text leaves the cell empty, as a spreadsheet does with an empty entry.
    void SetText(int row, int column, std::string utf8);
    void SetNumber(int row, int column, double value,
                   XlsNumberFormat format = XlsNumberFormat::General);
    void SetDate(int row, int column, CalendarDate date);

    // Width of columns first..last in 1/256 of the width of the digit "0" of the default
    // font, padding included (see XlsColumnWidth).
    void SetColumnWidth(int first, int last, std::uint16_t width);

    struct Cell {
        std::uint16_t column = 0;
        bool isText = false;
        std::string text;  // UTF-8
        double number = 0;
        XlsNumberFormat format = XlsNumberFormat::General;
    };
    struct ColumnWidth {
        std::uint16_t first = 0;
        std::uint16_t last = 0;
        std::uint16_t width = 0;
    };

    const std::string& Name() const { return name_; }
    // Rows()[r] holds the cells of row r ordered by column.
    const std::vector<std::vector<Cell>>& Rows() const { return rows_; }
    const std::vector<ColumnWidth>& ColumnWidths() const { return widths_; }

private:
    Cell& At(int row, int column);

    std::string name_;
    std::vector<std::vector<Cell>> rows_;
    std::vector<ColumnWidth> widths_;
};

// The stored width of a column that shows `characters` digits of the default font (Arial
// 10, 7-pixel digits, 5 pixels of padding): the value a spreadsheet stores when its
// column width is set to `characters`. XlsColumnWidth(10) is 2742.
std::uint16_t XlsColumnWidth(double characters);

// The bytes of an .xls file (BIFF8 workbook in a compound file) holding the one sheet.
std::string BuildXlsWorkbook(const XlsSheet& sheet);

}  // namespace quotaplan
