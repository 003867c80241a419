#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "common/calendar_date.h"

namespace quotaplan {

// One line of a data file, with its 1-based number in the file.
struct DataLine {
    int number = 0;
    std::string_view text;
};

// The lines of a data file as editors and spreadsheets write them: a UTF-8 byte-order mark
// dropped, LF or CR LF line ends, blanks and tabs trimmed; empty lines left out. The views
// point into `text`.
std::vector<DataLine> DataLines(std::string_view text);

// DataLines without a header: a first line with no digit at all ("Data;Valore") is left out.
std::vector<DataLine> DataLinesAfterHeader(std::string_view text);

// The ";"-separated fields of a line, each trimmed and taken out of the double quotes a
// spreadsheet may put around it; empty fields at the end (a separator closing the line)
// are dropped while more than `fieldsWanted` remain.
std::vector<std::string_view> SemicolonFields(std::string_view line, std::size_t fieldsWanted);

// A date of a data file, "d/m/yyyy": one or two digits for day and month, four for the year;
// nullopt for anything else or a day the calendar lacks.
std::optional<CalendarDate> ReadDataFileDate(std::string_view text);

}  // namespace quotaplan
