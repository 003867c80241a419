#include "cli/review_command.h"

#include <algorithm>
#include <ostream>

#include "cli/archive_command.h"
#include "cli/calc_command.h"
#include "cli/index_command.h"
#include "cli/json_text.h"
#include "cli/offscreen_application.h"
#include "cli/review_options.h"
#include "common/clock.h"
#include "common/date_text.h"
#include "common/number_text.h"
#include "common/run_time_error.h"
#include "common/stderr_message_boxes.h"
#include "data/bank_plan_file.h"
#include "data/contract_store.h"
#include "data/legal_rates.h"
#include "data/review_store.h"
#include "data/usury_thresholds.h"
#include "engine/due_dates.h"
#include "engine/periodicity.h"
#include "engine/review_figures.h"
#include "engine/taeg.h"
#include "output/review_report_pdf.h"

namespace quotaplan {
namespace {

constexpr int kRefused = 2;
constexpr int kDatabaseError = 1;

// The contract a review works on and what it carries beside its plan.
struct Subject {
    CalcOptions calc;
    std::optional<std::int32_t> id;
    std::string description = "Piano finanziario";
    std::string financingType;
    std::optional<DefaultInterest> defaultInterest;
    std::vector<ReviewRow> bank;
    std::optional<RecoveredTerms> recovered;
};

std::int32_t ReadContractId(const std::string& option, const std::string& text) {
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        throw CliFailure{kRefused, "Valore non valido per --" + option + ": \"" + text + "\""};
    }
    return static_cast<std::int32_t>(std::stol(text));
}

// The calculation a stored contract's form asks for; the rates of its stored plan's rows when
// they change along the plan (an indexed contract).
CalcOptions OptionsOfForm(const ContractForm& form, const std::vector<StoredPlanRow>& stored) {
    CalcOptions calc;
    calc.value = ParseNumber64(form.txtValBene);
    calc.maxi = ParseNumber64(form.txtMaxi);
    calc.buyout = ParseNumber64(form.txtRiscatto);
    calc.ratePercent = ParseNumber64(form.txtTasso);
    calc.spreadPercent = ParseNumber64(form.txtSpread);
    calc.count = static_cast<long>(ParseNumber64(form.txtRate));
    calc.periodicity = ConvertPeriodicity(form.cboPeriodicita, false);
    calc.simple = form.optCapSem;
    calc.advance = form.optPagAnt;
    calc.buyoutInterest = form.chkIntRiscatto;
    calc.contractDate = ReadDateText(form.txtContract);
    calc.firstDate = ReadDateText(form.txtStart);
    if (!form.txtDataRiscatto.empty()) calc.buyoutDate = ReadDateText(form.txtDataRiscatto);
    calc.contractFees = ParseNumber64(form.txtSpContratto);
    calc.instalmentFee = ParseNumber64(form.txtSpRata);
    std::vector<double> rates;
    for (const StoredPlanRow& row : stored) {
        if (row.Tipo == "Rata") rates.push_back(row.Tasso);
    }
    const bool changes =
        std::adjacent_find(rates.begin(), rates.end(), std::not_equal_to<>()) != rates.end();
    if (changes) calc.ratesPercent = rates;
    return calc;
}

void LoadStoredContract(Database& db, StderrMessageBoxes& boxes, std::int32_t id,
                        Subject& subject) {
    if (Recordset(db, "SELECT ID FROM tabContratti WHERE ID = " + std::to_string(id)).Eof()) {
        throw CliFailure{kRefused, "Il contratto " + std::to_string(id) + " non è nell'archivio."};
    }
    ContractStore store(db, boxes);
    const auto form = store.Load(id);
    if (!form) throw CliFailure{kDatabaseError, ""};
    subject.id = id;
    subject.calc = OptionsOfForm(*form, store.LoadPlanRows(id));
    subject.description = form->txtDescBene;
    subject.financingType = form->cboTipoLea;
    subject.defaultInterest = LoadDefaultInterest(db, id);
    subject.bank = LoadBankPlan(db, id);
}

// Terms read back from the bank's plan for a user who has no contract: the contract dated
// one period before the first instalment.
void UseRecoveredTerms(Subject& subject) {
    subject.recovered = RecoverTerms(subject.bank);
    if (!subject.recovered) {
        throw CliFailure{
            kRefused,
            "Dal piano della banca non si ricavano le condizioni (servono scadenza, quota "
            "capitale, quota interessi e debito residuo delle prime righe): indicare "
            "--id o le condizioni del calcolo."};
    }
    const RecoveredTerms& terms = *subject.recovered;
    CalcOptions& calc = subject.calc;
    calc.value = terms.principal.Units();
    calc.ratePercent = terms.annualRate.Value();
    calc.count = terms.count;
    calc.periodicity = terms.periodsPerYear;
    calc.simple = true;  // the proportional rate j / m the terms were read with
    calc.firstDate = terms.firstDate;
    calc.contractDate = AddMonths(terms.firstDate, -12 / terms.periodsPerYear);
}

std::vector<ReviewRow> ReadBankPlan(const CommandLine& line, const std::string& file) {
    auto sheet = ReadSheetFile(file);
    if (auto* refusal = std::get_if<SheetRefusal>(&sheet))
        throw CliFailure{kRefused, refusal->message};
    const SheetCells& cells = std::get<SheetCells>(sheet);
    std::vector<BankColumn> columns = GuessBankColumns(cells);
    if (const auto list = line.Value("columns")) {
        auto read = ReadColumnList(*list);
        if (auto* message = std::get_if<std::string>(&read)) throw CliFailure{kRefused, *message};
        columns = std::get<std::vector<BankColumn>>(read);
    }
    auto rows = ReadBankPlanRows(cells, columns);
    if (auto* refusal = std::get_if<SheetRefusal>(&rows))
        throw CliFailure{kRefused, refusal->message};
    return std::get<std::vector<ReviewRow>>(std::move(rows));
}

std::vector<Recomputation> AskedMethods(const CommandLine& line, bool report) {
    const auto text = line.Value("recompute");
    if (!text) {
        if (!report) return {};
        return {Recomputation::Accumulated, Recomputation::Discounted, Recomputation::Italian,
                Recomputation::InterestFree};
    }
    std::vector<Recomputation> methods;
    for (const std::string& name : CsvFields(*text, ',')) {
        const auto method = RecomputationNamed(name);
        if (!method) {
            throw CliFailure{kRefused, "Valore non valido per --recompute: \"" + name +
                                           "\" (si usano accumulated, discounted, italian, "
                                           "interest-free)"};
        }
        methods.push_back(*method);
    }
    if (!report && methods.size() != 1) {
        throw CliFailure{kRefused,
                         "--recompute chiede un solo metodo (più metodi valgono con --report)."};
    }
    return methods;
}

std::optional<CalendarDate> LegalInterestDate(const CommandLine& line) {
    const auto text = line.Value("legal-interest-to");
    if (!text) return std::nullopt;
    const auto date = ReadIsoDate(*text);
    if (!date) {
        throw CliFailure{kRefused, "Valore non valido per --legal-interest-to: \"" + *text +
                                       "\" (serve una data AAAA-MM-GG)"};
    }
    return date;
}

std::string MoneyJson(const std::optional<Money>& amount) {
    return amount ? amount->Decimal() : std::string("null");
}

std::string DifferenceJson(const ReviewDifference& difference) {
    std::string json = "{\"number\": " + std::to_string(difference.number) +
                       ", \"field\": " + JsonString(ReviewFieldName(difference.field));
    if (difference.field == ReviewField::Date) {
        return json + ", \"bank\": " + JsonString(difference.bankDate.Iso()) +
               ", \"ours\": " + JsonString(difference.ourDate.Iso()) + "}";
    }
    return json + ", \"bank\": " + MoneyJson(difference.bank) +
           ", \"ours\": " + MoneyJson(difference.ours) + "}";
}

std::string RecoveredJson(const RecoveredTerms& terms) {
    return ", \"terms\": {\"value\": " + terms.principal.Decimal() +
           ", \"rate\": " + terms.annualRate.Decimal() +
           ", \"count\": " + std::to_string(terms.count) +
           ", \"periodicity\": " + std::to_string(terms.periodsPerYear) +
           ", \"first_date\": " + JsonString(terms.firstDate.Iso()) + "}";
}

std::string ComparisonJson(const PlanComparison& comparison, const Subject& subject) {
    std::string json = "{\"rows\": " + std::to_string(comparison.rows.size()) +
                       ", \"first_difference\": " +
                       (comparison.firstDifference ? std::to_string(*comparison.firstDifference)
                                                   : std::string("null")) +
                       ", \"paid_more\": " + comparison.PaidMore().Decimal() +
                       ", \"bank_paid\": " + comparison.bankPaid.Decimal() +
                       ", \"ours_paid\": " + comparison.ourPaid.Decimal();
    if (subject.recovered) json += RecoveredJson(*subject.recovered);
    json += ", \"differences\": [";
    for (std::size_t k = 0; k < comparison.differences.size(); ++k) {
        json += (k == 0 ? "\n  " : ",\n  ") + DifferenceJson(comparison.differences[k]);
    }
    return json + (comparison.differences.empty() ? "]}\n" : "\n]}\n");
}

const char* MethodName(Recomputation method) {
    switch (method) {
        case Recomputation::Accumulated:
            return "accumulated";
        case Recomputation::Discounted:
            return "discounted";
        case Recomputation::Italian:
            return "italian";
        case Recomputation::InterestFree:
            return "interest-free";
    }
    return "";
}

std::string RecomputedRowJson(const RecomputedRow& row, bool split) {
    std::string json = "{\"number\": " + std::to_string(row.number) +
                       ", \"date\": " + JsonString(row.date.Iso()) +
                       ", \"amount\": " + row.instalment.Decimal();
    if (split) {
        json += ", \"capital\": " + row.capital.Decimal() +
                ", \"interest\": " + row.interest.Decimal() +
                ", \"residual\": " + row.residual.Decimal();
    }
    return json + "}";
}

std::string RecomputationJson(const ReviewRecomputation& recomputed, bool againstBank) {
    const RecomputedPlan& plan = recomputed.plan;
    std::string json = "{\"method\": " + JsonString(MethodName(plan.method)) +
                       ", \"instalment\": " + plan.instalment.Decimal() +
                       ", \"total_interest\": " + plan.totalInterest.Decimal() +
                       ", \"difference\": " + recomputed.difference.Decimal() +
                       ", \"reference\": " + JsonString(againstBank ? "bank" : "contract");
    if (recomputed.legalRateGap) {
        json += ", \"legal_interest\": null, \"legal_interest_note\": " +
                JsonString("Manca il tasso legale del " + FormatDate(*recomputed.legalRateGap, 2) +
                           ".");
    } else if (recomputed.legalInterest) {
        json += ", \"legal_interest\": " + recomputed.legalInterest->Decimal();
    }
    const bool split =
        plan.method == Recomputation::Italian || plan.method == Recomputation::InterestFree;
    json += ", \"plan\": [";
    for (std::size_t k = 0; k < plan.rows.size(); ++k) {
        json += (k == 0 ? "\n  " : ",\n  ") + RecomputedRowJson(plan.rows[k], split);
    }
    return json + "\n]}\n";
}

// The usury verdicts of the report: by the category of the contract's financing type.
void JudgeForReport(Database& db, StderrMessageBoxes& boxes, const Subject& subject,
                    const CalcOutcome& outcome, ReviewFacts& facts) {
    UsuryThresholds thresholds(db, boxes);
    facts.usuryCategory = thresholds.CategoryOfType(subject.financingType).value_or("");
    if (facts.usuryCategory.empty() || !facts.taeg) return;
    UsuryCase contract{outcome.exact.value - outcome.exact.maxi, facts.contractDate, *facts.taeg};
    if (subject.defaultInterest) {
        contract.defaultRate = subject.defaultInterest->RateFor(facts.annualRate);
    }
    facts.judgement = JudgeContract(thresholds.OfCategory(facts.usuryCategory), contract);
}

ReviewFacts FactsOf(const Subject& subject, const CalcOutcome& outcome) {
    const CentsPlan& plan = *outcome.plan.toTheCent;
    const ContractTerms& terms = outcome.terms;
    ReviewFacts facts;
    facts.description = subject.description;
    facts.financingType = subject.financingType;
    facts.value = outcome.exact.value;
    facts.maxi = outcome.exact.maxi;
    facts.buyout = outcome.exact.buyout;
    facts.count = terms.NumRate;
    facts.periodsPerYear = terms.Periodicita;
    facts.annualRate = plan.rows.empty() ? Percent() : plan.rows.front().rate;
    facts.advance = terms.Anticipato;
    facts.compound = !terms.Semplice;
    facts.contractDate = terms.DataContratto;
    facts.firstDate = terms.DataInizio;
    if (outcome.taeg.rate) facts.taeg = TaegPercent(*outcome.taeg.rate);
    facts.defaultInterest = subject.defaultInterest;
    facts.ours = ReviewRowsOf(plan);
    facts.bank = subject.bank;
    return facts;
}

int ImportLegalRatesCommand(const CommandLine& line, const ProgramFiles& files, std::ostream& out,
                            std::ostream& err) {
    StderrMessageBoxes boxes(err);
    auto db = ConnectArchive(line, files.dataFolder, boxes);
    if (!db) return kDatabaseError;
    const SeriesImport imported = ImportLegalRates(*db, *line.Value("import-legal-rates"));
    // Nothing showed a database error: it is in the message.
    if (imported.status == SeriesImport::Status::Failed) err << imported.message << "\n";
    return PrintImport(imported, "{\"legal_rates\"", out, err);
}

int Review(const CommandLine& line, const CalcOptions& given, const ProgramFiles& files,
           std::ostream& out, std::ostream& err) {
    const bool report = line.Has("report");
    if (!report && !line.Has("bank-plan") && !line.Has("recompute")) {
        throw CliFailure{kRefused, "Indicare --bank-plan, --recompute o --report."};
    }
    if (report && line.Has("id")) throw CliFailure{kRefused, "Con --report non si usa --id."};
    const auto methods = AskedMethods(line, report);
    const auto legalTo = LegalInterestDate(line);
    auto defaultInterest = ReadDefaultInterest(line);
    if (auto* failure = std::get_if<CliFailure>(&defaultInterest)) {
        throw CliFailure{failure->exitStatus, failure->message};
    }

    Subject subject;
    subject.calc = given;
    StderrMessageBoxes boxes(err);
    std::optional<Database> db;
    const auto idText = report ? line.Value("report") : line.Value("id");
    if (idText || legalTo) {
        const bool writes = idText && line.Has("bank-plan") && !report;
        db = ConnectArchive(line, files.dataFolder, boxes,
                            writes ? ArchiveAccess::Writing : ArchiveAccess::Reading);
        if (!db) return kDatabaseError;
    }
    if (idText) {
        LoadStoredContract(*db, boxes, ReadContractId(report ? "report" : "id", *idText), subject);
    }
    if (const auto& asked = std::get<std::optional<DefaultInterest>>(defaultInterest)) {
        subject.defaultInterest = asked;
    }
    if (const auto file = line.Value("bank-plan")) {
        subject.bank = ReadBankPlan(line, *file);
        if (!subject.id && !subject.calc.value) UseRecoveredTerms(subject);
    }
    subject.calc.target = SolveTarget::Instalment;
    subject.calc.plan = PlanKind::ToTheCent;
    subject.calc.format = OutputFormat::Json;
    auto calculated = RunCalculation(subject.calc);
    if (auto* refusal = std::get_if<CliFailure>(&calculated)) {
        throw CliFailure{refusal->exitStatus, refusal->message};
    }
    const CalcOutcome& outcome = std::get<CalcOutcome>(calculated);
    const CentsPlan& plan = *outcome.plan.toTheCent;
    const auto ours = ReviewRowsOf(plan);

    if (line.Has("bank-plan") && subject.id && !report) {
        if (const auto error = SaveBankPlan(*db, *subject.id, subject.bank)) {
            throw CliFailure{kDatabaseError,
                             std::to_string(error->number) + " - " + error->description};
        }
    }
    const std::vector<LegalRate> legalRates =
        legalTo ? LoadLegalRates(*db) : std::vector<LegalRate>{};
    const std::vector<ReviewRow>& reference = subject.bank.empty() ? ours : subject.bank;
    std::vector<ReviewRecomputation> recomputations;
    for (const Recomputation method : methods) {
        recomputations.push_back(RecomputeAgainst(plan, outcome.terms.Periodicita, reference,
                                                  method, legalTo, legalRates));
    }

    if (report) {
        ReviewFacts facts = FactsOf(subject, outcome);
        if (!subject.bank.empty()) facts.comparison = ComparePlans(subject.bank, ours);
        facts.recomputations = std::move(recomputations);
        facts.legalInterestTo = legalTo;
        JudgeForReport(*db, boxes, subject, outcome, facts);
        const OffscreenApplication drawing;
        const auto folder = line.Value("out").value_or(files.ExportFolder().string());
        const ExportResult written = ExportReviewReportPdf(folder, "Perizia " + subject.description,
                                                           ReviewDocument(facts, Today()));
        if (!written.Ok()) throw CliFailure{kDatabaseError, written.message};
        out << written.file.string() << "\n";
        return 0;
    }
    if (!recomputations.empty()) {
        out << RecomputationJson(recomputations.front(), !subject.bank.empty());
        return 0;
    }
    out << ComparisonJson(ComparePlans(subject.bank, ours), subject);
    return 0;
}

}  // namespace

int RunReviewCommand(const CommandLine& line, const CalcOptions& calc, const ProgramFiles& files,
                     std::ostream& out, std::ostream& err) {
    try {
        if (line.Has("import-legal-rates")) return ImportLegalRatesCommand(line, files, out, err);
        return Review(line, calc, files, out, err);
    } catch (const CliFailure& stop) {
        if (!stop.message.empty()) err << stop.message << "\n";
        return stop.exitStatus;
    } catch (const DatabaseError& error) {
        err << error.Number() << " - " << error.Description() << "\n";
        return kDatabaseError;
    } catch (const RunTimeError& error) {
        err << "Errore " << error.Number() << ": " << error.Description() << "\n";
        return kDatabaseError;
    }
}

}  // namespace quotaplan
