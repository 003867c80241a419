#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>

#include "common/calendar_date.h"

namespace quotaplan {

// A value read from the archive: Null, a whole number, a floating-point number or a text.
// Dates come as ISO texts ('YYYY-MM-DD'); yes/no as -1 and 0.
class DbValue {
public:
    DbValue() = default;
    static DbValue Integer(std::int64_t value) { return DbValue(value); }
    static DbValue Real(double value) { return DbValue(value); }
    static DbValue Text(std::string value) { return DbValue(std::move(value)); }

    bool IsNull() const { return std::holds_alternative<std::monostate>(data_); }
    bool IsInteger() const { return std::holds_alternative<std::int64_t>(data_); }
    bool IsReal() const { return std::holds_alternative<double>(data_); }
    bool IsText() const { return std::holds_alternative<std::string>(data_); }

    // The value as text: "" for Null, whole numbers in decimal, other numbers in their
    // general regional form (GeneralText), texts as they are.
    std::string ToText() const;

    // The value as a number: Null gives 0, a text is read as a regional number text or as
    // a number with "." as decimal mark. Throws RunTimeError 13 for any other text.
    double ToDouble() const;

    // The value as a 32-bit integer, halves to the even neighbour as the classic conversion
    // rounds. Throws RunTimeError 6 outside the 32-bit range, 13 as ToDouble does.
    std::int32_t ToLong() const;

    // The value as a date: an ISO text, or a date text in the regional order; nullopt for
    // Null and anything else.
    std::optional<CalendarDate> ToDate() const;

    // Calls the visitor with what is held: std::monostate (Null), std::int64_t, double or
    // std::string.
    template <typename Visitor>
    decltype(auto) Visit(Visitor&& visitor) const {
        return std::visit(std::forward<Visitor>(visitor), data_);
    }

    friend bool operator==(const DbValue&, const DbValue&) = default;

private:
    template <typename T>
    explicit DbValue(T value) : data_(std::move(value)) {}
    std::variant<std::monostate, std::int64_t, double, std::string> data_;
};

}  // namespace quotaplan
