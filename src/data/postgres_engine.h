#pragma once

#include <memory>
#include <string_view>

#include "data/database_engine.h"

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

// Connects (Database::Connect says what it throws).
std::unique_ptr<DatabaseEngine> ConnectPostgresEngine(std::string_view conninfo,
                                                      int lockTimeoutMs);

// Whether an archive name given on a command line or in Quotaplan.ini is a PostgreSQL
// connection URI ("postgresql://" or "postgres://").
bool IsPostgresUri(std::string_view text);

}  // namespace quotaplan
