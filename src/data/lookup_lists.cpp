#include "data/lookup_lists.h"

#include "common/run_time_error.h"

namespace quotaplan {

std::vector<std::string> FillCombo(Database& db, RecordBuffer& buffer, std::string_view table) {
    return FillListBox(db, buffer, table);
}

bool LoadLookupLists(Database& db, MessageBoxes& boxes) {
    try {
        Recordset types(db, "SELECT ID,Descrizione FROM supTipologia");
        types.Close();
        Recordset rates(db,
                        "SELECT supTxRiferimento.ID, supTxRiferimento.Descrizione, "
                        "tabValTxRiferimento.Data, "
                        "tabValTxRiferimento.Valore FROM supTxRiferimento INNER JOIN "
                        "tabValTxRiferimento ON "
                        "supTxRiferimento.ID = tabValTxRiferimento.[ID TxRiferimento];");
        for (; !rates.Eof(); rates.MoveNext()) {
            static_cast<void>(rates.Value("ID").ToDouble());
            static_cast<void>(rates.Value("Descrizione").ToText());
            static_cast<void>(rates.Value("Data").ToDate());
            static_cast<void>(rates.Value("Valore").ToDouble());
        }
        return true;
    } catch (const DatabaseError& failure) {
        ReportError(boxes, "LoadLookupLists", failure.Description(), "");
    } catch (const RunTimeError& failure) {
        ReportError(boxes, "LoadLookupLists", failure.Description(), "");
    }
    return false;
}

}  // namespace quotaplan
