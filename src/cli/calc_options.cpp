#include "cli/calc_options.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace quotaplan {
namespace {

CliFailure Unreadable(const std::string& option, const std::string& text, const char* what) {
    return CliFailure{2, "Valore non valido per --" + option + ": \"" + text + "\" (" + what + ")"};
}

// Reads one optional decimal option into `target`.
template <typename Target>
std::optional<CliFailure> ReadNumberOption(const CommandLine& line, const std::string& option,
                                           Target& target) {
    const auto text = line.Value(option);
    if (!text) return std::nullopt;
    const auto number = ReadDecimal(*text);
    if (!number) return Unreadable(option, *text, "serve un numero con il punto decimale");
    target = *number;
    return std::nullopt;
}

std::optional<CliFailure> ReadDateOption(const CommandLine& line, const std::string& option,
                                         std::optional<CalendarDate>& target) {
    const auto text = line.Value(option);
    if (!text) return std::nullopt;
    target = ReadIsoDate(*text);
    if (!target) return Unreadable(option, *text, "serve una data AAAA-MM-GG");
    return std::nullopt;
}

std::optional<CliFailure> ReadWholeOption(const CommandLine& line, const std::string& option,
                                          std::optional<long>& target) {
    const auto text = line.Value(option);
    if (!text) return std::nullopt;
    const auto number = ReadDecimal(*text);
    if (!number || *number != std::trunc(*number)) {
        return Unreadable(option, *text, "serve un numero intero");
    }
    // Anything beyond the 16-bit range is refused later as an overflow, as the window does;
    // clamping keeps the conversion defined for absurd counts.
    target = static_cast<long>(std::clamp(*number, -1e6, 1e6));
    return std::nullopt;
}

std::optional<CliFailure> ReadRateList(const CommandLine& line, std::vector<double>& rates) {
    const auto text = line.Value("rates");
    if (!text) return std::nullopt;
    std::size_t start = 0;
    while (start <= text->size()) {
        const std::size_t comma = std::min(text->find(',', start), text->size());
        const std::string item = text->substr(start, comma - start);
        const auto rate = ReadDecimal(item);
        if (!rate) return Unreadable("rates", *text, "servono tassi separati da virgole");
        rates.push_back(*rate);
        start = comma + 1;
    }
    return std::nullopt;
}

std::optional<CliFailure> ReadChoices(const CommandLine& line, CalcOptions& options) {
    if (const auto solve = line.Value("solve")) {
        if (*solve == "instalment")
            options.target = SolveTarget::Instalment;
        else if (*solve == "rate")
            options.target = SolveTarget::Rate;
        else if (*solve == "value")
            options.target = SolveTarget::Value;
        else
            return Unreadable("solve", *solve, "instalment, rate o value");
    }
    if (const auto format = line.Value("format")) {
        if (*format == "json")
            options.format = OutputFormat::Json;
        else if (*format == "csv")
            options.format = OutputFormat::Csv;
        else
            return Unreadable("format", *format, "json o csv");
    }
    if (const auto plan = line.Value("plan")) {
        if (*plan == "classic")
            options.plan = PlanKind::Classic;
        else if (*plan == "cents")
            options.plan = PlanKind::ToTheCent;
        else
            return Unreadable("plan", *plan, "classic o cents");
    }
    return std::nullopt;
}

}  // namespace

const std::set<std::string>& CalcValueOptions() {
    static const std::set<std::string> options = {
        "solve",       "value",         "maxi",           "buyout",        "rate",
        "spread",      "count",         "periodicity",    "contract-date", "first-date",
        "buyout-date", "contract-fees", "instalment-fee", "instalment",    "rates",
        "format",      "plan"};
    return options;
}

const std::set<std::string>& CalcFlagOptions() {
    static const std::set<std::string> flags = {"simple", "advance", "buyout-interest"};
    return flags;
}

std::optional<double> ReadDecimal(const std::string& text) {
    if (text.empty() || text.find_first_not_of("+-.0123456789") != std::string::npos) {
        return std::nullopt;
    }
    errno = 0;
    char* end = nullptr;
    const double number = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || errno == ERANGE || !std::isfinite(number) ||
        std::fabs(number) > std::numeric_limits<float>::max()) {
        return std::nullopt;
    }
    return number;
}

std::string DescriptionOf(std::string_view text) {
    constexpr std::size_t kLongestDescription = 50;
    std::size_t end = 0;
    for (std::size_t seen = 0; end < text.size() && seen < kLongestDescription; ++seen) {
        ++end;
        while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
    }
    return std::string(text.substr(0, end));
}

std::optional<CalendarDate> ReadIsoDate(const std::string& text) {
    return CalendarDate::FromIso(text);
}

std::optional<CliFailure> ReadCalcOptions(const CommandLine& line, CalcOptions& options) {
    options.simple = line.Flag("simple");
    options.advance = line.Flag("advance");
    options.buyoutInterest = line.Flag("buyout-interest");
    std::optional<CliFailure> failure;
    double periodicity = options.periodicity;
    const auto readAll = [&] {
        if ((failure = ReadChoices(line, options))) return;
        for (const auto& [name, target] :
             {std::pair<const char*, std::optional<double>*>{"value", &options.value},
              {"rate", &options.ratePercent},
              {"instalment", &options.instalment}}) {
            if ((failure = ReadNumberOption(line, name, *target))) return;
        }
        for (const auto& [name, target] : {std::pair<const char*, double*>{"maxi", &options.maxi},
                                           {"buyout", &options.buyout},
                                           {"spread", &options.spreadPercent},
                                           {"contract-fees", &options.contractFees},
                                           {"instalment-fee", &options.instalmentFee},
                                           {"periodicity", &periodicity}}) {
            if ((failure = ReadNumberOption(line, name, *target))) return;
        }
        if ((failure = ReadWholeOption(line, "count", options.count))) return;
        if ((failure = ReadDateOption(line, "contract-date", options.contractDate))) return;
        if ((failure = ReadDateOption(line, "first-date", options.firstDate))) return;
        if ((failure = ReadDateOption(line, "buyout-date", options.buyoutDate))) return;
        failure = ReadRateList(line, options.ratesPercent);
    };
    readAll();
    if (failure) return failure;
    if (periodicity != std::trunc(periodicity)) {
        return Unreadable("periodicity", *line.Value("periodicity"), "serve un numero intero");
    }
    // An unknown periodicity is refused by the form check; clamping keeps the conversion defined.
    options.periodicity = static_cast<int>(std::clamp(periodicity, -1000.0, 1000.0));
    return std::nullopt;
}

}  // namespace quotaplan
