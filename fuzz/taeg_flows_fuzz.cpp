// The --taeg-flows file on any bytes: a refused file names one of its lines; accepted
// flows have real dates, and the TAEG solved on them is finite, within the range the
// solver searches, and balances the flows, all in bounded time.

#include <algorithm>
#include <cmath>
#include <string>

#include "cli/taeg_flows_command.h"
#include "common/text_encoding.h"
#include "fuzz_check.h"

namespace {

using namespace quotaplan;

int LineCount(std::string_view text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
}

void CheckRefusal(const CliFailure& refusal, std::string_view text) {
    FUZZ_CHECK(refusal.exitStatus == 2);
    FUZZ_CHECK(refusal.message.starts_with("Riga "));
    const int line = std::atoi(refusal.message.c_str() + 5);
    FUZZ_CHECK(line >= 1 && line <= LineCount(text));
    FUZZ_CHECK(refusal.message.starts_with("Riga " + std::to_string(line) + ": "));
}

// The sum of the flows discounted at `rate` from the first flow that is not zero is zero,
// but for the rounding of adding terms of either sign: small beside the sum of their sizes.
void CheckBalances(const std::vector<DatedFlow>& flows, double rate) {
    CalendarDate first;
    for (const DatedFlow& flow : flows) {
        if (!flow.amount.IsZero() && (first.IsZero() || flow.date < first)) first = flow.date;
    }
    double sum = 0, sizes = 0;
    for (const DatedFlow& flow : flows) {
        const double term = static_cast<double>(flow.amount.Cents()) *
                            std::pow(1 + rate, -YearsBetween(first, flow.date));
        sum += term;
        sizes += std::fabs(term);
    }
    if (!std::isfinite(sizes) || sizes == 0) return;  // beyond doubles at that rate
    if (std::fabs(sum) > 1e-6 * sizes) {
        std::fprintf(stderr, "rate %.17g leaves %.17g of %.17g\n", rate, sum, sizes);
    }
    FUZZ_CHECK(std::fabs(sum) <= 1e-6 * sizes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text = DataFileTextAsUtf8(fuzz::AsText(data, size));
    const auto read = ReadDatedFlows(text);
    if (const auto* refusal = std::get_if<CliFailure>(&read)) {
        CheckRefusal(*refusal, text);
        return 0;
    }
    const auto& flows = std::get<std::vector<DatedFlow>>(read);
    for (const DatedFlow& flow : flows) FUZZ_CHECK(!flow.date.IsZero());
    const TaegSolution taeg = SolveTaeg(flows);
    if (!taeg.rate) {
        FUZZ_CHECK(TaegText(taeg) == "n.d.");
        return 0;
    }
    const double rate = *taeg.rate;
    FUZZ_CHECK(std::isfinite(rate));
    FUZZ_CHECK(rate >= -0.9999 - 1e-9 && rate <= 100000 + 1e-6);
    FUZZ_CHECK(TaegText(taeg).ends_with("%"));
    CheckBalances(flows, rate);
    return 0;
}
