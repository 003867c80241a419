#include "output/review_report.h"

#include "common/number_text.h"
#include "engine/periodicity.h"
#include "output/percent_text.h"

namespace quotaplan {
namespace {

constexpr int kFullDate = 2;  // "dd/mm/yyyy"

std::string DateText(CalendarDate date) { return date.IsZero() ? "" : FormatDate(date, kFullDate); }

std::string Figure(const std::optional<Money>& amount) {
    return amount ? AmountText(*amount) : std::string();
}

std::string Percentage(Percent rate) { return ShortPercentText(rate) + " %"; }

std::string PeriodicityCaption(int periodsPerYear) {
    const int index = ConvertPeriodicity(periodsPerYear, true);
    return index >= 0 && index < 6 ? std::string(kPeriodicityCaptions[index])
                                   : std::to_string(periodsPerYear) + " rate l'anno";
}

class Builder {
public:
    void Heading(std::string text) { Add({ReportBlock::Kind::Heading, std::move(text), {}, {}}); }
    void Pair(std::string label, std::string value) {
        Add({ReportBlock::Kind::Pair, std::move(label), std::move(value), {}});
    }
    void Paragraph(std::string text) {
        Add({ReportBlock::Kind::Paragraph, std::move(text), {}, {}});
    }
    void Table(ReportTable table) { Add({ReportBlock::Kind::Table, {}, {}, std::move(table)}); }
    std::vector<ReportBlock> Take() { return std::move(blocks_); }

private:
    void Add(ReportBlock block) { blocks_.push_back(std::move(block)); }
    std::vector<ReportBlock> blocks_;
};

void Terms(const ReviewFacts& facts, Builder& out) {
    out.Heading("Condizioni del contratto");
    if (!facts.financingType.empty()) out.Pair("Tipologia", facts.financingType);
    out.Pair("Valore finanziato", AmountText(facts.value));
    if (!facts.maxi.IsZero()) out.Pair("Maxicanone", AmountText(facts.maxi));
    if (!facts.buyout.IsZero()) out.Pair("Riscatto", AmountText(facts.buyout));
    out.Pair("Tasso annuo nominale", Percentage(facts.annualRate));
    out.Pair("Numero di rate", std::to_string(facts.count));
    out.Pair("Periodicità", PeriodicityCaption(facts.periodsPerYear));
    out.Pair("Pagamento", facts.advance ? "Anticipato" : "Posticipato");
    out.Pair("Capitalizzazione", facts.compound ? "Composta" : "Semplice");
    out.Pair("Data del contratto", DateText(facts.contractDate));
    out.Pair("Prima rata", DateText(facts.firstDate));
}

std::string DefaultInterestText(const DefaultInterest& interest) {
    return interest.kind == DefaultInterestKind::Fixed
               ? Percentage(interest.value)
               : Percentage(interest.value) + " oltre il tasso del contratto";
}

std::string ThresholdRowText(const UsuryRate& row) {
    std::string amounts;
    if (row.amountFrom) amounts += "oltre " + AmountText(*row.amountFrom);
    if (row.amountTo)
        amounts += (amounts.empty() ? "fino a " : " fino a ") + AmountText(*row.amountTo);
    if (amounts.empty()) amounts = "tutti gli importi";
    const std::string period = "dal " + DateText(row.validFrom) +
                               (row.validTo.IsZero() ? "" : " al " + DateText(row.validTo));
    return row.category + ", " + amounts + ", " + period + ", TEGM " + Percentage(row.tegm);
}

void Usury(const ReviewFacts& facts, Builder& out) {
    out.Heading("TAEG e verifica d'usura");
    out.Pair("TAEG (usato come TEG)", facts.taeg ? PercentText(*facts.taeg, 2) + " %" : "n.d.");
    std::optional<Percent> defaultRate;
    if (facts.defaultInterest) {
        defaultRate = facts.defaultInterest->RateFor(facts.annualRate);
        out.Pair("Tasso di mora", DefaultInterestText(*facts.defaultInterest) + " (" +
                                      Percentage(*defaultRate) + ")");
    } else {
        out.Pair("Tasso di mora", "non previsto");
    }
    if (facts.usuryCategory.empty()) {
        out.Paragraph("La tipologia del contratto non ha una categoria d'usura: nessuna verifica.");
        return;
    }
    if (!facts.judgement) {
        out.Paragraph("Nessuna soglia d'usura in vigore per la categoria \"" + facts.usuryCategory +
                      "\" alla data del contratto.");
        return;
    }
    const UsuryJudgement& judged = *facts.judgement;
    out.Pair("Regola della soglia", UsuryRuleCaption(judged.rule));
    out.Pair("Soglia utilizzata", ThresholdRowText(judged.row));
    out.Pair("Soglia d'usura", PercentText(judged.threshold, 4) + " %");
    out.Pair("Esito TEG", judged.over ? "OLTRE la soglia d'usura" : "entro la soglia d'usura");
    if (!judged.defaultInterest) return;
    const DefaultJudgement& mora = *judged.defaultInterest;
    if (mora.surcharge) {
        out.Pair("Maggiorazione media della mora", Percentage(*mora.surcharge));
    } else {
        out.Paragraph(
            "Il decreto non indica la maggiorazione media della mora: il tasso di mora "
            "è confrontato con la soglia ordinaria.");
    }
    out.Pair("Soglia per la mora", PercentText(mora.threshold, 4) + " %");
    out.Pair("Esito mora", mora.over ? "OLTRE la soglia d'usura" : "entro la soglia d'usura");
}

void Comparison(const ReviewFacts& facts, Builder& out) {
    if (!facts.comparison) return;
    const PlanComparison& compared = *facts.comparison;
    out.Heading("Piano della banca e piano ricalcolato");
    out.Pair("Righe confrontate", std::to_string(compared.rows.size()));
    out.Pair("Prima rata diversa", compared.firstDifference
                                       ? std::to_string(*compared.firstDifference)
                                       : std::string("nessuna"));
    out.Pair("Totale pagato secondo la banca", AmountText(compared.bankPaid));
    out.Pair("Totale secondo il ricalcolo", AmountText(compared.ourPaid));
    out.Pair("Pagato in più dal cliente", AmountText(compared.PaidMore()));
    ReportTable table;
    table.header = {"N.",
                    "Scadenza",
                    "Rata banca",
                    "Rata ricalcolata",
                    "Capitale banca",
                    "Capitale ricalcolato",
                    "Interessi banca",
                    "Interessi ricalcolati",
                    "Residuo banca",
                    "Residuo ricalcolato"};
    int position = 0;
    for (const ComparedRow& row : compared.rows) {
        ++position;
        const ReviewRow ours = row.ours.value_or(ReviewRow{});
        const int number = row.bank.number != 0 ? row.bank.number
                           : ours.number != 0   ? ours.number
                                                : position;
        const CalendarDate date = row.bank.date.IsZero() ? ours.date : row.bank.date;
        table.rows.push_back({std::to_string(number), DateText(date), Figure(row.bank.instalment),
                              Figure(ours.instalment), Figure(row.bank.capital),
                              Figure(ours.capital), Figure(row.bank.interest),
                              Figure(ours.interest), Figure(row.bank.residual),
                              Figure(ours.residual)});
        const auto parts = [&](const std::optional<Money>& bank, const std::optional<Money>& mine) {
            return bank && (!mine || *bank != *mine);
        };
        const bool dateParts = !row.ours || (!row.bank.date.IsZero() && !ours.date.IsZero() &&
                                             row.bank.date != ours.date);
        const bool instalment = parts(row.bank.instalment, ours.instalment);
        const bool capital = parts(row.bank.capital, ours.capital);
        const bool interest = parts(row.bank.interest, ours.interest);
        const bool residual = parts(row.bank.residual, ours.residual);
        table.marked.push_back({false, dateParts, instalment, instalment, capital, capital,
                                interest, interest, residual, residual});
    }
    out.Table(std::move(table));
}

void Recomputations(const ReviewFacts& facts, Builder& out) {
    if (facts.recomputations.empty()) return;
    const std::string reference =
        facts.bank.empty() ? "del piano del contratto" : "del piano della banca";
    for (const ReviewRecomputation& recomputed : facts.recomputations) {
        const RecomputedPlan& plan = recomputed.plan;
        out.Heading("Ricalcolo: " + std::string(RecomputationCaption(plan.method)));
        out.Pair(plan.method == Recomputation::Italian ? "Prima rata" : "Rata",
                 AmountText(plan.instalment));
        out.Pair("Totale interessi ricalcolati", AmountText(plan.totalInterest));
        out.Pair("Interessi " + reference, AmountText(recomputed.referenceInterest));
        out.Pair("Differenza da restituire", AmountText(recomputed.difference));
        if (recomputed.legalRateGap) {
            out.Paragraph("Interessi legali non calcolabili: manca il tasso legale del " +
                          DateText(*recomputed.legalRateGap) + ".");
        } else if (recomputed.legalInterest && facts.legalInterestTo) {
            out.Pair("Interessi legali al " + DateText(*facts.legalInterestTo),
                     AmountText(*recomputed.legalInterest));
        }
    }
}

void Conventions(Builder& out) {
    out.Heading("Convenzioni");
    out.Paragraph(
        "TAEG: flussi datati, tempo in mesi interi contati a ritroso dalla data di "
        "ciascun flusso (1/12 ciascuno) e giorni residui su 365 o 366, come nelle "
        "direttive 2008/48/CE e 2014/17/UE.");
    out.Paragraph(std::string("Regime semplice: tasso periodale proporzionale j/m; convenzione "
                              "predefinita: ") +
                  std::string(RecomputationCaption(kDefaultSimpleConvention)) +
                  ", R = C (1 + j n) / somma (1 + j (n - k)); in alternativa valori attuali "
                  "scontati, R = C / somma 1 / (1 + j k).");
    out.Paragraph(
        "Ammortamento all'italiana: quota capitale costante C/n, interessi sul debito "
        "residuo; l'ultima quota capitale assorbe gli arrotondamenti.");
    out.Paragraph(
        "Arrotondamento: ogni importo al centesimo, metà per eccesso; interessi legali "
        "semplici su anno di 365 giorni, dal giorno dopo ciascuna scadenza.");
}

}  // namespace

ReportDocument ReviewDocument(const ReviewFacts& facts, CalendarDate today) {
    Builder out;
    Terms(facts, out);
    Usury(facts, out);
    Comparison(facts, out);
    Recomputations(facts, out);
    Conventions(out);
    return {"Perizia econometrica - " + facts.description, today, out.Take()};
}

std::vector<std::string> ReportLines(const ReportDocument& document) {
    std::vector<std::string> lines = {document.title, "Data: " + DateText(document.date)};
    for (const ReportBlock& block : document.blocks) {
        switch (block.kind) {
            case ReportBlock::Kind::Heading:
            case ReportBlock::Kind::Paragraph:
                lines.push_back(block.text);
                break;
            case ReportBlock::Kind::Pair:
                lines.push_back(block.text + ": " + block.value);
                break;
            case ReportBlock::Kind::Table: {
                std::string header;
                for (const auto& cell : block.table.header)
                    header += (header.empty() ? "" : ";") + cell;
                lines.push_back(header);
                for (std::size_t r = 0; r < block.table.rows.size(); ++r) {
                    std::string line;
                    for (std::size_t c = 0; c < block.table.rows[r].size(); ++c) {
                        const bool marked = r < block.table.marked.size() &&
                                            c < block.table.marked[r].size() &&
                                            block.table.marked[r][c];
                        line += (c == 0 ? "" : ";") + block.table.rows[r][c] + (marked ? "*" : "");
                    }
                    lines.push_back(line);
                }
                break;
            }
        }
    }
    return lines;
}

}  // namespace quotaplan
