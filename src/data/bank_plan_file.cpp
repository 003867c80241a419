#include "data/bank_plan_file.h"

#include <algorithm>

#include "common/data_lines.h"
#include "common/name_key.h"
#include "common/number_text.h"

namespace quotaplan {
namespace {

constexpr const char* kNothingRead = " Nessuna riga importata.";

struct ColumnName {
    const char* name;
    BankColumn column;
    const char* caption;
};
constexpr ColumnName kColumnNames[] = {
    {"-", BankColumn::Skip, "(non usata)"},
    {"N", BankColumn::Number, "N."},
    {"SCADENZA", BankColumn::DueDate, "Scadenza"},
    {"RATA", BankColumn::Instalment, "Rata"},
    {"CAPITALE", BankColumn::Capital, "Quota capitale"},
    {"INTERESSI", BankColumn::Interest, "Quota interessi"},
    {"RESIDUO", BankColumn::Residual, "Debito residuo"},
};

bool HasDigit(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool Contains(const std::string& text, std::string_view part) {
    return text.find(part) != std::string::npos;
}

// The column a header caption names, by its folded words; Skip when none.
BankColumn ColumnOfCaption(const std::string& caption) {
    const std::string key = NameKey(caption);
    if (key.empty()) return BankColumn::Skip;
    if (Contains(key, "residu")) return BankColumn::Residual;
    if (Contains(key, "interess")) return BankColumn::Interest;
    if (Contains(key, "capital")) return BankColumn::Capital;
    if (Contains(key, "scaden") || Contains(key, "data")) return BankColumn::DueDate;
    if (key == "n" || key == "n." || key == "n°" || key == "nr" || key == "nr." ||
        Contains(key, "numero") || key.ends_with(" n.") || key.ends_with(" n") ||
        key.ends_with(" n°")) {
        return BankColumn::Number;
    }
    if (Contains(key, "rata") || Contains(key, "importo")) return BankColumn::Instalment;
    return BankColumn::Skip;
}

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

// The text of an amount without the currency sign and blanks.
std::string AmountDigits(std::string_view text) {
    std::string kept;
    std::string_view rest = text;
    while (!rest.empty()) {
        if (rest.starts_with("\xE2\x82\xAC")) {  // €
            rest.remove_prefix(3);
        } else {
            if (rest.front() != ' ' && rest.front() != '\xA0') kept += rest.front();
            rest.remove_prefix(1);
        }
    }
    // A no-break space in UTF-8 (C2 A0) leaves its lead byte: drop it too.
    std::erase(kept, '\xC2');
    return kept;
}

std::optional<Money> ReadAmount(std::string_view text, bool italian) {
    const std::string digits = AmountDigits(text);
    const auto parts = italian ? SplitNumberText(digits) : SplitPlainNumberText(digits);
    if (!parts) return std::nullopt;
    const auto cents = ScaledDigits(*parts, 2);
    if (!cents) return std::nullopt;
    return Money::FromCents(*cents);
}

std::optional<CalendarDate> ReadDueDate(std::string_view text) {
    if (auto date = ReadDataFileDate(text)) return date;
    if (auto date = CalendarDate::FromIso(text)) return date;
    // A workbook's date cell read as its serial: days since 30/12/1899, as the archive counts.
    if (!text.empty() && text.size() <= 7 &&
        text.find_first_not_of("0123456789") == std::string_view::npos) {
        const auto serial = std::stol(std::string(text));
        if (serial >= 1 && serial <= 2958465)
            return CalendarDate::FromSerial(static_cast<std::int32_t>(serial));
    }
    return std::nullopt;
}

// A whole number, or the one number of a caption such as "1° Rata" or "Rata n. 12".
std::optional<int> ReadNumber(std::string_view text) {
    if (const auto parts = SplitPlainNumberText(text)) {
        if (parts->negative || parts->integerDigits.size() > 6 ||
            parts->fractionDigits.find_first_not_of('0') != std::string::npos) {
            return std::nullopt;
        }
        return parts->integerDigits.empty() ? 0 : std::stoi(parts->integerDigits);
    }
    const auto first = text.find_first_of("0123456789");
    if (first == std::string_view::npos) return std::nullopt;
    const auto end = std::min(text.find_first_not_of("0123456789", first), text.size());
    const bool oneNumber =
        text.substr(end).find_first_of("0123456789,.") == std::string_view::npos &&
        text.substr(0, first).find_first_of(",-") == std::string_view::npos;
    if (!oneNumber || end - first > 6) return std::nullopt;
    return std::stoi(std::string(text.substr(first, end - first)));
}

bool IsTotalLine(const SheetRow& row) {
    return std::any_of(row.cells.begin(), row.cells.end(),
                       [](const std::string& cell) { return NameKey(cell).starts_with("total"); });
}

SheetRefusal CellRefusal(const SheetRow& row, std::size_t column, BankColumn role,
                         const std::string& what, const std::string& text) {
    return {row.line, "Riga " + std::to_string(row.line) + ", colonna " +
                          std::to_string(column + 1) + " (" + BankColumnCaption(role) +
                          "): " + what + " " + Quoted(text) + "." + kNothingRead};
}

}  // namespace

std::optional<BankColumn> BankColumnNamed(std::string_view name) {
    const std::string key = NameKey(name);
    for (const ColumnName& known : kColumnNames) {
        if (NameKey(known.name) == key) return known.column;
    }
    return std::nullopt;
}

const char* BankColumnName(BankColumn column) {
    for (const ColumnName& known : kColumnNames) {
        if (known.column == column) return known.name;
    }
    return "-";
}

const char* BankColumnCaption(BankColumn column) {
    for (const ColumnName& known : kColumnNames) {
        if (known.column == column) return known.caption;
    }
    return "";
}

const std::vector<BankColumn>& AllBankColumns() {
    static const std::vector<BankColumn> all = {
        BankColumn::Skip,    BankColumn::Number,   BankColumn::DueDate, BankColumn::Instalment,
        BankColumn::Capital, BankColumn::Interest, BankColumn::Residual};
    return all;
}

std::variant<std::vector<BankColumn>, std::string> ReadColumnList(std::string_view list) {
    std::vector<BankColumn> columns;
    for (const std::string& name : CsvFields(list, ',')) {
        const auto column = BankColumnNamed(name);
        if (!column) {
            return "Colonna sconosciuta in --columns: " + Quoted(name) +
                   " (si usano N, SCADENZA, RATA, CAPITALE, INTERESSI, RESIDUO e - per una "
                   "colonna da saltare)";
        }
        columns.push_back(*column);
    }
    return columns;
}

bool HasHeaderRow(const SheetCells& sheet) {
    if (sheet.rows.empty()) return false;
    const auto& cells = sheet.rows.front().cells;
    return std::none_of(cells.begin(), cells.end(),
                        [](const std::string& c) { return HasDigit(c); });
}

std::vector<BankColumn> GuessBankColumns(const SheetCells& sheet) {
    if (sheet.rows.empty()) return {};
    const auto& first = sheet.rows.front().cells;
    std::vector<BankColumn> columns;
    if (!HasHeaderRow(sheet)) {
        const std::vector<BankColumn> usual = {BankColumn::Number,     BankColumn::DueDate,
                                               BankColumn::Instalment, BankColumn::Capital,
                                               BankColumn::Interest,   BankColumn::Residual};
        for (std::size_t k = 0; k < first.size(); ++k) {
            columns.push_back(k < usual.size() ? usual[k] : BankColumn::Skip);
        }
        return columns;
    }
    for (const std::string& caption : first) {
        BankColumn guessed = ColumnOfCaption(caption);
        if (std::find(columns.begin(), columns.end(), guessed) != columns.end()) {
            guessed = BankColumn::Skip;
        }
        columns.push_back(guessed);
    }
    return columns;
}

std::string BankLayoutKey(const SheetCells& sheet) {
    if (sheet.rows.empty()) return "";
    const auto& first = sheet.rows.front().cells;
    if (!HasHeaderRow(sheet)) return std::to_string(first.size()) + " colonne";
    std::string key;
    for (std::size_t k = 0; k < first.size(); ++k) key += (k ? "|" : "") + NameKey(first[k]);
    return key;
}

std::variant<std::vector<ReviewRow>, SheetRefusal> ReadBankPlanRows(
    const SheetCells& sheet, const std::vector<BankColumn>& columns) {
    const bool anyAmount = std::any_of(columns.begin(), columns.end(), [](BankColumn c) {
        return c == BankColumn::Instalment || c == BankColumn::Capital ||
               c == BankColumn::Interest || c == BankColumn::Residual;
    });
    if (!anyAmount) {
        return SheetRefusal{0, std::string("Indicare almeno una colonna di importi (Rata, Quota "
                                           "capitale, Quota interessi o Debito residuo).") +
                                   kNothingRead};
    }
    const std::size_t first = HasHeaderRow(sheet) ? 1 : 0;
    // A column is Italian when any of its cells holds a comma: "1.500" then groups thousands.
    std::vector<bool> italian(columns.size(), false);
    for (std::size_t r = first; r < sheet.rows.size(); ++r) {
        const auto& cells = sheet.rows[r].cells;
        for (std::size_t c = 0; c < cells.size() && c < columns.size(); ++c) {
            if (cells[c].find(',') != std::string::npos) italian[c] = true;
        }
    }
    std::vector<ReviewRow> rows;
    for (std::size_t r = first; r < sheet.rows.size(); ++r) {
        const SheetRow& line = sheet.rows[r];
        if (IsTotalLine(line)) continue;
        ReviewRow row;
        for (std::size_t c = 0; c < columns.size() && c < line.cells.size(); ++c) {
            const std::string& text = line.cells[c];
            if (text.empty() || columns[c] == BankColumn::Skip) continue;
            switch (columns[c]) {
                case BankColumn::Number: {
                    const auto number = ReadNumber(text);
                    if (!number) return CellRefusal(line, c, columns[c], "numero non valido", text);
                    row.number = *number;
                    break;
                }
                case BankColumn::DueDate: {
                    const auto date = ReadDueDate(text);
                    if (!date) {
                        return CellRefusal(line, c, columns[c],
                                           "data non valida (serve gg/mm/aaaa)", text);
                    }
                    row.date = *date;
                    break;
                }
                default: {
                    const auto amount = ReadAmount(text, italian[c]);
                    if (!amount)
                        return CellRefusal(line, c, columns[c], "importo non valido", text);
                    auto& figure = columns[c] == BankColumn::Instalment ? row.instalment
                                   : columns[c] == BankColumn::Capital  ? row.capital
                                   : columns[c] == BankColumn::Interest ? row.interest
                                                                        : row.residual;
                    figure = *amount;
                    break;
                }
            }
        }
        rows.push_back(row);
    }
    if (rows.empty()) {
        return SheetRefusal{0, std::string("Il file non contiene righe del piano.") + kNothingRead};
    }
    return rows;
}

std::variant<std::vector<ReviewRow>, SheetRefusal> ReadBankPlanFile(
    const std::filesystem::path& file, const std::vector<BankColumn>& columns) {
    auto sheet = ReadSheetFile(file);
    if (auto* refusal = std::get_if<SheetRefusal>(&sheet)) return *refusal;
    return ReadBankPlanRows(std::get<SheetCells>(sheet), columns);
}

}  // namespace quotaplan
