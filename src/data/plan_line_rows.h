#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "data/contract_store.h"
#include "data/database.h"
#include "engine/plan_lines.h"

namespace quotaplan {

// Lines written a statement: a plan of 360 instalments is three runs of prepared
// statements, not 362 texts to build, rewrite and prepare, nor 362 trips to a database
// server.
inline constexpr int kPlanLinesPerStatement = 128;

// Writes plan lines into tabPDA through statements prepared once and run again for every
// contract it is given, so that a run over a whole portfolio prepares a handful of
// statements, not some for each contract. It must not outlive its Database; its statements
// run inside the caller's transactions.
class PlanLineWriter {
public:
    explicit PlanLineWriter(Database& db) : db_(db) {}

    // Appends the lines from `from` on to the contract's plan, in their order, as the archive
    // stores them: the type (PlanLineTipo), the date, the rate in percent (0 on the maxi and
    // buy-out lines) and the amounts, each number with the two decimals of its SQL literal.
    // False at the first failure, its error in db.Errors(); the caller's transaction then
    // rolls everything back.
    [[nodiscard]] bool Insert(std::int32_t contractId, const std::vector<PlanLine>& lines,
                              std::size_t from = 0);

    // Deletes the contract's plan rows from the one whose ID is `firstId` on (those written
    // after it). False with the error in db.Errors().
    [[nodiscard]] bool DeleteFrom(std::int32_t contractId, std::int32_t firstId);

private:
    Database& db_;
    // By the number of lines less one: the full runs and each shorter rest met so far.
    std::array<std::optional<PreparedStatement>, kPlanLinesPerStatement> inserts_;
    std::optional<PreparedStatement> deleteFrom_;
};

// Appends the lines from `from` on to the contract's plan in tabPDA (PlanLineWriter::Insert,
// for one plan). False at the first failure, its error in db.Errors().
[[nodiscard]] bool InsertPlanLines(Database& db, std::int32_t contractId,
                                   const std::vector<PlanLine>& lines, std::size_t from = 0);

// The contract's stored plan lines in the order written (by ID). Throws DatabaseError.
std::vector<StoredPlanRow> ReadStoredPlanRows(Database& db, std::int32_t contractId);

}  // namespace quotaplan
