#pragma once

#include <filesystem>
#include <string>

#include "common/recording_message_boxes.h"
#include "data/contract_form.h"
#include "data/database.h"
#include "engine/financial_plan.h"

namespace quotaplan::testing {

// A temporary folder holding a fresh copy of the pristine archive as "Quotaplan.mdb";
// removed with everything in it when the object goes.
class TempArchive {
public:
    TempArchive();
    ~TempArchive();
    TempArchive(const TempArchive&) = delete;
    TempArchive& operator=(const TempArchive&) = delete;

    const std::filesystem::path& Folder() const { return folder_; }
    std::filesystem::path File() const { return folder_ / "Quotaplan.mdb"; }
    Database Open() const { return Database::Open(File()); }

private:
    std::filesystem::path folder_;
};

// A plan of n monthly instalments from 15/02/2024 (the contract dated 15/01/2024) on an
// asset of 10.000 with the given maxi-instalment and buy-out; rows carry distinct,
// easily checked amounts.
FinancialPlan MakePlan(int n, float maxi, float buyout);

// A form that matches MakePlan(12, 1000, 500): "Leasing", "Euribor 3 mesi", monthly, in
// advance, compound, no buy-out date.
ContractForm MakeForm(const std::string& description);

// Every row of the table as text, one line a row, in ID order: to compare an archive
// before and after.
std::string DumpTable(Database& db, const std::string& table);

// The number of rows the query counts (its first column).
long long CountOf(Database& db, const std::string& sql);

}  // namespace quotaplan::testing
