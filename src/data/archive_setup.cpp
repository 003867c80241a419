#include "data/archive_setup.h"

#include <algorithm>

#include "data/archive_sql.h"
#include "data/text_fold.h"

namespace quotaplan {
namespace {

// A copy that cannot be made as the archives stand.
struct Refusal {
    std::string message;
};

// Rows are read in pages of this many, so that a large plan table never sits in memory whole.
constexpr int kPageRows = 5000;

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (const auto& name : names) text += (text.empty() ? "" : ", ") + name;
    return text;
}

std::string FirstError(Database& db) {
    std::string text = db.Errors().empty() ? std::string("errore sconosciuto")
                                           : ErrorLine(db.Errors().front());
    db.ClearErrors();
    return text;
}

std::vector<std::string> ColumnNames(Database& db, const std::string& table) {
    Recordset rows(db, "SELECT TOP 1 * FROM " + table);
    std::vector<std::string> names;
    for (int k = 0; k < rows.FieldCount(); ++k) names.push_back(rows.FieldName(k));
    return names;
}

const std::string* FindFolded(const std::vector<std::string>& names, std::string_view name) {
    const auto found = std::find_if(names.begin(), names.end(), [&](const std::string& candidate) {
        return CompareFolded(candidate, name) == 0;
    });
    return found == names.end() ? nullptr : &*found;
}

long long CountRows(Database& db, const std::string& table) {
    Recordset rows(db, "SELECT COUNT(*) FROM " + table);
    return static_cast<long long>(rows.Value(0).ToDouble());
}

// Copies one table; the count of rows copied, or throws the Italian message.
std::int64_t CopyTable(Database& from, Database& to, const std::string& table) {
    const auto columns = ColumnNames(from, table);
    const auto targetColumns = ColumnNames(to, table);
    std::string list;
    std::string marks;
    for (const auto& column : columns) {
        if (FindFolded(targetColumns, column) == nullptr) {
            throw Refusal{"Nell'archivio di destinazione manca la colonna " + column +
                          " della tabella " + table + "."};
        }
        list += (list.empty() ? "[" : ", [") + column + "]";
        marks += marks.empty() ? "?" : ", ?";
    }
    if (!to.Execute("DELETE * FROM " + table)) throw FirstError(to);
    auto insert = to.Prepare("INSERT INTO " + table + " (" + list + ") VALUES (" + marks + ")");
    if (!insert.IsReady()) throw FirstError(to);

    const bool byId = FindFolded(columns, "ID") != nullptr;
    std::int64_t copied = 0;
    std::int64_t lastId = 0;
    for (bool more = true; more;) {
        const std::string page =
            byId ? "SELECT TOP " + std::to_string(kPageRows) + " * FROM " + table +
                       " WHERE ID > " + std::to_string(lastId) + " ORDER BY ID"
                 : "SELECT * FROM " + table;
        Recordset rows(from, page);
        int read = 0;
        for (; !rows.Eof(); rows.MoveNext(), ++read) {
            for (int k = 0; k < rows.FieldCount(); ++k) {
                if (!insert.Bind(k + 1, rows.Value(k))) throw FirstError(to);
            }
            if (!insert.Step()) throw FirstError(to);
            if (byId) lastId = std::max<std::int64_t>(lastId, rows.Value("ID").ToLong());
            ++copied;
        }
        more = byId && read == kPageRows;
    }
    if (byId && !to.AdvanceIdentity(table)) throw FirstError(to);
    return copied;
}

}  // namespace

ArchiveSetup InitArchive(Database& db) {
    try {
        const auto tables = db.TableNames();
        if (!tables.empty()) {
            return {false, true,
                    "Il database non è vuoto (contiene le tabelle " + Joined(tables) +
                        "): --init-archive prepara soltanto un archivio nuovo.",
                    {}};
        }
    } catch (const DatabaseError& failure) {
        return {false, false, ErrorLine(failure.Error()), {}};
    }
    if (!db.ExecuteScript(NewArchiveSql(db.Engine()->Kind()))) {
        return {false, false, FirstError(db), {}};
    }
    return {true, false, "", {}};
}

ArchiveSetup CopyArchive(Database& from, Database& to, const std::vector<ContractName>& renamed) {
    ArchiveSetup result;
    bool began = false;
    try {
        const auto tables = from.TableNames();
        const auto targetTables = to.TableNames();
        for (const auto& table : tables) {
            if (FindFolded(targetTables, table) == nullptr) {
                return {false, true,
                        "Nell'archivio di destinazione manca la tabella " + table + ".", {}};
            }
        }
        for (const char* kept : {"tabContratti", "tabPDA"}) {
            if (FindFolded(targetTables, kept) == nullptr) continue;
            if (const auto count = CountRows(to, kept); count > 0) {
                return {false, true,
                        "L'archivio di destinazione contiene già dati (" + std::to_string(count) +
                            (count == 1 ? " riga in " : " righe in ") + kept +
                            "): la copia si fa in un archivio nuovo.",
                        {}};
            }
        }
        // The source is read in one transaction too, so that a desk saving meanwhile
        // cannot leave a contract without its plan in the copy.
        if (!from.Execute("BEGIN")) return {false, false, FirstError(from), {}};
        if (!to.Execute("BEGIN IMMEDIATE")) {
            from.Execute("ROLLBACK");
            return {false, false, FirstError(to), {}};
        }
        began = true;
        for (const auto& table : tables) result.counts.emplace_back(table, CopyTable(from, to, table));
        StoreNameKeys(to, renamed);
        from.Execute("COMMIT");
        if (!to.Execute("COMMIT")) throw FirstError(to);
        result.ok = true;
        return result;
    } catch (const Refusal& refusal) {
        result.message = refusal.message;
        result.refused = true;
    } catch (const std::string& message) {
        result.message = message;
    } catch (const DatabaseError& failure) {
        result.message = ErrorLine(failure.Error());
    } catch (const std::exception& failure) {
        result.message = failure.what();
    }
    if (began) {
        to.Execute("ROLLBACK");
        from.Execute("ROLLBACK");
        from.ClearErrors();
        to.ClearErrors();
    }
    result.ok = false;
    result.counts.clear();
    return result;
}

}  // namespace quotaplan
