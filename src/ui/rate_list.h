#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quotaplan {

// One row of the per-instalment rate list: its key, its due-date label ("dd/mm/yy") and
// its annual rate in percent ("0.00"). Only the order of the rows counts; dates are labels.
struct RateListItem {
    std::string key;
    std::string date;
    std::string rate;
    bool operator==(const RateListItem&) const = default;
};
using RateList = std::vector<RateListItem>;

// A row of the rate list whose rate a new list changed (see IndexContractForm).
struct ChangedRate {
    std::size_t row = 0;
    std::string previousRate;  // as the list showed it ("3,50")
    bool higher = false;       // the new rate is above the previous one
    friend bool operator==(const ChangedRate&, const ChangedRate&) = default;
};

// What FillLstWithDefault reads from the form.
struct RateListDefaults {
    std::string rateCountText;  // txtRate; rewritten as the absolute count in plain digits
    std::string startText;      // txtStart
    std::string tassoText;      // txtTasso
    std::string spreadText;     // txtSpread
    int periodicityIndex = 0;   // list index of cboPeriodicita
};

// Brings the list to exactly n = |txtRate| rows. An empty list gets n rows from the first
// due date, one period apart, each with Tasso + Spread; a shorter list is continued with its
// dates and its last rate; a longer one loses its last rows. Nothing happens to the list when
// txtStart holds no date. Throws RunTimeError 13/6 for a count that is not a 16-bit number.
void FillLstWithDefault(RateList& list, RateListDefaults& form);

// The list's rates in percent, read back from their texts in 32 bits. Throws RunTimeError 13
// for a row whose rate is not a number.
std::vector<float> ListPercents(const RateList& list);

// The rate typed into the edit box, formatted "0.00", or nullopt when the answer (points
// read as commas) is not a number.
std::optional<std::string> ReadEditedRate(const std::optional<std::string>& answer);

// Writes `rate` into row `row`, and into every later row too when `extendToLater`.
void ApplyRateEdit(RateList& list, int row, const std::string& rate, bool extendToLater);

}  // namespace quotaplan
