#include "data/new_archive_contents.h"

#include <array>
#include <charconv>
#include <map>
#include <type_traits>

#include "data/archive_setup.h"
#include "data/sqlite_engine.h"
#include "data/text_fold.h"

namespace quotaplan {
namespace {

// A table's rows in ID order, each value in a form that reads the same from either engine
// (a whole CURRENCY is an integer on one and a real on the other).
struct TableRows {
    std::vector<std::string> columns;
    std::vector<std::string> rows;
};

// Table names as the archive matches them: letter case aside.
struct FoldedLess {
    bool operator()(const std::string& a, const std::string& b) const {
        return CompareFolded(a, b) < 0;
    }
};
using SeededTableMap = std::map<std::string, TableRows, FoldedLess>;

std::string Canonical(const DbValue& value) {
    return value.Visit([](const auto& held) -> std::string {
        using Held = std::decay_t<decltype(held)>;
        if constexpr (std::is_same_v<Held, std::string>) {
            return "'" + held;
        } else if constexpr (std::is_same_v<Held, std::monostate>) {
            return "Null";
        } else {
            std::array<char, 32> text{};
            const auto end =
                std::to_chars(text.data(), text.data() + text.size(), static_cast<double>(held))
                    .ptr;
            return std::string(text.data(), end);
        }
    });
}

TableRows ReadRows(Database& db, const std::string& table, std::vector<std::string> columns) {
    std::string list;
    for (const auto& column : columns) list += (list.empty() ? "[" : ", [") + column + "]";
    TableRows read{std::move(columns), {}};
    for (Recordset rows(db, "SELECT " + list + " FROM " + table + " ORDER BY ID"); !rows.Eof();
         rows.MoveNext()) {
        std::string row;
        for (int k = 0; k < rows.FieldCount(); ++k) row += Canonical(rows.Value(k)) + "\x1f";
        read.rows.push_back(std::move(row));
    }
    return read;
}

// The tables a new archive fills, with their rows: made once, in memory, from the same SQL
// that InitArchive runs.
const SeededTableMap& SeededTables() {
    static const SeededTableMap seeded = [] {
        Database scratch(CreateSqliteMemoryEngine());
        if (!InitArchive(scratch).ok) throw DatabaseError(scratch.Errors().front());
        SeededTableMap tables;
        for (const auto& table : scratch.TableNames()) {
            std::vector<std::string> columns;
            Recordset names(scratch, "SELECT * FROM " + table + " WHERE 1 = 0");
            for (int k = 0; k < names.FieldCount(); ++k) columns.push_back(names.FieldName(k));
            auto rows = ReadRows(scratch, table, std::move(columns));
            if (!rows.rows.empty()) tables.emplace(table, std::move(rows));
        }
        return tables;
    }();
    return seeded;
}

}  // namespace

std::vector<HeldTable> TablesBeyondNewArchive(Database& db) {
    std::vector<HeldTable> held;
    for (const auto& table : db.TableNames()) {
        const std::int64_t count = static_cast<std::int64_t>(
            Recordset(db, "SELECT COUNT(*) FROM " + table).Value(0).ToDouble());
        const auto& seeded = SeededTables();
        const auto seed = seeded.find(table);
        if (seed == seeded.end()) {
            if (count > 0) held.push_back({table, count, false});
        } else if (ReadRows(db, table, seed->second.columns).rows != seed->second.rows) {
            held.push_back({table, count, true});
        }
    }
    return held;
}

std::string HeldTablesText(const std::vector<HeldTable>& tables) {
    std::string text;
    for (const auto& held : tables) {
        text += text.empty() ? "" : ", ";
        text += held.seeded ? held.table + " modificata"
                            : std::to_string(held.rows) +
                                  (held.rows == 1 ? " riga in " : " righe in ") + held.table;
    }
    return text;
}

}  // namespace quotaplan
