#include "data/database.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <system_error>
#include <type_traits>
#include <utility>

#include "common/clock.h"
#include "data/jet_sql.h"
#include "data/text_fold.h"

namespace quotaplan {
namespace {

namespace fs = std::filesystem;

std::string Upper(std::string_view text) {
    std::string out(text);
    for (auto& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

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

const DbError kTrailingText{kErrSqlSyntax, "Caratteri trovati dopo la fine dell'istruzione SQL."};

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

namespace {

// Steps a changing statement to its end (rows a SELECT may give are passed over). True when
// it ran; otherwise false with its error appended to the list.
bool RunToEnd(sqlite3* handle, sqlite3_stmt* statement, std::vector<DbError>& errors) {
    int rc = SQLITE_ROW;
    while (rc == SQLITE_ROW) rc = sqlite3_step(statement);
    if (rc == SQLITE_DONE) return true;
    errors.push_back(ErrorFromSqlite(handle, rc));
    return false;
}

}  // namespace

Database Database::Open(const fs::path& file, int busyTimeoutMs) {
    std::error_code error;
    const auto status = fs::status(file, error);
    if (!fs::exists(status)) throw DatabaseError(TableError(kErrOpeningFile, file));
    // A FIFO would block the open, a device would be read without end: neither is tried.
    if (!fs::is_regular_file(status)) throw DatabaseError(TableError(kErrReadFile, file));
    if (fs::file_size(file, error) == 0 || error)
        throw DatabaseError(TableError(kErrReadFile, file));

    const auto writeBits =
        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    const bool readOnly = (status.permissions() & writeBits) == fs::perms::none;
    sqlite3* handle = nullptr;
    const int flags = (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE);
    int rc = sqlite3_open_v2(file.c_str(), &handle, flags, nullptr);
    Database db(handle, file);  // closes the handle on every way out
    if (rc != SQLITE_OK) {
        auto failure = ErrorFromSqlite(handle, rc);
        if (failure.number == kErrOpeningFile) failure = TableError(kErrOpeningFile, file);
        throw DatabaseError(failure);
    }
    sqlite3_extended_result_codes(handle, 1);
    sqlite3_busy_timeout(handle, busyTimeoutMs);
    // Up to 64 MB of page cache (taken only as pages are read) holds the index pages that
    // the summary of 10,000 contracts visits, one or two a contract, between its queries.
    sqlite3_exec(handle, "PRAGMA cache_size=-65536", nullptr, nullptr, nullptr);
    Register(handle);

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
    return db;
}

Database::Database(Database&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)),
      file_(std::move(other.file_)),
      errors_(std::move(other.errors_)) {}

Database& Database::operator=(Database&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = std::exchange(other.handle_, nullptr);
        file_ = std::move(other.file_);
        errors_ = std::move(other.errors_);
    }
    return *this;
}

Database::~Database() { Close(); }

void Database::Close() {
    if (handle_ != nullptr) sqlite3_close_v2(handle_);
    handle_ = nullptr;
}

bool Database::IsReadOnly() const {
    return handle_ != nullptr && sqlite3_db_readonly(handle_, "main") == 1;
}

int Database::Changes() const { return handle_ != nullptr ? sqlite3_changes(handle_) : 0; }

sqlite3_stmt* Database::PrepareOne(std::string_view jetSql) {
    if (handle_ == nullptr) {
        errors_.push_back({kErrObjectClosed, AdoErrorDescription(kErrObjectClosed)});
        return nullptr;
    }
    std::string sql;
    try {
        sql = TranslateJetSql(jetSql);
    } catch (const DatabaseError& failure) {
        errors_.push_back(failure.Error());
        return nullptr;
    }
    sqlite3_stmt* statement = nullptr;
    const char* tail = nullptr;
    const int rc =
        sqlite3_prepare_v2(handle_, sql.c_str(), static_cast<int>(sql.size()), &statement, &tail);
    if (rc != SQLITE_OK) {
        errors_.push_back(ErrorFromSqlite(handle_, rc));
        sqlite3_finalize(statement);
        return nullptr;
    }
    if (!OnlySeparators(tail)) {
        errors_.push_back(kTrailingText);
        sqlite3_finalize(statement);
        return nullptr;
    }
    return statement;  // nullptr for a text of nothing but blanks
}

bool Database::Execute(std::string_view jetSql) {
    const auto errorsBefore = errors_.size();
    sqlite3_stmt* statement = PrepareOne(jetSql);
    if (statement == nullptr) return errors_.size() == errorsBefore;  // blanks run as nothing
    const bool ok = RunToEnd(handle_, statement, errors_);
    sqlite3_finalize(statement);
    return ok;
}

PreparedStatement Database::Prepare(std::string_view jetSql) {
    return PreparedStatement(*this, PrepareOne(jetSql));
}

PreparedStatement::PreparedStatement(PreparedStatement&& other) noexcept
    : db_(other.db_), statement_(std::exchange(other.statement_, nullptr)) {}

PreparedStatement& PreparedStatement::operator=(PreparedStatement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(statement_);
        db_ = other.db_;
        statement_ = std::exchange(other.statement_, nullptr);
    }
    return *this;
}

PreparedStatement::~PreparedStatement() { sqlite3_finalize(statement_); }

bool PreparedStatement::Bind(int parameter, const DbValue& value) {
    if (statement_ == nullptr || !db_->IsOpen()) {
        db_->errors_.push_back({kErrObjectClosed, AdoErrorDescription(kErrObjectClosed)});
        return false;
    }
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
    db_->errors_.push_back(ErrorFromSqlite(db_->handle_, rc));
    return false;
}

bool PreparedStatement::Step() {
    if (statement_ == nullptr || !db_->IsOpen()) {
        db_->errors_.push_back({kErrObjectClosed, AdoErrorDescription(kErrObjectClosed)});
        return false;
    }
    const bool ok = RunToEnd(db_->handle_, statement_, db_->errors_);
    sqlite3_reset(statement_);
    return ok;
}

void PreparedStatement::Reset() {
    if (statement_ != nullptr) sqlite3_reset(statement_);
}

std::vector<std::string> Database::TableNames() {
    Recordset tables(*this,
                     "SELECT name FROM sqlite_master WHERE type = 'table' AND "
                     "substr(name, 1, 7) <> 'sqlite_' ORDER BY name");
    std::vector<std::string> names;
    for (; !tables.Eof(); tables.MoveNext()) names.push_back(tables.Value(0).ToText());
    return names;
}

int TypeCodeOfDeclaredType(std::string_view declaredType) {
    const auto type = Upper(declaredType);
    if (type == "COUNTER" || type == "LONG" || type == "INTEGER" || type == "INT") return 3;
    if (type == "SINGLE") return 4;
    if (type == "CURRENCY") return 6;
    if (type == "DATE") return 7;
    if (type == "YESNO") return 11;
    if (type == "BYTE") return 17;
    if (type == "TEXT") return 202;
    if (type == "DOUBLE" || type == "REAL") return 5;
    return 0;
}

Recordset::Recordset(Database& db, std::string_view jetSql) : db_(&db) {
    if (!db.IsOpen()) throw DatabaseError(kErrObjectClosed, AdoErrorDescription(kErrObjectClosed));
    const auto sql = TranslateJetSql(jetSql);
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v2(db.Handle(), sql.c_str(), static_cast<int>(sql.size()),
                                      &statement_, &tail);
    if (rc != SQLITE_OK) {
        const auto failure = ErrorFromSqlite(db.Handle(), rc);
        Close();
        throw DatabaseError(failure);
    }
    if (statement_ == nullptr || !OnlySeparators(tail)) {
        Close();
        throw DatabaseError(kTrailingText);
    }
    const int count = sqlite3_column_count(statement_);
    for (int k = 0; k < count; ++k) {
        const char* name = sqlite3_column_name(statement_, k);
        const char* declared = sqlite3_column_decltype(statement_, k);
        names_.emplace_back(name != nullptr ? name : "");
        declaredTypes_.emplace_back(declared != nullptr ? declared : "");
    }
    eof_ = false;
    MoveNext();
}

Recordset::~Recordset() { Close(); }

void Recordset::Close() {
    if (statement_ != nullptr) sqlite3_finalize(statement_);
    statement_ = nullptr;
    eof_ = true;
}

void Recordset::MoveNext() {
    if (eof_ || statement_ == nullptr) throw DatabaseError(3021, AdoErrorDescription(3021));
    const int rc = sqlite3_step(statement_);
    if (rc == SQLITE_ROW) {
        ReadRow();
        return;
    }
    eof_ = true;
    row_.clear();
    if (rc != SQLITE_DONE) {
        const auto failure = ErrorFromSqlite(db_->Handle(), rc);
        Close();
        throw DatabaseError(failure);
    }
}

void Recordset::ReadRow() {
    row_.clear();
    for (int k = 0; k < FieldCount(); ++k) {
        switch (sqlite3_column_type(statement_, k)) {
            case SQLITE_INTEGER:
                row_.push_back(DbValue::Integer(sqlite3_column_int64(statement_, k)));
                break;
            case SQLITE_FLOAT:
                row_.push_back(DbValue::Real(sqlite3_column_double(statement_, k)));
                break;
            case SQLITE_NULL:
                row_.emplace_back();
                break;
            default: {
                const auto* text =
                    reinterpret_cast<const char*>(sqlite3_column_text(statement_, k));
                row_.push_back(DbValue::Text(
                    text == nullptr ? std::string()
                                    : std::string(text, sqlite3_column_bytes(statement_, k))));
            }
        }
    }
}

std::optional<int> Recordset::FindField(std::string_view name) const {
    for (int k = 0; k < FieldCount(); ++k) {
        if (CompareFolded(names_[k], name) == 0) return k;
    }
    return std::nullopt;
}

int Recordset::IndexOf(std::string_view name) const {
    if (const auto index = FindField(name)) return *index;
    throw DatabaseError(kErrItemNotFound, AdoErrorDescription(kErrItemNotFound));
}

const DbValue& Recordset::Value(int index) const {
    if (eof_) throw DatabaseError(3021, AdoErrorDescription(3021));
    if (index < 0 || index >= FieldCount()) {
        throw DatabaseError(kErrItemNotFound, AdoErrorDescription(kErrItemNotFound));
    }
    return row_[index];
}

const DbValue& Recordset::Value(std::string_view name) const { return Value(IndexOf(name)); }

Field Recordset::GetField(int index) const {
    const auto& value = Value(index);
    int typeCode = TypeCodeOfDeclaredType(declaredTypes_[index]);
    if (typeCode == 0) {
        typeCode = value.IsInteger() ? 3 : value.IsReal() ? 5 : value.IsText() ? 202 : 0;
    }
    return {value, names_[index], typeCode};
}

Field Recordset::GetField(std::string_view name) const { return GetField(IndexOf(name)); }

}  // namespace quotaplan
