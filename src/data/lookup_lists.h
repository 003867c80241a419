#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/message_boxes.h"
#include "data/database.h"
#include "data/sql_helpers.h"

namespace quotaplan {

inline constexpr const char* kTypeTable = "supTipologia";
inline constexpr const char* kReferenceRateTable = "supTxRiferimento";

// The entries of a lookup combo (cboTipoLea from "supTipologia", cboTxRif from
// "supTxRiferimento"): the Descrizione texts in ID order, one empty entry for an empty
// table. After filling either combo the window selects the first entry of cboTipoLea.
// Throws DatabaseError.
std::vector<std::string> FillCombo(Database& db, RecordBuffer& buffer, std::string_view table);

// The start-up check of the lookup tables: reads the financing types and the reference
// rates joined with their dated values. Returns true when both could be read; otherwise
// shows one critical box with the archive's description and "Indirizzo errore:
// LoadLookupLists" and returns false, and the program must end.
bool LoadLookupLists(Database& db, MessageBoxes& boxes);

}  // namespace quotaplan
