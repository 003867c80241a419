#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "data/database_engine.h"
#include "data/jet_sql.h"

namespace quotaplan {

// The PostgreSQL engine: the archive is a database on a server, reached with libpq.
// Statements of the Jet dialect are rewritten by TranslateJetSql with names matched to the
// archive's tables and columns without regard to letter case (as Jet matched them),
// bracketed names quoted, and "?" parameters numbered. "BEGIN IMMEDIATE" also takes the
// archive's writer lock, so a second desk that saves waits at its start, as on SQLite.
// The summary views count from qp_today(): the server's CURRENT_DATE unless a test fixed
// Today(), which every statement then passes on. A connection lost to a server restart is
// made again at the next statement; a transaction it held is reported lost until rolled
// back, so nothing goes on as if it had been written.

// The archive's own names (tables, views, columns) by their lower-case form.
class ArchiveNames {
public:
    void Add(std::string_view name);
    void Clear() { names_.clear(); }
    // The quoted spelling of the archive's name, or "" when it has no such name.
    std::string Quoted(std::string_view name) const;

private:
    std::unordered_map<std::string, std::string> names_;
};

// The Jet dialect as the server reads it: bracketed names and bare names of the archive
// quoted in the archive's own spelling (other bare words, SQL's own, stay as written), "?"
// numbered "$1", "$2", ..., and text after the statement's end refused.
JetDialect PostgresDialect(const ArchiveNames& names);

// Connects (Database::Connect says what it throws).
std::unique_ptr<DatabaseEngine> ConnectPostgresEngine(std::string_view conninfo,
                                                      int lockTimeoutMs);

// Whether an archive name given on a command line or in Quotaplan.ini is a PostgreSQL
// connection URI ("postgresql://" or "postgres://", in any letter case).
bool IsPostgresUri(std::string_view text);

// The same connection URI naming another database on the same server:
// "postgresql:///postgres?host=/run/x" with "archivio" gives "postgresql:///archivio?host=/run/x".
std::string PostgresUriWithDatabase(std::string_view uri, std::string_view database);

}  // namespace quotaplan
