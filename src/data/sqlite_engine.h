#pragma once

#include <filesystem>
#include <memory>

#include "data/database.h"
#include "data/database_engine.h"

struct sqlite3;

namespace quotaplan {

// The SQLite engine: the archive is one file. Statements of the Jet dialect are rewritten
// by TranslateJetSql. On every connection: journal mode DELETE with synchronous FULL, the
// busy timeout, NOCASE and LIKE replaced by comparisons that fold accented letters too, and
// qp_today(), the date the summary views count from, taken from Today() (common/clock.h).

// Opens an existing archive (Database::Open says what it checks and throws).
std::unique_ptr<DatabaseEngine> OpenSqliteEngine(const std::filesystem::path& file,
                                                 int busyTimeoutMs);

// Makes a new, empty SQLite file for a new archive. Throws DatabaseError 3731 when anything
// already bears the name (an archive is never overwritten), 3002 when it cannot be made.
std::unique_ptr<DatabaseEngine> CreateSqliteEngine(const std::filesystem::path& file);

// The DbError for SQLite's result code rc on the connection: the error table's number
// where the meaning matches, otherwise SQLite's extended code and message.
DbError ErrorFromSqlite(sqlite3* handle, int rc);

// The SQLite handle behind the connection, nullptr for another engine or a closed one; for
// tests that need to act as a second program on the same file.
sqlite3* SqliteHandleOf(const Database& db);

}  // namespace quotaplan
