#include "data/index_series_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <optional>

#include "common/data_lines.h"
#include "common/file_io.h"
#include "common/number_text.h"
#include "common/text_encoding.h"

namespace quotaplan {
namespace {

constexpr const char* kNothingImported = " Nessun valore importato.";
constexpr double kLargestRate = 100.0;
// A century of daily values takes under 1 MiB.
constexpr std::size_t kSeriesFileMaxBytes = 16 * 1024 * 1024;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// An optional sign, digits, and at most one decimal comma followed by digits.
std::optional<double> ReadItalianDecimal(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    const auto comma = text.find(',');
    const std::string_view whole = text.substr(0, comma);
    const std::string_view fraction =
        comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    const auto digitsOnly = [](std::string_view part) {
        return std::all_of(part.begin(), part.end(), IsDigit);
    };
    if (whole.size() + fraction.size() == 0 || !digitsOnly(whole) || !digitsOnly(fraction) ||
        (comma != std::string_view::npos && fraction.empty())) {
        return std::nullopt;
    }
    const std::string plain = std::string(whole.empty() ? "0" : whole) + "." +
                              std::string(fraction.empty() ? "0" : fraction);
    double value = 0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (error != std::errc() || end != plain.data() + plain.size()) return std::nullopt;
    return negative ? -value : value;
}

IndexFileRefusal LineRefusal(int line, const std::string& reason) {
    return {line, "Riga " + std::to_string(line) + ": " + reason + "." + kNothingImported};
}

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

// A value of the series and the line of the file it came from.
struct ReadValue {
    double percent = 0;
    int line = 0;
};

// One "Data;Valore" line into the series, or the reason it cannot be read. A second line for
// a date already read is refused: which of two values a file meant cannot be told.
std::optional<std::string> ReadLine(const DataLine& dataLine,
                                    std::map<CalendarDate, ReadValue>& series) {
    const std::string_view line = dataLine.text;
    const std::vector<std::string_view> fields = SemicolonFields(line, 2);
    if (fields.size() != 2) {
        return "servono due campi, Data;Valore, separati da un punto e virgola";
    }
    const auto date = ReadDataFileDate(fields[0]);
    if (!date) return "data non valida " + Quoted(fields[0]) + " (serve gg/mm/aaaa)";
    const auto value = ReadItalianDecimal(fields[1]);
    if (!value) {
        return "valore non valido " + Quoted(fields[1]) +
               " (serve un numero con la virgola decimale, come 2,50)";
    }
    if (std::fabs(*value) > kLargestRate) {
        return "valore fuori misura " + Quoted(fields[1]) +
               " (serve un tasso in percentuale fra -100 e 100)";
    }
    const auto [place, added] = series.try_emplace(*date, ReadValue{*value, dataLine.number});
    if (!added) {
        return "stessa data della riga " + std::to_string(place->second.line) + " (" +
               FormatDate(*date, 2) + ")";
    }
    return std::nullopt;
}

}  // namespace

IndexFileContent ReadIndexSeriesText(std::string_view text) {
    std::map<CalendarDate, ReadValue> series;
    for (const DataLine& line : DataLinesAfterHeader(text)) {
        if (auto reason = ReadLine(line, series)) return LineRefusal(line.number, *reason);
    }
    if (series.empty()) {
        return IndexFileRefusal{
            0, std::string("Il file non contiene valori (righe Data;Valore).") + kNothingImported};
    }
    std::vector<IndexValue> values;
    values.reserve(series.size());
    for (const auto& [date, read] : series) values.push_back({date, read.percent});
    return values;
}

IndexFileContent ReadIndexSeriesFile(const std::filesystem::path& file) {
    // Only a regular file of sane size is read: a FIFO would stop the program and a device
    // would be read without end.
    const FileReadResult read = ReadBoundedFile(file, kSeriesFileMaxBytes);
    if (read.status != FileReadStatus::Read) {
        return IndexFileRefusal{
            0, "Impossibile leggere il file " + Quoted(file.string()) + "." + kNothingImported};
    }
    return ReadIndexSeriesText(DataFileTextAsUtf8(read.bytes));
}

}  // namespace quotaplan
