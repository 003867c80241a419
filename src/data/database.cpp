#include "data/database.h"

#include <cctype>

#include "data/postgres_engine.h"
#include "data/sqlite_engine.h"
#include "data/text_fold.h"

namespace quotaplan {
namespace {

std::string Upper(std::string_view text) {
    std::string out(text);
    for (auto& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

DbError ClosedError() { return {kErrObjectClosed, AdoErrorDescription(kErrObjectClosed)}; }

// True for a statement that changes the archive: its first word, past blanks and brackets.
bool ChangesArchive(std::string_view sql) {
    std::size_t k = 0;
    while (k < sql.size() && (std::isspace(static_cast<unsigned char>(sql[k])) || sql[k] == '(')) {
        ++k;
    }
    std::size_t end = k;
    while (end < sql.size() && std::isalpha(static_cast<unsigned char>(sql[end]))) ++end;
    const std::string word = Upper(sql.substr(k, end - k));
    for (const char* change : {"INSERT", "UPDATE", "DELETE", "REPLACE", "CREATE", "ALTER", "DROP",
                               "GRANT", "REVOKE", "TRUNCATE"}) {
        if (word == change) return true;
    }
    return false;
}

}  // namespace

Database Database::Open(const std::filesystem::path& file, int busyTimeoutMs) {
    return Database(OpenSqliteEngine(file, busyTimeoutMs));
}

Database Database::OpenToRead(const std::filesystem::path& file, int busyTimeoutMs) {
    return Database(OpenSqliteEngine(file, busyTimeoutMs, FileAccess::ReadOnly));
}

Database Database::Connect(std::string_view conninfo, int lockTimeoutMs) {
    return Database(ConnectPostgresEngine(conninfo, lockTimeoutMs));
}

bool Database::RefuseClosed() {
    if (engine_ != nullptr) return false;
    errors_.push_back(ClosedError());
    return true;
}

bool Database::RefuseWrite(std::string_view sql) {
    if (!writesRefused_ || !ChangesArchive(sql)) return false;
    errors_.push_back({kErrPermissionDenied, AdoErrorDescription(kErrPermissionDenied)});
    return true;
}

bool Database::Execute(std::string_view jetSql) {
    if (RefuseClosed() || RefuseWrite(jetSql)) return false;
    return engine_->Execute(jetSql, errors_);
}

PreparedStatement Database::Prepare(std::string_view jetSql) {
    if (RefuseClosed() || RefuseWrite(jetSql)) return PreparedStatement(*this, nullptr);
    return PreparedStatement(*this, engine_->Prepare(jetSql, errors_));
}

std::optional<Database> Database::ReaderAlongside() const {
    if (engine_ == nullptr) return std::nullopt;
    try {
        auto reader = engine_->OpenReaderAlongside();
        if (reader == nullptr) return std::nullopt;
        Database db(std::move(reader));
        db.RefuseWrites();
        return db;
    } catch (const DatabaseError&) {
        return std::nullopt;
    }
}

bool Database::AppendRows(std::string_view table, const std::vector<std::string_view>& columns,
                          const std::vector<DbValue>& values) {
    if (RefuseClosed() || RefuseWrite("INSERT")) return false;
    return engine_->AppendRows(table, columns, values, errors_);
}

bool Database::ExecuteScript(std::string_view nativeSql) {
    // A script is the schema's: never run on a connection that only reads.
    if (RefuseClosed() || RefuseWrite("CREATE")) return false;
    return engine_->ExecuteScript(nativeSql, errors_);
}

bool Database::AdvanceIdentity(std::string_view table) {
    if (RefuseClosed() || RefuseWrite("UPDATE")) return false;
    return engine_->AdvanceIdentity(table, errors_);
}

std::vector<std::string> Database::TableNames() {
    if (engine_ == nullptr) throw DatabaseError(ClosedError());
    return engine_->TableNames();
}

void Database::SetCommandTimeout(std::chrono::seconds limit) {
    commandTimeout_ = limit;
    if (engine_ != nullptr) engine_->SetCommandTimeout(limit);
}

bool PreparedStatement::Usable() {
    if (statement_ != nullptr && db_->IsOpen()) return true;
    db_->errors_.push_back(ClosedError());
    return false;
}

bool PreparedStatement::Bind(int parameter, const DbValue& value) {
    return Usable() && statement_->Bind(parameter, value, db_->errors_);
}

bool PreparedStatement::Step() { return Usable() && statement_->Step(db_->errors_); }

void PreparedStatement::Reset() {
    if (statement_ != nullptr && db_->IsOpen()) statement_->Reset();
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

Recordset::Recordset(Database& db, std::string_view jetSql) {
    if (!db.IsOpen()) throw DatabaseError(ClosedError());
    cursor_ = db.engine_->Query(jetSql);
    names_ = cursor_->Names();
    eof_ = false;
    MoveNext();
}

RowReader::RowReader(Database& db, std::string_view jetSql) {
    if (!db.IsOpen()) throw DatabaseError(ClosedError());
    cursor_ = db.engine_->Query(jetSql);
}

void Recordset::Close() {
    cursor_.reset();
    eof_ = true;
}

void Recordset::MoveNext() {
    if (eof_ || cursor_ == nullptr) throw DatabaseError(3021, AdoErrorDescription(3021));
    try {
        if (cursor_->Next(row_)) return;
    } catch (const DatabaseError&) {
        row_.clear();
        Close();
        throw;
    }
    eof_ = true;
    row_.clear();
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
    int typeCode = cursor_->DeclaredTypeCode(index);
    if (typeCode == 0) {
        typeCode = value.IsInteger() ? 3 : value.IsReal() ? 5 : value.IsText() ? 202 : 0;
    }
    return {value, names_[index], typeCode};
}

Field Recordset::GetField(std::string_view name) const { return GetField(IndexOf(name)); }

}  // namespace quotaplan
