#include "output/xls_workbook.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string_view>
#include <unordered_map>

#include "output/compound_file.h"
#include "output/cp1252.h"
#include "output/little_endian.h"

namespace quotaplan {

namespace {

// Record types of the BIFF8 format.
enum Record : std::uint16_t {
    kEof = 0x000A,
    kCalcCount = 0x000C,
    kCalcMode = 0x000D,
    kPrecision = 0x000E,
    kRefMode = 0x000F,
    kDelta = 0x0010,
    kIteration = 0x0011,
    kProtect = 0x0012,
    kPassword = 0x0013,
    kHeader = 0x0014,
    kFooter = 0x0015,
    kWindowProtect = 0x0019,
    kDateMode = 0x0022,
    kPrintHeaders = 0x002A,
    kPrintGridlines = 0x002B,
    kFont = 0x0031,
    kContinue = 0x003C,
    kWindow1 = 0x003D,
    kBackup = 0x0040,
    kCodePage = 0x0042,
    kWriteAccess = 0x005C,
    kSaveRecalc = 0x005F,
    kObjProtect = 0x0063,
    kColInfo = 0x007D,
    kGuts = 0x0080,
    kWsBool = 0x0081,
    kGridSet = 0x0082,
    kHCenter = 0x0083,
    kVCenter = 0x0084,
    kBoundSheet = 0x0085,
    kCountry = 0x008C,
    kHideObj = 0x008D,
    kFnGroupCount = 0x009C,
    kMms = 0x00C1,
    kBookBool = 0x00DA,
    kXf = 0x00E0,
    kInterfaceHdr = 0x00E1,
    kInterfaceEnd = 0x00E2,
    kSst = 0x00FC,
    kLabelSst = 0x00FD,
    kExtSst = 0x00FF,
    kTabId = 0x013D,
    kDsf = 0x0161,
    kProt4Rev = 0x01AF,
    kRefreshAll = 0x01B7,
    kProt4RevPass = 0x01BC,
    kDimensions = 0x0200,
    kNumber = 0x0203,
    kRow = 0x0208,
    kDefaultRowHeight = 0x0225,
    kWindow2 = 0x023E,
    kStyle = 0x0293,
    kFormat = 0x041E,
    kBof = 0x0809,
};

// The most data bytes one record may carry; longer data continues in CONTINUE records.
constexpr std::size_t kMaxRecordData = 8224;

// Cell formats: 15 style formats and the default cell format come first, as spreadsheets
// expect; the program's own formats follow.
constexpr std::uint16_t kDefaultCellXf = 15;
constexpr std::uint16_t kDateFormatIndex = 164;  // first index free for own formats

std::uint16_t XfOf(XlsNumberFormat format) {
    switch (format) {
        case XlsNumberFormat::General:
            return kDefaultCellXf;
        case XlsNumberFormat::Date:
            return 16;
        case XlsNumberFormat::Amount:
            return 17;
        case XlsNumberFormat::Rate:
            return 18;
    }
    return kDefaultCellXf;
}

void PutRecord(std::string& out, std::uint16_t type, std::string_view data) {
    PutU16(out, type);
    PutU16(out, static_cast<std::uint16_t>(data.size()));
    out.append(data);
}

std::string U16s(std::initializer_list<std::uint16_t> values) {
    std::string data;
    for (std::uint16_t v : values) PutU16(data, v);
    return data;
}

// UTF-8 text as UTF-16 units, cut at the cell limit.
std::u16string ToUtf16(std::string_view utf8) {
    std::u16string out;
    for (char32_t c : DecodeUtf8(utf8)) {
        if (c >= 0x10000) {
            if (out.size() + 2 > XlsSheet::kMaxTextLength) break;
            c -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            if (out.size() + 1 > XlsSheet::kMaxTextLength) break;
            out.push_back(static_cast<char16_t>(c));
        }
    }
    return out;
}

bool FitsInOneByte(const std::u16string& text) {
    return std::all_of(text.begin(), text.end(), [](char16_t c) { return c <= 0xFF; });
}

void PutUnits(std::string& out, const std::u16string& text, std::size_t from, std::size_t to,
              bool wide) {
    for (std::size_t i = from; i < to; ++i) {
        if (wide) {
            PutU16(out, text[i]);
        } else {
            PutU8(out, static_cast<std::uint8_t>(text[i]));
        }
    }
}

// A text with a 16-bit length (XLUnicodeString).
std::string UnicodeString16(const std::u16string& text) {
    std::string data;
    const bool wide = !FitsInOneByte(text);
    PutU16(data, static_cast<std::uint16_t>(text.size()));
    PutU8(data, wide ? 1 : 0);
    PutUnits(data, text, 0, text.size(), wide);
    return data;
}

// A text with an 8-bit length (ShortXLUnicodeString), at most 255 units.
std::string UnicodeString8(std::u16string text) {
    text.resize(std::min<std::size_t>(text.size(), 255));
    std::string data;
    const bool wide = !FitsInOneByte(text);
    PutU8(data, static_cast<std::uint8_t>(text.size()));
    PutU8(data, wide ? 1 : 0);
    PutUnits(data, text, 0, text.size(), wide);
    return data;
}

// The shared-string table: SST then its CONTINUE records, and the EXTSST index, written at
// `out`'s end. A string never splits inside its 3-byte header; when its characters run past
// a record, the rest continues after a one-byte option field, as the format requires.
void PutSharedStrings(std::string& out, const std::vector<std::u16string>& strings,
                      std::uint32_t totalReferences) {
    const std::size_t perBucket = std::max<std::size_t>(8, (strings.size() + 127) / 128);
    struct BucketStart {
        std::uint32_t streamPos;
        std::uint16_t recordOffset;
    };
    std::vector<BucketStart> buckets;

    std::size_t recordStart = out.size();
    auto beginRecord = [&](std::uint16_t type) {
        recordStart = out.size();
        PutU16(out, type);
        PutU16(out, 0);
    };
    auto used = [&] { return out.size() - recordStart - 4; };
    auto endRecord = [&] { PutU16At(out, recordStart + 2, static_cast<std::uint16_t>(used())); };

    beginRecord(kSst);
    PutU32(out, totalReferences);
    PutU32(out, static_cast<std::uint32_t>(strings.size()));
    for (std::size_t s = 0; s < strings.size(); ++s) {
        const std::u16string& text = strings[s];
        const bool wide = !FitsInOneByte(text);
        const std::size_t unitSize = wide ? 2 : 1;
        const std::size_t headerRoom = text.empty() ? 3 : 3 + unitSize;
        if (used() + headerRoom > kMaxRecordData) {
            endRecord();
            beginRecord(kContinue);
        }
        if (s % perBucket == 0) {
            buckets.push_back({static_cast<std::uint32_t>(out.size()),
                               static_cast<std::uint16_t>(out.size() - recordStart)});
        }
        PutU16(out, static_cast<std::uint16_t>(text.size()));
        PutU8(out, wide ? 1 : 0);
        std::size_t done = 0;
        while (done < text.size()) {
            const std::size_t room = (kMaxRecordData - used()) / unitSize;
            const std::size_t take = std::min(room, text.size() - done);
            PutUnits(out, text, done, done + take, wide);
            done += take;
            if (done < text.size()) {
                endRecord();
                beginRecord(kContinue);
                PutU8(out, wide ? 1 : 0);
            }
        }
    }
    endRecord();

    std::string index;
    PutU16(index, static_cast<std::uint16_t>(perBucket));
    for (const BucketStart& bucket : buckets) {
        PutU32(index, bucket.streamPos);
        PutU16(index, bucket.recordOffset);
        PutU16(index, 0);
    }
    PutRecord(out, kExtSst, index);
}

std::string Bof(std::uint16_t kind) {
    std::string data = U16s({0x0600, kind, 0x0DBB, 0x07CC});
    PutU32(data, 0x00000000);
    PutU32(data, 0x00000006);
    return data;
}

std::string Font() {
    std::string data = U16s({200, 0, 0x7FFF, 400, 0});  // 10 pt, plain, automatic colour
    PutU8(data, 0);                                     // no underline
    PutU8(data, 0);                                     // family
    PutU8(data, 0);                                     // character set
    PutU8(data, 0);
    data += UnicodeString8(u"Arial");
    return data;
}

std::string Xf(std::uint16_t font, std::uint16_t format, bool style, std::uint8_t usedAttributes) {
    std::string data = U16s({font, format, static_cast<std::uint16_t>(style ? 0xFFF5 : 0x0001)});
    PutU8(data, 0x20);  // bottom-aligned, general horizontal alignment
    PutU8(data, 0);
    PutU8(data, 0);
    PutU8(data, usedAttributes);
    PutU32(data, 0);
    PutU32(data, 0);
    PutU16(data, 0x20C0);  // automatic pattern colours
    return data;
}

std::string WriteAccess() {
    std::string data = UnicodeString16(u"Quotaplan");
    data.resize(112, ' ');
    return data;
}

struct GlobalsLayout {
    std::string bytes;
    std::size_t boundSheetOffsetAt = 0;  // where the sheet's stream position goes
};

GlobalsLayout Globals(const XlsSheet& sheet, const std::vector<std::u16string>& strings,
                      std::uint32_t references) {
    GlobalsLayout layout;
    std::string& out = layout.bytes;
    PutRecord(out, kBof, Bof(0x0005));
    PutRecord(out, kInterfaceHdr, U16s({1200}));
    PutRecord(out, kMms, U16s({0}));
    PutRecord(out, kInterfaceEnd, "");
    PutRecord(out, kWriteAccess, WriteAccess());
    PutRecord(out, kCodePage, U16s({1200}));
    PutRecord(out, kDsf, U16s({0}));
    PutRecord(out, kTabId, U16s({1}));
    PutRecord(out, kFnGroupCount, U16s({14}));
    PutRecord(out, kWindowProtect, U16s({0}));
    PutRecord(out, kProtect, U16s({0}));
    PutRecord(out, kObjProtect, U16s({0}));
    PutRecord(out, kPassword, U16s({0}));
    PutRecord(out, kProt4Rev, U16s({0}));
    PutRecord(out, kProt4RevPass, U16s({0}));
    PutRecord(out, kBackup, U16s({0}));
    PutRecord(out, kHideObj, U16s({0}));
    PutRecord(out, kWindow1, U16s({0, 0, 0x4000, 0x2000, 0x0038, 0, 0, 1, 0x0258}));
    PutRecord(out, kDateMode, U16s({0}));
    PutRecord(out, kPrecision, U16s({1}));
    PutRecord(out, kRefreshAll, U16s({0}));
    PutRecord(out, kBookBool, U16s({0}));
    for (int i = 0; i < 4; ++i) PutRecord(out, kFont, Font());
    PutRecord(out, kFormat, U16s({kDateFormatIndex}) + UnicodeString16(u"dd/mm/yy"));
    for (int i = 0; i < 15; ++i) {
        PutRecord(out, kXf, Xf(i == 0 ? 0 : 1, 0, true, i == 0 ? 0x00 : 0xF4));
    }
    PutRecord(out, kXf, Xf(0, 0, false, 0x00));                 // 15 default cell
    PutRecord(out, kXf, Xf(0, kDateFormatIndex, false, 0x04));  // 16 date
    PutRecord(out, kXf, Xf(0, 4, false, 0x04));                 // 17 "#,##0.00"
    PutRecord(out, kXf, Xf(0, 2, false, 0x04));                 // 18 "0.00"
    PutRecord(out, kStyle, U16s({0x8000, 0xFF00}));             // built-in "Normal"
    std::string boundSheet;
    PutU32(boundSheet, 0);
    PutU16(boundSheet, 0);  // visible worksheet
    boundSheet += UnicodeString8(ToUtf16(sheet.Name()));
    layout.boundSheetOffsetAt = out.size() + 4;
    PutRecord(out, kBoundSheet, boundSheet);
    PutRecord(out, kCountry, U16s({39, 39}));
    PutSharedStrings(out, strings, references);
    PutRecord(out, kEof, "");
    return layout;
}

std::string SheetStream(const XlsSheet& sheet,
                        const std::unordered_map<std::string, std::uint32_t>& stringIndex) {
    std::string out;
    const auto& rows = sheet.Rows();
    PutRecord(out, kBof, Bof(0x0010));
    PutRecord(out, kCalcMode, U16s({1}));
    PutRecord(out, kCalcCount, U16s({100}));
    PutRecord(out, kRefMode, U16s({1}));
    PutRecord(out, kIteration, U16s({0}));
    std::string delta;
    PutF64(delta, 0.001);
    PutRecord(out, kDelta, delta);
    PutRecord(out, kSaveRecalc, U16s({1}));
    PutRecord(out, kPrintHeaders, U16s({0}));
    PutRecord(out, kPrintGridlines, U16s({0}));
    PutRecord(out, kGridSet, U16s({1}));
    PutRecord(out, kGuts, U16s({0, 0, 0, 0}));
    PutRecord(out, kDefaultRowHeight, U16s({0, 0x00FF}));
    PutRecord(out, kWsBool, U16s({0x04C1}));
    PutRecord(out, kHeader, "");
    PutRecord(out, kFooter, "");
    PutRecord(out, kHCenter, U16s({0}));
    PutRecord(out, kVCenter, U16s({0}));
    for (const XlsSheet::ColumnWidth& width : sheet.ColumnWidths()) {
        PutRecord(out, kColInfo,
                  U16s({width.first, width.last, width.width, kDefaultCellXf, 0, 0}));
    }

    std::uint32_t firstRow = 0, lastRow = 0;
    std::uint16_t firstColumn = 0, lastColumn = 0;
    bool any = false;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (rows[r].empty()) continue;
        if (!any) firstRow = static_cast<std::uint32_t>(r), firstColumn = rows[r].front().column;
        any = true;
        lastRow = static_cast<std::uint32_t>(r + 1);
        firstColumn = std::min(firstColumn, rows[r].front().column);
        lastColumn = std::max<std::uint16_t>(lastColumn, rows[r].back().column + 1);
    }
    std::string dimensions;
    PutU32(dimensions, firstRow);
    PutU32(dimensions, lastRow);
    dimensions += U16s({firstColumn, lastColumn, 0});
    PutRecord(out, kDimensions, dimensions);

    // Rows go in blocks of 32: the ROW records of the block, then the block's cells.
    for (std::size_t blockStart = 0; blockStart < rows.size(); blockStart += 32) {
        const std::size_t blockEnd = std::min(rows.size(), blockStart + 32);
        for (std::size_t r = blockStart; r < blockEnd; ++r) {
            if (rows[r].empty()) continue;
            std::string row =
                U16s({static_cast<std::uint16_t>(r), rows[r].front().column,
                      static_cast<std::uint16_t>(rows[r].back().column + 1), 0x00FF, 0, 0});
            PutU32(row, 0x000F0100);
            PutRecord(out, kRow, row);
        }
        for (std::size_t r = blockStart; r < blockEnd; ++r) {
            for (const XlsSheet::Cell& cell : rows[r]) {
                if (cell.isText) {
                    std::string data =
                        U16s({static_cast<std::uint16_t>(r), cell.column, kDefaultCellXf});
                    PutU32(data, stringIndex.at(cell.text));
                    PutRecord(out, kLabelSst, data);
                } else {
                    std::string data =
                        U16s({static_cast<std::uint16_t>(r), cell.column, XfOf(cell.format)});
                    PutF64(data, cell.number);
                    PutRecord(out, kNumber, data);
                }
            }
        }
    }

    std::string window2 = U16s({0x06B6, 0, 0, 64, 0, 0, 0});
    PutU32(window2, 0);
    PutRecord(out, kWindow2, window2.substr(0, 18));
    PutRecord(out, kEof, "");
    return out;
}

}  // namespace

XlsSheet::Cell& XlsSheet::At(int row, int column) {
    if (row < 0 || row >= kMaxRows || column < 0 || column >= kMaxColumns) {
        throw std::out_of_range("cella fuori dal foglio");
    }
    if (static_cast<std::size_t>(row) >= rows_.size()) rows_.resize(row + 1);
    auto& cells = rows_[row];
    auto it = std::lower_bound(cells.begin(), cells.end(), column,
                               [](const Cell& cell, int c) { return cell.column < c; });
    if (it == cells.end() || it->column != column) {
        Cell cell;
        cell.column = static_cast<std::uint16_t>(column);
        it = cells.insert(it, cell);
    }
    return *it;
}

void XlsSheet::SetText(int row, int column, std::string utf8) {
    if (utf8.empty()) {
        At(row, column);  // validates the position
        auto& cells = rows_[row];
        cells.erase(std::remove_if(cells.begin(), cells.end(),
                                   [&](const Cell& cell) { return cell.column == column; }),
                    cells.end());
        return;
    }
    Cell& cell = At(row, column);
    cell.isText = true;
    cell.text = std::move(utf8);
}

void XlsSheet::SetNumber(int row, int column, double value, XlsNumberFormat format) {
    Cell& cell = At(row, column);
    cell.isText = false;
    cell.text.clear();
    cell.number = value;
    cell.format = format;
}

void XlsSheet::SetDate(int row, int column, CalendarDate date) {
    SetNumber(row, column, date.Serial(), XlsNumberFormat::Date);
}

void XlsSheet::SetColumnWidth(int first, int last, std::uint16_t width) {
    if (first < 0 || last < first || last >= kMaxColumns) {
        throw std::out_of_range("colonna fuori dal foglio");
    }
    widths_.push_back({static_cast<std::uint16_t>(first), static_cast<std::uint16_t>(last), width});
}

std::uint16_t XlsColumnWidth(double characters) {
    constexpr double kDigitPixels = 7, kPaddingPixels = 5;
    const double width =
        std::floor((characters * kDigitPixels + kPaddingPixels) / kDigitPixels * 256);
    return static_cast<std::uint16_t>(std::clamp(width, 0.0, 65535.0));
}

std::string BuildXlsWorkbook(const XlsSheet& sheet) {
    std::vector<std::u16string> strings;
    std::unordered_map<std::string, std::uint32_t> stringIndex;
    std::uint32_t references = 0;
    for (const auto& row : sheet.Rows()) {
        for (const XlsSheet::Cell& cell : row) {
            if (!cell.isText) continue;
            ++references;
            if (stringIndex.emplace(cell.text, static_cast<std::uint32_t>(strings.size())).second) {
                strings.push_back(ToUtf16(cell.text));
            }
        }
    }
    GlobalsLayout globals = Globals(sheet, strings, references);
    PutU32At(globals.bytes, globals.boundSheetOffsetAt,
             static_cast<std::uint32_t>(globals.bytes.size()));
    std::string workbook = std::move(globals.bytes);
    workbook += SheetStream(sheet, stringIndex);
    return BuildCompoundFile({CompoundStream{u"Workbook", std::move(workbook)}});
}

}  // namespace quotaplan
