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

// How an existing archive file is opened.
enum class FileAccess {
    AsPermitted,  // read-write, or read-only when no one may write the file
    ReadOnly,     // never written through this connection, whatever the permissions
};

// Opens an existing archive (Database::Open says what it checks and throws).
std::unique_ptr<DatabaseEngine> OpenSqliteEngine(const std::filesystem::path& file,
                                                 int busyTimeoutMs,
                                                 FileAccess access = FileAccess::AsPermitted);

// Where the file of a new archive comes from.
enum class NewFile {
    Made,        // made here: anything that bears the name already is refused
    EmptyGiven,  // an empty regular file the caller made for it (a temporary of its own)
};

// Makes a new, empty SQLite database for a new archive. Throws DatabaseError 3731 when
// anything already bears the name (an archive is never overwritten) or, for EmptyGiven,
// when the file is not an empty regular file; 3002 when it cannot be made or opened.
std::unique_ptr<DatabaseEngine> CreateSqliteEngine(const std::filesystem::path& file,
                                                   NewFile newFile = NewFile::Made);

// A new, empty database in memory, gone when closed: a scratch archive to compare with.
std::unique_ptr<DatabaseEngine> CreateSqliteMemoryEngine();

// The DbError for SQLite's result code rc on the connection: the error table's number
// where the meaning matches, otherwise SQLite's extended code and message.
DbError ErrorFromSqlite(sqlite3* handle, int rc);

// The SQLite handle behind the connection, nullptr for another engine or a closed one; for
// tests that need to act as a second program on the same file.
sqlite3* SqliteHandleOf(const Database& db);

}  // namespace quotaplan
