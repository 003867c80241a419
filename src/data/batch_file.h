#pragma once

#include <istream>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "common/data_line_stream.h"
#include "engine/calculation_request.h"

namespace quotaplan {

// One contract line of a batch file: its line number in the file (the header being line 1)
// and its fields by name, as written; or why the line could not be read.
struct BatchRecord {
    int line = 0;
    std::vector<std::pair<std::string, std::string>> fields;
    std::string error;  // not empty: the line is unreadable
};

// A batch file read one line at a time, in constant memory: either a CSV whose header names
// the calculator's options without their dashes ("value;rate;count;…"), separated by ";" or,
// when the header has no ";", by ","; fields may be in double quotes (a quote inside written
// twice); or JSON Lines, one object a line with the same keys (told by a first line starting
// with "{"). Encoding as DataLineStream tells it; empty lines are skipped.
class BatchReader {
public:
    explicit BatchReader(std::istream& in) : lines_(in) {}

    // Reads the header of a CSV (nothing for JSON Lines). The Italian message of a file that
    // cannot be a batch: empty, or a header naming a column that is no option.
    std::optional<std::string> Start();

    // The next contract line, or nullopt at the end of the file.
    std::optional<BatchRecord> Next();

    // Whether the header (or, in JSON Lines, the first line) names the usury check's fields:
    // usury-category or type.
    bool NamesUsury() const { return namesUsury_; }

private:
    BatchRecord RecordOf(int line, const std::string& text);

    DataLineStream lines_;
    bool json_ = false;
    char separator_ = ';';
    std::vector<std::string> columns_;
    std::optional<std::pair<int, std::string>> firstJsonLine_;
    bool namesUsury_ = false;
};

// What a batch line asks for: the calculation, the contract's description, and the usury
// check by a category or by the archive's financing type.
struct BatchContract {
    CalcOptions options;
    std::string description;
    std::string usuryCategory;
    std::string type;
};

// The names a batch file may use: the calculation's options, "description",
// "usury-category" and "type".
bool IsBatchField(const std::string& name);

// The line's calculation. Numbers are Italian when they hold a comma ("1.234,56"), plain
// otherwise ("1234.56"); dates "AAAA-MM-GG" or "GG/MM/AAAA"; yes/no fields "sì", "si", "1",
// "true", "x" or "no", "0", "false", empty; rates separated by blanks. An unreadable value
// gives the Italian message naming the field: Valore non valido per value: "abc" (serve un
// numero).
std::variant<BatchContract, std::string> ReadBatchContract(const BatchRecord& record);

}  // namespace quotaplan
