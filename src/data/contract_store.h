#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/calendar_date.h"
#include "common/message_boxes.h"
#include "data/contract_form.h"
#include "data/database.h"
#include "data/sql_helpers.h"
#include "engine/financial_plan.h"
#include "engine/plan_lines.h"

namespace quotaplan {

inline constexpr const char* kDuplicateNameMessage = "Nome leasing già esistente";
inline constexpr const char* kSelectContractMessage = "Selezionare un contratto!";
inline constexpr const char* kContractGoneMessage =
    "Il contratto non si trova più nell'archivio: è stato eliminato.";

// SaveMode of the window: 1 a new contract (insert), 3 the stored contract in the form
// (update).
enum class SaveMode { NewContract = 1, StoredContract = 3 };

// What a plan was calculated for: the stored contract then in the form (0 for a new one)
// and the form's calculation inputs at that moment. The window takes it right after each
// successful instalment calculation and hands it to Save with the plan; Save writes plan
// rows only when it matches the contract and form being saved, so a plan left over from
// another contract never replaces a stored plan.
struct PlanOwner {
    std::int32_t contractId = 0;
    std::string calculationInputs;  // empty: calculated for nothing

    static PlanOwner For(std::int32_t contractId, const ContractForm& form);
    friend bool operator==(const PlanOwner&, const PlanOwner&) = default;
};

enum class SaveStatus {
    Saved,      // contract row written, and the plan rows when planWritten
    Duplicate,  // "Nome leasing già esistente" shown; nothing written
    Failed,     // the error has been shown; the archive is as it was
    Ignored,    // a save mode other than 1 or 3: nothing done
};

struct SaveResult {
    SaveStatus status = SaveStatus::Failed;
    std::int32_t contractId = 0;  // the saved contract's ID (new or as given)
    bool planWritten = false;     // false: the stored plan rows were left as they were
};

enum class DeleteStatus {
    Deleted,          // contract row and plan rows gone
    NothingSelected,  // "Selezionare un contratto!" shown
    Gone,             // no such contract (another desk deleted it first); nothing shown
    Failed,           // the error has been shown; the archive is as it was
};

// A node of the contract tree: a financing type with its contracts.
struct TreeContract {
    std::int32_t ID = 0;
    std::string DescBene;
};
struct TreeType {
    std::int32_t ID = 0;
    std::string Descrizione;
    std::vector<TreeContract> contracts;
};

// A stored instalment rate (a row of LoadRateList's query): the item keyed "R" + ID.
struct StoredRate {
    std::int32_t ID = 0;
    CalendarDate Data;
    double Tx = 0;  // percent, as tabPDA stores it
};

// A stored plan line of tabPDA.
struct StoredPlanRow {
    std::int32_t ID = 0;
    std::string Tipo;
    CalendarDate Data;
    double Tasso = 0;  // percent
    double Importo = 0;
    double QInteressi = 0;
    double QCapitale = 0;
    double DebitoRes = 0;
};

// Saving, deleting and reading contracts with their plans, on one connection. Messages go
// to the boxes given: statement errors through ExecuteSql, the refusals and the
// "Si è verificato l'errore N° " boxes under the application title.
class ContractStore {
public:
    ContractStore(Database& db, MessageBoxes& boxes) : db_(db), boxes_(boxes) {}

    // Saves the form as a new contract (NewContract) or over the stored contract
    // contractId (StoredContract), in one transaction: the duplicate check of the
    // description's key (NameKey) against the stored keys, kept clash keys included (the
    // contract itself does not count on update; one kept under a name it shared before keys
    // existed may be saved under that name again), the contract row with its key, and,
    // when the plan is ready and planOwner matches
    // PlanOwner::For(contract being saved, form), the plan rows replacing the old ones
    // ("Maxi.", one "Rata" per row, "Riscatto"). A contract with events (tabEventi) keeps
    // its signed terms and its plan: a save that changes more than its description and
    // financing type is refused (SignedTermsChange, shown; Failed), and its plan is never
    // written. Any failure rolls everything back and is shown once.
    SaveResult Save(const ContractForm& form, const FinancialPlan& plan, const PlanOwner& planOwner,
                    SaveMode saveMode, std::int32_t contractId);

    // Deletes the contract row, its plan rows and its events in one transaction. contractId 0 (no
    // contract loaded) shows "Selezionare un contratto!". A contract that is not in the
    // archive (deleted meanwhile at another desk) gives Gone and changes nothing; the caller
    // says so in its own words. The window asks "Cancellare il contratto?" before calling.
    DeleteStatus Delete(std::int32_t contractId);

    // The financing types in the archive's order, each with its contracts. An empty result
    // (no types) means the tree keeps what it shows. Throws DatabaseError.
    std::vector<TreeType> TreeEntries();

    // The stored contract as the form shows it, read by column position. A field that
    // cannot be shown is reported and left empty, and loading goes on; a contract that no
    // longer exists is reported once and gives nullopt.
    std::optional<ContractForm> Load(std::int32_t contractId);

    // The stored "Rata" rows of the contract in date order (empty when there are none).
    // Throws DatabaseError.
    std::vector<StoredRate> LoadRateRows(std::int32_t contractId);

    // All stored plan lines of the contract in the order written. Throws DatabaseError.
    std::vector<StoredPlanRow> LoadPlanRows(std::int32_t contractId);

    // From now on Load reads each financing type's and reference rate's description once,
    // for a caller loading a whole portfolio in one go (a name changed meanwhile is not seen).
    void RememberDescriptions() { remembered_.emplace(); }

    // The record buffer of the last LoadRecord (for GetFieldValue).
    const RecordBuffer& Buffer() const { return buffer_; }

private:
    enum class PlanWrite { Written, NotReady, Failed };
    PlanWrite WritePlan(const FinancialPlan& plan, std::int32_t contractId);
    void ShowFailure(int number, const std::string& description);

    std::string DescriptionOf(const char* table, std::int64_t id);

    Database& db_;
    MessageBoxes& boxes_;
    RecordBuffer buffer_;
    // The descriptions read, by table and ID, once RememberDescriptions was called.
    std::optional<std::map<std::pair<std::string, std::int64_t>, std::string>> remembered_;
};

// "Si è verificato l'errore N° ", the number, a blank and the description.
std::string CommandErrorText(int number, const std::string& description);

}  // namespace quotaplan
