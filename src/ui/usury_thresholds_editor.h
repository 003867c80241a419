#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "data/usury_thresholds.h"

namespace quotaplan {

class MessageBoxes;
class WindowArchive;

// What the thresholds window shows when a command starts: the row chosen in the list and
// the seven fields.
struct ThresholdsPanel {
    std::optional<std::int32_t> selected;  // the ID of the row chosen in the list
    std::string category, amountFrom, amountTo, validFrom, validTo, tegm;
    std::string defaultSurcharge = {};  // "Maggiorazione mora"; empty: not given
};

// The rules of the usury-threshold editor ("Nuovo", "Modifica", "Cancella", "Importa"),
// apart from the widgets. Each command checks the panel, asks what needs asking, changes
// tabSoglieUsura through the archive and returns true when the table changed. Refusals are
// OK boxes titled "Errore"; a database error is shown in words.
class UsuryThresholdsEditor {
public:
    UsuryThresholdsEditor(WindowArchive& archive, MessageBoxes& boxes)
        : archive_(archive), boxes_(boxes) {}

    // The table as the list shows it; empty, after the error has been shown, when the query
    // fails.
    std::vector<StoredUsuryRate> Rows();

    // Adds the row of the fields; a row already in its place (category, amounts, start date)
    // is replaced on Yes to "Esiste già la soglia di "Mutui" dal 01/01/2026 per questi
    // importi (TEGM 4,20). Sostituirla?".
    bool Add(const ThresholdsPanel& panel);
    // Gives the selected row the values of the fields.
    bool Change(const ThresholdsPanel& panel);
    // Deletes the selected row on Yes to "Cancellare la soglia di "Mutui" dal 01/01/2026?".
    bool Remove(const ThresholdsPanel& panel);
    // Asks for a "Categoria;Importo da;Importo a;Dal;Al;TEGM" file and imports it, then says
    // what was imported (or why nothing was).
    bool Import();

private:
    std::optional<UsuryRate> ReadFields(const ThresholdsPanel& panel);
    void Refuse(const std::string& message);

    WindowArchive& archive_;
    MessageBoxes& boxes_;
};

// The texts of a stored row as the list and the fields show them: amounts "25.000,00" (""
// for no bound), dates dd/mm/yyyy ("" for a row still in force), the TEGM "10,58".
ThresholdsPanel PanelOf(const StoredUsuryRate& stored);

}  // namespace quotaplan
