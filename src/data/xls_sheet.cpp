#include <freexl.h>

#include <charconv>

#include "data/sheet_cells.h"

namespace quotaplan {
namespace {

// The shortest plain text that reads back as the same double ("659.96", "240"), never in
// exponent form.
std::string PlainNumber(double value) {
    char text[400];
    const auto written = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
    return std::string(text, written.ptr);
}

std::string CellText(const FreeXL_CellValue& cell) {
    switch (cell.type) {
        case FREEXL_CELL_INT:
            return std::to_string(cell.value.int_value);
        case FREEXL_CELL_DOUBLE:
            return PlainNumber(cell.value.double_value);
        case FREEXL_CELL_TEXT:
        case FREEXL_CELL_SST_TEXT:
        case FREEXL_CELL_DATE:
            return cell.value.text_value ? cell.value.text_value : "";
        case FREEXL_CELL_DATETIME:
            // "YYYY-MM-DD HH:MM:SS": the day is what a plan's due date holds.
            return cell.value.text_value ? std::string(cell.value.text_value).substr(0, 10) : "";
        default:
            return "";
    }
}

}  // namespace

SheetContent ReadXlsSheet(const std::filesystem::path& file) {
    const void* handle = nullptr;
    const SheetRefusal unreadable{0,
                                  "Impossibile leggere il foglio Excel \"" + file.string() + "\"."};
    const int opened = freexl_open(file.c_str(), &handle);
    // Closed even when the opening failed, as the library asks.
    struct Closer {
        const void* handle;
        ~Closer() {
            if (handle) freexl_close(handle);
        }
    } closer{handle};
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (opened != FREEXL_OK || freexl_select_active_worksheet(handle, 0) != FREEXL_OK ||
        freexl_worksheet_dimensions(handle, &rows, &columns) != FREEXL_OK) {
        return unreadable;
    }
    SheetCells sheet;
    for (unsigned int row = 0; row < rows; ++row) {
        SheetRow read{static_cast<int>(row) + 1, {}};
        bool empty = true;
        for (unsigned short column = 0; column < columns; ++column) {
            FreeXL_CellValue cell{};
            if (freexl_get_cell_value(handle, row, column, &cell) != FREEXL_OK) return unreadable;
            read.cells.push_back(CellText(cell));
            empty = empty && read.cells.back().empty();
        }
        if (!empty) sheet.rows.push_back(std::move(read));
    }
    return sheet;
}

}  // namespace quotaplan
