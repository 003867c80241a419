#include "data/sql_helpers.h"

#include <array>
#include <cmath>
#include <limits>

#include "common/date_text.h"
#include "common/name_key.h"
#include "common/number_text.h"
#include "common/run_time_error.h"
#include "data/execute_sql.h"

namespace quotaplan {
namespace {

constexpr std::array<std::string_view, 25> kKeywords = {"INSERT INTO ",
                                                        "DELETE ",
                                                        "UPDATE ",
                                                        "SELECT ",
                                                        "WHERE ",
                                                        "GROUP BY ",
                                                        "ORDER BY ",
                                                        "* ",
                                                        "FROM ",
                                                        " ",
                                                        ", ",
                                                        "= ",
                                                        "ID ",
                                                        "SET ",
                                                        "Descrizione ",
                                                        "(",
                                                        ")",
                                                        "VALUES",
                                                        "'",
                                                        "\"",
                                                        "#",
                                                        "[",
                                                        "]",
                                                        "AND ",
                                                        "Null"};

double NumberOf(const SqlValue& value) {
    if (const auto* flag = std::get_if<bool>(&value)) return *flag ? -1 : 0;
    if (const auto* whole = std::get_if<std::int64_t>(&value)) return static_cast<double>(*whole);
    if (const auto* real = std::get_if<double>(&value)) return *real;
    if (const auto* date = std::get_if<CalendarDate>(&value)) return date->Serial();
    return ParseNumber64(std::get<std::string>(value));
}

CalendarDate DateOf(const SqlValue& value) {
    if (const auto* date = std::get_if<CalendarDate>(&value)) return *date;
    if (const auto* text = std::get_if<std::string>(&value)) {
        if (const auto iso = CalendarDate::FromIso(*text)) return *iso;
        if (const auto read = ReadDateText(*text)) return *read;
        throw RunTimeError::TypeMismatch();
    }
    const double serial = NumberOf(value);
    if (!std::isfinite(serial) || std::fabs(serial) > 3e6) throw RunTimeError::Overflow();
    return CalendarDate::FromSerial(static_cast<std::int32_t>(std::floor(serial)));
}

std::string TextOf(const SqlValue& value) {
    if (const auto* text = std::get_if<std::string>(&value)) return *text;
    if (const auto* flag = std::get_if<bool>(&value)) return *flag ? "True" : "False";
    if (const auto* whole = std::get_if<std::int64_t>(&value)) return std::to_string(*whole);
    if (const auto* real = std::get_if<double>(&value)) return GeneralText(*real);
    return FormatDate(std::get<CalendarDate>(value), 1);
}

std::string Quoted(std::string_view text) {
    std::string out = "'";
    for (const char c : text) {
        out += c;
        if (c == '\'') out += '\'';
    }
    return out + "'";
}

// Rounds halves to the even neighbour, as a conversion to a 16-bit integer does.
std::int16_t ToInteger16(double value) {
    const double rounded = std::nearbyint(value);
    if (!(rounded >= -32768 && rounded <= 32767)) throw RunTimeError::Overflow();
    return static_cast<std::int16_t>(rounded);
}

}  // namespace

std::string_view SqlKeyword(int code) {
    return code >= 1 && code <= 25 ? kKeywords[code - 1] : std::string_view();
}

std::string FormatSqlValue(const SqlValue& value, int typeCode) {
    if (std::holds_alternative<std::monostate>(value)) return "Null";
    switch (typeCode) {
        case kTypeInteger:
            return FormatNumber(NumberOf(value), 3);
        case kTypeSingle:
        case kTypeCurrency: {
            auto text = FormatNumber(NumberOf(value), 2);
            for (auto& c : text) {
                if (c == ',') c = '.';
            }
            return text;
        }
        case kTypeDate:
            return "#" + FormatDate(DateOf(value), 4) + "#";
        case kTypeYesNo:
            return std::to_string(ToInteger16(NumberOf(value)));
        case kTypeByte:
            return TextOf(value);
        default:
            return Quoted(TextOf(value));
    }
}

std::string FormatSqlValue(const DbValue& value, int typeCode) {
    if (value.IsNull()) return "Null";
    if (value.IsInteger())
        return FormatSqlValue(SqlValue(static_cast<std::int64_t>(value.ToDouble())), typeCode);
    if (value.IsReal()) return FormatSqlValue(SqlValue(value.ToDouble()), typeCode);
    return FormatSqlValue(SqlValue(value.ToText()), typeCode);
}

std::string NullToEmpty(const DbValue& value) { return value.IsNull() ? "" : value.ToText(); }

void RecordBuffer::Clear() {
    values_.assign(1, DbValue::Text(""));
    noRecord_ = true;
}

DbValue RecordBuffer::GetFieldValue(int position) const {
    if (noRecord_) return DbValue::Text("");
    if (position < 1 || position > static_cast<int>(values_.size())) {
        throw RunTimeError(9, "Indice non incluso nell'intervallo");
    }
    return values_[position - 1];
}

bool LoadRecord(Database& db, RecordBuffer& buffer, std::string_view table, std::string_view id,
                bool listMode) {
    std::string sql = std::string(SqlKeyword(4)) + std::string(SqlKeyword(8)) +
                      std::string(SqlKeyword(9)) + std::string(table) + std::string(SqlKeyword(10));
    if (listMode) {
        sql += std::string(SqlKeyword(7)) + std::string(SqlKeyword(13));
    } else {
        sql += std::string(SqlKeyword(5)) + std::string(SqlKeyword(13)) +
               std::string(SqlKeyword(12)) + std::string(id);
    }
    Recordset rows(db, sql);
    buffer.Clear();
    buffer.noRecord_ = false;
    std::size_t next = 0;
    for (; !rows.Eof(); rows.MoveNext()) {
        if (listMode) {
            if (next >= buffer.values_.size()) buffer.values_.resize(next + 1);
            buffer.values_[next++] = rows.Value("Descrizione");
        } else {
            buffer.values_.resize(std::max<std::size_t>(buffer.values_.size(), rows.FieldCount()));
            for (int k = 0; k < rows.FieldCount(); ++k) buffer.values_[k] = rows.Value(k);
        }
    }
    return true;
}

std::vector<std::string> FillTableList(Database& db) {
    std::vector<std::string> names;
    for (const auto& table : db.TableNames()) {
        if (table.rfind("sup", 0) == 0) names.push_back(table.substr(3));
    }
    return names;
}

std::vector<std::string> FillListBox(Database& db, RecordBuffer& buffer, std::string_view table) {
    LoadRecord(db, buffer, table, "", true);
    std::vector<std::string> entries;
    for (const auto& value : buffer.Values()) entries.push_back(NullToEmpty(value));
    return entries;
}

std::int32_t GetIdByDescription(Database& db, std::string_view table,
                                std::string_view description) {
    // Compared here rather than by the engine, whose comparisons differ: lookup tables are
    // a few rows.
    const std::string key = NameKey(description);
    for (Recordset rows(db, "SELECT ID, Descrizione FROM " + std::string(table) + " ORDER BY ID");
         !rows.Eof(); rows.MoveNext()) {
        if (NameKey(NullToEmpty(rows.Value(1))) == key) return rows.Value(0).ToLong();
    }
    return 0;
}

std::string GetDescriptionById(Database& db, std::string_view table, std::int64_t id) {
    Recordset rows(
        db, std::string(SqlKeyword(4)) + std::string(SqlKeyword(15)) + std::string(SqlKeyword(9)) +
                std::string(table) + std::string(SqlKeyword(10)) + std::string(SqlKeyword(5)) +
                std::string(SqlKeyword(13)) + std::string(SqlKeyword(12)) + std::to_string(id));
    if (rows.Eof()) return "";
    return NullToEmpty(rows.Value("Descrizione"));
}

std::optional<int> SelectComboItem(const std::vector<std::string>& entries, std::string_view text) {
    for (std::size_t k = 0; k < entries.size(); ++k) {
        if (entries[k] == text) return static_cast<int>(k);
    }
    return std::nullopt;
}

bool DeleteWhere(Database& db, MessageBoxes& boxes, std::string_view table,
                 std::string_view keyColumn, std::int64_t id) {
    return ExecuteSql(db, boxes,
                      "DELETE * FROM " + std::string(table) + " WHERE " + std::string(keyColumn) +
                          " = " + std::to_string(id));
}

std::int32_t GetLastId(Database& db, std::string_view table) {
    Recordset rows(db, "SELECT TOP 1 ID FROM " + std::string(table) + " ORDER BY ID DESC");
    if (rows.Eof()) return 0;
    return rows.Value("ID").ToLong();
}

}  // namespace quotaplan
