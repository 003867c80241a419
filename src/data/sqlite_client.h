#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quotaplan {

// The SQLite library is loaded the first time an archive file is opened rather than linked,
// as the PostgreSQL client is (server_client.h): a calculation of quotaplan-calc never
// needs it, and loading it cost a third of the program's start. The sqlite3 functions the
// engine calls are defined in sqlite_client.cpp, each forwarding to the library once loaded;
// a function the engine starts to use needs its line there.

// The file name of the library, as the package libsqlite3-0 installs it.
inline constexpr std::string_view kSqliteLibrary = "libsqlite3.so.0";

// Loads the library (once): nullopt when it is ready, otherwise the Italian message saying
// what is missing and how to install it. Safe from several threads.
std::optional<std::string> LoadSqliteLibrary();

// LoadSqliteLibrary, its message thrown as a DatabaseError (3002, opening the archive).
void RequireSqliteLibrary();

}  // namespace quotaplan
