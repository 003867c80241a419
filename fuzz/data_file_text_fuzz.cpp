// The reading of data files as a user saves them, on any bytes: the text conversion always
// gives valid UTF-8 and leaves valid UTF-8 without a mark as it is; the reference-rate
// series and the usury table read from that text keep only rows that obey their rules, and
// a refusal names a line of the file.

#include <algorithm>
#include <cmath>
#include <string>

#include "common/text_encoding.h"
#include "common/utf8.h"
#include "data/index_series_file.h"
#include "data/usury_threshold_file.h"
#include "fuzz_check.h"

namespace {

using namespace quotaplan;

constexpr char32_t kBroken = 0xFFFFFFFF;
char32_t Broken(unsigned char) { return kBroken; }

bool IsValidUtf8(std::string_view text) {
    const std::u32string decoded = DecodeUtf8(text, Broken);
    return std::find(decoded.begin(), decoded.end(), kBroken) == decoded.end();
}

bool StartsWithMark(std::string_view bytes) {
    return bytes.starts_with("\xEF\xBB\xBF") || bytes.starts_with("\xFF\xFE") ||
           bytes.starts_with("\xFE\xFF");
}

int LineCount(std::string_view text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
}

// A refusal names a line of the file (0: the file as a whole) in its message.
void CheckRefusal(const IndexFileRefusal& refusal, std::string_view text,
                  std::string_view closing) {
    FUZZ_CHECK(refusal.line >= 0 && refusal.line <= LineCount(text));
    if (refusal.line > 0) {
        FUZZ_CHECK(refusal.message.starts_with("Riga " + std::to_string(refusal.line) + ": "));
    }
    FUZZ_CHECK(refusal.message.ends_with(closing));
    FUZZ_CHECK(IsValidUtf8(refusal.message));
}

void CheckEncoding(std::string_view bytes, const std::string& text) {
    FUZZ_CHECK(IsValidUtf8(text));
    FUZZ_CHECK(MarkedTextAsUtf8(bytes).has_value() == StartsWithMark(bytes));
    if (StartsWithMark(bytes)) return;
    if (IsValidUtf8(bytes)) {
        FUZZ_CHECK(text == bytes);
    } else {
        // Windows-1252: one character a byte, the ASCII ones unchanged.
        FUZZ_CHECK(DecodeUtf8(text).size() == bytes.size());
    }
}

void CheckSeries(const std::string& text) {
    const IndexFileContent content = ReadIndexSeriesText(text);
    if (const auto* refusal = std::get_if<IndexFileRefusal>(&content)) {
        CheckRefusal(*refusal, text, " Nessun valore importato.");
        return;
    }
    const auto& values = std::get<std::vector<IndexValue>>(content);
    FUZZ_CHECK(!values.empty());
    for (std::size_t k = 0; k < values.size(); ++k) {
        FUZZ_CHECK(!values[k].date.IsZero());
        FUZZ_CHECK(k == 0 || values[k - 1].date < values[k].date);
        FUZZ_CHECK(std::isfinite(values[k].percent) && std::fabs(values[k].percent) <= 100);
    }
}

void CheckUsuryTable(const std::string& text) {
    const auto content = ReadUsuryThresholdText(text);
    if (const auto* refusal = std::get_if<IndexFileRefusal>(&content)) {
        CheckRefusal(*refusal, text, " Nessuna soglia importata.");
        return;
    }
    const auto& rows = std::get<std::vector<UsuryRate>>(content);
    FUZZ_CHECK(!rows.empty());
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const UsuryRate& row = rows[k];
        FUZZ_CHECK(!row.category.empty() && IsValidUtf8(row.category));
        FUZZ_CHECK(!row.amountFrom || row.amountFrom->Cents() >= 0);
        FUZZ_CHECK(!row.amountTo || row.amountTo->Cents() >= 0);
        FUZZ_CHECK(!row.amountFrom || !row.amountTo || *row.amountFrom < *row.amountTo);
        FUZZ_CHECK(!row.validFrom.IsZero());
        FUZZ_CHECK(row.validTo.IsZero() || row.validFrom <= row.validTo);
        FUZZ_CHECK(row.tegm.TenThousandths() >= 0 && row.tegm.TenThousandths() <= 1000000);
        for (std::size_t j = 0; j < k; ++j) FUZZ_CHECK(!SameUsuryClass(rows[j], row));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::AsText(data, size);
    const std::string text = DataFileTextAsUtf8(bytes);
    CheckEncoding(bytes, text);
    CheckSeries(text);
    CheckUsuryTable(text);
    return 0;
}
