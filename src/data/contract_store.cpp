#include "data/contract_store.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>

#include "common/date_text.h"
#include "common/name_key.h"
#include "common/number_text.h"
#include "common/run_time_error.h"
#include "data/contract_event_store.h"
#include "data/contract_names.h"
#include "data/execute_sql.h"
#include "data/plan_line_rows.h"
#include "data/write_transaction.h"
#include "engine/periodicity.h"
#include "engine/plan_lines.h"

namespace quotaplan {
namespace {

// Column positions of tabContratti that a load reads.
enum Position {
    kTipologia = 6,
    kDescBene = 22,
    kValore = 23,
    kMaxicanone = 24,
    kRiscatto = 25,
    kPeriodicita = 26,
    kNumRate = 27,
    kDataContratto = 28,
    kDataInizio = 30,
    kTasso = 31,
    kTassoRif = 32,
    kSpread = 33,
    kAnticipato = 35,
    kSemplice = 36,
    kSpeseContratto = 41,
    kSpeseAddebito = 42,
    kDataRiscatto = 43,
    kIntRiscatto = 44,
    kCentesimo = 45  // absent from archives made before the plan to the cent
};

std::string TrimBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return std::string(text);
}

std::string Doubled(std::string_view text) {
    std::string out;
    for (const char c : text) {
        out += c;
        if (c == '\'') out += '\'';
    }
    return out;
}

CalendarDate RequiredDate(std::string_view text) {
    const auto date = ReadDateText(text);
    if (!date) throw RunTimeError::TypeMismatch();
    return *date;
}

std::string Currency(double value) { return FormatSqlValue(SqlValue(value), kTypeCurrency); }
std::string Whole(std::int64_t value) { return FormatSqlValue(SqlValue(value), kTypeInteger); }
std::string DateLiteral(CalendarDate date) { return FormatSqlValue(SqlValue(date), kTypeDate); }

// The columns of tabContratti that older archives lack. A read-only archive of an older
// version lacks them still; its save fails on the archive being read-only, not on a column.
struct ContractColumns {
    bool centesimo = false;
    bool nameKey = false;
};

ContractColumns ColumnsOf(Database& db) {
    // The names of the columns come with an empty result too.
    const Recordset columns(db, "SELECT * FROM tabContratti WHERE 1 = 0");
    return {columns.HasField("Centesimo"), columns.HasField(kNameKeyColumn)};
}

// The 17 literals from Valore to IntRiscatto and the DataRiscatto literal, in column order,
// the Centesimo literal and the name's key where the archive has those columns.
struct ContractLiterals {
    std::vector<std::string> values;
    std::string dataRiscatto;
    std::optional<std::string> centesimo;
    std::optional<std::string> nameKey;
};

ContractLiterals LiteralsOf(Database& db, const ContractForm& form, const ContractColumns& columns,
                            const std::string& nameKey) {
    ContractLiterals out;
    auto& v = out.values;
    v.push_back(Currency(ParseNumber64(form.txtValBene)));
    v.push_back(Currency(ParseNumber64(form.txtMaxi)));
    v.push_back(
        FormatSqlValue(SqlValue(static_cast<double>(ParseNumber32(form.txtTasso))), kTypeSingle));
    v.push_back(
        FormatSqlValue(SqlValue(static_cast<double>(ParseNumber32(form.txtSpread))), kTypeSingle));
    v.push_back(Whole(ParseInteger16(form.txtRate)));
    v.push_back(Currency(ParseNumber64(form.txtRiscatto)));
    v.push_back(FormatSqlValue(SqlValue(form.txtDescBene), kTypeText));
    v.push_back(DateLiteral(RequiredDate(form.txtContract)));
    v.push_back(DateLiteral(RequiredDate(form.txtStart)));
    v.push_back(FormatSqlValue(SqlValue(form.optCapSem), kTypeYesNo));
    v.push_back(FormatSqlValue(SqlValue(form.optPagAnt), kTypeYesNo));
    v.push_back(Whole(GetIdByDescription(db, "supTxRiferimento", form.cboTxRif)));
    v.push_back(Whole(GetIdByDescription(db, "supTipologia", form.cboTipoLea)));
    v.push_back(Whole(ConvertPeriodicity(form.cboPeriodicita, false)));
    v.push_back(Currency(ParseNumber64(form.txtSpContratto)));
    v.push_back(Currency(ParseNumber64(form.txtSpRata)));
    // A check box's state is written as its number: 1 ticked.
    v.push_back(FormatSqlValue(SqlValue(std::int64_t{form.chkIntRiscatto ? 1 : 0}), kTypeYesNo));
    const auto buyoutDate = ReadDateText(form.txtDataRiscatto);
    out.dataRiscatto = buyoutDate ? DateLiteral(*buyoutDate) : "Null";
    if (columns.centesimo) out.centesimo = FormatSqlValue(SqlValue(form.chkCentesimo), kTypeYesNo);
    if (columns.nameKey) out.nameKey = FormatSqlValue(SqlValue(nameKey), kTypeText);
    return out;
}

std::string InsertStatement(const ContractLiterals& literals) {
    std::string sql =
        "INSERT INTO tabContratti (Valore, Maxicanone, Tasso, Spread, NumRate, "
        "Riscatto, DescBene, DataContratto, DataInizio, Semplice, "
        "Anticipato, [ID TassoRif], [ID Tipologia], Periodicita, SpeseContratto, SpeseAddebito, "
        "IntRiscatto, DataRiscatto";
    if (literals.centesimo) sql += ", Centesimo";
    if (literals.nameKey) sql += std::string(", ") + kNameKeyColumn;
    sql += ") VALUES (";
    for (const auto& literal : literals.values) sql += literal + ", ";
    sql += literals.dataRiscatto;
    if (literals.centesimo) sql += ", " + *literals.centesimo;
    if (literals.nameKey) sql += ", " + *literals.nameKey;
    return sql + ")";
}

std::string UpdateStatement(const ContractLiterals& literals, std::int32_t contractId) {
    static const char* const kAssignments[] = {
        "Valore = ",         "Maxicanone = ",  "Tasso = ",          "Spread = ",
        "NumRate = ",        "Riscatto = ",    "DescBene = ",       "DataContratto = ",
        "DataInizio = ",     "Semplice = ",    "Anticipato = ",     "[ID TassoRif] = ",
        "[ID Tipologia] = ", "Periodicita = ", "SpeseContratto = ", "SpeseAddebito = ",
        "IntRiscatto = "};
    std::string sql = "UPDATE tabContratti SET ";
    for (std::size_t k = 0; k < literals.values.size(); ++k) {
        sql += std::string(kAssignments[k]) + literals.values[k] + ", ";
    }
    sql += "DataRiscatto = " + literals.dataRiscatto;
    if (literals.centesimo) sql += ", Centesimo = " + *literals.centesimo;
    if (literals.nameKey) sql += std::string(", ") + kNameKeyColumn + " = " + *literals.nameKey;
    return sql + " WHERE ID = " + std::to_string(contractId);
}

// The key stored for the contract, "" when it has none.
std::string StoredNameKey(Database& db, std::int32_t contractId) {
    Recordset row(db, std::string("SELECT ") + kNameKeyColumn +
                          " FROM tabContratti WHERE ID = " + std::to_string(contractId));
    return row.Eof() ? std::string() : NullToEmpty(row.Value(0));
}

}  // namespace

std::string CommandErrorText(int number, const std::string& description) {
    return "Si è verificato l'errore N° " + std::to_string(number) + " " + description;
}

PlanOwner PlanOwner::For(std::int32_t contractId, const ContractForm& form) {
    const char separator = '\x1f';
    std::string inputs = "calc";
    for (const auto* text :
         {&form.txtValBene, &form.txtMaxi, &form.txtTasso, &form.txtSpread, &form.txtRate,
          &form.txtRiscatto, &form.txtContract, &form.txtStart, &form.txtDataRiscatto}) {
        inputs += separator + *text;
    }
    inputs += separator + std::to_string(form.cboPeriodicita);
    inputs += separator + std::string(form.optCapSem ? "1" : "0") + (form.optPagAnt ? "1" : "0") +
              (form.chkIntRiscatto ? "1" : "0") + (form.chkCentesimo ? "1" : "0");
    return {contractId, inputs};
}

void ContractStore::ShowFailure(int number, const std::string& description) {
    ShowPlainBox(boxes_, CommandErrorText(number, description), "", BoxIcon::None);
}

ContractStore::PlanWrite ContractStore::WritePlan(const FinancialPlan& plan,
                                                  std::int32_t contractId) {
    if (!plan.PlanReady) return PlanWrite::NotReady;
    if (!DeleteWhere(db_, boxes_, "tabPDA", "[ID Leasing]", contractId)) return PlanWrite::Failed;
    if (!InsertPlanLines(db_, contractId, PlanLines(plan, DerivedLines::Always), 0)) {
        ReportStatementErrors(db_, boxes_);
        return PlanWrite::Failed;
    }
    return PlanWrite::Written;
}

SaveResult ContractStore::Save(const ContractForm& form, const FinancialPlan& plan,
                               const PlanOwner& planOwner, SaveMode saveMode,
                               std::int32_t contractId) {
    if (saveMode != SaveMode::NewContract && saveMode != SaveMode::StoredContract) {
        return {SaveStatus::Ignored, contractId, false};
    }
    const bool update = saveMode == SaveMode::StoredContract;
    if (update && contractId == 0) {
        ShowMessage(boxes_, kSelectContractMessage, "");
        return {SaveStatus::Failed, 0, false};
    }
    WriteTransaction transaction(db_, boxes_);
    if (!transaction.Began()) return {SaveStatus::Failed, contractId, false};
    try {
        const ContractColumns columns = ColumnsOf(db_);
        std::string nameKey = NameKey(form.txtDescBene);
        std::optional<std::string> check;
        if (!columns.nameKey) {
            // An older archive that only reads: trimmed, letter case and accents aside.
            check = "Select ID From tabContratti Where Trim(DescBene) = '" +
                    Doubled(TrimBlanks(form.txtDescBene)) + "' COLLATE NOCASE";
        } else if (update && StoredNameKey(db_, contractId) == KeptClashKey(nameKey, contractId)) {
            // A contract kept under a name it shared before keys existed, saved under that
            // name again: it keeps its key and makes no new clash.
            nameKey = KeptClashKey(nameKey, contractId);
        } else {
            check = "Select ID From tabContratti Where " + NameTakenCondition(nameKey);
        }
        if (check && update) *check += " and Id <> " + std::to_string(contractId);
        if (check && !Recordset(db_, *check).Eof()) {
            transaction.Rollback();
            ShowPlainBox(boxes_, kDuplicateNameMessage, "", BoxIcon::Exclamation);
            return {SaveStatus::Duplicate, contractId, false};
        }

        // The signed terms of a contract with events are history: its description and type
        // may change, and its plan stays as its events made it.
        const bool hasEvents = update && ContractHasEvents(db_, contractId);
        if (hasEvents) {
            // Load reports a stored contract it cannot read.
            const auto stored = Load(contractId);
            const auto change = stored ? SignedTermsChange(*stored, form) : std::nullopt;
            if (!stored || change) {
                transaction.Rollback();
                if (change) ShowPlainBox(boxes_, *change, "", BoxIcon::Exclamation);
                return {SaveStatus::Failed, contractId, false};
            }
        }

        const auto literals = LiteralsOf(db_, form, columns, nameKey);
        db_.Execute(update ? UpdateStatement(literals, contractId) : InsertStatement(literals));
        // An archive that keeps descriptions unique itself refuses the name when another
        // desk saved it after the check above: the same refusal as the check's.
        if (!db_.Errors().empty() && db_.Errors().front().number == kErrIntegrityViolation) {
            db_.ClearErrors();
            transaction.Rollback();
            ShowPlainBox(boxes_, kDuplicateNameMessage, "", BoxIcon::Exclamation);
            return {SaveStatus::Duplicate, contractId, false};
        }
        if (!ReportStatementErrors(db_, boxes_)) return {SaveStatus::Failed, contractId, false};
        if (update && db_.Changes() == 0) {
            transaction.Rollback();
            ShowPlainBox(boxes_, kContractGoneMessage, "", BoxIcon::Exclamation);
            return {SaveStatus::Failed, contractId, false};
        }
        // Inside the write transaction the newest ID is certainly the row just inserted.
        const std::int32_t savedId = update ? contractId : GetLastId(db_, "tabContratti");

        // Only a plan calculated for this very contract and form may replace its plan.
        bool planWritten = false;
        if (!hasEvents && planOwner == PlanOwner::For(update ? contractId : 0, form)) {
            const auto written = WritePlan(plan, savedId);
            if (written == PlanWrite::Failed) return {SaveStatus::Failed, contractId, false};
            planWritten = written == PlanWrite::Written;
        }
        if (!transaction.Commit()) return {SaveStatus::Failed, contractId, false};
        return {SaveStatus::Saved, savedId, planWritten};
    } catch (const RunTimeError& failure) {
        transaction.Rollback();
        ShowFailure(failure.Number(), failure.Description());
    } catch (const DatabaseError& failure) {
        transaction.Rollback();
        ShowFailure(failure.Number(), failure.Description());
    }
    return {SaveStatus::Failed, contractId, false};
}

DeleteStatus ContractStore::Delete(std::int32_t contractId) {
    if (contractId == 0) {
        ShowMessage(boxes_, kSelectContractMessage, "");
        return DeleteStatus::NothingSelected;
    }
    WriteTransaction transaction(db_, boxes_);
    if (!transaction.Began()) return DeleteStatus::Failed;
    const auto id = std::to_string(contractId);
    if (!ExecuteSql(db_, boxes_, "DELETE * FROM tabContratti WHERE ID = " + id)) {
        return DeleteStatus::Failed;
    }
    // Under the write lock: of desks deleting the same contract at once, only the first finds
    // it; the others must not report a deletion they did not make.
    if (db_.Changes() == 0) return DeleteStatus::Gone;
    if (!ExecuteSql(db_, boxes_, "DELETE * FROM tabPDA WHERE [ID Leasing] = " + id)) {
        return DeleteStatus::Failed;
    }
    if (!DeleteContractEvents(db_, contractId)) {
        ReportStatementErrors(db_, boxes_);
        return DeleteStatus::Failed;
    }
    // The bank's plan of an expert review goes with its contract.
    if (!ExecuteSql(db_, boxes_, "DELETE * FROM tabPianoBanca WHERE [ID Leasing] = " + id)) {
        return DeleteStatus::Failed;
    }
    return transaction.Commit() ? DeleteStatus::Deleted : DeleteStatus::Failed;
}

std::vector<TreeType> ContractStore::TreeEntries() {
    std::vector<TreeType> types;
    for (Recordset rows(db_, "SELECT ID,Descrizione FROM supTipologia"); !rows.Eof();
         rows.MoveNext()) {
        types.push_back({rows.Value("ID").ToLong(), NullToEmpty(rows.Value("Descrizione")), {}});
    }
    for (auto& type : types) {
        Recordset rows(db_, "SELECT ID, DescBene FROM tabContratti WHERE [ID Tipologia] = " +
                                std::to_string(type.ID) + " ;");
        for (; !rows.Eof(); rows.MoveNext()) {
            type.contracts.push_back(
                {rows.Value("ID").ToLong(), NullToEmpty(rows.Value("DescBene"))});
        }
    }
    return types;
}

std::optional<ContractForm> ContractStore::Load(std::int32_t contractId) {
    try {
        LoadRecord(db_, buffer_, "tabContratti", std::to_string(contractId), false);
    } catch (const DatabaseError& failure) {
        ShowFailure(failure.Number(), failure.Description());
        return std::nullopt;
    }
    if (buffer_.Values().size() < kIntRiscatto) {
        ShowPlainBox(boxes_, kContractGoneMessage, "", BoxIcon::Exclamation);
        return std::nullopt;
    }

    ContractForm form;
    // Each field on its own: one that cannot be shown is reported and the rest still fill.
    const auto fill = [this](const std::function<void()>& step) {
        try {
            step();
        } catch (const RunTimeError& failure) {
            ShowFailure(failure.Number(), failure.Description());
        } catch (const DatabaseError& failure) {
            ShowFailure(failure.Number(), failure.Description());
        }
    };
    const auto value = [this](int position) { return buffer_.GetFieldValue(position); };
    const auto amount = [&](int position, int code) {
        const auto v = value(position);
        return v.IsNull() ? std::string() : FormatNumber(v.ToDouble(), code);
    };
    const auto date = [&](int position) {
        const auto v = value(position);
        if (v.IsNull()) return std::string();
        const auto read = v.ToDate();
        if (!read) throw RunTimeError::TypeMismatch();
        return FormatDate(*read, 1);
    };
    const auto lookup = [&](const char* table, int position) {
        const auto v = value(position);
        return v.IsNull() ? std::string() : DescriptionOf(table, v.ToLong());
    };

    fill([&] { form.txtValBene = amount(kValore, 1); });
    fill([&] { form.txtMaxi = amount(kMaxicanone, 1); });
    fill([&] { form.cboTipoLea = lookup("supTipologia", kTipologia); });
    fill([&] { form.txtTasso = amount(kTasso, 2); });
    fill([&] { form.cboTxRif = lookup("supTxRiferimento", kTassoRif); });
    fill([&] { form.txtSpread = amount(kSpread, 2); });
    fill([&] { form.txtRate = NullToEmpty(value(kNumRate)); });
    fill([&] {
        const double stored = value(kPeriodicita).ToDouble();
        if (!(stored >= -32768 && stored <= 32767)) throw RunTimeError::Overflow();
        form.cboPeriodicita = ConvertPeriodicity(static_cast<int>(std::lround(stored)), true);
    });
    fill([&] { form.txtRiscatto = amount(kRiscatto, 1); });
    fill([&] { form.txtDescBene = NullToEmpty(value(kDescBene)); });
    fill([&] { form.txtContract = date(kDataContratto); });
    fill([&] { form.txtStart = date(kDataInizio); });
    fill([&] { form.optCapSem = value(kSemplice).ToDouble() != 0; });
    fill([&] { form.optPagAnt = value(kAnticipato).ToDouble() != 0; });
    fill([&] { form.txtSpContratto = amount(kSpeseContratto, 1); });
    fill([&] { form.txtSpRata = amount(kSpeseAddebito, 1); });
    fill([&] { form.txtDataRiscatto = date(kDataRiscatto); });
    fill([&] { form.chkIntRiscatto = std::fabs(value(kIntRiscatto).ToDouble()) == 1; });
    // Archives made before the plan to the cent have no such column: the classic plan.
    if (buffer_.Values().size() >= kCentesimo) {
        fill([&] { form.chkCentesimo = value(kCentesimo).ToDouble() != 0; });
    }
    return form;
}

std::vector<StoredRate> ContractStore::LoadRateRows(std::int32_t contractId) {
    std::vector<StoredRate> rates;
    Recordset rows(db_, "SELECT ID, Data, Tasso as Tx FROM tabPDA WHERE [ID Leasing] = " +
                            std::to_string(contractId) + " AND Tipo = 'Rata'" + " Order By Data");
    for (; !rows.Eof(); rows.MoveNext()) {
        rates.push_back({rows.Value("ID").ToLong(),
                         rows.Value("Data").ToDate().value_or(CalendarDate()),
                         rows.Value("Tx").ToDouble()});
    }
    return rates;
}

std::string ContractStore::DescriptionOf(const char* table, std::int64_t id) {
    if (!remembered_) return GetDescriptionById(db_, table, id);
    const auto key = std::make_pair(std::string(table), id);
    if (const auto found = remembered_->find(key); found != remembered_->end()) {
        return found->second;
    }
    return remembered_->emplace(key, GetDescriptionById(db_, table, id)).first->second;
}

std::vector<StoredPlanRow> ContractStore::LoadPlanRows(std::int32_t contractId) {
    return ReadStoredPlanRows(db_, contractId);
}

}  // namespace quotaplan
