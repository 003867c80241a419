// The Italian date reader on any text and any today: what it reads is a real day that reads
// back from the form the program writes, and two-digit years land in the window.

#include <fuzzer/FuzzedDataProvider.h>

#include <string>

#include "common/clock.h"
#include "common/date_text.h"
#include "common/number_text.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quotaplan;
    FuzzedDataProvider input(data, size);
    // Today anywhere from 1/1/100 to 31/12/9999: the two-digit window moves with it.
    const auto today = CalendarDate::FromSerial(input.ConsumeIntegralInRange<std::int32_t>(
        CalendarDate::FromYmd(100, 1, 1)->Serial(), CalendarDate::FromYmd(9999, 12, 31)->Serial()));
    const ScopedToday fixedToday(today);
    const int twoDigitYear = input.ConsumeIntegralInRange(0, 99);
    const std::string text = input.ConsumeRemainingBytesAsString();

    const auto date = ReadDateText(text);
    FUZZ_CHECK(IsDateText(text) == date.has_value());
    if (date) {
        FUZZ_CHECK(CalendarDate::FromYmd(date->Year(), date->Month(), date->Day()) == date);
        FUZZ_CHECK(ReadDateText(FormatDate(*date, 2)) == date);
        FUZZ_CHECK(ReadDateText(date->Iso()) == date);
        const auto shortForm = ReadDateText(FormatDate(*date, 1));
        if (shortForm) FUZZ_CHECK(shortForm->Year() % 100 == date->Year() % 100);
    }
    const int year = ExpandTwoDigitYear(twoDigitYear);
    FUZZ_CHECK(year >= today.Year() - 50 && year <= today.Year() + 49);
    FormatDate(text, 1);
    return 0;
}
