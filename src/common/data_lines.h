#pragma once

#include <string_view>
#include <vector>

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

// The ";"-separated fields of a line, each trimmed and taken out of the double quotes a
// spreadsheet may put around it; empty fields at the end (a separator closing the line)
// are dropped while more than `fieldsWanted` remain.
std::vector<std::string_view> SemicolonFields(std::string_view line, std::size_t fieldsWanted);

}  // namespace quotaplan
