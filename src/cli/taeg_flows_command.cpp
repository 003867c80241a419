#include "cli/taeg_flows_command.h"

#include <algorithm>
#include <string>

#include "common/data_lines.h"
#include "common/file_io.h"
#include "common/text_encoding.h"

namespace quotaplan {
namespace {

constexpr int kRefused = 2;
// Ten thousand years of daily flows take under 1 MiB.
constexpr std::size_t kFlowsFileMaxBytes = 16 * 1024 * 1024;

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

CliFailure LineRefusal(int line, const std::string& reason) {
    return {kRefused, "Riga " + std::to_string(line) + ": " + reason + "."};
}

// An amount in cents: digits, one "." or "," and at most two decimals.
std::optional<Money> ReadFlowAmount(std::string_view text) {
    std::string plain(text);
    if (plain.find('.') == std::string::npos) std::replace(plain.begin(), plain.end(), ',', '.');
    const auto parts = SplitPlainNumberText(plain);
    if (!parts || parts->fractionDigits.size() > 2) return std::nullopt;
    return ReadPlainMoney(plain);
}

bool HasDigit(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::variant<std::vector<DatedFlow>, CliFailure> ReadDatedFlows(std::string_view text) {
    std::vector<DatedFlow> flows;
    const std::vector<DataLine> lines = DataLines(text);
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const DataLine& line = lines[k];
        if (k == 0 && !HasDigit(line.text)) continue;  // a header
        const auto fields = SemicolonFields(line.text, 2);
        if (fields.size() != 2) {
            return LineRefusal(line.number,
                               "servono due campi, AAAA-MM-GG;importo, separati da un punto e "
                               "virgola");
        }
        const auto date = CalendarDate::FromIso(fields[0]);
        if (!date) {
            return LineRefusal(line.number,
                               "data non valida " + Quoted(fields[0]) + " (serve AAAA-MM-GG)");
        }
        const auto amount = ReadFlowAmount(fields[1]);
        if (!amount) {
            return LineRefusal(line.number, "importo non valido " + Quoted(fields[1]) +
                                                " (serve un importo come -860.66, al più "
                                                "due decimali, senza separatori delle migliaia)");
        }
        flows.push_back({*date, *amount});
    }
    return flows;
}

int RunTaegFlows(const std::filesystem::path& file, std::ostream& out, std::ostream& err) {
    const FileReadResult read = ReadBoundedFile(file, kFlowsFileMaxBytes);
    if (read.status != FileReadStatus::Read) {
        err << "Impossibile leggere il file " << Quoted(file.string()) << ".\n";
        return kRefused;
    }
    const auto flows = ReadDatedFlows(DataFileTextAsUtf8(read.bytes));
    if (const auto* refusal = std::get_if<CliFailure>(&flows)) {
        err << refusal->message << "\n";
        return refusal->exitStatus;
    }
    const TaegSolution taeg = SolveTaeg(std::get<std::vector<DatedFlow>>(flows));
    if (!taeg.rate) {
        err << NoTaegNote(taeg.missing) << "\n";
        return kRefused;
    }
    out << "{\"taeg\": " << TaegPercent(*taeg.rate).Decimal() << "}\n";
    return 0;
}

}  // namespace quotaplan
