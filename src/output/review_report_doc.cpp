#include "common/number_text.h"
#include "output/export_file.h"
#include "output/review_report.h"
#include "output/rtf_document.h"

namespace quotaplan {
namespace {

// Twips of the A4 text width within 2 cm margins: 17 cm.
constexpr int kTextWidthTwips = 9638;

std::string TableRtf(const ReportTable& table) {
    std::string rtf;
    const auto row = [&](const std::vector<std::string>& cells, const std::vector<bool>* marked,
                         bool header) {
        rtf += "\\trowd\\trgaph40";
        const int width =
            kTextWidthTwips / static_cast<int>(std::max<std::size_t>(cells.size(), 1));
        for (std::size_t c = 0; c < cells.size(); ++c) {
            if (marked && c < marked->size() && (*marked)[c]) rtf += "\\clcbpat2";
            rtf += "\\clbrdrt\\brdrs\\clbrdrl\\brdrs\\clbrdrb\\brdrs\\clbrdrr\\brdrs\\cellx" +
                   std::to_string(width * static_cast<int>(c + 1));
        }
        for (std::size_t c = 0; c < cells.size(); ++c) {
            const bool bold = header || (marked && c < marked->size() && (*marked)[c]);
            rtf += std::string("\\pard\\intbl\\fs14") + (c < 2 || header ? "\\qc" : "\\qr") +
                   (bold ? "\\b " : " ") + RtfEscape(cells[c]) + (bold ? "\\b0" : "") + "\\cell";
        }
        rtf += "\\row\n";
    };
    row(table.header, nullptr, true);
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        row(table.rows[r], r < table.marked.size() ? &table.marked[r] : nullptr, false);
    }
    return rtf + "\\pard\\par\n";
}

}  // namespace

std::string ReviewReportRtf(const ReportDocument& document) {
    std::string rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}"
        "{\\colortbl;\\red0\\green0\\blue0;\\red255\\green205\\blue205;}"
        "\\paperw11906\\paperh16838\\margl1134\\margr1134\\margt1134\\margb1134\n";
    rtf += "\\pard\\fs28\\b " + RtfEscape(document.title) + "\\b0\\par\n";
    rtf += "\\pard\\fs18 " + RtfEscape(FormatDate(document.date, 2)) + "\\par\n";
    for (const ReportBlock& block : document.blocks) {
        switch (block.kind) {
            case ReportBlock::Kind::Heading:
                rtf += "\\pard\\sb200\\fs22\\b " + RtfEscape(block.text) + "\\b0\\par\n";
                break;
            case ReportBlock::Kind::Pair:
                rtf += "\\pard\\fs18\\b " + RtfEscape(block.text) + ":\\b0  " +
                       RtfEscape(block.value) + "\\par\n";
                break;
            case ReportBlock::Kind::Paragraph:
                rtf += "\\pard\\fs18 " + RtfEscape(block.text) + "\\par\n";
                break;
            case ReportBlock::Kind::Table:
                rtf += TableRtf(block.table);
                break;
        }
    }
    return rtf + "}\n";
}

ExportResult ExportReviewReportDoc(const std::filesystem::path& folder, std::string description,
                                   const ReportDocument& document) {
    const std::filesystem::path file = ExportFilePath(folder, std::move(description), ".doc");
    return WriteExportFile(file, ReviewReportRtf(document));
}

}  // namespace quotaplan
