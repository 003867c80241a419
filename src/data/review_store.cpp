#include "data/review_store.h"

#include <string>

namespace quotaplan {
namespace {

DbError LastError(Database& db) {
    DbError error = db.Errors().empty() ? DbError{} : db.Errors().back();
    db.ClearErrors();
    return error;
}

DbValue AmountValue(const std::optional<Money>& amount) {
    return amount ? DbValue::Real(amount->Units()) : DbValue();
}

std::optional<Money> AmountOf(const DbValue& value) {
    if (value.IsNull()) return std::nullopt;
    return Money::FromUnits(value.ToDouble());
}

bool WriteRows(Database& db, std::int32_t contractId, const std::vector<ReviewRow>& rows) {
    if (!db.Execute("DELETE * FROM tabPianoBanca WHERE [ID Leasing] = " +
                    std::to_string(contractId))) {
        return false;
    }
    auto insert = db.Prepare(
        "INSERT INTO tabPianoBanca ([ID Leasing], Numero, Data, Importo, QCapitale, QInteressi, "
        "DebitoRes) VALUES (?, ?, ?, ?, ?, ?, ?)");
    for (const ReviewRow& row : rows) {
        if (!(insert.Bind(1, DbValue::Integer(contractId)) &&
              insert.Bind(2, row.number != 0 ? DbValue::Integer(row.number) : DbValue()) &&
              insert.Bind(3, row.date.IsZero() ? DbValue() : DbValue::Text(row.date.Iso())) &&
              insert.Bind(4, AmountValue(row.instalment)) &&
              insert.Bind(5, AmountValue(row.capital)) &&
              insert.Bind(6, AmountValue(row.interest)) &&
              insert.Bind(7, AmountValue(row.residual)) && insert.Step())) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::optional<DbError> SaveBankPlan(Database& db, std::int32_t contractId,
                                    const std::vector<ReviewRow>& rows) {
    db.ClearErrors();
    if (!db.Execute("BEGIN IMMEDIATE")) return LastError(db);
    if (!WriteRows(db, contractId, rows)) {
        DbError error = LastError(db);
        db.Execute("ROLLBACK");
        db.ClearErrors();
        return error;
    }
    if (!db.Execute("COMMIT")) {
        DbError error = LastError(db);
        db.Execute("ROLLBACK");
        db.ClearErrors();
        return error;
    }
    return std::nullopt;
}

std::vector<ReviewRow> LoadBankPlan(Database& db, std::int32_t contractId) {
    std::vector<ReviewRow> rows;
    Recordset stored(db, "SELECT * FROM tabPianoBanca WHERE [ID Leasing] = " +
                             std::to_string(contractId) + " ORDER BY ID");
    for (; !stored.Eof(); stored.MoveNext()) {
        ReviewRow row;
        row.number = stored.Value("Numero").IsNull() ? 0 : stored.Value("Numero").ToLong();
        row.date = stored.Value("Data").ToDate().value_or(CalendarDate());
        row.instalment = AmountOf(stored.Value("Importo"));
        row.capital = AmountOf(stored.Value("QCapitale"));
        row.interest = AmountOf(stored.Value("QInteressi"));
        row.residual = AmountOf(stored.Value("DebitoRes"));
        rows.push_back(row);
    }
    return rows;
}

std::optional<DbError> SaveDefaultInterest(Database& db, std::int32_t contractId,
                                           const std::optional<DefaultInterest>& interest) {
    auto update = db.Prepare("UPDATE tabContratti SET TassoMora = ?, SpreadMora = ? WHERE ID = ?");
    const auto value = [&](DefaultInterestKind kind) {
        return interest && interest->kind == kind ? DbValue::Real(interest->value.Value())
                                                  : DbValue();
    };
    db.ClearErrors();
    if (!(update.Bind(1, value(DefaultInterestKind::Fixed)) &&
          update.Bind(2, value(DefaultInterestKind::OverContractRate)) &&
          update.Bind(3, DbValue::Integer(contractId)) && update.Step())) {
        return LastError(db);
    }
    return std::nullopt;
}

std::optional<DefaultInterest> LoadDefaultInterest(Database& db, std::int32_t contractId) {
    Recordset stored(db, "SELECT * FROM tabContratti WHERE ID = " + std::to_string(contractId));
    if (stored.Eof()) return std::nullopt;
    for (const auto& [column, kind] :
         {std::pair{"TassoMora", DefaultInterestKind::Fixed},
          std::pair{"SpreadMora", DefaultInterestKind::OverContractRate}}) {
        if (stored.HasField(column) && !stored.Value(column).IsNull()) {
            return DefaultInterest{kind, Percent::FromValue(stored.Value(column).ToDouble())};
        }
    }
    return std::nullopt;
}

}  // namespace quotaplan
