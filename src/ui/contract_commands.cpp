// The main window's archive commands on the contract: loading it from the tree, Save and
// Delete. The store does the work and shows its messages; here the form and the window's
// state follow.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <cmath>
#include <exception>

#include "common/message_boxes.h"
#include "common/number_text.h"
#include "common/run_time_error.h"
#include "data/db_error.h"
#include "data/stored_plan.h"
#include "ui/chart_page.h"
#include "ui/contract_events_panel.h"
#include "ui/contract_page.h"
#include "ui/contract_tree.h"
#include "ui/main_window.h"
#include "ui/plan_page.h"
#include "ui/window_archive.h"

namespace quotaplan {
namespace {

// Loading and saving go on after an unexpected error, as their steps are independent.
template <typename Action>
void RunStep(MessageBoxes& boxes, Action step) {
    try {
        step();
    } catch (const DatabaseError& failure) {
        ShowPlainBox(boxes, CommandErrorText(failure.Number(), failure.Description()), "",
                     BoxIcon::None);
    } catch (const RunTimeError& failure) {
        ShowPlainBox(boxes, CommandErrorText(failure.Number(), failure.Description()), "",
                     BoxIcon::None);
    } catch (const std::exception& failure) {
        ShowPlainBox(boxes, CommandErrorText(0, failure.what()), "", BoxIcon::None);
    }
}

}  // namespace

std::int32_t MainWindow::ContractIdShown() const {
    const double id = LeadingNumber(contractPage_->Controls().lblIDContract->text().toStdString());
    return id >= 1 && id <= 2147483647.0 ? static_cast<std::int32_t>(id) : 0;
}

void MainWindow::LoadContract(QTreeWidgetItem* node) {
    const std::optional<std::int32_t> contract = ContractTree::ContractIdOf(node);
    if (!contract) return;
    const std::int32_t id = *contract;
    // The node may be gone after a save (the tree is rebuilt): only its ID is used from here.
    if (!ConfirmLeavingContract()) {
        if (saveMode_ == SaveMode::StoredContract) {
            tvwContratti_->SelectContract(ContractIdShown());
        } else {
            tvwContratti_->setCurrentItem(nullptr);
        }
        return;
    }

    const std::optional<ContractForm> stored = archive_.LoadContract(id);
    if (!stored) {
        // Gone from the archive (reported by the store): the form stays as it was, and the
        // tree drops the node so it is not clicked again.
        Guarded([this] { LoadTree(); });
        return;
    }
    const ContractControls& c = contractPage_->Controls();
    c.lblIDContract->setText(QString::number(id));
    contractPage_->ShowStoredContract(*stored);
    saveMode_ = SaveMode::StoredContract;
    RunStep(boxes_, [&] { contractPage_->LoadRateList(archive_.RateRows(id)); });
    // The plan in memory belongs to whatever was calculated last: only a new calculation
    // of this contract may be saved over its stored plan.
    planOwner_ = PlanOwner{};
    contractPage_->SetDefaultTarget();
    contractPage_->ApplyLoadedPairs();
    c.txtResult->setText(QStringLiteral("0"));
    // The figures shown belong to the calculation before, not to this contract.
    c.txtTxEffettivo->clear();
    c.txtTAEG->clear();
    // Its stored plan becomes the plan shown, exported and printed, with its own figures;
    // a plan that cannot be read leaves none rather than another contract's.
    contractPage_->DiscardPlan();
    ShowStoredPlanWithEvents(id);
    contractPage_->MarkStoredIndexation();
    c.cmdSalva->setEnabled(true);
    c.cmdElimina->setEnabled(true);
    c.lblInfo->hide();
    tabMain_->setCurrentIndex(0);
    savedForm_ = contractPage_->Snapshot();
    planPage_->ShowPlanState();
}

void MainWindow::ShowStoredPlanWithEvents(std::int32_t contractId) {
    planPage_->fraEventi->ShowContract(contractId);
    const auto& basis = planPage_->fraEventi->Basis();
    RunStep(boxes_, [&] {
        if (basis && !basis->plan.rows.empty()) {
            FinancialPlan plan;
            SetPlanToTheCent(plan, basis->plan);
            contractPage_->ShowStoredPlan(std::move(plan));
        } else {
            contractPage_->ShowStoredPlan(StoredPlanOf(archive_.PlanRows(contractId)));
        }
    });
    if (contractPage_->Plan().PlanReady) {
        chartPage_->ShowPlan(contractPage_->Plan());
    } else {
        chartPage_->Clear();
    }
    planPage_->ShowPlanState();
}

bool MainWindow::Save() {
    const ContractControls& c = contractPage_->Controls();
    // The description names the contract in the tree and in the export files: a blank one,
    // typed after the calculation, would store a contract nobody can find.
    if (c.txtDescBene->text().trimmed().isEmpty()) {
        ShowMessage(boxes_, "Inserire la descrizione del bene!", "");
        c.txtDescBene->setFocus();
        return false;
    }
    const SaveResult result =
        archive_.SaveContract(contractPage_->ReadContractForm(), contractPage_->Plan(), planOwner_,
                              saveMode_, ContractIdShown());
    if (result.status != SaveStatus::Saved) return false;
    RunStep(boxes_, [this] { LoadTree(); });
    if (saveMode_ == SaveMode::NewContract) {
        c.lblIDContract->setText(QString::number(result.contractId));
    }
    tvwContratti_->SelectContract(ContractIdShown());
    saveMode_ = SaveMode::StoredContract;
    c.cmdSalva->setEnabled(false);
    // A contract with events kept its plan whatever was calculated: that plan is shown again.
    const auto& events = planPage_->fraEventi->Basis();
    if (events && !events->events.empty() && !result.planWritten) {
        ShowStoredPlanWithEvents(ContractIdShown());
    } else {
        planPage_->fraEventi->ShowContract(ContractIdShown());
    }
    savedForm_ = contractPage_->Snapshot();
    RefreshSummary();
    return true;
}

void MainWindow::Delete() {
    if (AskYesNo(boxes_, "Cancellare il contratto?", "") != BoxAnswer::Yes) return;
    const DeleteStatus status = archive_.DeleteContract(ContractIdShown());
    if (status == DeleteStatus::NothingSelected) return;
    if (status == DeleteStatus::Gone) {
        ShowPlainBox(boxes_, kContractGoneMessage, "", BoxIcon::Exclamation);
    }
    // Gone is as good as deleted: another desk did it first.
    if (status == DeleteStatus::Deleted || status == DeleteStatus::Gone) {
        RunStep(boxes_, [this] { New(); });
        planOwner_ = PlanOwner{};
        RefreshSummary();
    }
    ClearPlanViews();
}

}  // namespace quotaplan
