#include "data/usury_threshold_file.h"

#include <algorithm>

#include "common/data_lines.h"
#include "common/file_io.h"
#include "common/name_key.h"
#include "common/number_text.h"
#include "common/text_encoding.h"

namespace quotaplan {
namespace {

constexpr const char* kNothingImported = " Nessuna soglia importata.";
constexpr std::int64_t kLargestTegm = 100 * 10000;  // ten-thousandths of a point
// The decree's table has a few dozen rows a quarter; years of them take well under 1 MiB.
constexpr std::size_t kThresholdFileMaxBytes = 16 * 1024 * 1024;

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

// An amount of a class bound: nullopt inside the variant for an empty text (no bound).
std::variant<std::optional<Money>, std::string> ReadBound(std::string_view text) {
    if (text.empty()) return std::optional<Money>();
    const auto parts = SplitNumberText(text);
    const auto cents = parts && !parts->negative && parts->fractionDigits.size() <= 2
                           ? ScaledDigits(*parts, 2)
                           : std::nullopt;
    if (!cents) {
        return "importo non valido " + Quoted(text) +
               " (serve un importo in euro come 25.000,00, o nulla per nessun limite)";
    }
    return std::optional<Money>(Money::FromCents(*cents));
}

// The TEGM, or the default-interest surcharge read by the same rule under its own name.
struct RateName {
    const char* invalid;
    const char* outOfRange;
};
constexpr RateName kTegmName{"TEGM non valido", "TEGM fuori misura"};
constexpr RateName kSurchargeName{"Maggiorazione mora non valida",
                                  "Maggiorazione mora fuori misura"};

std::variant<Percent, std::string> ReadTegm(std::string_view text, RateName name = kTegmName) {
    const auto parts =
        text.find('.') == std::string_view::npos ? SplitNumberText(text) : std::nullopt;
    const auto units =
        parts && parts->fractionDigits.size() <= 4 ? ScaledDigits(*parts, 4) : std::nullopt;
    if (!units) {
        return std::string(name.invalid) + " " + Quoted(text) +
               " (serve un tasso in percentuale con la virgola decimale, come 10,58)";
    }
    if (parts->negative || *units > kLargestTegm) {
        return std::string(name.outOfRange) + " " + Quoted(text) + " (serve un tasso fra 0 e 100)";
    }
    return Percent::FromTenThousandths(*units);
}

IndexFileRefusal LineRefusal(int line, const std::string& reason) {
    return {line, "Riga " + std::to_string(line) + ": " + reason + "." + kNothingImported};
}

}  // namespace

std::variant<UsuryRate, std::string> ReadUsuryRate(const UsuryRateTexts& texts) {
    UsuryRate rate;
    if (texts.category.empty()) return std::string("manca la categoria");
    rate.category = std::string(texts.category);
    for (auto [text, bound] : {std::pair{texts.amountFrom, &rate.amountFrom},
                               std::pair{texts.amountTo, &rate.amountTo}}) {
        auto read = ReadBound(text);
        if (auto* reason = std::get_if<std::string>(&read)) return *reason;
        *bound = std::get<std::optional<Money>>(read);
    }
    if (rate.amountFrom && rate.amountTo && *rate.amountFrom >= *rate.amountTo) {
        return std::string("l'importo da deve essere minore dell'importo a");
    }
    const auto validFrom = ReadDataFileDate(texts.validFrom);
    if (!validFrom) return "data Dal non valida " + Quoted(texts.validFrom) + " (serve gg/mm/aaaa)";
    rate.validFrom = *validFrom;
    if (!texts.validTo.empty()) {
        const auto validTo = ReadDataFileDate(texts.validTo);
        if (!validTo) {
            return "data Al non valida " + Quoted(texts.validTo) +
                   " (serve gg/mm/aaaa, o nulla per una soglia ancora in vigore)";
        }
        if (*validTo < *validFrom) return std::string("la data Al precede la data Dal");
        rate.validTo = *validTo;
    }
    auto tegm = ReadTegm(texts.tegm);
    if (auto* reason = std::get_if<std::string>(&tegm)) return *reason;
    rate.tegm = std::get<Percent>(tegm);
    if (!texts.defaultSurcharge.empty()) {
        auto surcharge = ReadTegm(texts.defaultSurcharge, kSurchargeName);
        if (auto* reason = std::get_if<std::string>(&surcharge)) return *reason;
        rate.defaultSurcharge = std::get<Percent>(surcharge);
    }
    return rate;
}

bool SameUsuryClass(const UsuryRate& a, const UsuryRate& b) {
    return SameName(a.category, b.category) && a.amountFrom == b.amountFrom &&
           a.amountTo == b.amountTo && a.validFrom == b.validFrom;
}

std::variant<std::vector<UsuryRate>, IndexFileRefusal> ReadUsuryThresholdText(
    std::string_view text) {
    std::vector<UsuryRate> rows;
    std::vector<int> lineOfRow;
    for (const DataLine& line : DataLinesAfterHeader(text)) {
        const auto fields = SemicolonFields(line.text, 6);
        if (fields.size() != 6 && fields.size() != 7) {
            return LineRefusal(line.number,
                               "servono sei campi, Categoria;Importo da;Importo a;Dal;Al;TEGM, "
                               "separati da punti e virgola (un settimo, Maggiorazione mora, "
                               "facoltativo)");
        }
        auto read = ReadUsuryRate({fields[0], fields[1], fields[2], fields[3], fields[4], fields[5],
                                   fields.size() == 7 ? fields[6] : ""});
        if (auto* reason = std::get_if<std::string>(&read))
            return LineRefusal(line.number, *reason);
        const auto& rate = std::get<UsuryRate>(read);
        // Two thresholds for one place of the table: which the decree meant cannot be told.
        const auto same = std::find_if(rows.begin(), rows.end(), [&](const UsuryRate& earlier) {
            return SameUsuryClass(earlier, rate);
        });
        if (same != rows.end()) {
            const int earlierLine = lineOfRow[static_cast<std::size_t>(same - rows.begin())];
            return LineRefusal(line.number,
                               "stessa categoria, classe di importo e data Dal della riga " +
                                   std::to_string(earlierLine) + " (" + Quoted(same->category) +
                                   " dal " + FormatDate(same->validFrom, 2) + ")");
        }
        rows.push_back(rate);
        lineOfRow.push_back(line.number);
    }
    if (rows.empty()) {
        return IndexFileRefusal{0, std::string("Il file non contiene soglie (righe "
                                               "Categoria;Importo da;Importo a;Dal;Al;TEGM).") +
                                       kNothingImported};
    }
    return rows;
}

std::variant<std::vector<UsuryRate>, IndexFileRefusal> ReadUsuryThresholdFile(
    const std::filesystem::path& file) {
    const FileReadResult read = ReadBoundedFile(file, kThresholdFileMaxBytes);
    if (read.status != FileReadStatus::Read) {
        return IndexFileRefusal{
            0, "Impossibile leggere il file " + Quoted(file.string()) + "." + kNothingImported};
    }
    return ReadUsuryThresholdText(DataFileTextAsUtf8(read.bytes));
}

}  // namespace quotaplan
