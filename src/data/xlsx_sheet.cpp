#include <unzip.h>

#include <QByteArray>
#include <QLatin1String>
#include <QXmlStreamReader>
#include <optional>

#include "data/sheet_cells.h"

namespace quotaplan {
namespace {

// A workbook's parts are small; a part beyond this is no plan.
constexpr uLong kLargestPart = 64UL * 1024 * 1024;

class ZipArchive {
public:
    explicit ZipArchive(const std::filesystem::path& file) : zip_(unzOpen64(file.c_str())) {}
    ~ZipArchive() {
        if (zip_) unzClose(zip_);
    }
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;
    bool IsOpen() const { return zip_ != nullptr; }

    // The whole entry, or nullopt when the zip lacks it or it cannot be inflated.
    std::optional<QByteArray> Entry(const char* name) {
        if (unzLocateFile(zip_, name, 1) != UNZ_OK) return std::nullopt;
        unz_file_info64 info{};
        if (unzGetCurrentFileInfo64(zip_, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK ||
            info.uncompressed_size > kLargestPart || unzOpenCurrentFile(zip_) != UNZ_OK) {
            return std::nullopt;
        }
        QByteArray bytes(static_cast<qsizetype>(info.uncompressed_size), '\0');
        const int read =
            unzReadCurrentFile(zip_, bytes.data(), static_cast<unsigned>(bytes.size()));
        const bool whole = unzCloseCurrentFile(zip_) == UNZ_OK && read == bytes.size();
        if (!whole) return std::nullopt;
        return bytes;
    }

    // The name of the first entry under xl/worksheets/ ending in .xml, or "".
    std::string FirstWorksheet() {
        std::string first;
        for (int status = unzGoToFirstFile(zip_); status == UNZ_OK;
             status = unzGoToNextFile(zip_)) {
            char name[512];
            if (unzGetCurrentFileInfo64(zip_, nullptr, name, sizeof name, nullptr, 0, nullptr, 0) !=
                UNZ_OK) {
                break;
            }
            const std::string entry(name);
            if (entry.rfind("xl/worksheets/sheet", 0) == 0 && entry.ends_with(".xml") &&
                (first.empty() || entry < first)) {
                first = entry;
            }
        }
        return first;
    }

private:
    unzFile zip_;
};

// The shared strings: each <si>'s texts (<t>, rich runs included) joined.
std::vector<std::string> SharedStrings(const QByteArray& xml) {
    std::vector<std::string> strings;
    QXmlStreamReader reader(xml);
    std::string current;
    bool inItem = false;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.name() == u"si") {
            inItem = true;
            current.clear();
        } else if (reader.isStartElement() && reader.name() == u"t" && inItem) {
            current += reader.readElementText().toStdString();
        } else if (reader.isEndElement() && reader.name() == u"si") {
            strings.push_back(current);
            inItem = false;
        }
    }
    return strings;
}

// The 0-based column of a cell reference ("C12" -> 2); -1 when it has no letters.
int ColumnOf(QStringView reference) {
    int column = 0;
    int letters = 0;
    for (const QChar c : reference) {
        if (c < u'A' || c > u'Z') break;
        column = column * 26 + (c.unicode() - u'A' + 1);
        ++letters;
    }
    return letters == 0 ? -1 : column - 1;
}

// The rows of sheetN.xml; nullopt when the XML is broken.
std::optional<SheetCells> SheetRows(const QByteArray& xml, const std::vector<std::string>& shared) {
    SheetCells sheet;
    QXmlStreamReader reader(xml);
    SheetRow row;
    int nextRow = 1;
    int nextColumn = 0;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.name() == u"row") {
            const auto number = reader.attributes().value(QLatin1String("r")).toInt();
            row = SheetRow{number > 0 ? number : nextRow, {}};
            nextRow = row.line + 1;
            nextColumn = 0;
        } else if (reader.isEndElement() && reader.name() == u"row") {
            bool empty = true;
            for (const auto& cell : row.cells) empty = empty && cell.empty();
            if (!empty) sheet.rows.push_back(std::move(row));
            row = SheetRow{};
        } else if (reader.isStartElement() && reader.name() == u"c") {
            const auto attributes = reader.attributes();
            const int column = attributes.hasAttribute(QLatin1String("r"))
                                   ? ColumnOf(attributes.value(QLatin1String("r")))
                                   : nextColumn;
            const QString type = attributes.value(QLatin1String("t")).toString();
            std::string text;
            while (!(reader.isEndElement() && reader.name() == u"c") && !reader.atEnd()) {
                reader.readNext();
                if (reader.isStartElement() && (reader.name() == u"v" || reader.name() == u"t")) {
                    text += reader.readElementText().toStdString();
                }
            }
            if (type == u"s") {
                const auto index = std::strtoul(text.c_str(), nullptr, 10);
                text = index < shared.size() ? shared[index] : std::string();
            }
            if (column >= 0 && column < 16384) {
                if (row.cells.size() <= static_cast<std::size_t>(column)) {
                    row.cells.resize(static_cast<std::size_t>(column) + 1);
                }
                row.cells[static_cast<std::size_t>(column)] = text;
                nextColumn = column + 1;
            }
        }
    }
    if (reader.hasError()) return std::nullopt;
    return sheet;
}

}  // namespace

SheetContent ReadXlsxSheet(const std::filesystem::path& file) {
    const SheetRefusal unreadable{0,
                                  "Impossibile leggere il foglio Excel \"" + file.string() + "\"."};
    ZipArchive zip(file);
    if (!zip.IsOpen()) return unreadable;
    auto sheetXml = zip.Entry("xl/worksheets/sheet1.xml");
    if (!sheetXml) {
        const std::string first = zip.FirstWorksheet();
        if (first.empty()) return unreadable;
        sheetXml = zip.Entry(first.c_str());
        if (!sheetXml) return unreadable;
    }
    std::vector<std::string> shared;
    if (const auto strings = zip.Entry("xl/sharedStrings.xml")) shared = SharedStrings(*strings);
    auto rows = SheetRows(*sheetXml, shared);
    if (!rows) return unreadable;
    return std::move(*rows);
}

}  // namespace quotaplan
