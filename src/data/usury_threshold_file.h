#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "data/index_series_file.h"
#include "engine/usury.h"

namespace quotaplan {

// The six texts of one row of the usury table, as a file line or the editor's fields hold
// them, in the order of the quarterly decree's table.
struct UsuryRateTexts {
    std::string_view category, amountFrom, amountTo, validFrom, validTo, tegm;
    std::string_view defaultSurcharge = {};  // "Maggiorazione mora"; empty: not given
};

// One row of the usury table read from its texts, or why not (Italian, no final period):
//   category    not empty;
//   amounts     empty for no bound, otherwise an amount in euro in the Italian form
//               ("25.000", "25.000,00", "5000"), at most two decimals, not negative;
//               "Importo da" below "Importo a" when both are given;
//   validFrom   dd/mm/yyyy (ReadDataFileDate); validTo the same, or empty for a row still
//               in force, and not before validFrom;
//   tegm        a percentage with the decimal comma ("10,58"; a point is refused, so that an
//               English "10.58" is never read as 1.058), at most four decimals, 0 to 100;
//   defaultSurcharge  empty, or points of default-interest surcharge read as the TEGM.
std::variant<UsuryRate, std::string> ReadUsuryRate(const UsuryRateTexts& texts);

// Reads a file of the usury table: one "Categoria;Importo da;Importo a;Dal;Al;TEGM" line a
// row, with an optional seventh field "Maggiorazione mora", as DataLines and SemicolonFields take
// them (a header line without digits allowed). Two lines for the same category, class of amounts
// and start date (SameUsuryClass) are refused, naming both ("Riga 5: stessa categoria, classe di
// importo e data Dal della riga 2
// (...)."). Returns the rows in the order of the file, or the refusal of the first bad line
// ("Riga 3: ... Nessuna soglia importata."); a file without rows is refused too.
std::variant<std::vector<UsuryRate>, IndexFileRefusal> ReadUsuryThresholdText(
    std::string_view text);

// The same for a file; a file that cannot be read is refused with its name.
std::variant<std::vector<UsuryRate>, IndexFileRefusal> ReadUsuryThresholdFile(
    const std::filesystem::path& file);

// True when the two rows hold the same place in the table: the same category (SameName),
// class of amounts and start date. Such a row replaces the other.
bool SameUsuryClass(const UsuryRate& a, const UsuryRate& b);

}  // namespace quotaplan
