#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "engine/indexation.h"

namespace quotaplan {

// Why a series file is refused, in Italian, ending with "Nessun valore importato."; the
// number of the offending line (1-based), 0 when the file as a whole is at fault.
struct IndexFileRefusal {
    int line = 0;
    std::string message;
    friend bool operator==(const IndexFileRefusal&, const IndexFileRefusal&) = default;
};

using IndexFileContent = std::variant<std::vector<IndexValue>, IndexFileRefusal>;

// Reads the values of a reference-rate series file: one "Data;Valore" line a value,
//   Data    dd/mm/yyyy (day and month may have one digit);
//   Valore  a percentage with the Italian decimal comma ("2,50", "-0,356", "3"); a point
//           is refused, so that an English "2.50" is never read as 250; between -100
//           and 100.
// Blanks around fields, a UTF-8 byte-order mark, CR LF line ends, fields in double quotes,
// empty lines and a first line without digits (a header such as "Data;Valore") are
// allowed. Two lines for one date are refused, naming both ("Riga 7: stessa data della
// riga 3 (01/04/2026).").
// Returns the values in date order, or the refusal of the first bad line; a file with no
// value at all is refused too.
IndexFileContent ReadIndexSeriesText(std::string_view text);

// The same for a file; a file that cannot be read is refused with its name.
IndexFileContent ReadIndexSeriesFile(const std::filesystem::path& file);

}  // namespace quotaplan
