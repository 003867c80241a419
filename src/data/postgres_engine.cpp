#include "data/postgres_engine.h"

#include <libpq-fe.h>
#include <poll.h>
#include <sys/socket.h>

#include <array>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstring>
#include <functional>
#include <optional>
#include <type_traits>
#include <unordered_map>

#include "common/clock.h"
#include "data/database.h"
#include "data/jet_sql.h"
#include "data/server_address.h"
#include "data/server_client.h"

namespace quotaplan {
namespace {

// The key of the archive's writer lock (pg_advisory_xact_lock): "qplan" in ASCII.
constexpr const char* kWriterLock = "SELECT pg_advisory_xact_lock(491496844654)";

// Type OIDs of the built-in types a result may carry (pg_type.h).
constexpr Oid kBoolOid = 16;
constexpr Oid kInt8Oid = 20;
constexpr Oid kInt2Oid = 21;
constexpr Oid kInt4Oid = 23;
constexpr Oid kOidOid = 26;
constexpr Oid kFloat4Oid = 700;
constexpr Oid kFloat8Oid = 701;
constexpr Oid kNumericOid = 1700;

std::string AsciiLower(std::string_view text) {
    std::string out(text);
    for (auto& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string QuotedName(std::string_view name) {
    std::string out = "\"";
    for (const char c : name) {
        out += c;
        if (c == '"') out += '"';
    }
    return out + "\"";
}

std::string FirstLine(std::string_view text) {
    const auto end = text.find('\n');
    std::string line(text.substr(0, end));
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.pop_back();
    return line;
}

bool StartsWithWords(std::string_view sql, std::string_view words) {
    std::string upper;
    for (const char c : sql) {
        if (std::isspace(static_cast<unsigned char>(c))) {
            if (!upper.empty() && upper.back() != ' ') upper += ' ';
        } else if (c != ';') {
            upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
    }
    while (!upper.empty() && upper.back() == ' ') upper.pop_back();
    return upper == words;
}

bool IsSchemaChange(std::string_view sql) {
    std::size_t k = 0;
    while (k < sql.size() && std::isspace(static_cast<unsigned char>(sql[k]))) ++k;
    std::string word;
    while (k < sql.size() && std::isalpha(static_cast<unsigned char>(sql[k])))
        word += static_cast<char>(std::toupper(static_cast<unsigned char>(sql[k++])));
    return word == "CREATE" || word == "ALTER" || word == "DROP";
}

DbError Mapped(std::int32_t number) { return {number, AdoErrorDescription(number)}; }

// The error table's number for a SQLSTATE, 0 when none matches.
std::int32_t NumberOfState(std::string_view state) {
    static const std::unordered_map<std::string_view, std::int32_t> kStates = {
        {"23505", kErrIntegrityViolation},  // unique_violation
        {"25006", kErrWriteFile},           // read_only_sql_transaction
        {"42501", kErrPermissionDenied},    // insufficient_privilege
        {"55P03", kErrResourceLocked},      // lock_not_available (lock_timeout)
        {"40P01", kErrResourceLocked},      // deadlock_detected
        {"40001", kErrResourceLocked},      // serialization_failure
        {"53100", kErrOutOfSpace},          // disk_full
        {"22001", kErrDataOverflow},        // string_data_right_truncation
        {"22003", kErrDataOverflow},        // numeric_value_out_of_range
        {"22P02", kErrSchemaViolation},     // invalid_text_representation
        {"22007", kErrSchemaViolation},     // invalid_datetime_format
        {"22008", kErrSchemaViolation},     // datetime_field_overflow
        {"42804", kErrSchemaViolation},     // datatype_mismatch
        {"57014", kErrOperationCancelled},  // query_canceled (by another session)
        {"57P01", kErrInvalidConnection},   // admin_shutdown
        {"57P02", kErrInvalidConnection},   // crash_shutdown
        {"57P03", kErrServerBusy},          // cannot_connect_now
        {"28000", kErrSecurity},            // invalid_authorization_specification
        {"28P01", kErrSecurity},            // invalid_password
    };
    const auto found = kStates.find(state);
    if (found != kStates.end()) return found->second;
    if (state.substr(0, 2) == "08") return kErrInvalidConnection;  // connection_exception
    if (state.substr(0, 2) == "53") return kErrServerBusy;         // insufficient_resources
    return 0;
}

// The DbError of a failed statement: the error table's number where the meaning matches,
// otherwise the server's message with its SQLSTATE.
DbError ErrorFromPostgres(const PGresult* result, PGconn* conn) {
    const char* state = result != nullptr ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    const char* primary =
        result != nullptr ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    const std::string message = FirstLine(primary != nullptr ? primary : PQerrorMessage(conn));
    if (state == nullptr) {
        // No answer from the server at all: the connection is gone.
        if (PQstatus(conn) == CONNECTION_BAD) return Mapped(kErrInvalidConnection);
        return {kErrUnspecified, message};
    }
    if (const auto number = NumberOfState(state)) return Mapped(number);
    if (std::string_view(state) == "42601") return {kErrSqlSyntax, message};
    return {kErrUnspecified, message + " (SQLSTATE " + state + ")"};
}

using ResultPtr = std::unique_ptr<PGresult, decltype(&PQclear)>;
ResultPtr Own(PGresult* result) { return ResultPtr(result, &PQclear); }

bool Succeeded(const PGresult* result) {
    const auto status = PQresultStatus(result);
    return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK ||
           status == PGRES_EMPTY_QUERY;
}

// "12.5000" -> whole numbers as Integer (as SQLite stores a whole CURRENCY), others Real.
DbValue NumberValue(std::string_view text) {
    double real = 0;
    const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), real);
    if (error != std::errc() || stop != text.data() + text.size()) {
        return DbValue::Real(std::strtod(std::string(text).c_str(), nullptr));  // NaN, Infinity
    }
    if (std::isfinite(real) && real == std::floor(real) && std::fabs(real) < 9.0e15) {
        return DbValue::Integer(static_cast<std::int64_t>(real));
    }
    return DbValue::Real(real);
}

DbValue ValueOf(const PGresult* result, int row, int column, Oid type) {
    if (PQgetisnull(result, row, column)) return DbValue();
    const std::string_view text(PQgetvalue(result, row, column),
                                static_cast<std::size_t>(PQgetlength(result, row, column)));
    switch (type) {
        case kBoolOid:
            return DbValue::Integer(text == "t" ? -1 : 0);
        case kInt2Oid:
        case kInt4Oid:
        case kInt8Oid:
        case kOidOid: {
            std::int64_t whole = 0;
            std::from_chars(text.data(), text.data() + text.size(), whole);
            return DbValue::Integer(whole);
        }
        case kFloat4Oid:
        case kFloat8Oid:
        case kNumericOid:
            return NumberValue(text);
        default:
            return DbValue::Text(std::string(text));
    }
}

// A value as the text form of a parameter: numbers in their shortest exact decimal form.
std::optional<std::string> ParameterText(const DbValue& value) {
    return value.Visit([](const auto& held) -> std::optional<std::string> {
        using Held = std::decay_t<decltype(held)>;
        if constexpr (std::is_same_v<Held, std::int64_t>) {
            return std::to_string(held);
        } else if constexpr (std::is_same_v<Held, double>) {
            if (std::isnan(held)) return std::string("NaN");
            if (std::isinf(held)) return std::string(held > 0 ? "Infinity" : "-Infinity");
            std::array<char, 64> text{};
            const auto end = std::to_chars(text.data(), text.data() + text.size(), held).ptr;
            return std::string(text.data(), end);
        } else if constexpr (std::is_same_v<Held, std::string>) {
            return held;
        } else {
            return std::nullopt;
        }
    });
}

// Values in COPY's text format, `columns` to a line: tab between them, \N for Null, and
// the backslash, tab, line feed and carriage return of a text escaped.
std::string CopyRowsText(const std::vector<DbValue>& values, std::size_t columns) {
    std::string rows;
    rows.reserve(values.size() * 12);
    for (std::size_t k = 0; k < values.size(); ++k) {
        const auto text = ParameterText(values[k]);
        if (!text) {
            rows += "\\N";
        } else {
            for (const char c : *text) {
                switch (c) {
                case '\\': rows += "\\\\"; break;
                case '\t': rows += "\\t"; break;
                case '\n': rows += "\\n"; break;
                case '\r': rows += "\\r"; break;
                default: rows += c;
                }
            }
        }
        rows += (k + 1) % columns == 0 ? '\n' : '\t';
    }
    return rows;
}

using Clock = std::chrono::steady_clock;

// Past the command timeout, how much longer the program waits before it gives the server up.
// A server that is alive answers at the timeout itself (its statement_timeout is the same),
// so only one that cannot answer at all (frozen, cut off) is waited for this long.
constexpr auto kAnswerGrace = std::chrono::seconds(1);

// One of libpq's calls that send a statement without waiting (PQsendQuery, PQsendPrepare…).
using Sender = std::function<int(PGconn*)>;

std::string Milliseconds(std::chrono::seconds limit) {
    return std::to_string(std::chrono::milliseconds(limit).count());
}

// The connection and what the engine keeps about it. Statements hold it weakly, so that
// one outliving a closed Database fails rather than touching a freed connection.
struct Session {
    PGconn* conn = nullptr;
    std::string conninfo;  // as given, for a second connection to the same database
    int lockTimeoutMs = 0;
    // The longest wait for one statement's answer; zero: none.
    std::chrono::seconds commandTimeout{0};
    ArchiveNames names;
    // (table OID, column number) -> type code of the column's declared type.
    std::unordered_map<std::uint64_t, int> typeCodes;
    bool readOnly = false;
    // The date last passed to qp_today(), when known; nullopt inside: none fixed.
    std::optional<std::optional<CalendarDate>> todaySent;
    // The statement_timeout last set on the server, when known.
    std::optional<std::chrono::seconds> timeoutSent;
    // The connection went down inside a transaction: refuse all but ROLLBACK.
    bool lostTransaction = false;
    // The last statement sent got no answer within the command timeout.
    bool timedOut = false;
    // How long the last statement sent took to be answered.
    Clock::duration lastWait{};
    // Counts connections made, so that statements prepared on an earlier one are redone.
    int generation = 0;
    int nextStatement = 0;
    int changes = 0;

    ~Session() { PQfinish(conn); }

    std::string Spelling(std::string_view name) const {
        const auto quoted = names.Quoted(name);
        return quoted.empty() ? QuotedName(name) : quoted;
    }

    std::string Translate(std::string_view jetSql) const {
        return TranslateJetSql(jetSql, PostgresDialect(names));
    }

    // Sends a statement and collects the server's answer as PQexec does (the last result, or
    // the first that failed); nullptr when it could not even be sent. Under a command timeout
    // a server that has not answered by shortly after it is given up: the connection is cut,
    // to be made again at the next statement, and `timedOut` says so.
    // `copyIn` sends the rows of a COPY FROM STDIN when the server asks for them; false when
    // it could not, and the connection is cut.
    ResultPtr Await(const Sender& send,
                    const std::function<bool(PGconn*)>& copyIn = nullptr) {
        timedOut = false;
        const auto started = Clock::now();
        ResultPtr kept = Own(nullptr);
        if (send(conn) != 0) {
            const auto deadline = started + commandTimeout + kAnswerGrace;
            for (;;) {
                if (commandTimeout.count() > 0 && !timedOut && !AnswerArrives(deadline)) {
                    timedOut = true;
                    Cut();
                }
                PGresult* next = PQgetResult(conn);
                if (next == nullptr) break;
                if (PQresultStatus(next) == PGRES_COPY_IN) {
                    PQclear(next);
                    if (copyIn && copyIn(conn)) continue;
                    Cut();
                    break;
                }
                if (kept != nullptr && PQresultStatus(kept.get()) == PGRES_FATAL_ERROR) {
                    PQclear(next);
                } else {
                    kept = Own(next);
                }
            }
        }
        lastWait = Clock::now() - started;
        return kept;
    }

    // Sends a COPY … FROM STDIN and, once the server asks for them, the rows in COPY's text
    // format; the server's answer as Await collects it.
    ResultPtr AwaitCopy(const std::string& copySql, std::string_view rows) {
        bool sent = false;
        return Await([&](PGconn* c) {
            return PQsendQueryParams(c, copySql.c_str(), 0, nullptr, nullptr, nullptr, nullptr, 0);
        }, [&](PGconn* c) {
            // Asked once: a second request means the rows could not go, and the connection
            // is given up rather than asked forever.
            if (sent) return false;
            sent = true;
            const bool all = PQputCopyData(c, rows.data(), static_cast<int>(rows.size())) == 1;
            return PQputCopyEnd(c, all ? nullptr : "righe non inviate") == 1;
        });
    }

    // Waits until the answer has come whole or the deadline has passed (false).
    bool AnswerArrives(Clock::time_point deadline) {
        while (PQisBusy(conn)) {
            const int socket = PQsocket(conn);
            if (socket < 0) return true;  // gone: PQgetResult says so
            const auto left =
                std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0) return false;
            pollfd watched{socket, POLLIN, 0};
            const int ready = poll(&watched, 1, static_cast<int>(left));
            if (ready < 0 && errno != EINTR) return true;
            if (ready > 0 && PQconsumeInput(conn) == 0) return true;
        }
        return true;
    }

    // Gives the connection up without a word to a server that may never read one: libpq
    // finds it closed, and the server rolls back what the connection held once it reads.
    void Cut() {
        const int socket = PQsocket(conn);
        if (socket >= 0) shutdown(socket, SHUT_RDWR);
        PQconsumeInput(conn);
    }

    ResultPtr Run(const std::string& sql) {
        return Await([&sql](PGconn* c) {
            return PQsendQueryParams(c, sql.c_str(), 0, nullptr, nullptr, nullptr, nullptr, 0);
        });
    }

    // Several statements in one text (the simple protocol).
    ResultPtr RunScript(const std::string& sql) {
        return Await([&sql](PGconn* c) { return PQsendQuery(c, sql.c_str()); });
    }

    // The failure of the statement just answered. The server's statement_timeout and the
    // program's own wait both end in the command timeout's message.
    DbError Failure(const PGresult* result) const {
        const char* state =
            result != nullptr ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
        const bool cancelledByTimeout = commandTimeout.count() > 0 && state != nullptr &&
                                        std::string_view(state) == "57014" &&
                                        lastWait >= commandTimeout - std::chrono::milliseconds(100);
        if (timedOut || cancelledByTimeout) {
            return CommandTimeoutError(static_cast<int>(commandTimeout.count()));
        }
        return ErrorFromPostgres(result, conn);
    }

    // Settings every connection needs: ISO dates, literal backslashes, the lock wait, the
    // command timeout.
    bool Configure() {
        const std::string settings =
            "SET DateStyle = 'ISO, YMD'; SET standard_conforming_strings = on; "
            "SET extra_float_digits = 1; SET client_min_messages = warning; SET lock_timeout = " +
            std::to_string(lockTimeoutMs) + "; SET statement_timeout = " +
            Milliseconds(commandTimeout) + ";";
        if (!Succeeded(RunScript(settings).get())) return false;
        timeoutSent = commandTimeout;
        const auto readOnlySetting = Run("SHOW transaction_read_only");
        readOnly = Succeeded(readOnlySetting.get()) && PQntuples(readOnlySetting.get()) == 1 &&
                   std::string_view(PQgetvalue(readOnlySetting.get(), 0, 0)) == "on";
        todaySent.reset();
        ++generation;
        return LoadCatalog();
    }

    bool LoadCatalog() {
        const auto result = Run(
            "SELECT c.oid::bigint, c.relname::text, a.attnum::int, a.attname::text, "
            "t.typname::text FROM pg_class AS c "
            "JOIN pg_attribute AS a ON a.attrelid = c.oid AND a.attnum > 0 AND NOT a.attisdropped "
            "JOIN pg_type AS t ON t.oid = a.atttypid "
            "WHERE c.relnamespace = (SELECT oid FROM pg_namespace WHERE nspname = "
            "current_schema()) "
            "AND c.relkind IN ('r', 'v', 'm', 'p', 'f')");
        if (!Succeeded(result.get())) return false;
        names.Clear();
        typeCodes.clear();
        for (int row = 0; row < PQntuples(result.get()); ++row) {
            const auto text = [&](int column) { return std::string(PQgetvalue(result.get(), row, column)); };
            names.Add(text(1));
            names.Add(text(3));
            const auto key = (std::stoull(text(0)) << 16) | std::stoull(text(2));
            typeCodes[key] = TypeCodeOfType(text(4));
        }
        return true;
    }

    static int TypeCodeOfType(const std::string& typeName) {
        if (typeName == "int2" || typeName == "int4" || typeName == "int8") return 3;
        if (typeName == "float4") return 4;
        if (typeName == "float8") return 5;
        if (typeName == "bool") return 11;
        if (typeName == "varchar" || typeName == "bpchar") return 202;
        return TypeCodeOfDeclaredType(typeName);  // the domains: long, single, currency, ...
    }

    int DeclaredTypeCode(Oid table, int column) const {
        if (table == InvalidOid || column <= 0) return 0;
        const auto found = typeCodes.find((std::uint64_t{table} << 16) | std::uint64_t(column));
        return found == typeCodes.end() ? 0 : found->second;
    }

    // Makes the connection again (a server restart, a network cut); false with the error
    // when that fails too.
    bool Reconnect(std::vector<DbError>& errors) {
        PQreset(conn);
        if (PQstatus(conn) == CONNECTION_OK && Configure()) return true;
        errors.push_back(Mapped(kErrInvalidConnection));
        return false;
    }

    bool EnsureConnected(std::vector<DbError>& errors) {
        return PQstatus(conn) == CONNECTION_OK || Reconnect(errors);
    }

    // Notes what a statement's failure means for the connection.
    void AfterFailure(bool wasInTransaction) {
        if (PQstatus(conn) == CONNECTION_BAD && wasInTransaction) lostTransaction = true;
    }

    bool InTransaction() const { return PQtransactionStatus(conn) != PQTRANS_IDLE; }

    // A transaction rolled back takes the settings made inside it along.
    void ForgetSettings() {
        todaySent.reset();
        timeoutSent.reset();
    }

    // Passes the date a test fixed on to qp_today(), when it changed.
    bool SyncToday(std::vector<DbError>& errors) {
        const auto fixed = FixedToday();
        if (todaySent && *todaySent == fixed) return true;
        const std::string iso = fixed ? fixed->Iso() : "";
        const auto result = Await([&iso](PGconn* c) {
            const char* values[] = {iso.c_str()};
            return PQsendQueryParams(c, "SELECT set_config('quotaplan.today', $1, false)", 1,
                                     nullptr, values, nullptr, nullptr, 0);
        });
        if (!Succeeded(result.get())) {
            errors.push_back(Failure(result.get()));
            return false;
        }
        todaySent = fixed;
        return true;
    }

    // Sets the command timeout on the server too, when it changed: the server then ends a
    // statement that waits (on a lock, a long plan) itself and keeps the connection.
    bool SyncTimeout(std::vector<DbError>& errors) {
        if (timeoutSent == commandTimeout) return true;
        const auto result = Run("SET statement_timeout = " + Milliseconds(commandTimeout));
        if (!Succeeded(result.get())) {
            errors.push_back(Failure(result.get()));
            return false;
        }
        timeoutSent = commandTimeout;
        return true;
    }

    // Everything a statement needs before it runs; false with the error listed otherwise.
    // `startsOver`: a ROLLBACK or BEGIN, which may follow a transaction the server lost.
    bool Ready(std::vector<DbError>& errors, bool startsOver = false) {
        if (!EnsureConnected(errors)) return false;
        if (lostTransaction && !startsOver) {
            errors.push_back(Mapped(kErrTransactionFailed));
            return false;
        }
        return OnceMoreIfLost(errors, [this](std::vector<DbError>& listed) {
            return SyncSettings(listed);
        });
    }

    bool SyncSettings(std::vector<DbError>& errors) {
        return SyncTimeout(errors) && SyncToday(errors);
    }

    // Runs `attempt` (true when its statement ran). When it failed because the connection
    // was lost while no transaction was open (the server restarted, or the network dropped,
    // since the last command), connects again and runs it once more, so that the desk goes
    // on as if nothing had happened: outside a transaction a statement the connection lost
    // either never reached the server or was rolled back with it. The errors of the first
    // try stand when the connection cannot be made again, and go when the second try runs.
    // A statement that ran out of time is not tried again.
    template <typename Attempt>
    bool OnceMoreIfLost(std::vector<DbError>& errors, Attempt attempt) {
        const bool idle = PQtransactionStatus(conn) == PQTRANS_IDLE && !lostTransaction;
        const auto listed = errors.size();
        if (attempt(errors)) return true;
        if (!idle || timedOut || PQstatus(conn) != CONNECTION_BAD) return false;
        std::vector<DbError> again;
        if (!Reconnect(again) || !SyncSettings(again)) return false;
        errors.resize(listed);
        return attempt(errors);
    }

    // Appends the rows (COPY's text format) with the COPY statement given; true when the
    // server took them all.
    bool Copy(const std::string& copySql, std::string_view rows, std::vector<DbError>& errors) {
        const bool wasInTransaction = InTransaction();
        return Concluded(AwaitCopy(copySql, rows).get(), wasInTransaction, errors);
    }

    // A statement answered: true with the rows it changed counted, or false with its failure
    // listed.
    bool Concluded(PGresult* result, bool wasInTransaction, std::vector<DbError>& errors) {
        if (result != nullptr && Succeeded(result)) {
            const char* tuples = PQcmdTuples(result);
            changes = tuples != nullptr && *tuples != '\0' ? std::atoi(tuples) : 0;
            return true;
        }
        errors.push_back(Failure(result));
        AfterFailure(wasInTransaction);
        return false;
    }

    // Runs a statement already in the server's dialect; true when it ran.
    bool Exec(const std::string& sql, int parameters, const char* const* values,
              const char* preparedName, std::vector<DbError>& errors) {
        const bool wasInTransaction = InTransaction();
        const auto result = Await([&](PGconn* c) {
            return preparedName != nullptr
                       ? PQsendQueryPrepared(c, preparedName, parameters, values, nullptr,
                                             nullptr, 0)
                       : PQsendQueryParams(c, sql.c_str(), 0, nullptr, nullptr, nullptr, nullptr,
                                           0);
        });
        return Concluded(result.get(), wasInTransaction, errors);
    }

    // Exec, once more when the connection was lost outside a transaction (OnceMoreIfLost).
    bool ExecOnceMoreIfLost(const std::string& sql, std::vector<DbError>& errors) {
        return OnceMoreIfLost(errors, [&](std::vector<DbError>& listed) {
            return Exec(sql, 0, nullptr, nullptr, listed);
        });
    }
};

class PostgresStatement final : public EngineStatement {
public:
    PostgresStatement(std::weak_ptr<Session> session, std::string sql, int parameters)
        : session_(std::move(session)), sql_(std::move(sql)), values_(parameters) {}

    ~PostgresStatement() override {
        const auto session = session_.lock();
        if (session && generation_ == session->generation && PQstatus(session->conn) == CONNECTION_OK) {
            session->Run("DEALLOCATE " + name_);
        }
    }

    bool Prepare(Session& session, std::vector<DbError>& errors) {
        name_ = "qp_" + std::to_string(++session.nextStatement);
        const bool wasInTransaction = session.InTransaction();
        const auto result = session.Await([this](PGconn* c) {
            return PQsendPrepare(c, name_.c_str(), sql_.c_str(), 0, nullptr);
        });
        if (!Succeeded(result.get())) {
            errors.push_back(session.Failure(result.get()));
            session.AfterFailure(wasInTransaction);
            return false;
        }
        generation_ = session.generation;
        return true;
    }

    bool Bind(int parameter, const DbValue& value, std::vector<DbError>& errors) override {
        if (parameter < 1 || parameter > static_cast<int>(values_.size())) {
            errors.push_back(Mapped(kErrItemNotFound));
            return false;
        }
        values_[parameter - 1] = ParameterText(value);
        return true;
    }

    bool Step(std::vector<DbError>& errors) override {
        const auto session = session_.lock();
        if (!session) {
            errors.push_back(Mapped(kErrObjectClosed));
            return false;
        }
        if (!session->Ready(errors)) return false;
        std::vector<const char*> pointers;
        for (const auto& value : values_) pointers.push_back(value ? value->c_str() : nullptr);
        return session->OnceMoreIfLost(errors, [&](std::vector<DbError>& listed) {
            // Prepared statements die with the connection: one made again needs them again.
            if (generation_ != session->generation && !Prepare(*session, listed)) return false;
            return session->Exec(sql_, static_cast<int>(pointers.size()), pointers.data(),
                                 name_.c_str(), listed);
        });
    }

    void Reset() override {}

private:
    std::weak_ptr<Session> session_;
    std::string sql_;
    std::string name_;
    int generation_ = -1;
    std::vector<std::optional<std::string>> values_;
};

class PostgresCursor final : public EngineCursor {
public:
    PostgresCursor(std::shared_ptr<Session> session, ResultPtr result)
        : session_(std::move(session)), result_(std::move(result)) {
        const int columns = PQnfields(result_.get());
        for (int k = 0; k < columns; ++k) {
            names_.emplace_back(PQfname(result_.get(), k));
            types_.push_back(PQftype(result_.get(), k));
        }
    }

    const std::vector<std::string>& Names() const override { return names_; }

    int DeclaredTypeCode(int column) const override {
        return session_->DeclaredTypeCode(PQftable(result_.get(), column),
                                          PQftablecol(result_.get(), column));
    }

    bool Next(std::vector<DbValue>& row) override {
        if (next_ >= PQntuples(result_.get())) return false;
        row.clear();
        for (int k = 0; k < static_cast<int>(names_.size()); ++k) {
            row.push_back(ValueOf(result_.get(), next_, k, types_[k]));
        }
        ++next_;
        return true;
    }

private:
    std::shared_ptr<Session> session_;
    ResultPtr result_;
    std::vector<std::string> names_;
    std::vector<Oid> types_;
    int next_ = 0;
};

class PostgresEngine final : public DatabaseEngine {
public:
    explicit PostgresEngine(std::shared_ptr<Session> session) : session_(std::move(session)) {}

    EngineKind Kind() const override { return EngineKind::Postgresql; }
    std::string Location() const override { return LocationOf(session_->conn); }
    bool IsReadOnly() const override { return session_->readOnly; }
    int Changes() const override { return session_->changes; }
    void SetCommandTimeout(std::chrono::seconds limit) override {
        session_->commandTimeout = limit;
    }

    bool Execute(std::string_view jetSql, std::vector<DbError>& errors) override {
        Session& session = *session_;
        const bool rollback = StartsWithWords(jetSql, "ROLLBACK");
        const bool begin =
            StartsWithWords(jetSql, "BEGIN") || StartsWithWords(jetSql, "BEGIN IMMEDIATE");
        if (rollback && PQstatus(session.conn) == CONNECTION_BAD) {
            // The server dropped the transaction with the connection: there is nothing left
            // to roll back, and no need to wait for a server that may not answer.
            session.lostTransaction = false;
            session.ForgetSettings();
            return true;
        }
        if (!session.Ready(errors, rollback || begin)) return false;
        if (rollback || begin) session.lostTransaction = false;
        if (rollback) session.ForgetSettings();
        if (StartsWithWords(jetSql, "BEGIN IMMEDIATE")) return BeginWriting(errors);
        // A plain BEGIN reads one picture of the archive throughout, as SQLite's does.
        if (begin) {
            return session.ExecOnceMoreIfLost("BEGIN ISOLATION LEVEL REPEATABLE READ", errors);
        }
        std::string sql;
        try {
            sql = session.Translate(jetSql);
        } catch (const DatabaseError& failure) {
            errors.push_back(failure.Error());
            return false;
        }
        if (sql.find_first_not_of(" \t\r\n;") == std::string::npos) return true;
        if (!session.ExecOnceMoreIfLost(sql, errors)) return false;
        if (IsSchemaChange(sql)) session.LoadCatalog();
        return true;
    }

    std::unique_ptr<EngineStatement> Prepare(std::string_view jetSql,
                                             std::vector<DbError>& errors) override {
        Session& session = *session_;
        if (!session.EnsureConnected(errors)) return nullptr;
        std::string sql;
        try {
            sql = session.Translate(jetSql);
        } catch (const DatabaseError& failure) {
            errors.push_back(failure.Error());
            return nullptr;
        }
        int parameters = 0;
        for (std::size_t at = sql.find('$'); at != std::string::npos; at = sql.find('$', at + 1)) {
            int number = 0;
            std::from_chars(sql.data() + at + 1, sql.data() + sql.size(), number);
            parameters = std::max(parameters, number);
        }
        auto statement = std::make_unique<PostgresStatement>(session_, sql, parameters);
        if (!session.OnceMoreIfLost(errors, [&](std::vector<DbError>& listed) {
                return statement->Prepare(session, listed);
            })) {
            return nullptr;
        }
        return statement;
    }

    std::unique_ptr<EngineCursor> Query(std::string_view jetSql) override {
        Session& session = *session_;
        std::vector<DbError> errors;
        if (!session.Ready(errors)) throw DatabaseError(errors.front());
        const auto sql = session.Translate(jetSql);
        ResultPtr result = Own(nullptr);
        const bool ran = session.OnceMoreIfLost(errors, [&](std::vector<DbError>& listed) {
            const bool wasInTransaction = session.InTransaction();
            result = session.Run(sql);
            const auto status = PQresultStatus(result.get());
            if (status == PGRES_TUPLES_OK || status == PGRES_COMMAND_OK) return true;
            listed.push_back(session.Failure(result.get()));
            session.AfterFailure(wasInTransaction);
            return false;
        });
        if (!ran) throw DatabaseError(errors.front());
        return std::make_unique<PostgresCursor>(session_, std::move(result));
    }

    std::vector<std::string> TableNames() override {
        auto tables = Query(
            "SELECT relname::text FROM pg_class WHERE relnamespace = (SELECT oid FROM "
            "pg_namespace WHERE nspname = current_schema()) AND relkind IN ('r', 'p', 'f') "
            "ORDER BY relname");
        std::vector<std::string> names;
        for (std::vector<DbValue> row; tables->Next(row);) names.push_back(row[0].ToText());
        return names;
    }

    bool ExecuteScript(std::string_view nativeSql, std::vector<DbError>& errors) override {
        Session& session = *session_;
        if (!session.Ready(errors)) return false;
        const auto result = session.RunScript(std::string(nativeSql));
        const bool ok = Succeeded(result.get());
        if (!ok) {
            errors.push_back(session.Failure(result.get()));
            if (PQstatus(session.conn) == CONNECTION_OK && session.InTransaction()) {
                session.RunScript("ROLLBACK");
            }
        }
        session.LoadCatalog();
        return ok;
    }

    std::unique_ptr<DatabaseEngine> OpenReaderAlongside() const override {
        return ConnectPostgresEngine(session_->conninfo, session_->lockTimeoutMs);
    }

    bool AppendsRowsInBulk() const override { return true; }

    bool AppendRows(std::string_view table, const std::vector<std::string_view>& columns,
                    const std::vector<DbValue>& values, std::vector<DbError>& errors) override {
        Session& session = *session_;
        if (!session.Ready(errors)) return false;
        std::string sql = "COPY " + session.Spelling(table) + " (";
        for (std::size_t k = 0; k < columns.size(); ++k) {
            sql += (k == 0 ? "" : ", ") + session.Spelling(columns[k]);
        }
        sql += ") FROM STDIN";
        const std::string rows = CopyRowsText(values, columns.size());
        return session.OnceMoreIfLost(errors, [&](std::vector<DbError>& listed) {
            return session.Copy(sql, rows, listed);
        });
    }

    bool AdvanceIdentity(std::string_view table, std::vector<DbError>& errors) override {
        Session& session = *session_;
        if (!session.Ready(errors)) return false;
        const auto name = session.Spelling(table);
        const auto id = session.Spelling("ID");
        // The name inside the literal is the quoted one, as pg_get_serial_sequence reads it.
        std::string literal = "'";
        for (const char c : name) literal += c == '\'' ? std::string("''") : std::string(1, c);
        literal += "'";
        const std::string sql = "SELECT setval(pg_get_serial_sequence(" + literal + ", 'ID'), " +
                                "COALESCE(MAX(" + id + "), 0) + 1, false) FROM " + name;
        return session.ExecOnceMoreIfLost(sql, errors);
    }

    static std::string LocationOf(PGconn* conn) {
        std::string location = "Server:";
        const auto add = [&](const char* key, const char* value) {
            if (value != nullptr && *value != '\0') location += std::string(" ") + key + "=" + value;
        };
        add("host", PQhost(conn));
        add("port", PQport(conn));
        add("dbname", PQdb(conn));
        add("user", PQuser(conn));
        return location;
    }

private:
    // BEGIN, then the writer lock: a second writer waits here, up to the lock timeout, and
    // never halfway through its statements.
    bool BeginWriting(std::vector<DbError>& errors) {
        Session& session = *session_;
        if (!session.ExecOnceMoreIfLost("BEGIN", errors)) return false;
        if (session.Exec(kWriterLock, 0, nullptr, nullptr, errors)) return true;
        if (PQstatus(session.conn) == CONNECTION_OK) session.RunScript("ROLLBACK");
        session.lostTransaction = false;
        return false;
    }

    std::shared_ptr<Session> session_;
};

// The failure of a connection attempt, from libpq's words (a failed attempt has no SQLSTATE),
// which may quote pieces of the address: its password never shows.
DbError ConnectionError(PGconn* conn, std::string_view address) {
    const std::string message = WithoutPassword(FirstLine(PQerrorMessage(conn)), address);
    const bool refused = PQconnectionNeedsPassword(conn) ||
                         message.find("authentication failed") != std::string::npos ||
                         message.find("pg_hba.conf") != std::string::npos ||
                         (message.find("role") != std::string::npos &&
                          message.find("does not exist") != std::string::npos);
    const std::int32_t number = refused ? kErrSecurity : kErrOpeningFile;
    return {number, AdoErrorDescription(number) + " " + PostgresEngine::LocationOf(conn) + " (" +
                        message + ")"};
}

}  // namespace

void ArchiveNames::Add(std::string_view name) { names_.emplace(AsciiLower(name), name); }

std::string ArchiveNames::Quoted(std::string_view name) const {
    const auto found = names_.find(AsciiLower(name));
    return found == names_.end() ? std::string() : QuotedName(found->second);
}

JetDialect PostgresDialect(const ArchiveNames& names) {
    JetDialect dialect;
    dialect.bracketedName = [&names](std::string_view name) {
        const auto quoted = names.Quoted(name);
        return quoted.empty() ? QuotedName(name) : quoted;
    };
    dialect.bareName = [&names](std::string_view word) {
        const auto quoted = names.Quoted(word);
        return quoted.empty() ? std::string(word) : quoted;
    };
    dialect.numberedParameters = true;
    dialect.refuseTrailingText = true;
    return dialect;
}

bool IsPostgresUri(std::string_view text) {
    const std::string start = AsciiLower(text.substr(0, 13));
    return start.rfind("postgresql://", 0) == 0 || start.rfind("postgres://", 0) == 0;
}

std::string PostgresUriWithDatabase(std::string_view uri, std::string_view database) {
    const auto query = uri.find('?');
    const auto authority = uri.find("//");
    const auto path = uri.find('/', authority == std::string_view::npos ? 0 : authority + 2);
    const auto end = path == std::string_view::npos || path > query ? query : path;
    const auto rest = query == std::string_view::npos ? std::string_view() : uri.substr(query);
    return std::string(uri.substr(0, end)) + "/" + std::string(database) + std::string(rest);
}

std::unique_ptr<DatabaseEngine> ConnectPostgresEngine(std::string_view conninfo,
                                                      int lockTimeoutMs) {
    std::string given(conninfo);
    // libpq knows the scheme in small letters only.
    if (IsPostgresUri(given)) {
        const auto scheme = given.find("://");
        for (std::size_t k = 0; k < scheme; ++k) {
            given[k] = static_cast<char>(std::tolower(static_cast<unsigned char>(given[k])));
        }
    }
    // Defaults first: what the connection string says wins over them. Keepalives find a
    // server gone silent (switched off, cut off by the network) while the desk is idle, so
    // that its next command connects again instead of waiting on a dead connection.
    const char* keywords[] = {"application_name", "client_encoding", "connect_timeout",
                              "keepalives", "keepalives_idle", "keepalives_interval",
                              "keepalives_count", "dbname", nullptr};
    const char* values[] = {"Quotaplan", "UTF8", "10", "1", "30", "10", "3", given.c_str(),
                            nullptr};
    if (auto missing = LoadServerClient()) throw DatabaseError(kErrOpeningFile, *missing);
    auto session = std::make_shared<Session>();
    session->conn = PQconnectdbParams(keywords, values, 1);
    session->conninfo = std::string(conninfo);
    session->lockTimeoutMs = lockTimeoutMs;
    if (session->conn == nullptr) throw DatabaseError(Mapped(kErrOpeningFile));
    // The server's notices ("there is no transaction in progress") are not for the user.
    PQsetNoticeProcessor(session->conn, [](void*, const char*) {}, nullptr);
    if (PQstatus(session->conn) != CONNECTION_OK) {
        throw DatabaseError(ConnectionError(session->conn, given));
    }
    if (!session->Configure()) {
        throw DatabaseError(ErrorFromPostgres(nullptr, session->conn));
    }
    return std::make_unique<PostgresEngine>(std::move(session));
}

}  // namespace quotaplan
