#include "data/legal_rates.h"

#include <algorithm>

#include "common/data_lines.h"
#include "common/file_io.h"
#include "common/number_text.h"
#include "common/text_encoding.h"

namespace quotaplan {
namespace {

constexpr const char* kNothingImported = " Nessun tasso importato.";
constexpr std::size_t kLegalRateFileMaxBytes = 1024 * 1024;
constexpr std::int64_t kLargestRate = 100 * 10000;

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

IndexFileRefusal LineRefusal(int line, const std::string& reason) {
    return {line, "Riga " + std::to_string(line) + ": " + reason + "." + kNothingImported};
}

std::variant<LegalRate, std::string> ReadLegalRate(const std::vector<std::string_view>& fields) {
    LegalRate rate;
    const auto validFrom = ReadDataFileDate(fields[0]);
    if (!validFrom) return "data Dal non valida " + Quoted(fields[0]) + " (serve gg/mm/aaaa)";
    rate.validFrom = *validFrom;
    if (!fields[1].empty()) {
        const auto validTo = ReadDataFileDate(fields[1]);
        if (!validTo) {
            return "data Al non valida " + Quoted(fields[1]) +
                   " (serve gg/mm/aaaa, o nulla per un tasso ancora in vigore)";
        }
        if (*validTo < *validFrom) return std::string("la data Al precede la data Dal");
        rate.validTo = *validTo;
    }
    const auto parts =
        fields[2].find('.') == std::string_view::npos ? SplitNumberText(fields[2]) : std::nullopt;
    const auto units =
        parts && parts->fractionDigits.size() <= 4 ? ScaledDigits(*parts, 4) : std::nullopt;
    if (!units || parts->negative || *units > kLargestRate) {
        return "tasso non valido " + Quoted(fields[2]) +
               " (serve un tasso in percentuale fra 0 e 100 con la virgola decimale, come 2,5)";
    }
    rate.rate = Percent::FromTenThousandths(*units);
    return rate;
}

DbError LastError(Database& db) {
    DbError error = db.Errors().empty() ? DbError{} : db.Errors().back();
    db.ClearErrors();
    return error;
}

}  // namespace

std::variant<std::vector<LegalRate>, IndexFileRefusal> ReadLegalRateText(std::string_view text) {
    std::vector<LegalRate> rates;
    for (const DataLine& line : DataLinesAfterHeader(text)) {
        const auto fields = SemicolonFields(line.text, 3);
        if (fields.size() != 3) {
            return LineRefusal(line.number,
                               "servono tre campi, Dal;Al;Tasso, separati da punti e virgola");
        }
        auto read = ReadLegalRate(fields);
        if (auto* reason = std::get_if<std::string>(&read))
            return LineRefusal(line.number, *reason);
        rates.push_back(std::get<LegalRate>(read));
    }
    if (rates.empty()) {
        return IndexFileRefusal{
            0, std::string("Il file non contiene tassi legali (righe Dal;Al;Tasso).") +
                   kNothingImported};
    }
    return rates;
}

std::variant<std::vector<LegalRate>, IndexFileRefusal> ReadLegalRateFile(
    const std::filesystem::path& file) {
    const FileReadResult read = ReadBoundedFile(file, kLegalRateFileMaxBytes);
    if (read.status != FileReadStatus::Read) {
        return IndexFileRefusal{
            0, "Impossibile leggere il file " + Quoted(file.string()) + "." + kNothingImported};
    }
    return ReadLegalRateText(DataFileTextAsUtf8(read.bytes));
}

std::vector<LegalRate> LoadLegalRates(Database& db) {
    std::vector<LegalRate> rates;
    for (Recordset row(db, "SELECT * FROM tabTassiLegali ORDER BY Dal"); !row.Eof();
         row.MoveNext()) {
        const auto validFrom = row.Value("Dal").ToDate();
        if (!validFrom) continue;
        rates.push_back({*validFrom, row.Value("Al").ToDate().value_or(CalendarDate()),
                         Percent::FromValue(row.Value("Tasso").ToDouble())});
    }
    return rates;
}

std::variant<SeriesWrite, DbError> WriteLegalRates(Database& db,
                                                   const std::vector<LegalRate>& rates) {
    db.ClearErrors();
    if (!db.Execute("BEGIN IMMEDIATE")) return LastError(db);
    SeriesWrite write;
    // Read inside the transaction, so that no other writer changes them meanwhile.
    std::vector<CalendarDate> storedStarts;
    try {
        for (const LegalRate& stored : LoadLegalRates(db)) storedStarts.push_back(stored.validFrom);
    } catch (const DatabaseError& failure) {
        db.Execute("ROLLBACK");
        db.ClearErrors();
        return DbError{failure.Number(), failure.Description()};
    }
    auto remove = db.Prepare("DELETE * FROM tabTassiLegali WHERE Dal = ?");
    auto insert = db.Prepare("INSERT INTO tabTassiLegali (Dal, Al, Tasso) VALUES (?, ?, ?)");
    for (const LegalRate& rate : rates) {
        const bool removed = remove.Bind(1, DbValue::Text(rate.validFrom.Iso())) && remove.Step();
        const bool replaced = std::find(storedStarts.begin(), storedStarts.end(), rate.validFrom) !=
                              storedStarts.end();
        if (!replaced) storedStarts.push_back(rate.validFrom);
        const DbValue validTo =
            rate.validTo.IsZero() ? DbValue() : DbValue::Text(rate.validTo.Iso());
        if (!(removed && insert.Bind(1, DbValue::Text(rate.validFrom.Iso())) &&
              insert.Bind(2, validTo) && insert.Bind(3, DbValue::Real(rate.rate.Value())) &&
              insert.Step())) {
            DbError error = LastError(db);
            db.Execute("ROLLBACK");
            db.ClearErrors();
            return error;
        }
        ++(replaced ? write.replaced : write.added);
    }
    if (!db.Execute("COMMIT")) {
        DbError error = LastError(db);
        db.Execute("ROLLBACK");
        db.ClearErrors();
        return error;
    }
    write.written = true;
    return write;
}

SeriesImport ImportLegalRates(Database& db, const std::filesystem::path& file) {
    SeriesImport outcome;
    auto content = ReadLegalRateFile(file);
    if (const auto* refusal = std::get_if<IndexFileRefusal>(&content)) {
        outcome.status = SeriesImport::Status::Refused;
        outcome.message = refusal->message;
        return outcome;
    }
    const auto& rates = std::get<std::vector<LegalRate>>(content);
    auto written = WriteLegalRates(db, rates);
    if (const auto* error = std::get_if<DbError>(&written)) {
        outcome.message = std::to_string(error->number) + " - " + error->description;
        return outcome;
    }
    outcome.write = std::get<SeriesWrite>(written);
    outcome.status = SeriesImport::Status::Imported;
    const auto counted = [](int count, const char* one, const char* many) {
        return std::to_string(count) + " " + (count == 1 ? one : many);
    };
    const int total = outcome.write.added + outcome.write.replaced;
    outcome.message = (total == 1 ? "Importato " : "Importati ") +
                      counted(total, "tasso legale", "tassi legali") + ": " +
                      counted(outcome.write.added, "nuovo", "nuovi") + ", " +
                      counted(outcome.write.replaced, "sostituito", "sostituiti") + ".";
    return outcome;
}

}  // namespace quotaplan
