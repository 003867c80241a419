#pragma once

#include <filesystem>
#include <string_view>
#include <variant>
#include <vector>

#include "data/database.h"
#include "data/index_series_file.h"
#include "data/reference_rate_values.h"
#include "engine/legal_interest.h"

namespace quotaplan {

// Reads a file of legal rates: one "Dal;Al;Tasso" line a period, as DataLines and
// SemicolonFields take them (a header line without digits allowed): Dal dd/mm/yyyy, Al the
// same or empty for a rate still in force (not before Dal), Tasso a percentage with the
// decimal comma ("2,5"), 0 to 100, at most four decimals. Refused naming the first bad line
// ("Riga 3: ... Nessun tasso importato."); a file without rows, or one that cannot be read,
// is refused too.
std::variant<std::vector<LegalRate>, IndexFileRefusal> ReadLegalRateText(std::string_view text);
std::variant<std::vector<LegalRate>, IndexFileRefusal> ReadLegalRateFile(
    const std::filesystem::path& file);

// The legal rates of the archive (tabTassiLegali), by start date. Throws DatabaseError when
// the table cannot be read.
std::vector<LegalRate> LoadLegalRates(Database& db);

// Writes the rates in one transaction, each replacing the stored period that starts on the
// same day. The counts, or the error it failed with (nothing written).
std::variant<SeriesWrite, DbError> WriteLegalRates(Database& db,
                                                   const std::vector<LegalRate>& rates);

// ReadLegalRateFile then WriteLegalRates, as the other imports report: Refused with the
// file's message, Failed with the database's ("3021 - ..."), or Imported with
// "Importati 3 tassi legali: 2 nuovi, 1 sostituito.".
SeriesImport ImportLegalRates(Database& db, const std::filesystem::path& file);

}  // namespace quotaplan
