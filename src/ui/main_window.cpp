#include "ui/main_window.h"

#include <QCloseEvent>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <exception>

#include "common/clock.h"
#include "common/desktop_shell.h"
#include "common/message_boxes.h"
#include "common/program_folder.h"
#include "common/program_info.h"
#include "ui/about_box.h"
#include "ui/accessible_names.h"
#include "ui/button_keys.h"
#include "ui/chart_page.h"
#include "ui/contract_events_panel.h"
#include "ui/contract_page.h"
#include "ui/contract_tree.h"
#include "ui/event_form.h"
#include "ui/fitting_figures.h"
#include "ui/growing_layout.h"
#include "ui/plan_grid.h"
#include "ui/plan_page.h"
#include "ui/rate_list_view.h"
#include "ui/status_page.h"
#include "ui/twips.h"
#include "ui/user_guide_window.h"
#include "ui/usury_verdict.h"
#include "ui/web_pages.h"
#include "ui/window_archive.h"
#include "ui/window_placement.h"
#include "ui/yearly_statement_dialog.h"

namespace quotaplan {
namespace {

QStringList ToQt(const std::vector<std::string>& texts) {
    QStringList list;
    for (const std::string& text : texts) list.append(QString::fromStdString(text));
    return list;
}

// A little wider than the classic 6975 twips, so that the option frames at the right edge
// are not clipped by the page border.
constexpr int kTabWidth = Twips(6975) + 18;
// The window's designed size, which is also the least it can be made.
const QSize kDesignedCentral(Twips(2115) + kTabWidth + 2, Twips(6495) + 4);
// Of the width the window gains, the tree takes this share (long names) and the pages the
// rest (the plan grid, the lists).
constexpr double kTreeShareOfWidth = 0.25;

}  // namespace

MainWindow::MainWindow(WindowArchive& archive, MessageBoxes& boxes, DesktopShell& shell,
                       QWidget* parent)
    : QMainWindow(parent),
      archive_(archive),
      boxes_(boxes),
      shell_(shell),
      userGuide_(ThisProgramFiles().UserGuide()) {
    setObjectName(QStringLiteral("frmContratto"));
    // The layout is measured for a small dialog font, as the classic desktop used.
    QFont small = font();
    small.setPointSizeF(7.5);
    setFont(small);
    auto* central = new QWidget(this);
    setCentralWidget(central);

    tvwContratti_ = new ContractTree(central);
    tvwContratti_->setObjectName(QStringLiteral("tvwContratti"));
    tvwContratti_->setGeometry(2, 2, Twips(2115) - 4, Twips(6495));
    tvwContratti_->setAccessibleName(QStringLiteral("Contratti archiviati"));

    tabMain_ = new QTabWidget(central);
    tabMain_->setObjectName(QStringLiteral("tabMain"));
    tabMain_->setGeometry(Twips(2115), 2, kTabWidth, Twips(6495));
    contractPage_ = new ContractPage(boxes);
    planPage_ = new PlanPage;
    statusPage_ = new StatusPage(archive, boxes);
    tabMain_->addTab(contractPage_, QStringLiteral("Calcoli"));
    tabMain_->addTab(planPage_, QStringLiteral("Piano finanziario"));
    chartPage_ = new ChartPage;
    tabMain_->addTab(statusPage_, QStringLiteral("Stato"));
    tabMain_->addTab(chartPage_, QStringLiteral("Grafico"));

    BuildMenu();
    central->setMinimumSize(kDesignedCentral);
    resize(sizeHint());
    LayOutGrowingWindow(central);
    PressButtonsOnEnter(this);
    ShareMenuMnemonics(menuBar(), contractPage_);
    NameInputs(this);
    FitFiguresToFields(this);
    connect(contractPage_, &ContractPage::newRequested, this, [this] {
        Guarded([this] {
            if (ConfirmLeavingContract()) New();
        });
    });
    contractPage_->SetReferenceSeries(
        [this](const std::string& name) { return archive_.ReferenceSeries(name); });
    connect(contractPage_, &ContractPage::saveRequested, this, &MainWindow::Save);
    connect(contractPage_, &ContractPage::deleteRequested, this, &MainWindow::Delete);
    connect(contractPage_, &ContractPage::planCalculated, this, [this] {
        const std::int32_t owner = saveMode_ == SaveMode::StoredContract ? ContractIdShown() : 0;
        planOwner_ = PlanOwner::For(owner, contractPage_->ReadContractForm());
        chartPage_->ShowPlan(contractPage_->Plan());
        planPage_->ShowPlanState();
    });
    connect(contractPage_, &ContractPage::referenceRateChosen, this, &MainWindow::UpdateIndexing);
    connect(contractPage_, &ContractPage::indexRequested, this, &MainWindow::Index);
    connect(contractPage_, &ContractPage::usuryCheckRequested, this, &MainWindow::CheckUsury);
    connect(statusPage_, &StatusPage::referenceValuesChanged, this, &MainWindow::UpdateIndexing);
    connect(statusPage_, &StatusPage::usuryChanged, this, &MainWindow::CheckUsury);
    connect(statusPage_, &StatusPage::lookupsChanged, this, [this](const QString& tableEntry) {
        Guarded([this, tableEntry] { RefreshLookups(tableEntry); });
    });
    connect(tvwContratti_, &ContractTree::nodeChosen, this, &MainWindow::LoadContract);
    planPage_->ConnectEvents(archive_.ContractEvents(), [this] {
        std::vector<std::pair<std::string, Percent>> rates;
        try {
            for (const std::string& name : archive_.LookupTexts("supTxRiferimento")) {
                if (IsFixedRateName(name)) continue;
                if (const auto value = ReferenceValueOn(archive_.ReferenceSeries(name), Today())) {
                    rates.emplace_back(name, *value);
                }
            }
        } catch (const std::exception&) {
            // Without the archive's rates a renegotiation is still open to a rate typed in.
        }
        return rates;
    });
    connect(planPage_->fraEventi, &ContractEventsPanel::yearlyStatementAsked, this,
            [this](std::int32_t contractId, const QString& description) {
                auto* dialog = new YearlyStatementDialog(
                    archive_, boxes_, &Shell(), planPage_->ExportFolder(), contractId,
                    description.toStdString(), planPage_->fraEventi);
                dialog->setAttribute(Qt::WA_DeleteOnClose);
                dialog->open();
            });
    connect(planPage_->fraEventi, &ContractEventsPanel::eventsChanged, this,
            [this](std::int32_t contractId) {
                if (contractId == ContractIdShown()) ShowStoredPlanWithEvents(contractId);
                RefreshSummary();
            });
}

void MainWindow::LayOutGrowingWindow(QWidget* central) {
    auto* layout = new GrowingLayout(central);
    layout->Add(tvwContratti_, {0, 0, kTreeShareOfWidth, 1});
    // Every page grows as the tab control does, by the same amount.
    layout->Add(tabMain_, {kTreeShareOfWidth, 0, 1, 1}, [this](QSize growth) {
        for (int page = 0; page < tabMain_->count(); ++page) {
            if (GrowingLayout* pageLayout = GrowingLayout::Of(tabMain_->widget(page))) {
                pageLayout->Grow(growth);
            }
        }
    });
    layout->FollowContainer(kDesignedCentral);
}

MainWindow::~MainWindow() = default;

void MainWindow::RememberPlacement(QSettings& settings) {
    placement_ = std::make_unique<WindowPlacement>(settings, QStringLiteral("MainWindow/geometry"));
    placement_->Restore(*this);
    statusPage_->RememberDialogSizes(settings);
}

void MainWindow::Guarded(const std::function<void()>& step) {
    try {
        step();
    } catch (const std::exception& error) {
        ShowError(boxes_, 0, error.what(), "");
    }
}

void MainWindow::BuildMenu() {
    QMenuBar* bar = menuBar();
    auto add = [bar](const char* name, const QString& caption) {
        QAction* action = bar->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    // The same unload as the close box.
    connect(add("mnuEsci", QStringLiteral("&Esci")), &QAction::triggered, this, &QWidget::close);
    connect(add("mnuServizi", QStringLiteral("&Servizi")), &QAction::triggered, this,
            &MainWindow::OpenServices);
    // The guide shipped with the program (F1, no network needed) and the maker's web guide.
    QMenu* guide = bar->addMenu(QStringLiteral("&Guida"));
    guide->setObjectName(QStringLiteral("mnuGuidaMenu"));
    guide->menuAction()->setObjectName(QStringLiteral("mnuGuida"));
    QAction* local = guide->addAction(QStringLiteral("Guida di &Quotaplan"));
    local->setObjectName(QStringLiteral("mnuGuidaQuotaplan"));
    local->setShortcut(QKeySequence(Qt::Key_F1));
    connect(local, &QAction::triggered, this, &MainWindow::OpenUserGuide);
    QAction* online = guide->addAction(QStringLiteral("&Guida OnLine"));
    online->setObjectName(QStringLiteral("mnuHelp"));
    connect(online, &QAction::triggered, this, &MainWindow::OpenOnlineGuide);
    connect(add("mnuAbout", QStringLiteral("&About")), &QAction::triggered, this,
            &MainWindow::ShowAbout);
}

void MainWindow::Load() {
    setWindowTitle(
        QStringLiteral("Quotaplan %1 - Brightmoor").arg(QString::fromStdString(ProgramVersion())));
    LoadTree();
    FillLookupLists();
    contractPage_->Controls().lsvTxHis->SetRateListColumns();
    contractPage_->SetPlanGrid(planPage_->fgrPDA);
    RefreshSummary();
    saveMode_ = SaveMode::NewContract;
    contractPage_->Controls().cmdSalva->setEnabled(false);
    contractPage_->Controls().cmdElimina->setEnabled(false);
    New();
    tabMain_->setCurrentIndex(0);
}

void MainWindow::FillLookupLists() {
    statusPage_->FillTableList();
    contractPage_->FillLookupCombos(ToQt(archive_.LookupTexts("supTipologia")),
                                    ToQt(archive_.LookupTexts("supTxRiferimento")));
}

void MainWindow::LoadTree() {
    const auto types = archive_.ContractTree();
    if (!types) return;
    tvwContratti_->Rebuild(*types);
}

void MainWindow::ResetForm() {
    contractPage_->ResetFields();
    LoadTree();
}

void MainWindow::New() {
    ResetForm();
    // The tree keeps its open types, but no contract is chosen while a new one is typed.
    tvwContratti_->setCurrentItem(nullptr);
    archive_.ClearRecordBuffer();
    saveMode_ = SaveMode::NewContract;
    contractPage_->Controls().cmdElimina->setEnabled(false);
    contractPage_->InvalidateResult();
    contractPage_->SetDefaultTarget();
    ClearPlanViews();
    savedForm_ = contractPage_->Snapshot();
}

void MainWindow::ClearPlanViews() {
    contractPage_->DiscardPlan();
    chartPage_->Clear();
    planPage_->fraEventi->ShowContract(0);
    planPage_->ShowPlanState();
}

bool MainWindow::ConfirmLeavingContract() {
    if (!HasUnsavedChanges(saveMode_, savedForm_, contractPage_->Snapshot())) return true;
    const BoxAnswer answer = AskYesNoCancel(boxes_, kSaveChangesQuestion);
    switch (StepAfterAnswer(answer, contractPage_->Controls().cmdSalva->isEnabled())) {
        case LeaveStep::Proceed:
            return true;
        case LeaveStep::SaveThenProceed:
            return Save();
        case LeaveStep::StayToCalculate:
            ShowMessage(boxes_, kCalculateBeforeSaving, "");
            return false;
        case LeaveStep::Stay:
            break;
    }
    return false;
}

void MainWindow::RefreshSummary() { statusPage_->RefreshSummary(); }

void MainWindow::UpdateIndexing() {
    contractPage_->SetIndexable(
        archive_.ReferenceRateHasValues(contractPage_->ReferenceRateName()));
}

void MainWindow::Index() {
    Guarded([this] {
        contractPage_->Index(archive_.ReferenceSeries(contractPage_->ReferenceRateName()));
    });
}

void MainWindow::CheckUsury() {
    const auto& contract = contractPage_->UsuryCaseShown();
    if (!contract) return;
    const auto found = archive_.UsuryRatesOfType(contractPage_->FinancingTypeName());
    if (!found) {
        contractPage_->ShowUsury(std::nullopt);
        return;
    }
    const auto judgement =
        found->category.empty() ? std::nullopt : JudgeContract(found->rates, *contract);
    contractPage_->ShowUsury(UsuryVerdictOf(found->category, judgement));
}

void MainWindow::RefreshLookups(const QString& tableEntry) {
    LoadTree();
    FillLookupLists();
    New();
    statusPage_->SelectTable(tableEntry);
}

void MainWindow::OpenServices() {
    // A missing shortcut is the shell's own business: nothing is shown.
    (void)shell_.OpenFile(ThisProgramFiles().ServicesShortcut());
}

void MainWindow::OpenOnlineGuide() { OpenWebPage(shell_, boxes_, kOnlineGuidePath); }

void MainWindow::OpenUserGuide() {
    if (guide_ == nullptr) guide_ = new UserGuideWindow(this);
    if (!guide_->Open(userGuide_)) {
        ShowMessage(boxes_, "Impossibile aprire la guida " + userGuide_.string() + ".", "");
        return;
    }
    guide_->show();
    guide_->raise();
    guide_->activateWindow();
}

void MainWindow::ShowAbout() {
    AboutBox about(shell_, boxes_, this);
    about.exec();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!databaseClosed_ && !ConfirmLeavingContract()) {
        event->ignore();
        return;
    }
    if (placement_) placement_->Save(*this);
    if (!databaseClosed_) {
        archive_.CloseDatabase();
        databaseClosed_ = true;
    }
    event->accept();
}

}  // namespace quotaplan
