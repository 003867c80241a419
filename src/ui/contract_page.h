#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>

#include "data/contract_store.h"
#include "engine/financial_plan.h"
#include "engine/indexation.h"
#include "ui/calculation_form.h"
#include "ui/contract_controls.h"
#include "ui/form_state.h"
#include "ui/plan_grid.h"
#include "ui/usury_verdict.h"

namespace quotaplan {

class MessageBoxes;

// Page 0, "Calcoli": the contract form and its commands. Owns the current financial plan
// (replaced by each instalment calculation) and writes it into the plan grid it is handed.
// The rules behind the fields and commands live in plain code (field_rules, coupled_pair,
// calculation_form, rate_list); the handlers here read the controls, call them and write back.
class ContractPage : public QWidget {
    Q_OBJECT
public:
    ContractPage(MessageBoxes& boxes, QWidget* parent = nullptr);

    const ContractControls& Controls() const { return c_; }
    const FinancialPlan& Plan() const { return plan_; }
    CalcTarget CalcMode() const { return calcMode_; }

    // Hands the plan grid over (SetPlanGrid); FillPlanGrid writes into it from then on.
    void SetPlanGrid(PlanGrid* grid) { planGrid_.SetPlanGrid(grid); }

    // Fills the two lookup combos, financing types first; the first type ends up selected.
    void FillLookupCombos(const QStringList& financingTypes, const QStringList& referenceRates);

    // The field part of ResetForm: every field back to its initial content, the stored
    // pair values zeroed, the rate list emptied. Options and edit flags keep their state.
    void ResetFields();

    // Disables "Salva", shows the stale marker, hides "Tasso effettivo", "TAEG", the warning
    // beside it and the usury verdict.
    void InvalidateResult();

    // The form as a plan and a save are made from (ReadContractForm and the rate list).
    FormSnapshot Snapshot() const;
    // The plan in memory against the form as it is now.
    PlanState CurrentPlanState() const;
    // A stored contract's plan, just loaded with its form, becomes the current plan: the grid
    // shows it, and the instalment, the effective rate, the TAEG (with its usury check and
    // warning) are its own. A plan that is not ready empties the grid and shows no figures.
    void ShowStoredPlan(FinancialPlan plan);
    // Forgets the plan (New, Delete): the grid back to its header row.
    void DiscardPlan();

    // Where Calcola reads a reference rate's dated values when it indexes a contract again;
    // it may throw, which ends the calculation with the error shown.
    void SetReferenceSeries(std::function<std::vector<IndexValue>(const std::string&)> series) {
        referenceSeries_ = std::move(series);
    }
    // A stored contract just loaded counts as indexed when it has stored rates and its
    // reference rate is not fixed.
    void MarkStoredIndexation();

    // The contract of the TAEG shown, for the usury check; none while no TAEG is current.
    const std::optional<UsuryCase>& UsuryCaseShown() const { return usuryCase_; }
    // The financing type chosen in cboTipoLea.
    std::string FinancingTypeName() const;
    // The verdict beside the TAEG, in its tone; nullopt hides it.
    void ShowUsury(const std::optional<UsuryVerdict>& verdict);
    // Selects "Rata" as the target and runs its click behaviour.
    void SetDefaultTarget();
    // Brings the rate list to txtRate rows (FillLstWithDefault).
    void FillLstWithDefault();
    void ClearRateList();

    // Shows the stored rates of a contract, one row per instalment keyed "R" and the plan
    // row's ID, then rebuilds the columns (LoadRateList).
    void LoadRateList(const std::vector<StoredRate>& rows);

    // The handlers of the commands on this page.
    void Calculate();
    void EditRateListRow();
    // "Indicizza" with the series of the chosen reference rate: the rate list and Tasso
    // from IndexContractForm, the rows whose rate changed marked (a refusal changes nothing,
    // and gives false).
    bool Index(const std::vector<IndexValue>& series);
    // "Indicizza" is enabled only for a reference rate that has values and is not "Fisso".
    void SetIndexable(bool hasValues);
    std::string ReferenceRateName() const;

    // The form as a save reads it, and a stored contract written into it in the order of
    // the load: each text runs its change behaviour; a combo whose text matches no entry
    // keeps its selection; a periodicity the list lacks is reported and left as it was.
    ContractForm ReadContractForm() const;
    void ShowStoredContract(const ContractForm& form);
    // The amount and percentage pairs after a load: stored values zeroed, then each
    // percentage recomputed from its amount (0 and no tooltip for a zero amount).
    void ApplyLoadedPairs();

    // The snapshot of the form that the Calculate command works on, and writing it back.
    CalculationForm ReadForm() const;
    void WriteForm(const CalculationForm& form);

signals:
    // The instalment calculation replaced the plan.
    void planCalculated();
    // A TAEG is shown (a calculation found one, or the financing type changed beside it):
    // the window judges it against the usury threshold (UsuryCaseShown).
    void usuryCheckRequested();
    // The user chose another reference rate, or pressed "Indicizza": the window asks the
    // archive for the rate's values.
    void referenceRateChosen();
    void indexRequested();
    void newRequested();
    void saveRequested();
    void deleteRequested();

protected:
    // A new palette (a dark theme) re-shades the result field from it.
    void changeEvent(QEvent* event) override;

private:
    struct PairFields {
        QLineEdit* amount;
        QLineEdit* percent;
        CoupledPair* state;
    };

    void ConnectChangeRules();
    void ConnectFieldHooks();
    void ConnectPairHooks(const PairFields& pair);
    void SelectTarget(CalcTarget target);
    // The figures markers after a calculation or a load: effective rate, TAEG, the warning
    // beside it, and the usury check asked for.
    void ShowFigures(const CalculationOutcome& outcome);
    // Before Calcola: an indexed contract whose list lost its indexed rates is indexed again
    // (true to go on) or found without values (warned after the calculation).
    bool PrepareIndexation(Reindexing& reindexing);
    void LeaveResult();
    void FocusField(FormField field);
    QLineEdit* FieldOf(FormField field) const;
    void LoadPair(const PairFields& pair) const;
    void StorePair(const PairFields& pair);
    bool AssetValueTarget() const { return calcMode_ == CalcTarget::AssetValue; }

    MessageBoxes& boxes_;
    ContractControls c_;
    FinancialPlan plan_;
    PlanGridWriter planGrid_{plan_};
    CalcTarget calcMode_ = CalcTarget::Instalment;
    // Where the rows of lsvTxHis came from; Form again whenever the list is emptied.
    RateListOrigin rateListOrigin_ = RateListOrigin::Form;
    std::optional<UsuryCase> usuryCase_;
    // The form the plan was made from; none after a calculation that did not finish.
    std::optional<FormSnapshot> planBasis_;
    // The rates come from a reference rate's values (Indicizza, or a stored indexed contract).
    bool indexedContract_ = false;
    std::function<std::vector<IndexValue>(const std::string&)> referenceSeries_;
    CoupledPair maxi_;
    CoupledPair riscatto_ = BuyoutPair();
};

}  // namespace quotaplan
