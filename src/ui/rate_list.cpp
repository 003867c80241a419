#include "ui/rate_list.h"

#include <cmath>
#include <cstdlib>
#include <limits>

#include "common/date_text.h"
#include "common/number_text.h"
#include "common/run_time_error.h"
#include "engine/due_dates.h"
#include "engine/periodicity.h"

namespace quotaplan {
namespace {

RateListItem NextItem(const RateListItem& last, std::int16_t periodsPerYear) {
    const auto lastDate = ReadDateText(last.date);
    if (!lastDate) throw RunTimeError::TypeMismatch();
    const std::string date = FormatDate(NextDueDate(*lastDate, periodsPerYear), 1);
    return {date, date, last.rate};
}

}  // namespace

void FillLstWithDefault(RateList& list, RateListDefaults& form) {
    const std::size_t have = list.size();
    const int count = std::abs(static_cast<int>(ParseInteger16(form.rateCountText)));
    form.rateCountText = std::to_string(count);
    const std::size_t want = static_cast<std::size_t>(count);

    const auto start = ReadDateText(form.startText);
    if (!start) return;
    const std::int16_t m = ConvertPeriodicity(form.periodicityIndex, false);

    if (want > have && list.empty()) {
        const float rate = ParseNumber32(form.tassoText) + ParseNumber32(form.spreadText);
        const std::string first = FormatDate(*start, 1);
        list.push_back({first, first, FormatNumber(rate, 2)});
        while (list.size() < want) list.push_back(NextItem(list.back(), m));
    } else if (want > have) {
        while (list.size() < want) list.push_back(NextItem(list.back(), m));
    } else {
        list.resize(want);
    }
}

std::vector<float> ListPercents(const RateList& list) {
    std::vector<float> percents;
    percents.reserve(list.size());
    for (const RateListItem& item : list) percents.push_back(ParseNumber32(item.rate));
    return percents;
}

std::optional<std::string> ReadEditedRate(const std::optional<std::string>& answer) {
    if (!answer) return std::nullopt;
    std::string text = *answer;
    for (char& c : text) {
        if (c == '.') c = ',';
    }
    const auto value = TryParseNumber(text);
    if (!value || std::abs(*value) > std::numeric_limits<float>::max()) return std::nullopt;
    return FormatNumber(static_cast<float>(*value), 2);
}

void ApplyRateEdit(RateList& list, int row, const std::string& rate, bool extendToLater) {
    if (row < 0 || row >= static_cast<int>(list.size())) return;
    const std::size_t last = extendToLater ? list.size() : static_cast<std::size_t>(row) + 1;
    for (std::size_t r = static_cast<std::size_t>(row); r < last; ++r) list[r].rate = rate;
}

}  // namespace quotaplan
