#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/indexation.h"

namespace quotaplan {

class MessageBoxes;
class WindowArchive;

// What the values panel shows when a command starts.
struct ValuesPanel {
    std::optional<CalendarDate> selected;  // the date of the value chosen in the list
    std::string date;                      // the date field
    std::string value;                     // the value field, in percent
};

// The rules of the editor of a reference rate's dated values ("Nuovo", "Modifica",
// "Cancella", "Importa"), apart from the widgets. Each command checks the panel, asks what
// needs asking, changes the series through the archive and returns true when the series
// changed. Refusals are OK boxes titled "Errore"; a database error is shown in words.
class ReferenceValuesEditor {
public:
    ReferenceValuesEditor(WindowArchive& archive, MessageBoxes& boxes, std::string rateName)
        : archive_(archive), boxes_(boxes), rateName_(std::move(rateName)) {}

    const std::string& RateName() const { return rateName_; }

    // The series as the list shows it; empty, after the error has been shown, when the
    // query fails.
    std::vector<IndexValue> Values();

    // Adds the value of the fields; a date that has a value already is replaced on Yes to
    // "Il 01/04/2026 ha già il valore 2,50. Sostituirlo?".
    bool Add(const ValuesPanel& panel);
    // Gives the selected value the date and value of the fields (the same question when the
    // new date is another one that has a value).
    bool Change(const ValuesPanel& panel);
    // Deletes the selected value on Yes to "Cancellare il valore del 01/04/2026?".
    bool Remove(const ValuesPanel& panel);
    // Asks for a "Data;Valore" file and imports it, then says what was imported (or why
    // nothing was).
    bool Import();

private:
    std::optional<IndexValue> ReadFields(const ValuesPanel& panel);
    bool ConfirmOverwrite(CalendarDate date, std::optional<CalendarDate> except);
    void Refuse(const std::string& message);

    WindowArchive& archive_;
    MessageBoxes& boxes_;
    std::string rateName_;
};

// A value as the editor shows it: "2,50", "3,856", "-0,125" (two decimals at least, every
// decimal it has).
std::string ValueText(double percent);

}  // namespace quotaplan
