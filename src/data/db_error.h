#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace quotaplan {

// One entry of the connection's error list: the provider number and its description.
struct DbError {
    std::int32_t number = 0;
    std::string description;

    friend bool operator==(const DbError&, const DbError&) = default;
};

// A failed open or read, raised to the caller's error trap with the same number and
// description an executed statement would list.
class DatabaseError : public std::runtime_error {
public:
    explicit DatabaseError(DbError error)
        : std::runtime_error(error.description), error_(std::move(error)) {}
    DatabaseError(std::int32_t number, std::string description)
        : DatabaseError(DbError{number, std::move(description)}) {}

    std::int32_t Number() const { return error_.number; }
    const std::string& Description() const { return error_.description; }
    const DbError& Error() const { return error_; }

private:
    DbError error_;
};

// Provider numbers of the error table used by this adapter.
inline constexpr std::int32_t kErrProviderFailed = 3000;
inline constexpr std::int32_t kErrOpeningFile = 3002;
inline constexpr std::int32_t kErrReadFile = 3003;
inline constexpr std::int32_t kErrWriteFile = 3004;
inline constexpr std::int32_t kErrItemNotFound = 3265;
inline constexpr std::int32_t kErrObjectClosed = 3704;
inline constexpr std::int32_t kErrOperationCancelled = 3712;
inline constexpr std::int32_t kErrIntegrityViolation = 3719;
inline constexpr std::int32_t kErrPermissionDenied = 3720;
inline constexpr std::int32_t kErrDataOverflow = 3721;
inline constexpr std::int32_t kErrSchemaViolation = 3722;
inline constexpr std::int32_t kErrTransactionFailed = 3246;
inline constexpr std::int32_t kErrInvalidConnection = 3709;
inline constexpr std::int32_t kErrSecurity = 3716;
inline constexpr std::int32_t kErrResourceLocked = 3730;
inline constexpr std::int32_t kErrResourceExists = 3731;
inline constexpr std::int32_t kErrServerBusy = 3732;
inline constexpr std::int32_t kErrOutOfSpace = 3734;
// The number the Jet provider gives a statement it cannot parse (0x80040E14).
inline constexpr std::int32_t kErrSqlSyntax = -2147217900;
// The provider's number for any other failure (E_FAIL, 0x80004005).
inline constexpr std::int32_t kErrUnspecified = -2147467259;
// The provider's number for a command that ran out of time (DB_E_ABORTLIMITREACHED,
// 0x80040E31).
inline constexpr std::int32_t kErrCommandTimeout = -2147217871;

// A statement the server did not answer within the command timeout of `seconds`: abandoned,
// with everything its transaction wrote.
DbError CommandTimeoutError(int seconds);

// A text that goes on after its statement's end: refused, so nothing after it can run.
DbError TrailingTextError();

// The Italian text the error table appends after a number (" - ..."), or nullopt-like ""
// for a number the table does not hold.
std::string_view AdoErrorText(std::int32_t number);

// One line of the statement error box: the number in decimal, then the table's text or,
// for a number outside the table, " - " and the error's own description; no line feed.
std::string ErrorLine(const DbError& error);

// The description that goes with a table number: its text without the leading " - ".
std::string AdoErrorDescription(std::int32_t number);

}  // namespace quotaplan
