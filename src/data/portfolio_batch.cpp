#include "data/portfolio_batch.h"

#include <algorithm>

#include "common/name_key.h"
#include "common/number_text.h"
#include "common/ordered_pool.h"
#include "common/recording_message_boxes.h"
#include "data/sql_helpers.h"
#include "data/usury_thresholds.h"

namespace quotaplan {
namespace {

// Lines read ahead of the oldest answer not yet given, for each worker.
constexpr std::size_t kLinesAheadPerJob = 64;

const UsuryBook::Category* CategoryNamed(const UsuryBook& book, const std::string& name) {
    const auto found =
        std::find_if(book.categories.begin(), book.categories.end(),
                     [&](const auto& category) { return SameName(category.name, name); });
    return found == book.categories.end() ? nullptr : &*found;
}

// The usury verdict the line asks for, or the message of why it cannot be given.
std::optional<std::string> JudgeLine(const BatchContract& contract, const BatchSettings& settings,
                                     CalcOutcome& outcome) {
    if (contract.usuryCategory.empty() && contract.type.empty()) return std::nullopt;
    if (settings.usury == nullptr) {
        return "La verifica d'usura richiede l'archivio delle soglie (--db).";
    }
    const UsuryBook& book = *settings.usury;
    CalcUsury usury;
    if (!contract.usuryCategory.empty()) {
        const auto* category = CategoryNamed(book, contract.usuryCategory);
        if (category == nullptr) {
            return "Categoria non presente fra le soglie d'usura dell'archivio: \"" +
                   contract.usuryCategory + "\"";
        }
        usury.category = category->name;
    } else {
        const auto type = std::find_if(book.types.begin(), book.types.end(), [&](const auto& t) {
            return SameName(t.name, contract.type);
        });
        if (type == book.types.end()) {
            return "Tipo di finanziamento non presente nell'archivio: \"" + contract.type + "\"";
        }
        usury.category = type->category;
    }
    const auto judged = UsuryCaseOf(outcome);
    const auto* category = CategoryNamed(book, usury.category);
    if (judged && category != nullptr) usury.judgement = JudgeContract(category->rows, *judged);
    outcome.usury = std::move(usury);
    return std::nullopt;
}

}  // namespace

UsuryBook ReadUsuryBook(Database& db) {
    RecordingMessageBoxes quiet;
    UsuryThresholds thresholds(db, quiet);
    UsuryBook book;
    for (StoredUsuryRate& stored : thresholds.All()) {
        if (book.categories.empty() ||
            !SameName(book.categories.back().name, stored.rate.category)) {
            book.categories.push_back({stored.rate.category, {}});
        }
        book.categories.back().rows.push_back(std::move(stored.rate));
    }
    Recordset types(db, "SELECT Descrizione, CategoriaUsura FROM supTipologia ORDER BY ID");
    for (; !types.Eof(); types.MoveNext()) {
        book.types.push_back({types.Value(0).ToText(), types.Value(1).ToText()});
    }
    return book;
}

BatchAnswer PriceBatchLine(const BatchRecord& record, const BatchSettings& settings) {
    BatchAnswer answer;
    answer.line = record.line;
    for (const auto& [name, value] : record.fields) {
        if (name == "description") answer.description = value;
    }
    auto contract = ReadBatchContract(record);
    if (auto* fault = std::get_if<std::string>(&contract)) {
        answer.error = std::move(*fault);
        return answer;
    }
    const BatchContract& asked = std::get<BatchContract>(contract);
    auto calculated = CalculateRequest(asked.options, settings.today);
    if (auto* failure = std::get_if<CalcFailure>(&calculated)) {
        answer.error = std::move(failure->message);
        return answer;
    }
    CalcOutcome& outcome = std::get<CalcOutcome>(calculated);
    if (auto fault = JudgeLine(asked, settings, outcome)) {
        answer.error = std::move(*fault);
        return answer;
    }
    if (outcome.target == SolveTarget::Instalment) {
        answer.instalment = outcome.plan.toTheCent
                                ? outcome.plan.toTheCent->instalment
                                : ReadMoney(FormatNumber(outcome.instalment, 1)).value_or(Money());
        answer.totals =
            PlanTotalsOf(outcome.plan, outcome.exact.contractFees, outcome.exact.instalmentFee);
    }
    if (!settings.keepPlans) outcome.plan = FinancialPlan{};
    answer.outcome = std::move(outcome);
    return answer;
}

BatchCounts RunBatch(BatchReader& reader, const BatchSettings& settings,
                     const std::function<bool(const BatchAnswer&)>& answered) {
    BatchCounts counts;
    const std::function<std::optional<BatchRecord>()> next = [&] { return reader.Next(); };
    const std::function<BatchAnswer(BatchRecord&)> price = [&](BatchRecord& record) {
        try {
            return PriceBatchLine(record, settings);
        } catch (const std::exception& failure) {
            // Nothing of one line may end the batch.
            BatchAnswer answer;
            answer.line = record.line;
            answer.error = std::string("Errore: ") + failure.what();
            return answer;
        }
    };
    const std::function<bool(BatchAnswer&)> give = [&](BatchAnswer& answer) {
        ++(answer.outcome ? counts.good : counts.bad);
        return answered(answer);
    };
    const int jobs = std::max(1, settings.jobs);
    RunInOrder<BatchRecord, BatchAnswer>(jobs, kLinesAheadPerJob * static_cast<std::size_t>(jobs),
                                         next, price, give);
    return counts;
}

}  // namespace quotaplan
