#include "ui/usury_thresholds_editor.h"

#include <exception>
#include <variant>

#include "common/message_boxes.h"
#include "common/number_text.h"
#include "data/usury_threshold_file.h"
#include "ui/editor_commands.h"
#include "ui/usury_verdict.h"
#include "ui/window_archive.h"

namespace quotaplan {
namespace {

constexpr const char* kFileKinds =
    "Soglie Categoria;Importo da;Importo a;Dal;Al;TEGM (*.csv *.txt);;Tutti i file (*)";

std::string BoundText(const std::optional<Money>& bound) {
    return bound ? FormatNumber(bound->Units(), 1) : std::string();
}

std::string DayText(CalendarDate date) {
    return date.IsZero() ? std::string() : FormatDate(date, 2);
}

std::string RowName(const UsuryRate& rate) {
    return "la soglia di \"" + rate.category + "\" dal " + DayText(rate.validFrom);
}

// A reason of ReadUsuryRate as a sentence of its own.
std::string Sentence(std::string reason) {
    if (!reason.empty() && reason.front() >= 'a' && reason.front() <= 'z') {
        reason.front() = static_cast<char>(reason.front() - 'a' + 'A');
    }
    return reason + ".";
}

}  // namespace

ThresholdsPanel PanelOf(const StoredUsuryRate& stored) {
    const UsuryRate& rate = stored.rate;
    return {stored.id,
            rate.category,
            BoundText(rate.amountFrom),
            BoundText(rate.amountTo),
            DayText(rate.validFrom),
            DayText(rate.validTo),
            ShortPercentText(rate.tegm),
            rate.defaultSurcharge ? ShortPercentText(*rate.defaultSurcharge) : std::string()};
}

void UsuryThresholdsEditor::Refuse(const std::string& message) {
    ShowMessage(boxes_, message, kEditorErrorTitle);
}

std::vector<StoredUsuryRate> UsuryThresholdsEditor::Rows() {
    std::vector<StoredUsuryRate> rows;
    GuardedCommand(boxes_, [&] {
        rows = archive_.UsuryRates();
        return true;
    });
    return rows;
}

std::optional<UsuryRate> UsuryThresholdsEditor::ReadFields(const ThresholdsPanel& panel) {
    auto read = ReadUsuryRate({panel.category, panel.amountFrom, panel.amountTo, panel.validFrom,
                               panel.validTo, panel.tegm, panel.defaultSurcharge});
    if (const auto* reason = std::get_if<std::string>(&read)) {
        Refuse(Sentence(*reason));
        return std::nullopt;
    }
    return std::get<UsuryRate>(read);
}

bool UsuryThresholdsEditor::Add(const ThresholdsPanel& panel) {
    const auto rate = ReadFields(panel);
    if (!rate) return false;
    return GuardedCommand(boxes_, [&] {
        for (const StoredUsuryRate& stored : archive_.UsuryRates()) {
            if (!SameUsuryClass(stored.rate, *rate)) continue;
            const std::string question = "Esiste già " + RowName(stored.rate) +
                                         " per questi importi (TEGM " +
                                         ShortPercentText(stored.rate.tegm) + "). Sostituirla?";
            if (AskYesNo(boxes_, question, "") != BoxAnswer::Yes) return false;
        }
        return archive_.WriteUsuryRates({*rate}).written;
    });
}

bool UsuryThresholdsEditor::Change(const ThresholdsPanel& panel) {
    if (!panel.selected) {
        Refuse("Selezionare una soglia da modificare.");
        return false;
    }
    const auto rate = ReadFields(panel);
    if (!rate) return false;
    return GuardedCommand(
        boxes_, [&] { return archive_.ReplaceUsuryRate(*panel.selected, *rate).written; });
}

bool UsuryThresholdsEditor::Remove(const ThresholdsPanel& panel) {
    if (!panel.selected) {
        Refuse("Selezionare una soglia dalla lista delle soglie.");
        return false;
    }
    return GuardedCommand(boxes_, [&] {
        for (const StoredUsuryRate& stored : archive_.UsuryRates()) {
            if (stored.id != *panel.selected) continue;
            if (AskYesNo(boxes_, "Cancellare " + RowName(stored.rate) + "?", "") !=
                BoxAnswer::Yes) {
                return false;
            }
            return archive_.DeleteUsuryRate(stored.id);
        }
        return false;
    });
}

bool UsuryThresholdsEditor::Import() {
    const auto file = boxes_.AskOpenFile("Importa le soglie d'usura", kFileKinds);
    if (!file) return false;
    return GuardedCommand(boxes_, [&] {
        const SeriesImport imported = archive_.ImportUsuryRates(*file);
        return ShowImport(boxes_, imported);
    });
}

}  // namespace quotaplan
