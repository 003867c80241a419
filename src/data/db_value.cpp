#include "data/db_value.h"

#include <charconv>
#include <cmath>

#include "common/date_text.h"
#include "common/number_text.h"
#include "common/run_time_error.h"

namespace quotaplan {

std::string DbValue::ToText() const {
    if (IsNull()) return "";
    if (const auto* whole = std::get_if<std::int64_t>(&data_)) return std::to_string(*whole);
    if (const auto* real = std::get_if<double>(&data_)) return GeneralText(*real);
    return std::get<std::string>(data_);
}

double DbValue::ToDouble() const {
    if (IsNull()) return 0;
    if (const auto* whole = std::get_if<std::int64_t>(&data_)) return static_cast<double>(*whole);
    if (const auto* real = std::get_if<double>(&data_)) return *real;
    const auto& text = std::get<std::string>(data_);
    if (const auto regional = TryParseNumber(text)) return *regional;
    double value = 0;
    const auto* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end || text.empty()) throw RunTimeError::TypeMismatch();
    return value;
}

std::int32_t DbValue::ToLong() const {
    const double rounded = std::nearbyint(ToDouble());
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) throw RunTimeError::Overflow();
    return static_cast<std::int32_t>(rounded);
}

std::optional<CalendarDate> DbValue::ToDate() const {
    const auto* text = std::get_if<std::string>(&data_);
    if (text == nullptr) return std::nullopt;
    if (const auto iso = CalendarDate::FromIso(*text)) return iso;
    return ReadDateText(*text);
}

}  // namespace quotaplan
