#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "common/calendar_date.h"
#include "common/message_boxes.h"
#include "data/database.h"
#include "data/db_value.h"

namespace quotaplan {

// Type codes of FormatSqlValue (the ADO data-type numbers).
inline constexpr int kTypeInteger = 3;
inline constexpr int kTypeSingle = 4;
inline constexpr int kTypeCurrency = 6;
inline constexpr int kTypeDate = 7;
inline constexpr int kTypeYesNo = 11;
inline constexpr int kTypeByte = 17;
inline constexpr int kTypeText = 202;

// The text of an SQL keyword code 1..25 ("INSERT INTO ", "DELETE ", ... "Null"); "" for
// any other code.
std::string_view SqlKeyword(int code);

// A value to be written as an SQL literal: nothing (Null), a yes/no, a whole number, a
// number, a text or a date.
using SqlValue =
    std::variant<std::monostate, bool, std::int64_t, double, std::string, CalendarDate>;

// The SQL literal of a value for a column type code:
//   Null (monostate)   "Null" whatever the code
//   3                  the number rounded to a whole number ("0")
//   4, 6               the number with two decimals and "." as decimal mark ("12.50")
//   7                  "#m/d/yyyy#"
//   11                 as a 16-bit integer: true -1, false 0, a number as it rounds
//   17                 the value as text
//   202 and others     the text in apostrophes, each apostrophe doubled
// A text given for a number or date code is first read as a regional number or date text.
// Throws RunTimeError 13 when a value cannot be read for its code, 6 on overflow.
std::string FormatSqlValue(const SqlValue& value, int typeCode);
std::string FormatSqlValue(const DbValue& value, int typeCode);

// "" for Null, otherwise the value as text.
std::string NullToEmpty(const DbValue& value);

// The last record or list read: one value per column after a record read, one
// Descrizione per row after a list read. Cleared, it holds a single empty value and the
// no-record flag.
class RecordBuffer {
public:
    RecordBuffer() { Clear(); }

    // ClearRecordBuffer.
    void Clear();
    bool NoRecord() const { return noRecord_; }
    const std::vector<DbValue>& Values() const { return values_; }

    // The value at the 1-based position of the last record read; the empty text when the
    // no-record flag is set. Throws RunTimeError 9 for a position outside the record.
    DbValue GetFieldValue(int position) const;

private:
    friend bool LoadRecord(Database&, RecordBuffer&, std::string_view, std::string_view, bool);
    std::vector<DbValue> values_;
    bool noRecord_ = true;
};

// Reads into the buffer: record mode "SELECT * FROM table WHERE ID = id", list mode every
// Descrizione of the table in ID order. Returns true; throws DatabaseError when the
// statement fails. A record read of an ID that does not exist leaves the single empty value.
bool LoadRecord(Database& db, RecordBuffer& buffer, std::string_view table, std::string_view id,
                bool listMode);

// The lookup tables (names beginning with lower-case "sup") without their prefix, in the
// order the archive lists its tables.
std::vector<std::string> FillTableList(Database& db);

// The Descrizione texts of a lookup table in ID order, as the list box shows them; an
// empty table gives one empty entry. Uses (and leaves filled) the buffer.
std::vector<std::string> FillListBox(Database& db, RecordBuffer& buffer, std::string_view table);

// The ID of the first row (lowest ID) whose Descrizione is the same name as the text
// (SameName: letter case, accents, compatibility forms and blanks aside, on every engine),
// or 0 when there is none. Throws DatabaseError.
std::int32_t GetIdByDescription(Database& db, std::string_view table, std::string_view description);

// The Descrizione of the row with the ID ("" for Null), or "" when there is none.
std::string GetDescriptionById(Database& db, std::string_view table, std::int64_t id);

// The index of the first entry equal to the text exactly (letter case and blanks count),
// or nullopt: the combo box then keeps its selection.
std::optional<int> SelectComboItem(const std::vector<std::string>& entries, std::string_view text);

// "DELETE * FROM table WHERE keyColumn = id" through ExecuteSql; the result is returned
// for callers that need it (the documented callers ignore it).
bool DeleteWhere(Database& db, MessageBoxes& boxes, std::string_view table,
                 std::string_view keyColumn, std::int64_t id);

// The highest ID of the table, 0 when it is empty. Throws DatabaseError.
std::int32_t GetLastId(Database& db, std::string_view table);

}  // namespace quotaplan
