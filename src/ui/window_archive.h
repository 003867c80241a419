#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/contract_store.h"

namespace quotaplan {

// What the main window needs from the archive. The program's implementation works on the
// open database; tests give the window a fixed one.
class WindowArchive {
public:
    virtual ~WindowArchive() = default;

    // The contract tree; nullopt when there is no financing type at all (the tree then
    // keeps what it showed).
    virtual std::optional<std::vector<TreeType>> ContractTree() = 0;

    // The Descrizione texts of a lookup table ("supTipologia", "supTxRiferimento"), in ID
    // order.
    virtual std::vector<std::string> LookupTexts(std::string_view table) = 0;

    // The names of the lookup tables, for the lookup-table editor.
    virtual std::vector<std::string> LookupTableNames() = 0;

    // The stored "Rata" rows of a contract in date order, for the rate list.
    virtual std::vector<StoredRate> RateRows(std::int32_t contractId) = 0;

    // Forgets the last record read (New).
    virtual void ClearRecordBuffer() = 0;

    // Closes the connection; the window calls it once, when it unloads.
    virtual void CloseDatabase() = 0;
};

}  // namespace quotaplan
