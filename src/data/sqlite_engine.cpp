#include "data/sqlite_engine.h"

#include <sqlite3.h>

#include <cctype>
#include <fstream>
#include <system_error>
#include <type_traits>
#include <utility>

#include "common/clock.h"
#include "data/jet_sql.h"
#include "data/sqlite_client.h"
#include "data/text_fold.h"

namespace quotaplan {
namespace {

namespace fs = std::filesystem;

// A connection is used by one thread at a time (the batch's workers never touch the archive),
// so SQLite need not lock it on every call: a yearly statement or a re-indexing reads
// millions of column values.
constexpr int kOneThreadAtATime = SQLITE_OPEN_NOMUTEX;

DbError TableError(std::int32_t number, const fs::path& file) {
    return {number, AdoErrorDescription(number) + " File: " + file.string()};
}

std::string_view ArgumentText(sqlite3_value* value) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return text == nullptr ? std::string_view()
                           : std::string_view(text, sqlite3_value_bytes(value));
}

int FoldedCollation(void*, int lengthA, const void* a, int lengthB, const void* b) {
    return CompareFolded(std::string_view(static_cast<const char*>(a), lengthA),
                         std::string_view(static_cast<const char*>(b), lengthB));
}

// like(pattern, text [, escape]) as SQLite calls it for "text LIKE pattern".
void FoldedLike(sqlite3_context* context, int count, sqlite3_value** values) {
    for (int k = 0; k < count; ++k) {
        if (sqlite3_value_type(values[k]) == SQLITE_NULL) {
            sqlite3_result_null(context);
            return;
        }
    }
    char32_t escape = 0;
    if (count == 3) {
        const auto escapeText = FoldCase(ArgumentText(values[2]));
        if (escapeText.size() != 1) {
            sqlite3_result_error(context, "ESCAPE expression must be a single character", -1);
            return;
        }
        escape = escapeText[0];
    }
    sqlite3_result_int(context,
                       LikeFolded(ArgumentText(values[0]), ArgumentText(values[1]), escape));
}

void TodayFunction(sqlite3_context* context, int, sqlite3_value**) {
    const auto iso = Today().Iso();
    sqlite3_result_text(context, iso.c_str(), static_cast<int>(iso.size()), SQLITE_TRANSIENT);
}

void Register(sqlite3* handle) {
    sqlite3_create_collation_v2(handle, "NOCASE", SQLITE_UTF8, nullptr, FoldedCollation, nullptr);
    sqlite3_create_function_v2(handle, "like", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                               FoldedLike, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(handle, "like", 3, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                               FoldedLike, nullptr, nullptr, nullptr);
    // Deterministic within one statement, so a view evaluates it once, not per row.
    sqlite3_create_function_v2(handle, "qp_today", 0, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                               TodayFunction, nullptr, nullptr, nullptr);
}

bool OnlySeparators(const char* tail) {
    for (; tail != nullptr && *tail != '\0'; ++tail) {
        if (!std::isspace(static_cast<unsigned char>(*tail)) && *tail != ';') return false;
    }
    return true;
}

std::uint32_t BigEndian32(const unsigned char* bytes) {
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
           (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]};
}

// True when the file is shorter than the page count its header vouches for: a truncated
// copy that SQLite would only notice when it reads the missing pages.
bool IsTruncated(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    unsigned char header[100] = {};
    if (!in.read(reinterpret_cast<char*>(header), sizeof header)) return true;
    std::uint32_t pageSize = (std::uint32_t{header[16]} << 8) | header[17];
    if (pageSize == 1) pageSize = 65536;
    const auto changeCounter = BigEndian32(header + 24);
    const auto pageCount = BigEndian32(header + 28);
    const auto validFor = BigEndian32(header + 92);
    if (validFor != changeCounter || pageCount == 0) return false;  // count not kept: trust it
    std::error_code error;
    const auto size = fs::file_size(file, error);
    return error || size < std::uint64_t{pageCount} * pageSize;
}

// Steps a changing statement to its end (rows a SELECT may give are passed over). True when
// it ran; otherwise false with its error appended to the list.
bool RunToEnd(sqlite3* handle, sqlite3_stmt* statement, std::vector<DbError>& errors) {
    int rc = SQLITE_ROW;
    while (rc == SQLITE_ROW) rc = sqlite3_step(statement);
    if (rc == SQLITE_DONE) return true;
    errors.push_back(ErrorFromSqlite(handle, rc));
    return false;
}

class SqliteStatement final : public EngineStatement {
public:
    SqliteStatement(sqlite3* handle, sqlite3_stmt* statement)
        : handle_(handle), statement_(statement) {}
    ~SqliteStatement() override { sqlite3_finalize(statement_); }

    bool Bind(int parameter, const DbValue& value, std::vector<DbError>& errors) override {
        const int rc = value.Visit([&](const auto& held) {
            using Held = std::decay_t<decltype(held)>;
            if constexpr (std::is_same_v<Held, std::int64_t>) {
                return sqlite3_bind_int64(statement_, parameter, held);
            } else if constexpr (std::is_same_v<Held, double>) {
                return sqlite3_bind_double(statement_, parameter, held);
            } else if constexpr (std::is_same_v<Held, std::string>) {
                return sqlite3_bind_text(statement_, parameter, held.data(),
                                         static_cast<int>(held.size()), SQLITE_TRANSIENT);
            } else {
                return sqlite3_bind_null(statement_, parameter);
            }
        });
        if (rc == SQLITE_OK) return true;
        errors.push_back(ErrorFromSqlite(handle_, rc));
        return false;
    }

    bool Step(std::vector<DbError>& errors) override {
        const bool ok = RunToEnd(handle_, statement_, errors);
        sqlite3_reset(statement_);
        return ok;
    }

    void Reset() override { sqlite3_reset(statement_); }

private:
    sqlite3* handle_;
    sqlite3_stmt* statement_;
};

class SqliteCursor final : public EngineCursor {
public:
    SqliteCursor(sqlite3* handle, sqlite3_stmt* statement)
        : handle_(handle), statement_(statement) {
        const int count = sqlite3_column_count(statement_);
        for (int k = 0; k < count; ++k) {
            const char* name = sqlite3_column_name(statement_, k);
            const char* declared = sqlite3_column_decltype(statement_, k);
            names_.emplace_back(name != nullptr ? name : "");
            typeCodes_.push_back(TypeCodeOfDeclaredType(declared != nullptr ? declared : ""));
        }
    }
    ~SqliteCursor() override { sqlite3_finalize(statement_); }

    const std::vector<std::string>& Names() const override { return names_; }
    int DeclaredTypeCode(int column) const override { return typeCodes_[column]; }

    bool Next(std::vector<DbValue>& row) override {
        const int rc = sqlite3_step(statement_);
        if (rc == SQLITE_DONE) return false;
        if (rc != SQLITE_ROW) throw DatabaseError(ErrorFromSqlite(handle_, rc));
        row.clear();
        for (int k = 0; k < static_cast<int>(names_.size()); ++k) row.push_back(ValueAt(k));
        return true;
    }

    bool Advance() override {
        const int rc = sqlite3_step(statement_);
        if (rc == SQLITE_DONE) return false;
        if (rc != SQLITE_ROW) throw DatabaseError(ErrorFromSqlite(handle_, rc));
        return true;
    }
    // Numbers stored as numbers are read as they are; anything else (a text, a real where a
    // whole number is read) converts as a Recordset's value would, a text that is no number
    // raising the same type mismatch instead of reading as 0.
    std::int64_t Integer(int column) const override {
        if (sqlite3_column_type(statement_, column) == SQLITE_INTEGER) {
            return sqlite3_column_int64(statement_, column);
        }
        return ValueAt(column).ToLong();
    }
    double Real(int column) const override {
        const int type = sqlite3_column_type(statement_, column);
        if (type == SQLITE_FLOAT || type == SQLITE_INTEGER) {
            return sqlite3_column_double(statement_, column);
        }
        return ValueAt(column).ToDouble();
    }
    std::string_view Text(int column) const override {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
        if (text == nullptr) return {};
        return {text, static_cast<std::size_t>(sqlite3_column_bytes(statement_, column))};
    }

private:
    DbValue ValueAt(int k) const {
        switch (sqlite3_column_type(statement_, k)) {
            case SQLITE_INTEGER:
                return DbValue::Integer(sqlite3_column_int64(statement_, k));
            case SQLITE_FLOAT:
                return DbValue::Real(sqlite3_column_double(statement_, k));
            case SQLITE_NULL:
                return DbValue();
            default: {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, k));
                return DbValue::Text(text == nullptr
                                         ? std::string()
                                         : std::string(text, sqlite3_column_bytes(statement_, k)));
            }
        }
    }

    sqlite3* handle_;
    sqlite3_stmt* statement_;
    std::vector<std::string> names_;
    std::vector<int> typeCodes_;
};

class SqliteEngine final : public DatabaseEngine {
public:
    SqliteEngine(sqlite3* handle, fs::path file, int busyTimeoutMs = kDefaultBusyTimeoutMs)
        : handle_(handle), file_(std::move(file)), busyTimeoutMs_(busyTimeoutMs) {}
    ~SqliteEngine() override { sqlite3_close_v2(handle_); }
    SqliteEngine(const SqliteEngine&) = delete;
    SqliteEngine& operator=(const SqliteEngine&) = delete;

    sqlite3* Handle() const { return handle_; }

    EngineKind Kind() const override { return EngineKind::Sqlite; }
    std::string Location() const override { return "File: " + file_.string(); }

    std::unique_ptr<DatabaseEngine> OpenReaderAlongside() const override {
        if (file_ == ":memory:") return nullptr;
        return OpenSqliteEngine(file_, busyTimeoutMs_, FileAccess::ReadOnly);
    }

    // A page cache of 64 MiB while the run lasts, then the one the connection had.
    void SetLargeTransactions(bool large) override {
        if (large == (cacheBefore_ != 0)) return;
        if (large) {
            cacheBefore_ = PragmaValue("PRAGMA cache_size");
            if (cacheBefore_ == 0) return;
            sqlite3_exec(handle_, "PRAGMA cache_size = -65536", nullptr, nullptr, nullptr);
        } else {
            const std::string restore = "PRAGMA cache_size = " + std::to_string(cacheBefore_);
            sqlite3_exec(handle_, restore.c_str(), nullptr, nullptr, nullptr);
            cacheBefore_ = 0;
        }
    }
    bool IsReadOnly() const override { return sqlite3_db_readonly(handle_, "main") == 1; }
    int Changes() const override { return sqlite3_changes(handle_); }

    bool Execute(std::string_view jetSql, std::vector<DbError>& errors) override {
        const auto errorsBefore = errors.size();
        sqlite3_stmt* statement = PrepareOne(jetSql, errors);
        if (statement == nullptr) return errors.size() == errorsBefore;  // blanks run as nothing
        const bool ok = RunToEnd(handle_, statement, errors);
        sqlite3_finalize(statement);
        return ok;
    }

    std::unique_ptr<EngineStatement> Prepare(std::string_view jetSql,
                                             std::vector<DbError>& errors) override {
        sqlite3_stmt* statement = PrepareOne(jetSql, errors);
        if (statement == nullptr) return nullptr;
        return std::make_unique<SqliteStatement>(handle_, statement);
    }

    std::unique_ptr<EngineCursor> Query(std::string_view jetSql) override {
        const auto sql = TranslateJetSql(jetSql);
        sqlite3_stmt* statement = nullptr;
        const char* tail = nullptr;
        const int rc = sqlite3_prepare_v2(handle_, sql.c_str(), static_cast<int>(sql.size()),
                                          &statement, &tail);
        if (rc != SQLITE_OK) {
            const auto failure = ErrorFromSqlite(handle_, rc);
            sqlite3_finalize(statement);
            throw DatabaseError(failure);
        }
        if (statement == nullptr || !OnlySeparators(tail)) {
            sqlite3_finalize(statement);
            throw DatabaseError(TrailingTextError());
        }
        return std::make_unique<SqliteCursor>(handle_, statement);
    }

    std::vector<std::string> TableNames() override {
        std::vector<std::string> names;
        for (auto tables = Query("SELECT name FROM sqlite_master WHERE type = 'table' AND "
                                 "substr(name, 1, 7) <> 'sqlite_' ORDER BY name");;) {
            std::vector<DbValue> row;
            if (!tables->Next(row)) break;
            names.push_back(row[0].ToText());
        }
        return names;
    }

    bool ExecuteScript(std::string_view nativeSql, std::vector<DbError>& errors) override {
        const std::string script(nativeSql);
        const int rc = sqlite3_exec(handle_, script.c_str(), nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK) return true;
        errors.push_back(ErrorFromSqlite(handle_, rc));
        if (!sqlite3_get_autocommit(handle_)) sqlite3_exec(handle_, "ROLLBACK", nullptr, nullptr, nullptr);
        return false;
    }

    // AUTOINCREMENT keeps the highest ID ever written by itself.
    bool AdvanceIdentity(std::string_view, std::vector<DbError>&) override { return true; }

private:
    // The whole number a PRAGMA reads; 0 when it reads none.
    std::int64_t PragmaValue(const char* pragma) const {
        sqlite3_stmt* statement = nullptr;
        std::int64_t value = 0;
        if (sqlite3_prepare_v2(handle_, pragma, -1, &statement, nullptr) == SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW) {
            value = sqlite3_column_int64(statement, 0);
        }
        sqlite3_finalize(statement);
        return value;
    }

    // Prepares the rewritten text; nullptr with the error listed when it cannot, and for a
    // text of nothing but blanks.
    sqlite3_stmt* PrepareOne(std::string_view jetSql, std::vector<DbError>& errors) {
        std::string sql;
        try {
            sql = TranslateJetSql(jetSql);
        } catch (const DatabaseError& failure) {
            errors.push_back(failure.Error());
            return nullptr;
        }
        sqlite3_stmt* statement = nullptr;
        const char* tail = nullptr;
        const int rc = sqlite3_prepare_v2(handle_, sql.c_str(), static_cast<int>(sql.size()),
                                          &statement, &tail);
        if (rc != SQLITE_OK) {
            errors.push_back(ErrorFromSqlite(handle_, rc));
            sqlite3_finalize(statement);
            return nullptr;
        }
        if (!OnlySeparators(tail)) {
            errors.push_back(TrailingTextError());
            sqlite3_finalize(statement);
            return nullptr;
        }
        return statement;
    }

    sqlite3* handle_;
    fs::path file_;
    int busyTimeoutMs_;
    std::int64_t cacheBefore_ = 0;  // while large transactions run: the cache to go back to
};

// Settings of every connection, read-only or not.
void Configure(sqlite3* handle, int busyTimeoutMs) {
    sqlite3_extended_result_codes(handle, 1);
    sqlite3_busy_timeout(handle, busyTimeoutMs);
    // SQLite's own page cache of 2 MB, not one that holds the 40 MB of index pages the
    // summary of 10,000 contracts visits: filling fresh memory page by page costs a process
    // more than reading the pages again from the system's file cache for each of its queries.
    Register(handle);
}

}  // namespace

DbError ErrorFromSqlite(sqlite3* handle, int rc) {
    const int extended = handle != nullptr ? sqlite3_extended_errcode(handle) : rc;
    const int code = (extended & 0xFF) == (rc & 0xFF) ? extended : rc;
    auto mapped = [](std::int32_t number) { return DbError{number, AdoErrorDescription(number)}; };
    switch (code & 0xFF) {
        case SQLITE_CONSTRAINT:
            if (code == SQLITE_CONSTRAINT_UNIQUE || code == SQLITE_CONSTRAINT_PRIMARYKEY) {
                return mapped(kErrIntegrityViolation);
            }
            break;
        case SQLITE_READONLY:
            return mapped(kErrWriteFile);
        case SQLITE_FULL:
            return mapped(kErrOutOfSpace);
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return mapped(kErrResourceLocked);
        case SQLITE_NOTADB:
        case SQLITE_CORRUPT:
            return mapped(kErrReadFile);
        case SQLITE_CANTOPEN:
            return mapped(kErrOpeningFile);
        case SQLITE_PERM:
        case SQLITE_AUTH:
            return mapped(kErrPermissionDenied);
        case SQLITE_TOOBIG:
            return mapped(kErrDataOverflow);
        case SQLITE_MISMATCH:
            return mapped(kErrSchemaViolation);
        case SQLITE_IOERR:
            return mapped(code == SQLITE_IOERR_READ || code == SQLITE_IOERR_SHORT_READ
                              ? kErrReadFile
                              : kErrWriteFile);
        default:
            break;
    }
    const char* message = handle != nullptr ? sqlite3_errmsg(handle) : sqlite3_errstr(rc);
    return {code, message != nullptr ? message : sqlite3_errstr(rc)};
}

std::unique_ptr<DatabaseEngine> OpenSqliteEngine(const fs::path& file, int busyTimeoutMs,
                                                 FileAccess access) {
    RequireSqliteLibrary();
    std::error_code error;
    const auto status = fs::status(file, error);
    if (!fs::exists(status)) throw DatabaseError(TableError(kErrOpeningFile, file));
    // A FIFO would block the open, a device would be read without end: neither is tried.
    if (!fs::is_regular_file(status)) throw DatabaseError(TableError(kErrReadFile, file));
    if (fs::file_size(file, error) == 0 || error)
        throw DatabaseError(TableError(kErrReadFile, file));

    const auto writeBits =
        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    const bool readOnly =
        access == FileAccess::ReadOnly || (status.permissions() & writeBits) == fs::perms::none;
    sqlite3* handle = nullptr;
    const int flags = (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | kOneThreadAtATime;
    int rc = sqlite3_open_v2(file.c_str(), &handle, flags, nullptr);
    // Closes on every way out.
    auto engine = std::make_unique<SqliteEngine>(handle, file, busyTimeoutMs);
    if (rc != SQLITE_OK) {
        auto failure = ErrorFromSqlite(handle, rc);
        if (failure.number == kErrOpeningFile) failure = TableError(kErrOpeningFile, file);
        throw DatabaseError(failure);
    }
    Configure(handle, busyTimeoutMs);

    // Reading the schema proves the file is a database and rolls back a hot journal that a
    // crashed writer left behind; only then is the file's length meaningful.
    rc = sqlite3_exec(handle, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        auto failure = ErrorFromSqlite(handle, rc);
        if (failure.number == kErrReadFile || failure.number == kErrResourceLocked) {
            failure = TableError(failure.number, file);
        }
        throw DatabaseError(failure);
    }
    if (IsTruncated(file)) throw DatabaseError(TableError(kErrReadFile, file));
    if (!readOnly) {
        rc = sqlite3_exec(handle, "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL;", nullptr,
                          nullptr, nullptr);
        if (rc != SQLITE_OK) throw DatabaseError(ErrorFromSqlite(handle, rc));
    }
    return engine;
}

std::unique_ptr<DatabaseEngine> CreateSqliteEngine(const fs::path& file, NewFile newFile) {
    RequireSqliteLibrary();
    std::error_code error;
    const auto status = fs::symlink_status(file, error);
    const bool usable = newFile == NewFile::Made
                            ? status.type() == fs::file_type::not_found
                            : fs::is_regular_file(status) && fs::file_size(file, error) == 0;
    if (!usable) throw DatabaseError(TableError(kErrResourceExists, file));
    const int create = newFile == NewFile::Made ? SQLITE_OPEN_CREATE : 0;
    sqlite3* handle = nullptr;
    const int rc = sqlite3_open_v2(
        file.c_str(), &handle,
        SQLITE_OPEN_READWRITE | create | SQLITE_OPEN_EXRESCODE | SQLITE_OPEN_NOFOLLOW |
            kOneThreadAtATime,
        nullptr);
    auto engine = std::make_unique<SqliteEngine>(handle, file);
    if (rc != SQLITE_OK) throw DatabaseError(TableError(kErrOpeningFile, file));
    Configure(handle, kDefaultBusyTimeoutMs);
    return engine;
}

std::unique_ptr<DatabaseEngine> CreateSqliteMemoryEngine() {
    RequireSqliteLibrary();
    sqlite3* handle = nullptr;
    const int rc =
        sqlite3_open_v2(":memory:", &handle,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_MEMORY | kOneThreadAtATime, nullptr);
    auto engine = std::make_unique<SqliteEngine>(handle, ":memory:");
    if (rc != SQLITE_OK) throw DatabaseError(ErrorFromSqlite(handle, rc));
    Configure(handle, kDefaultBusyTimeoutMs);
    return engine;
}

sqlite3* SqliteHandleOf(const Database& db) {
    const auto* engine = dynamic_cast<const SqliteEngine*>(db.Engine());
    return engine != nullptr ? engine->Handle() : nullptr;
}

}  // namespace quotaplan
