#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "common/message_boxes.h"
#include "data/database.h"
#include "engine/indexation.h"

namespace quotaplan {

// What a write into a series did: nothing when `written` is false (the error has been
// shown and the series is as it was), otherwise how many dates it added and how many it
// gave a new value.
struct SeriesWrite {
    bool written = false;
    int added = 0;
    int replaced = 0;
};

// The dated values of the reference rates (tabValTxRiferimento), on the program's one
// connection, in the Jet dialect. A date holds at most one value of a rate: every write
// replaces the value its date had. Statement errors are shown through ExecuteSql.
class ReferenceRateValues {
public:
    ReferenceRateValues(Database& db, MessageBoxes& boxes) : db_(db), boxes_(boxes) {}

    // The series of the reference rate in date order. Rows without a date or without a
    // value are left out: they are in force on no day. Throws DatabaseError.
    std::vector<IndexValue> Series(std::int32_t rateId);

    // Whether the reference rate has any value. Throws DatabaseError.
    bool HasValues(std::int32_t rateId);

    // Writes every value over its date, all in one transaction: any failure leaves the
    // series exactly as it was.
    SeriesWrite Write(std::int32_t rateId, const std::vector<IndexValue>& values);

    // Gives the value dated `from` a new date and value (the date may stay), in one
    // transaction; a value already on the new date is replaced.
    SeriesWrite Replace(std::int32_t rateId, CalendarDate from, const IndexValue& value);

    // Deletes the value of the date. True when the statement ran.
    bool Delete(std::int32_t rateId, CalendarDate date);

private:
    bool DeleteDate(std::int32_t rateId, CalendarDate date, bool& existed);
    // Each value written over its date inside the caller's transaction, counted in
    // `result`; false after a failure has been shown.
    bool WriteValues(std::int32_t rateId, const std::vector<IndexValue>& values,
                     SeriesWrite& result);

    Database& db_;
    MessageBoxes& boxes_;
};

// How an import of a series file ended.
struct SeriesImport {
    enum class Status { Imported, Refused, Failed };
    Status status = Status::Failed;
    std::string message;  // Refused: why, naming the line; Imported: what was written
    SeriesWrite write;
};

// Reads a "Data;Valore" file (ReadIndexSeriesFile) and writes its values into the series
// of the reference rate named `rateName` (rateId), in one transaction. Refused: a bad file,
// nothing written; Failed: a database error, shown, nothing written; Imported: the message
// "Importati 12 valori di "Euribor 3 mesi": 9 nuovi, 3 sostituiti.".
SeriesImport ImportIndexSeries(ReferenceRateValues& values, std::int32_t rateId,
                               std::string_view rateName, const std::filesystem::path& file);

}  // namespace quotaplan
