#include "ui/main_window.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <exception>

#include "common/desktop_shell.h"
#include "common/message_boxes.h"
#include "common/program_folder.h"
#include "common/program_info.h"
#include "ui/about_box.h"
#include "ui/contract_page.h"
#include "ui/plan_grid.h"
#include "ui/plan_page.h"
#include "ui/rate_list_view.h"
#include "ui/status_page.h"
#include "ui/tree_images.h"
#include "ui/twips.h"
#include "ui/web_pages.h"
#include "ui/window_archive.h"

namespace quotaplan {
namespace {

QStringList ToQt(const std::vector<std::string>& texts) {
    QStringList list;
    for (const std::string& text : texts) list.append(QString::fromStdString(text));
    return list;
}

constexpr int kKeyRole = Qt::UserRole;
// A little wider than the classic 6975 twips, so that the option frames at the right edge
// are not clipped by the page border.
constexpr int kTabWidth = Twips(6975) + 18;

}  // namespace

MainWindow::MainWindow(WindowArchive& archive, MessageBoxes& boxes, DesktopShell& shell,
                       QWidget* parent)
    : QMainWindow(parent), archive_(archive), boxes_(boxes), shell_(shell) {
    setObjectName(QStringLiteral("frmContratto"));
    // The layout is measured for a small dialog font, as the classic desktop used.
    QFont small = font();
    small.setPointSizeF(7.5);
    setFont(small);
    auto* central = new QWidget(this);
    setCentralWidget(central);

    tvwContratti_ = new QTreeWidget(central);
    tvwContratti_->setObjectName(QStringLiteral("tvwContratti"));
    tvwContratti_->setHeaderHidden(true);
    tvwContratti_->setGeometry(2, 2, Twips(2115) - 4, Twips(6495));
    // Long descriptions scroll sideways rather than being cut short.
    tvwContratti_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tvwContratti_->header()->setStretchLastSection(false);

    tabMain_ = new QTabWidget(central);
    tabMain_->setObjectName(QStringLiteral("tabMain"));
    tabMain_->setGeometry(Twips(2115), 2, kTabWidth, Twips(6495));
    contractPage_ = new ContractPage(boxes);
    planPage_ = new PlanPage;
    statusPage_ = new StatusPage(archive, boxes);
    tabMain_->addTab(contractPage_, QStringLiteral("Calcoli"));
    tabMain_->addTab(planPage_, QStringLiteral("Piano finanziario"));
    tabMain_->addTab(statusPage_, QStringLiteral("Stato"));

    BuildMenu();
    central->setFixedSize(Twips(2115) + kTabWidth + 2, Twips(6495) + 4);
    connect(contractPage_, &ContractPage::newRequested, this,
            [this] { Guarded([this] { New(); }); });
    connect(contractPage_, &ContractPage::saveRequested, this, &MainWindow::Save);
    connect(contractPage_, &ContractPage::deleteRequested, this, &MainWindow::Delete);
    connect(contractPage_, &ContractPage::planCalculated, this, [this] {
        const std::int32_t owner = saveMode_ == SaveMode::StoredContract ? ContractIdShown() : 0;
        planOwner_ = PlanOwner::For(owner, contractPage_->ReadContractForm());
    });
    connect(contractPage_, &ContractPage::referenceRateChosen, this, &MainWindow::UpdateIndexing);
    connect(contractPage_, &ContractPage::indexRequested, this, &MainWindow::Index);
    connect(statusPage_, &StatusPage::referenceValuesChanged, this, &MainWindow::UpdateIndexing);
    connect(statusPage_, &StatusPage::lookupsChanged, this, [this](const QString& tableEntry) {
        Guarded([this, tableEntry] { RefreshLookups(tableEntry); });
    });
    connect(tvwContratti_, &QTreeWidget::itemClicked, this, &MainWindow::LoadContract);
    connect(tvwContratti_, &QTreeWidget::itemExpanded, this, [](QTreeWidgetItem* item) {
        item->setIcon(0, TreeImageIcon(TreeImage::ExpandedType));
    });
    connect(tvwContratti_, &QTreeWidget::itemCollapsed, this, [](QTreeWidgetItem* item) {
        item->setIcon(0, TreeImageIcon(TreeImage::CollapsedType));
    });
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
    connect(add("mnuHelp", QStringLiteral("&Guida OnLine")), &QAction::triggered, this,
            &MainWindow::OpenOnlineGuide);
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
    tvwContratti_->clear();
    const QIcon collapsed = TreeImageIcon(TreeImage::CollapsedType);
    const QIcon contractIcon = TreeImageIcon(TreeImage::Contract);
    for (const TreeType& type : *types) {
        auto* typeNode =
            new QTreeWidgetItem(tvwContratti_, {QString::fromStdString(type.Descrizione)});
        typeNode->setData(0, kKeyRole, QString::fromStdString(type.Descrizione));
        typeNode->setIcon(0, collapsed);
        for (const TreeContract& contract : type.contracts) {
            auto* node = new QTreeWidgetItem(typeNode, {QString::fromStdString(contract.DescBene)});
            node->setData(0, kKeyRole, QStringLiteral("IDCon%1").arg(contract.ID));
            node->setIcon(0, contractIcon);
        }
    }
}

void MainWindow::ResetForm() {
    contractPage_->ResetFields();
    LoadTree();
}

void MainWindow::New() {
    ResetForm();
    archive_.ClearRecordBuffer();
    saveMode_ = SaveMode::NewContract;
    contractPage_->Controls().cmdElimina->setEnabled(false);
    contractPage_->InvalidateResult();
    contractPage_->SetDefaultTarget();
    contractPage_->CutPlanGridToHeader();
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

void MainWindow::ShowAbout() {
    AboutBox about(shell_, boxes_, this);
    about.exec();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!databaseClosed_) {
        archive_.CloseDatabase();
        databaseClosed_ = true;
    }
    event->accept();
}

}  // namespace quotaplan
