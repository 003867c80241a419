#pragma once

#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command_line.h"
#include "common/calendar_date.h"
#include "engine/cents_plan.h"

namespace quotaplan {

enum class SolveTarget { Instalment, Rate, Value };
enum class OutputFormat { Json, Csv };

// One calculation as asked for on the command line. Numbers use "." as the decimal
// separator; rates are percentages, as the window's fields hold them. Amounts and rates are
// kept in 64 bits as given, so that the form's texts built from them keep every cent.
struct CalcOptions {
    SolveTarget target = SolveTarget::Instalment;
    OutputFormat format = OutputFormat::Json;
    PlanKind plan = PlanKind::Classic;  // --plan classic|cents
    std::optional<double> value;
    double maxi = 0;
    double buyout = 0;
    std::optional<double> ratePercent;
    double spreadPercent = 0;
    std::optional<long> count;  // the 16-bit range is checked by the calculation
    int periodicity = 12;
    bool simple = false;
    bool advance = false;
    bool buyoutInterest = false;
    std::optional<CalendarDate> contractDate;  // missing: today
    std::optional<CalendarDate> firstDate;     // missing: one period after the contract date
    std::optional<CalendarDate> buyoutDate;  // none: the buy-out falls on its BuyoutDueDate
    double contractFees = 0;
    double instalmentFee = 0;
    std::optional<double> instalment;
    std::vector<double> ratesPercent;  // per-instalment annual rates, spread included
    bool ratesIndexed = false;         // --indexed: ratePercent is the index value
};

// The options of a calculation: those taking a value, and the flags.
const std::set<std::string>& CalcValueOptions();
const std::set<std::string>& CalcFlagOptions();

// Reads "3.5" (C form, "." decimal, optional sign) in 64 bits; nullopt on anything else,
// including values beyond the 32-bit range that the calculation reads them in.
std::optional<double> ReadDecimal(const std::string& text);

// The contract description as the window's field keeps it: its first 50 characters
// (UTF-8 characters, not bytes).
std::string DescriptionOf(std::string_view text);

// Reads "YYYY-MM-DD"; nullopt when the text is not a real day.
std::optional<CalendarDate> ReadIsoDate(const std::string& text);

// Fills `options` from a parsed command line. An unreadable number, date or choice gives
// a CliFailure with exit status 2 that names the option.
std::optional<CliFailure> ReadCalcOptions(const CommandLine& line, CalcOptions& options);

}  // namespace quotaplan
