#include <array>

#include "common/data_lines.h"
#include "data/sheet_cells.h"

namespace quotaplan {
namespace {

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

}  // namespace

std::vector<std::string> CsvFields(std::string_view line, char separator) {
    std::vector<std::string> fields;
    std::string field;
    bool quoted = false;
    bool wasQuoted = false;
    for (std::size_t k = 0; k < line.size(); ++k) {
        const char c = line[k];
        if (quoted) {
            if (c == '"' && k + 1 < line.size() && line[k + 1] == '"') {
                field += '"';
                ++k;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"' && Trimmed(field).empty()) {
            field.clear();
            quoted = true;
            wasQuoted = true;
        } else if (c == separator) {
            fields.push_back(wasQuoted ? field : std::string(Trimmed(field)));
            field.clear();
            wasQuoted = false;
        } else if (!wasQuoted) {
            field += c;
        }
    }
    fields.push_back(wasQuoted ? field : std::string(Trimmed(field)));
    return fields;
}

char CsvSeparator(std::string_view text) {
    const auto lines = DataLines(text);
    char best = ';';
    std::size_t bestFields = 1;
    for (const char separator : std::array{';', '\t', ',', '|'}) {
        std::size_t fields = 0;
        bool even = true;
        for (std::size_t k = 0; k < lines.size() && k < 10 && even; ++k) {
            const std::size_t count = CsvFields(lines[k].text, separator).size();
            if (k == 0) fields = count;
            even = count == fields;
        }
        if (even && fields > bestFields) {
            best = separator;
            bestFields = fields;
        }
    }
    return best;
}

SheetCells ReadCsvText(std::string_view text) {
    const char separator = CsvSeparator(text);
    SheetCells sheet;
    for (const DataLine& line : DataLines(text)) {
        sheet.rows.push_back({line.number, CsvFields(line.text, separator)});
    }
    return sheet;
}

}  // namespace quotaplan
