// The main window's "Perizia": the expert review of the contract shown.
#include <QMenuBar>
#include <QSettings>

#include "common/date_text.h"
#include "common/message_boxes.h"
#include "common/program_folder.h"
#include "engine/periodicity.h"
#include "ui/contract_page.h"
#include "ui/main_window.h"
#include "ui/review_archive.h"
#include "ui/review_dialog.h"
#include "ui/window_archive.h"

namespace quotaplan {

void MainWindow::EnableReview(ReviewArchive& archive, QSettings& settings) {
    reviewArchive_ = &archive;
    reviewSettings_ = &settings;
    QAction* review = menuBar()->addAction(QStringLiteral("&Perizia"));
    review->setObjectName(QStringLiteral("mnuPerizia"));
    connect(review, &QAction::triggered, this, &MainWindow::OpenReview);
}

void MainWindow::OpenReview() {
    Guarded([this] {
        const FinancialPlan& shown = contractPage_->Plan();
        if (!shown.PlanReady || !shown.toTheCent || shown.toTheCent->rows.empty()) {
            ShowMessage(boxes_,
                        "La perizia confronta il piano al centesimo: spuntare \"Piano al "
                        "centesimo\" e calcolare la rata.",
                        "");
            return;
        }
        const ContractForm form = contractPage_->ReadContractForm();
        ReviewSubject subject;
        subject.contractId = saveMode_ == SaveMode::StoredContract ? ContractIdShown() : 0;
        subject.plan = *shown.toTheCent;
        ReviewFacts& facts = subject.facts;
        facts.description = form.txtDescBene.empty() ? "Piano finanziario" : form.txtDescBene;
        facts.financingType = form.cboTipoLea;
        facts.value = subject.plan.value;
        facts.maxi = subject.plan.maxi;
        facts.buyout = subject.plan.buyout;
        facts.count = static_cast<int>(subject.plan.rows.size());
        facts.periodsPerYear = ConvertPeriodicity(form.cboPeriodicita, false);
        facts.annualRate = subject.plan.rows.front().rate;
        facts.advance = form.optPagAnt;
        facts.compound = !form.optCapSem;
        facts.contractDate = ReadDateText(form.txtContract).value_or(CalendarDate());
        facts.firstDate = ReadDateText(form.txtStart).value_or(CalendarDate());
        facts.ours = ReviewRowsOf(subject.plan);
        if (subject.contractId != 0 && reviewArchive_) {
            facts.defaultInterest = reviewArchive_->DefaultInterestOf(subject.contractId);
        }
        if (const auto& contract = contractPage_->UsuryCaseShown()) {
            facts.taeg = contract->teg;
            if (const auto found = archive_.UsuryRatesOfType(form.cboTipoLea)) {
                facts.usuryCategory = found->category;
                UsuryCase judged = *contract;
                if (facts.defaultInterest) {
                    judged.defaultRate = facts.defaultInterest->RateFor(facts.annualRate);
                }
                if (!found->category.empty()) facts.judgement = JudgeContract(found->rates, judged);
            }
        }
        QSettings fallback;
        ReviewDialog dialog(std::move(subject), reviewArchive_, boxes_, shell_,
                            reviewSettings_ ? *reviewSettings_ : fallback, this);
        dialog.SetExportFolder(ThisProgramFiles().ExportFolder());
        dialog.exec();
    });
}

}  // namespace quotaplan
