#include "archive_fixture.h"

#include <stdlib.h>

#include "data/database.h"

namespace quotaplan::testing {

TempArchive::TempArchive() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qp-data-XXXXXX").string();
    folder_ = mkdtemp(pattern.data());
    std::filesystem::copy_file(QUOTAPLAN_PRISTINE_ARCHIVE, File());
}

TempArchive::~TempArchive() {
    std::error_code error;
    std::filesystem::permissions(File(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, error);
    std::filesystem::remove_all(folder_, error);
}

FinancialPlan MakePlan(int n, float maxi, float buyout) {
    FinancialPlan plan;
    plan.PlanReady = true;
    plan.Valore = 10000;
    plan.Maxicanone = maxi;
    plan.DataMaxi = *CalendarDate::FromYmd(2024, 1, 15);
    plan.Riscatto = buyout;
    plan.InteressiRiscatto = 0;
    float debt = plan.Valore - maxi;
    for (int k = 1; k <= n; ++k) {
        PlanRow row;
        row.Data = CalendarDate::FromYmdCarrying(2024, 1 + k, 15);
        row.Tasso = 0.0525f;
        row.QInteressi = 10.0f + k;
        row.QCapitale = 700.25f;
        row.Importo = row.QInteressi + row.QCapitale;
        debt -= row.QCapitale;
        row.DebitoRes = debt;
        plan.rows.push_back(row);
    }
    return plan;
}

ContractForm MakeForm(const std::string& description) {
    ContractForm form;
    form.txtDescBene = description;
    form.txtValBene = "10.000,00";
    form.txtMaxi = "1.000,00";
    form.txtTasso = "5,25";
    form.txtSpread = "0,00";
    form.txtRate = "12";
    form.txtRiscatto = "500,00";
    form.cboPeriodicita = 0;
    form.optCapSem = false;
    form.optPagAnt = true;
    form.txtContract = "15/01/24";
    form.txtStart = "15/02/24";
    form.txtDataRiscatto = "";
    form.chkIntRiscatto = false;
    form.txtSpContratto = "150,00";
    form.txtSpRata = "2,50";
    form.cboTipoLea = "Leasing";
    form.cboTxRif = "Euribor 3 mesi";
    return form;
}

std::string DumpTable(Database& db, const std::string& table) {
    std::string dump;
    for (Recordset rows(db, "SELECT * FROM " + table + " ORDER BY ID"); !rows.Eof();
         rows.MoveNext()) {
        for (int k = 0; k < rows.FieldCount(); ++k) dump += rows.Value(k).ToText() + "|";
        dump += "\n";
    }
    return dump;
}

long long CountOf(Database& db, const std::string& sql) {
    Recordset rows(db, sql);
    return static_cast<long long>(rows.Value(0).ToDouble());
}

}  // namespace quotaplan::testing
