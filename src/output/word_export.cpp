#include "output/word_export.h"

#include "common/file_io.h"
#include "common/number_text.h"
#include "output/event_heading.h"
#include "output/export_file.h"
#include "output/file_names.h"
#include "output/plan_export_rows.h"
#include "output/rtf_document.h"
#include "output/text_export.h"

namespace quotaplan {

namespace {

constexpr int kAmount = 1, kRate = 2, kShortDate = 1;
constexpr int kFirstLabelBookmark = 8;
constexpr int kBookmarkCount = 8 + 2 * ContractHeader::kSize;
// A template with pictures in it stays far below this.
constexpr std::size_t kTemplateMaxBytes = 16 * 1024 * 1024;

}  // namespace

std::vector<std::string> WordBookmarkTexts(std::string description, const ContractHeader& header,
                                           const FinancialPlan& plan) {
    std::vector<std::string> texts(kBookmarkCount);
    texts[0] = ReplaceInvalidChars(description);
    for (const ExportRow& row : PlanRowsForExport(plan)) {
        const bool instalment =
            row.kind != ExportRowKind::Maxi && row.kind != ExportRowKind::Buyout;
        const std::string columns[7] = {ExportRowCaption(row),
                                        instalment ? FormatNumber(row.ratePercent, kRate) : "",
                                        FormatDate(row.date, kShortDate),
                                        FormatNumber(row.amount, kAmount),
                                        FormatNumber(row.capital, kAmount),
                                        FormatNumber(row.residual, kAmount),
                                        FormatNumber(row.interest, kAmount)};
        for (int c = 0; c < 7; ++c) texts[1 + c] += columns[c] + "\r\n";
    }
    // Fixed positions for every pair: the heading block always has its 13 slots, so a pair
    // without a label leaves both its bookmarks empty instead of shifting the others.
    for (int i = 0; i < ContractHeader::kSize; ++i) {
        if (header.labels[i].empty()) continue;
        texts[kFirstLabelBookmark + i] = header.labels[i];
        texts[kFirstLabelBookmark + ContractHeader::kSize + i] = header.values[i];
    }
    // The contract's events go under the block, a line each, in its last pair's places.
    std::string& labels = texts[kFirstLabelBookmark + ContractHeader::kSize - 1];
    std::string& values = texts[kFirstLabelBookmark + 2 * ContractHeader::kSize - 1];
    for (const auto& [label, value] : EventHeadingLines(plan)) {
        labels += (labels.empty() ? "" : "\r\n") + label;
        values += (values.empty() ? "" : "\r\n") + value;
    }
    return texts;
}

std::string FillWordTemplate(std::string templateRtf, const std::vector<std::string>& texts) {
    for (std::size_t j = 0; j < texts.size(); ++j) {
        FillRtfBookmark(templateRtf, "STEP" + std::to_string(j), texts[j]);
    }
    SetRtfTitle(templateRtf, kWordDocumentTitle);
    return templateRtf;
}

ExportResult ExportWord(const std::filesystem::path& templateFile,
                        const std::filesystem::path& folder, std::string description,
                        const ContractHeader& header, const FinancialPlan& plan) {
    if (!plan.PlanReady) return NoPlanResult();
    const std::filesystem::path file = ExportFilePath(folder, description, ".doc");
    // Read only as a regular file of sane size: a FIFO put in its place must not stop the
    // program, nor a device fill its memory.
    const FileReadResult read = ReadBoundedFile(templateFile, kTemplateMaxBytes);
    if (read.status == FileReadStatus::Missing || read.status == FileReadStatus::BrokenLink) {
        return ExportResult{
            ExportCode::TemplateMissing,
            "Il modello " + templateFile.string() + " non esiste: il documento non è stato creato.",
            file};
    }
    if (read.status != FileReadStatus::Read || !LooksLikeRtf(read.bytes)) {
        return ExportResult{ExportCode::TemplateUnreadable,
                            "Il modello " + templateFile.string() +
                                " non è leggibile: il documento non è stato creato.",
                            file};
    }
    const std::vector<std::string> texts = WordBookmarkTexts(std::move(description), header, plan);
    return WriteExportFile(file, FillWordTemplate(read.bytes, texts));
}

}  // namespace quotaplan
