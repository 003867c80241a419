#pragma once

#include "data/contract_store.h"
#include "data/database.h"
#include "data/sql_helpers.h"
#include "ui/window_archive.h"

namespace quotaplan {

class MessageBoxes;

// The main window's archive on the program's one open connection. The connection is
// closed when the window unloads (CloseDatabase) and refuses every statement afterwards.
class DatabaseWindowArchive : public WindowArchive {
public:
    DatabaseWindowArchive(Database& db, MessageBoxes& boxes) : db_(db), store_(db, boxes) {}

    std::optional<std::vector<TreeType>> ContractTree() override;
    std::vector<std::string> LookupTexts(std::string_view table) override;
    std::vector<std::string> LookupTableNames() override;
    std::vector<StoredRate> RateRows(std::int32_t contractId) override;
    void ClearRecordBuffer() override { buffer_.Clear(); }
    void CloseDatabase() override { db_.Close(); }

private:
    Database& db_;
    ContractStore store_;
    RecordBuffer buffer_;
};

}  // namespace quotaplan
