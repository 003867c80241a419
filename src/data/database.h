#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/database_engine.h"
#include "data/db_error.h"
#include "data/db_value.h"

namespace quotaplan {

class Database;

// A changing statement of the Jet dialect prepared once and run many times, with values
// bound to its "?" parameters: the fast road for many rows of one shape (no SQL text, no
// rewriting, no preparing per row). Failures go to the database's error list, as those of
// Database::Execute do; nothing here throws. It must not outlive its Database.
class PreparedStatement {
public:
    PreparedStatement(PreparedStatement&&) noexcept = default;
    PreparedStatement& operator=(PreparedStatement&&) noexcept = default;
    PreparedStatement(const PreparedStatement&) = delete;
    PreparedStatement& operator=(const PreparedStatement&) = delete;
    ~PreparedStatement() = default;

    // False when the text could not be prepared; every Step then fails.
    bool IsReady() const { return statement_ != nullptr; }

    // Binds the value to the 1-based parameter until it is bound again. Returns false with
    // the error listed for a parameter the statement does not have.
    bool Bind(int parameter, const DbValue& value);

    // Runs the statement once with the values bound and makes it ready to run again.
    // Returns true when it ran; otherwise false with its error listed.
    bool Step();

    // Back to the start without running; the bound values stay.
    void Reset();

private:
    friend class Database;
    PreparedStatement(Database& db, std::unique_ptr<EngineStatement> statement)
        : db_(&db), statement_(std::move(statement)) {}
    bool Usable();
    Database* db_;
    std::unique_ptr<EngineStatement> statement_;
};

// How long a statement waits for another connection's lock before it fails.
inline constexpr int kDefaultBusyTimeoutMs = 5000;

// The one connection to the archive, whichever engine holds it: an SQLite file (Open) or a
// PostgreSQL database (Connect). It speaks the Jet dialect of the program's statements,
// which each engine rewrites into its own, and keeps the error list of the statements run.
//
// On every connection, whatever the engine: texts compared with "=" under the NOCASE
// collation ignore letter case and accents, a write transaction begun with "BEGIN
// IMMEDIATE" waits for other writers at its start, and the summary views count from
// Today() (common/clock.h) when a test fixes it, otherwise from the engine's today.
class Database {
public:
    // Opens an existing SQLite archive. A missing file is an error (an empty archive is
    // never created); the file is checked at once to be a whole SQLite database. A file
    // that no one may write (no write permission bit) is opened read-only, so that changes
    // fail with "Impossibile scrivere sul database!" whoever runs the program.
    // Throws DatabaseError: 3002 missing, 3003 not a regular file (a FIFO, a device, a
    // folder: never opened), not a database or truncated, 3730 locked beyond the timeout,
    // otherwise SQLite's own code and text.
    static Database Open(const std::filesystem::path& file,
                         int busyTimeoutMs = kDefaultBusyTimeoutMs);

    // Opens an existing SQLite archive only to read it: nothing done through the connection
    // changes the file (writes fail with "Impossibile scrivere sul database!"). Throws
    // DatabaseError as Open does.
    static Database OpenToRead(const std::filesystem::path& file,
                               int busyTimeoutMs = kDefaultBusyTimeoutMs);

    // Connects to a PostgreSQL archive with a libpq connection string or URI; the password
    // comes from ~/.pgpass or the environment. Throws DatabaseError: 3002 server or
    // database not reached, 3716 authentication refused.
    static Database Connect(std::string_view conninfo, int lockTimeoutMs = kDefaultBusyTimeoutMs);

    Database() = default;
    explicit Database(std::unique_ptr<DatabaseEngine> engine) : engine_(std::move(engine)) {}
    Database(Database&&) noexcept = default;
    Database& operator=(Database&&) noexcept = default;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    ~Database() = default;

    bool IsOpen() const { return engine_ != nullptr; }
    bool IsReadOnly() const {
        return engine_ != nullptr && (writesRefused_ || engine_->IsReadOnly());
    }
    // From now on the connection only reads: every statement that would change the archive
    // (INSERT, UPDATE, DELETE, a change of the schema, a script) fails with 3720 "Permessi
    // insufficienti!", as for a role that lacks the rights. For an archive this version may
    // not write to as it stands.
    void RefuseWrites() { writesRefused_ = true; }
    // "File: /path" or "Server: …", for messages; "" when closed.
    std::string Location() const { return engine_ != nullptr ? engine_->Location() : ""; }
    // The engine behind the connection; nullptr when closed.
    DatabaseEngine* Engine() const { return engine_.get(); }

    // Runs one changing statement of the Jet dialect. Returns true when it ran; otherwise
    // false with its error appended to Errors(). Never throws. A text holding more than one
    // statement is refused, so nothing after the first one can run.
    bool Execute(std::string_view jetSql);

    // Prepares one changing statement of the Jet dialect with "?" parameters to run many
    // times (PreparedStatement). Never throws: a text that cannot be prepared gives a
    // statement that is not ready, its error listed in Errors(); more than one statement in
    // the text is refused as Execute refuses it.
    PreparedStatement Prepare(std::string_view jetSql);

    // A second connection to the same archive, for reading on another thread alongside this
    // one; nullopt when there can be none or it cannot be made (the caller then reads on this
    // one). It only reads.
    std::optional<Database> ReaderAlongside() const;

    // Appends rows to a table in one go where the engine has a road for it faster than
    // INSERT statements (AppendsRowsInBulk: PostgreSQL's COPY): `columns` by their names,
    // `values` the rows' values one row after the other, each converted as a bound value.
    // False with the error listed when it fails, on a connection that only reads, or on an
    // engine without the road.
    bool AppendsRowsInBulk() const { return engine_ != nullptr && engine_->AppendsRowsInBulk(); }
    bool AppendRows(std::string_view table, const std::vector<std::string_view>& columns,
                    const std::vector<DbValue>& values);

    // Runs a script in the engine's own SQL (the schema files of db/). False with the error
    // listed when it fails.
    bool ExecuteScript(std::string_view nativeSql);

    // After rows were written with IDs of their own, the table's next ID follows the
    // highest one. False with the error listed when it fails.
    bool AdvanceIdentity(std::string_view table);

    // Rows changed by the last statement that ran.
    int Changes() const { return engine_ != nullptr ? engine_->Changes() : 0; }

    // The error list of the statements run since it was last emptied.
    const std::vector<DbError>& Errors() const { return errors_; }
    void ClearErrors() { errors_.clear(); }

    // The names of the archive's tables (not views), in name order. Throws DatabaseError.
    std::vector<std::string> TableNames();

    // How long one statement may wait for the server's answer; zero (the default) for as
    // long as it takes. A statement the server has not answered by then (it is frozen, cut
    // off, or waits on a lock) is abandoned with CommandTimeoutError, and so is the
    // transaction it was part of: nothing of it is written. An SQLite file has no server and
    // no timeout.
    void SetCommandTimeout(std::chrono::seconds limit);
    std::chrono::seconds CommandTimeout() const { return commandTimeout_; }

    // Closes the connection; a closed connection refuses every statement with 3704.
    void Close() { engine_.reset(); }

private:
    friend class PreparedStatement;
    friend class Recordset;
    friend class RowReader;
    bool RefuseClosed();
    bool RefuseWrite(std::string_view sql);

    std::unique_ptr<DatabaseEngine> engine_;
    std::vector<DbError> errors_;
    bool writesRefused_ = false;
    std::chrono::seconds commandTimeout_{0};
};

// Lifts the connection's command timeout while it lives, for work that takes as long as the
// archive's size makes it: an upgrade, a copy.
class WithoutCommandTimeout {
public:
    explicit WithoutCommandTimeout(Database& db) : db_(db), kept_(db.CommandTimeout()) {
        db_.SetCommandTimeout(std::chrono::seconds(0));
    }
    ~WithoutCommandTimeout() { db_.SetCommandTimeout(kept_); }
    WithoutCommandTimeout(const WithoutCommandTimeout&) = delete;
    WithoutCommandTimeout& operator=(const WithoutCommandTimeout&) = delete;

private:
    Database& db_;
    std::chrono::seconds kept_;
};

// Large transactions on the connection while it lives (DatabaseEngine::SetLargeTransactions),
// for a run that rewrites a whole portfolio.
class WithLargeTransactions {
public:
    explicit WithLargeTransactions(Database& db) : db_(db) { Set(true); }
    ~WithLargeTransactions() { Set(false); }
    WithLargeTransactions(const WithLargeTransactions&) = delete;
    WithLargeTransactions& operator=(const WithLargeTransactions&) = delete;

private:
    void Set(bool large) {
        if (db_.Engine() != nullptr) db_.Engine()->SetLargeTransactions(large);
    }
    Database& db_;
};

// One column of the current row of a Recordset.
struct Field {
    DbValue value;
    std::string name;
    int typeCode = 0;  // 3, 4, 6, 7, 11, 17, 202 from the declared type; 5 for other reals
};

// A forward-only, read-only result of one SELECT of the Jet dialect, positioned on its
// first row when there is one.
class Recordset {
public:
    // Throws DatabaseError when the text cannot be run.
    Recordset(Database& db, std::string_view jetSql);
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;
    ~Recordset() = default;

    bool Eof() const { return eof_; }
    // Moves to the next row. Throws DatabaseError 3021 past the end, or on a read error.
    void MoveNext();

    int FieldCount() const { return static_cast<int>(names_.size()); }
    // The name of the column at the 0-based position, also past the last row.
    const std::string& FieldName(int index) const { return names_.at(index); }
    // The column at the 0-based position or with the name (without regard to letter case)
    // of the current row. Throws DatabaseError 3021 at the end, 3265 for no such column.
    Field GetField(int index) const;
    Field GetField(std::string_view name) const;
    const DbValue& Value(int index) const;
    const DbValue& Value(std::string_view name) const;
    // True when the result has a column of that name (without regard to letter case).
    bool HasField(std::string_view name) const { return FindField(name).has_value(); }
    // The 0-based position of the column of that name (without regard to letter case), for
    // reading many rows by position; nullopt for no such column.
    std::optional<int> FindField(std::string_view name) const;
    // The same, throwing DatabaseError 3265 for no such column.
    int IndexOf(std::string_view name) const;

    void Close();

private:
    std::unique_ptr<EngineCursor> cursor_;
    bool eof_ = true;
    std::vector<std::string> names_;
    std::vector<DbValue> row_;
};

// The rows of one SELECT of the Jet dialect read in place, forward only, for the queries
// that read millions of rows: each column is read as the type asked for, without making a
// DbValue of it, and only until the next row (a text until the next Text). Throws
// DatabaseError as Recordset does.
class RowReader {
public:
    RowReader(Database& db, std::string_view jetSql);

    // Moves to the first row, then to each next one; false past the last.
    bool Next() { return cursor_->Advance(); }
    std::int64_t Integer(int column) const { return cursor_->Integer(column); }
    double Real(int column) const { return cursor_->Real(column); }
    std::string_view Text(int column) const { return cursor_->Text(column); }

private:
    std::unique_ptr<EngineCursor> cursor_;
};

// The type code of a declared column type: COUNTER, LONG, INTEGER 3; SINGLE 4; CURRENCY 6;
// DATE 7; YESNO 11; BYTE 17; TEXT 202; DOUBLE, REAL 5; anything else 0.
int TypeCodeOfDeclaredType(std::string_view declaredType);

}  // namespace quotaplan
