#pragma once

#include <stdexcept>

#include "ui/window_archive.h"

namespace quotaplan::test {

// A fixed archive: two financing types, one with two contracts; counts what is asked of it.
class FakeWindowArchive : public WindowArchive {
public:
    std::optional<std::vector<TreeType>> ContractTree() override {
        ++treeLoads;
        if (failTree) throw std::runtime_error("Tabella 'supTipologia' non trovata.");
        return tree;
    }
    std::vector<std::string> LookupTexts(std::string_view table) override {
        return table == "supTipologia" ? financingTypes : referenceRates;
    }
    std::vector<std::string> LookupTableNames() override {
        return {"supTipologia", "supTxRiferimento"};
    }
    std::vector<StoredRate> RateRows(std::int32_t) override { return rates; }
    void ClearRecordBuffer() override { ++bufferClears; }
    void CloseDatabase() override { ++closes; }

    std::optional<std::vector<TreeType>> tree =
        std::vector<TreeType>{{1, "Leasing", {{7, "Fresatrice"}, {9, "Tornio"}}}, {2, "Mutuo", {}}};
    std::vector<std::string> financingTypes = {"Leasing", "Mutuo", "Credito al consumo"};
    std::vector<std::string> referenceRates = {"Euribor 3 mesi", "Euribor 6 mesi"};
    std::vector<StoredRate> rates;
    bool failTree = false;
    int treeLoads = 0;
    int bufferClears = 0;
    int closes = 0;
};

}  // namespace quotaplan::test
