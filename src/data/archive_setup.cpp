#include "data/archive_setup.h"

#include <algorithm>
#include <optional>
#include <type_traits>

#include "common/atomic_file.h"
#include "data/archive_sql.h"
#include "data/new_archive_contents.h"
#include "data/server_text.h"
#include "data/sqlite_engine.h"
#include "data/text_fold.h"

namespace quotaplan {
namespace {

// A copy that cannot be made as the archives stand.
struct Refusal {
    std::string message;
};

// Rows are read in pages of this many, so that a large plan table never sits in memory whole.
constexpr int kPageRows = 5000;

ArchiveSetup Failed(std::string message) {
    ArchiveSetup failed;
    failed.message = std::move(message);
    return failed;
}

// Not done because of what the archives hold.
ArchiveSetup Refused(std::string message) {
    ArchiveSetup refused = Failed(std::move(message));
    refused.refused = true;
    return refused;
}

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

// Each table of `from` must be in `to`.
void RequireTables(const std::vector<std::string>& tables,
                   const std::vector<std::string>& targetTables) {
    for (const auto& table : tables) {
        if (FindFolded(targetTables, table) == nullptr) {
            throw Refusal{"Nell'archivio di destinazione manca la tabella " + table + "."};
        }
    }
}

// A target holding more than a new archive is refused unless its rows are to be replaced;
// then the rows it holds, table by table, for the report.
std::vector<std::pair<std::string, std::int64_t>> CheckTargetRows(
    Database& to, const std::vector<std::string>& targetTables, TargetRows targetRows) {
    std::vector<std::pair<std::string, std::int64_t>> held;
    if (targetRows == TargetRows::Replace) {
        for (const auto& table : targetTables) {
            if (const auto count = CountRows(to, table); count > 0) held.emplace_back(table, count);
        }
        return held;
    }
    if (const auto beyond = TablesBeyondNewArchive(to); !beyond.empty()) {
        throw Refusal{"L'archivio di destinazione contiene già dati (" + HeldTablesText(beyond) +
                      "): la copia si fa in un archivio nuovo; con --replace prende il posto "
                      "di questi dati."};
    }
    return held;
}

// What TextForServer makes of a text value; nullopt for any other value, and for a text the
// server holds as it is.
std::optional<ServerText> TextForServerOf(const DbValue& value) {
    return value.Visit([](const auto& held) -> std::optional<ServerText> {
        if constexpr (std::is_same_v<std::decay_t<decltype(held)>, std::string>) {
            return TextForServer(held);
        } else {
            return std::nullopt;
        }
    });
}

// Copies one table; the count of rows copied, or throws the Italian message.
std::int64_t CopyTable(Database& from, Database& to, const std::string& table,
                       std::vector<ChangedText>& changedTexts) {
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

    const bool serverTarget = to.Engine()->Kind() == EngineKind::Postgresql;
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
                auto mended = serverTarget ? TextForServerOf(rows.Value(k)) : std::nullopt;
                if (!mended) {
                    if (!insert.Bind(k + 1, rows.Value(k))) throw FirstError(to);
                    continue;
                }
                const std::string row =
                    byId ? "ID " + rows.Value("ID").ToText() : "riga " + std::to_string(copied + 1);
                changedTexts.push_back({table, row, columns[k], mended->change, mended->text});
                if (!insert.Bind(k + 1, DbValue::Text(std::move(mended->text)))) {
                    throw FirstError(to);
                }
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

// Replacing: the target's tables that `from` lacks are emptied too.
void EmptyTablesNotCopied(Database& to, const std::vector<std::string>& tables,
                          const std::vector<std::string>& targetTables) {
    for (const auto& table : targetTables) {
        if (FindFolded(tables, table) == nullptr && !to.Execute("DELETE * FROM " + table)) {
            throw FirstError(to);
        }
    }
}

}  // namespace

ArchiveSetup InitArchive(Database& db) {
    try {
        const auto tables = db.TableNames();
        if (!tables.empty()) {
            return Refused("Il database non è vuoto (contiene le tabelle " + Joined(tables) +
                           "): --init-archive prepara soltanto un archivio nuovo.");
        }
    } catch (const DatabaseError& failure) {
        return Failed(ErrorLine(failure.Error()));
    }
    if (!db.ExecuteScript(NewArchiveSql(db.Engine()->Kind()))) {
        return Failed(FirstError(db));
    }
    ArchiveSetup made;
    made.ok = true;
    return made;
}

ArchiveSetup MakeArchiveFile(const std::filesystem::path& file,
                             const std::function<ArchiveSetup(Database&)>& fill) {
    ArchiveSetup outcome;
    const std::string prefix = "." + file.filename().string() + ".parziale-";
    const auto written = WriteNamedFileAtomically(
        file, prefix, WhenFileExists::Keep, [&](const std::filesystem::path& temporary) {
            try {
                Database db(CreateSqliteEngine(temporary, NewFile::EmptyGiven));
                outcome = InitArchive(db);
                if (outcome.ok && fill) outcome = fill(db);
            } catch (const DatabaseError& failure) {
                outcome = Failed(ErrorLine(failure.Error()));
            }
            return outcome.ok;
        });
    if (written == AtomicWriteStatus::KeptExisting) {
        return Refused("Il file " + file.string() +
                       " è stato creato da un altro programma nel frattempo: non viene "
                       "sostituito.");
    }
    // Failed with nothing said: the folder could not take the file (missing, not writable,
    // full), before or after the archive was written.
    if (written == AtomicWriteStatus::Failed && (outcome.ok || outcome.message.empty())) {
        return Failed("Impossibile scrivere il file " + file.string() + ".");
    }
    return outcome;
}

ArchiveSetup CopyArchive(Database& from, Database& to, const CopyOptions& options) {
    ArchiveSetup result;
    bool began = false;
    try {
        const auto tables = from.TableNames();
        const auto targetTables = to.TableNames();
        RequireTables(tables, targetTables);
        // The source is read in one transaction too, so that a desk saving meanwhile
        // cannot leave a contract without its plan in the copy.
        if (!from.Execute("BEGIN")) return Failed(FirstError(from));
        if (!to.Execute("BEGIN IMMEDIATE")) {
            from.Execute("ROLLBACK");
            return Failed(FirstError(to));
        }
        began = true;
        // Under the target's writer lock: what it holds stays as checked until the copy ends.
        result.replaced = CheckTargetRows(to, targetTables, options.targetRows);
        for (const auto& table : tables) {
            result.counts.emplace_back(table, CopyTable(from, to, table, result.changedTexts));
        }
        if (options.targetRows == TargetRows::Replace) {
            EmptyTablesNotCopied(to, tables, targetTables);
        }
        StoreNameKeys(to, options.renamed);
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
    result.replaced.clear();
    result.changedTexts.clear();
    return result;
}

}  // namespace quotaplan
