#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/db_error.h"
#include "data/db_value.h"

namespace quotaplan {

// The engine side of a Database: one open connection of one engine (SQLite, PostgreSQL),
// each with its own rewriting of the Jet dialect and its own error mapping. Database,
// Recordset and PreparedStatement (database.h) drive it; nothing above them knows which
// engine it talks to. Failures of Execute, Prepare, Bind and Step are appended to the error
// list given; Query and Next throw DatabaseError.

// The rows of one SELECT, read forward only.
class EngineCursor {
public:
    virtual ~EngineCursor() = default;
    virtual const std::vector<std::string>& Names() const = 0;
    // The type code of the column's declared type (TypeCodeOfDeclaredType), 0 when unknown.
    virtual int DeclaredTypeCode(int column) const = 0;
    // Reads the next row into `row`; false past the last one.
    virtual bool Next(std::vector<DbValue>& row) = 0;

    // Moves to the next row and keeps it in the cursor, for reading millions of rows without
    // making a DbValue of each column; false past the last one. Its columns are then read
    // with Integer, Real and Text until the next call. An engine whose rows come as
    // DbValues anyway keeps the default.
    virtual bool Advance() { return Next(current_); }
    // Null gives 0 and "" as DbValue's conversions do.
    virtual std::int64_t Integer(int column) const { return current_[column].ToLong(); }
    virtual double Real(int column) const { return current_[column].ToDouble(); }
    virtual std::string_view Text(int column) const {
        scratch_ = current_[column].ToText();
        return scratch_;
    }

private:
    std::vector<DbValue> current_;
    mutable std::string scratch_;
};

// A changing statement prepared once, with "?" parameters.
class EngineStatement {
public:
    virtual ~EngineStatement() = default;
    virtual bool Bind(int parameter, const DbValue& value, std::vector<DbError>& errors) = 0;
    virtual bool Step(std::vector<DbError>& errors) = 0;
    virtual void Reset() = 0;
};

enum class EngineKind { Sqlite, Postgresql };

class DatabaseEngine {
public:
    virtual ~DatabaseEngine() = default;
    virtual EngineKind Kind() const = 0;
    // Where the archive is, for messages: "File: /path" or "Server: host=… dbname=…".
    virtual std::string Location() const = 0;
    virtual bool IsReadOnly() const = 0;

    // One statement of the Jet dialect; more than one is refused.
    virtual bool Execute(std::string_view jetSql, std::vector<DbError>& errors) = 0;
    // nullptr with the error listed when the text cannot be prepared (or holds nothing).
    virtual std::unique_ptr<EngineStatement> Prepare(std::string_view jetSql,
                                                     std::vector<DbError>& errors) = 0;
    virtual std::unique_ptr<EngineCursor> Query(std::string_view jetSql) = 0;
    virtual int Changes() const = 0;
    // The archive's tables (not views), in name order.
    virtual std::vector<std::string> TableNames() = 0;

    // A script in the engine's own SQL (several statements, no rewriting): the schema
    // files that make a new archive.
    virtual bool ExecuteScript(std::string_view nativeSql, std::vector<DbError>& errors) = 0;
    // After rows were written with IDs of their own: the next ID the table gives follows
    // the highest one.
    virtual bool AdvanceIdentity(std::string_view table, std::vector<DbError>& errors) = 0;
    // A second connection to the same archive, only for reading alongside this one (on
    // another thread); nullptr when there is none to have (an archive in memory). Throws
    // DatabaseError when it cannot be made.
    virtual std::unique_ptr<DatabaseEngine> OpenReaderAlongside() const { return nullptr; }
    // For a run whose transactions each rewrite thousands of pages: the engine may keep
    // them in memory until the commit instead of writing them out and reading them back
    // halfway (SQLite's page cache); false: back to the connection's usual.
    virtual void SetLargeTransactions(bool /*large*/) {}
    // Whether AppendRows has a road faster than INSERT statements (PostgreSQL's COPY), for
    // many rows at once; an engine without one is written to with prepared INSERTs.
    virtual bool AppendsRowsInBulk() const { return false; }
    // Appends rows to a table: `columns` by their names in the archive, `values` the rows'
    // values one row after the other. False with the error listed; an engine that does not
    // append in bulk refuses.
    virtual bool AppendRows(std::string_view /*table*/,
                            const std::vector<std::string_view>& /*columns*/,
                            const std::vector<DbValue>& /*values*/, std::vector<DbError>& errors) {
        errors.push_back({kErrUnspecified, "AppendRows"});
        return false;
    }
    // The longest wait for a server's answer to one statement, zero for none (Database
    // says what happens then). An engine without a server has nothing to wait for.
    virtual void SetCommandTimeout(std::chrono::seconds) {}
};

}  // namespace quotaplan
