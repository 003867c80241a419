#include "ui/reference_values_editor.h"

#include <cmath>
#include <exception>

#include "common/date_text.h"
#include "common/message_boxes.h"
#include "common/number_text.h"
#include "ui/editor_commands.h"
#include "ui/window_archive.h"

namespace quotaplan {
namespace {

constexpr double kLargestRate = 100.0;
constexpr const char* kFileKinds = "Valori Data;Valore (*.csv *.txt);;Tutti i file (*)";

std::string DayText(CalendarDate date) { return FormatDate(date, 2); }

}  // namespace

std::string ValueText(double percent) {
    const std::string twoDecimals = FormatNumber(percent, 2);
    const auto shown = TryParseNumber(twoDecimals);
    if (shown && std::fabs(*shown - percent) < 1e-9) return twoDecimals;
    return GeneralText(percent);
}

void ReferenceValuesEditor::Refuse(const std::string& message) {
    ShowMessage(boxes_, message, kEditorErrorTitle);
}

std::vector<IndexValue> ReferenceValuesEditor::Values() {
    std::vector<IndexValue> values;
    GuardedCommand(boxes_, [&] {
        values = archive_.ReferenceSeries(rateName_);
        return true;
    });
    return values;
}

std::optional<IndexValue> ReferenceValuesEditor::ReadFields(const ValuesPanel& panel) {
    const auto date = ReadDateText(panel.date);
    if (!date) {
        Refuse("Inserire una data valida!");
        return std::nullopt;
    }
    // A point typed for the decimal comma is taken as one, as in the rate fields.
    std::string text = panel.value;
    for (char& c : text) {
        if (c == '.') c = ',';
    }
    const auto value = TryParseNumber(text);
    if (!value) {
        Refuse("Inserire un valore valido, in percentuale (per esempio 2,50).");
        return std::nullopt;
    }
    if (std::fabs(*value) > kLargestRate) {
        Refuse("Inserire un valore fra -100 e 100.");
        return std::nullopt;
    }
    return IndexValue{*date, *value};
}

bool ReferenceValuesEditor::ConfirmOverwrite(CalendarDate date,
                                             std::optional<CalendarDate> except) {
    if (except && *except == date) return true;
    for (const IndexValue& value : archive_.ReferenceSeries(rateName_)) {
        if (value.date != date) continue;
        return AskYesNo(boxes_,
                        "Il " + DayText(date) + " ha già il valore " + ValueText(value.percent) +
                            ". Sostituirlo?",
                        "") == BoxAnswer::Yes;
    }
    return true;
}

bool ReferenceValuesEditor::Add(const ValuesPanel& panel) {
    const auto value = ReadFields(panel);
    if (!value) return false;
    return GuardedCommand(boxes_, [&] {
        if (!ConfirmOverwrite(value->date, std::nullopt)) return false;
        return archive_.WriteReferenceValues(rateName_, {*value}).written;
    });
}

bool ReferenceValuesEditor::Change(const ValuesPanel& panel) {
    if (!panel.selected) {
        Refuse("Selezionare un valore da modificare.");
        return false;
    }
    const auto value = ReadFields(panel);
    if (!value) return false;
    return GuardedCommand(boxes_, [&] {
        if (!ConfirmOverwrite(value->date, panel.selected)) return false;
        return archive_.ReplaceReferenceValue(rateName_, *panel.selected, *value).written;
    });
}

bool ReferenceValuesEditor::Remove(const ValuesPanel& panel) {
    if (!panel.selected) {
        Refuse("Selezionare un valore dalla lista dei valori.");
        return false;
    }
    const std::string question = "Cancellare il valore del " + DayText(*panel.selected) + "?";
    if (AskYesNo(boxes_, question, "") != BoxAnswer::Yes) return false;
    return GuardedCommand(
        boxes_, [&] { return archive_.DeleteReferenceValue(rateName_, *panel.selected); });
}

bool ReferenceValuesEditor::Import() {
    const auto file = boxes_.AskOpenFile("Importa i valori di " + rateName_, kFileKinds);
    if (!file) return false;
    return GuardedCommand(boxes_, [&] {
        const SeriesImport imported = archive_.ImportReferenceValues(rateName_, *file);
        return ShowImport(boxes_, imported);
    });
}

}  // namespace quotaplan
