#include "data/sqlite_client.h"

#include <sqlite3.h>

#include <atomic>
#include <vector>

#include "common/loaded_library.h"
#include "data/db_error.h"

namespace quotaplan {
namespace {

// The functions the engine calls, resolved by name when the library loads.
#define QUOTAPLAN_SQLITE_FUNCTIONS(X)                                                       \
    X(sqlite3_bind_double) X(sqlite3_bind_int64) X(sqlite3_bind_null) X(sqlite3_bind_text)  \
    X(sqlite3_busy_timeout) X(sqlite3_changes) X(sqlite3_close_v2) X(sqlite3_column_bytes)   \
    X(sqlite3_column_count) X(sqlite3_column_decltype) X(sqlite3_column_double)              \
    X(sqlite3_column_int64) X(sqlite3_column_name) X(sqlite3_column_text)                    \
    X(sqlite3_column_type) X(sqlite3_create_collation_v2) X(sqlite3_create_function_v2)      \
    X(sqlite3_db_readonly) X(sqlite3_errmsg) X(sqlite3_errstr) X(sqlite3_exec)               \
    X(sqlite3_extended_errcode) X(sqlite3_extended_result_codes) X(sqlite3_finalize)         \
    X(sqlite3_get_autocommit) X(sqlite3_open_v2) X(sqlite3_prepare_v2) X(sqlite3_reset)      \
    X(sqlite3_result_error) X(sqlite3_result_int) X(sqlite3_result_null)                     \
    X(sqlite3_result_text) X(sqlite3_step) X(sqlite3_value_bytes) X(sqlite3_value_text)      \
    X(sqlite3_value_type)

enum class SqliteFunction {
#define QUOTAPLAN_NUMBER(name) name,
    QUOTAPLAN_SQLITE_FUNCTIONS(QUOTAPLAN_NUMBER)
#undef QUOTAPLAN_NUMBER
};

LoadedLibrary& Library() {
    static LoadedLibrary library(std::string(kSqliteLibrary), {
#define QUOTAPLAN_NAME(name) #name,
        QUOTAPLAN_SQLITE_FUNCTIONS(QUOTAPLAN_NAME)
#undef QUOTAPLAN_NAME
    });
    return library;
}

// The resolved functions once the library has loaded: every SQLite call of the engine passes
// here, and a re-indexing makes millions of them.
std::atomic<void* const*> loadedFunctions{nullptr};

// The function numbered `k`, the library loaded first: a program that calls SQLite itself
// besides the engine (the tests' fixtures) may call before any archive is opened.
[[gnu::noinline]] void* const* LoadFunctions() {
    if (Library().Load()) return nullptr;  // the engine asks RequireSqliteLibrary first
    void* const* functions = Library().Functions();
    loadedFunctions.store(functions, std::memory_order_release);
    return functions;
}

// Inlined into every forwarding function: once loaded, a call costs a load and a jump.
inline void* Loaded(SqliteFunction k) {
    void* const* functions = loadedFunctions.load(std::memory_order_acquire);
    if (functions == nullptr) [[unlikely]] {
        functions = LoadFunctions();
        if (functions == nullptr) return nullptr;
    }
    return functions[static_cast<std::size_t>(k)];
}

}  // namespace

std::optional<std::string> LoadSqliteLibrary() {
    const auto& missing = Library().Load();
    if (!missing) return std::nullopt;
    return "Per aprire l'archivio serve la libreria " + std::string(kSqliteLibrary) +
           " (pacchetto libsqlite3-0), che su questo computer manca o non si carica (" +
           *missing + "): installarla con \"sudo apt-get install libsqlite3-0\".";
}

void RequireSqliteLibrary() {
    if (auto missing = LoadSqliteLibrary()) throw DatabaseError(kErrOpeningFile, *missing);
}

}  // namespace quotaplan

#define QUOTAPLAN_CALL(name) \
    reinterpret_cast<decltype(&::name)>(quotaplan::Loaded(quotaplan::SqliteFunction::name))

// SQLite's functions as the engine calls them, each forwarding to the loaded library. Built
// with hidden visibility, so they never stand in for the library's own symbols.
int sqlite3_bind_double(sqlite3_stmt* a0, int a1, double a2) {
    return QUOTAPLAN_CALL(sqlite3_bind_double)(a0, a1, a2);
}
int sqlite3_bind_int64(sqlite3_stmt* a0, int a1, sqlite3_int64 a2) {
    return QUOTAPLAN_CALL(sqlite3_bind_int64)(a0, a1, a2);
}
int sqlite3_bind_null(sqlite3_stmt* a0, int a1) {
    return QUOTAPLAN_CALL(sqlite3_bind_null)(a0, a1);
}
int sqlite3_bind_text(sqlite3_stmt* a0, int a1, const char* a2, int a3, void(*a4)(void*)) {
    return QUOTAPLAN_CALL(sqlite3_bind_text)(a0, a1, a2, a3, a4);
}
int sqlite3_busy_timeout(sqlite3* a0, int ms) {
    return QUOTAPLAN_CALL(sqlite3_busy_timeout)(a0, ms);
}
int sqlite3_changes(sqlite3* a0) {
    return QUOTAPLAN_CALL(sqlite3_changes)(a0);
}
int sqlite3_close_v2(sqlite3* a0) {
    return QUOTAPLAN_CALL(sqlite3_close_v2)(a0);
}
int sqlite3_column_bytes(sqlite3_stmt* a0, int iCol) {
    return QUOTAPLAN_CALL(sqlite3_column_bytes)(a0, iCol);
}
int sqlite3_column_count(sqlite3_stmt *pStmt) {
    return QUOTAPLAN_CALL(sqlite3_column_count)(pStmt);
}
const char * sqlite3_column_decltype(sqlite3_stmt* a0, int a1) {
    return QUOTAPLAN_CALL(sqlite3_column_decltype)(a0, a1);
}
double sqlite3_column_double(sqlite3_stmt* a0, int iCol) {
    return QUOTAPLAN_CALL(sqlite3_column_double)(a0, iCol);
}
sqlite3_int64 sqlite3_column_int64(sqlite3_stmt* a0, int iCol) {
    return QUOTAPLAN_CALL(sqlite3_column_int64)(a0, iCol);
}
const char * sqlite3_column_name(sqlite3_stmt* a0, int N) {
    return QUOTAPLAN_CALL(sqlite3_column_name)(a0, N);
}
const unsigned char * sqlite3_column_text(sqlite3_stmt* a0, int iCol) {
    return QUOTAPLAN_CALL(sqlite3_column_text)(a0, iCol);
}
int sqlite3_column_type(sqlite3_stmt* a0, int iCol) {
    return QUOTAPLAN_CALL(sqlite3_column_type)(a0, iCol);
}
int sqlite3_create_collation_v2(sqlite3* a0, const char *zName, int eTextRep, void *pArg, int(*xCompare)(void*,int,const void*,int,const void*), void(*xDestroy)(void*)) {
    return QUOTAPLAN_CALL(sqlite3_create_collation_v2)(a0, zName, eTextRep, pArg, xCompare, xDestroy);
}
int sqlite3_create_function_v2(sqlite3 *db, const char *zFunctionName, int nArg, int eTextRep, void *pApp, void (*xFunc)(sqlite3_context*,int,sqlite3_value**), void (*xStep)(sqlite3_context*,int,sqlite3_value**), void (*xFinal)(sqlite3_context*), void(*xDestroy)(void*)) {
    return QUOTAPLAN_CALL(sqlite3_create_function_v2)(db, zFunctionName, nArg, eTextRep, pApp, xFunc, xStep, xFinal, xDestroy);
}
int sqlite3_db_readonly(sqlite3 *db, const char *zDbName) {
    return QUOTAPLAN_CALL(sqlite3_db_readonly)(db, zDbName);
}
const char * sqlite3_errmsg(sqlite3* a0) {
    return QUOTAPLAN_CALL(sqlite3_errmsg)(a0);
}
const char * sqlite3_errstr(int a0) {
    return QUOTAPLAN_CALL(sqlite3_errstr)(a0);
}
int sqlite3_exec(sqlite3* a0, const char *sql, int (*callback)(void*,int,char**,char**), void * a3, char **errmsg) {
    return QUOTAPLAN_CALL(sqlite3_exec)(a0, sql, callback, a3, errmsg);
}
int sqlite3_extended_errcode(sqlite3 *db) {
    return QUOTAPLAN_CALL(sqlite3_extended_errcode)(db);
}
int sqlite3_extended_result_codes(sqlite3* a0, int onoff) {
    return QUOTAPLAN_CALL(sqlite3_extended_result_codes)(a0, onoff);
}
int sqlite3_finalize(sqlite3_stmt *pStmt) {
    return QUOTAPLAN_CALL(sqlite3_finalize)(pStmt);
}
int sqlite3_get_autocommit(sqlite3* a0) {
    return QUOTAPLAN_CALL(sqlite3_get_autocommit)(a0);
}
int sqlite3_open_v2(const char *filename, sqlite3 **ppDb, int flags, const char *zVfs) {
    return QUOTAPLAN_CALL(sqlite3_open_v2)(filename, ppDb, flags, zVfs);
}
int sqlite3_prepare_v2(sqlite3 *db, const char *zSql, int nByte, sqlite3_stmt **ppStmt, const char **pzTail) {
    return QUOTAPLAN_CALL(sqlite3_prepare_v2)(db, zSql, nByte, ppStmt, pzTail);
}
int sqlite3_reset(sqlite3_stmt *pStmt) {
    return QUOTAPLAN_CALL(sqlite3_reset)(pStmt);
}
void sqlite3_result_error(sqlite3_context* a0, const char* a1, int a2) {
    QUOTAPLAN_CALL(sqlite3_result_error)(a0, a1, a2);
}
void sqlite3_result_int(sqlite3_context* a0, int a1) {
    QUOTAPLAN_CALL(sqlite3_result_int)(a0, a1);
}
void sqlite3_result_null(sqlite3_context* a0) {
    QUOTAPLAN_CALL(sqlite3_result_null)(a0);
}
void sqlite3_result_text(sqlite3_context* a0, const char* a1, int a2, void(*a3)(void*)) {
    QUOTAPLAN_CALL(sqlite3_result_text)(a0, a1, a2, a3);
}
int sqlite3_step(sqlite3_stmt* a0) {
    return QUOTAPLAN_CALL(sqlite3_step)(a0);
}
int sqlite3_value_bytes(sqlite3_value* a0) {
    return QUOTAPLAN_CALL(sqlite3_value_bytes)(a0);
}
const unsigned char * sqlite3_value_text(sqlite3_value* a0) {
    return QUOTAPLAN_CALL(sqlite3_value_text)(a0);
}
int sqlite3_value_type(sqlite3_value* a0) {
    return QUOTAPLAN_CALL(sqlite3_value_type)(a0);
}
