#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/calendar_date.h"
#include "engine/legal_interest.h"
#include "engine/plan_comparison.h"
#include "engine/recomputation.h"
#include "engine/review_figures.h"
#include "engine/usury.h"
#include "output/export_result.h"

namespace quotaplan {

// Everything an expert review's report states, gathered by its caller.
struct ReviewFacts {
    std::string description;
    std::string financingType;
    Money value, maxi, buyout;
    int count = 0;
    int periodsPerYear = 12;
    Percent annualRate;  // rate plus spread
    bool advance = false;
    bool compound = true;
    CalendarDate contractDate, firstDate;
    std::optional<Percent> taeg;  // none: no rate fits the flows
    std::optional<DefaultInterest> defaultInterest;
    std::string usuryCategory;  // empty: the financing type has none
    std::optional<UsuryJudgement> judgement;
    std::vector<ReviewRow> ours;  // the contract's plan to the cent
    std::vector<ReviewRow> bank;  // empty: no bank plan
    std::optional<PlanComparison> comparison;
    std::vector<ReviewRecomputation> recomputations;
    std::optional<CalendarDate> legalInterestTo;
};

// The simple-interest convention a report names as its default ("Regime semplice" unless
// said otherwise): interest accumulated at maturity.
inline constexpr Recomputation kDefaultSimpleConvention = Recomputation::Accumulated;

// A report as blocks a printer, a PDF page or a word processor lays out alike.
struct ReportTable {
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;
    std::vector<std::vector<bool>> marked;  // marked[r][c]: a cell where the plans part
};

struct ReportBlock {
    enum class Kind { Heading, Pair, Paragraph, Table };
    Kind kind = Kind::Paragraph;
    std::string text;   // the heading, the pair's label or the paragraph
    std::string value;  // the pair's value
    ReportTable table;
};

struct ReportDocument {
    std::string title;  // "Perizia econometrica - <description>"
    CalendarDate date;
    std::vector<ReportBlock> blocks;
};

// The report of a review dated `today`: the contract's terms, the TAEG (as TEG) and default
// rate with both thresholds, the verdicts and the threshold row used (category, class,
// period) or why there is none; the bank's plan against the contract's with its differences
// marked, the totals and the first row where they part; each recomputation with its
// instalment, total interest, difference and legal interest; the conventions (the TAEG's time
// count, the regime and its default convention, the rounding). Raises nothing.
ReportDocument ReviewDocument(const ReviewFacts& facts, CalendarDate today);

// The document as an RTF text that Word and LibreOffice open (the .doc the other exports
// write): the title and date, headings in bold, pairs as "label: value", tables as tables with
// the cells where the plans part shaded and in bold.
std::string ReviewReportRtf(const ReportDocument& document);

// Writes folder/<cleaned description>.doc (ExportFilePath, WriteExportFile).
ExportResult ExportReviewReportDoc(const std::filesystem::path& folder, std::string description,
                                   const ReportDocument& document);

// The document as plain text lines, for the .doc and for tests: headings, "label: value",
// paragraphs, tables with ";" between cells and "*" after a marked cell.
std::vector<std::string> ReportLines(const ReportDocument& document);

}  // namespace quotaplan
