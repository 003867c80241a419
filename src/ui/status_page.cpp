#include "ui/status_page.h"

#include <QApplication>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QTreeWidget>
#include <exception>

#include "common/clock.h"
#include "common/desktop_shell.h"
#include "common/message_boxes.h"
#include "common/number_text.h"
#include "common/program_folder.h"
#include "data/db_error.h"
#include "data/lookup_lists.h"
#include "ui/field_hooks.h"
#include "ui/growing_layout.h"
#include "ui/main_window.h"
#include "ui/portfolio_check_dialog.h"
#include "ui/reference_values_dialog.h"
#include "ui/twips.h"
#include "ui/usury_thresholds_dialog.h"
#include "ui/window_archive.h"
#include "ui/window_placement.h"
#include "ui/yearly_statement_dialog.h"

namespace quotaplan {
namespace {

template <typename Widget>
Widget* Placed(Widget* widget, const char* name, int x, int y, int width, int height) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(x, y, width, height);
    return widget;
}

QLabel* Caption(QWidget* parent, const QString& text, int x, int y, int width = 150) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(x, y, width, 14);
    return label;
}

QStringList ToQt(const std::vector<std::string>& texts) {
    QStringList list;
    for (const std::string& text : texts) list.append(QString::fromStdString(text));
    return list;
}

constexpr int kKeyRole = Qt::UserRole;
// The two lookup lists; the buttons under them fill the band down to the summary.
constexpr int kListHeight = 118;
// The frame's caption sits on its top border here, not inside it: the frame's content
// moves down by this much, and the frame grows by as much.
constexpr int kFrameCaption = 8;

// Of the height the page gains, the lookup lists take this share and the summary the rest;
// of the width, the list of values takes this share and the editor's column moves by it.
constexpr double kEditorShareOfHeight = 0.4;
constexpr double kValuesShareOfWidth = 0.4;
// The columns of lstCanoni: description and date take these shares of the list's width, the
// amount the rest.
constexpr int kDescriptionPercent = 45;
constexpr int kDatePercent = 25;

void SetSummaryColumnWidths(QTreeWidget* list) {
    list->setColumnWidth(0, list->width() * kDescriptionPercent / 100);
    list->setColumnWidth(1, list->width() * kDatePercent / 100);
}

int FrameTop(int twips) { return Twips(twips) + kFrameCaption; }

// The portfolio commands stand right of the two figures, up to "Aggiorna".
constexpr int kPortfolioButtons = 246;

}  // namespace

StatusPage::StatusPage(WindowArchive& archive, MessageBoxes& boxes, QWidget* parent)
    : QWidget(parent), archive_(archive), boxes_(boxes), editor_(archive, boxes) {
    auto* growing = new GrowingLayout(this);
    BuildEditor(*growing);
    BuildSummary(*growing);
}

void StatusPage::BuildEditor(GrowingLayout& growing) {
    QLabel* tablesCaption = Caption(this, QStringLiteral("Tabelle"), 8, 6);
    lstSupTab = Placed(new QListWidget(this), "lstSupTab", 8, 22, 140, kListHeight);
    tablesCaption->setBuddy(lstSupTab);
    QLabel* valuesCaption = Caption(this, QStringLiteral("Valori"), 156, 6);
    lstSupVal = Placed(new QListWidget(this), "lstSupVal", 156, 22, 180, kListHeight);
    valuesCaption->setBuddy(lstSupVal);
    QLabel* valueCaption = Caption(this, QStringLiteral("Modifica / Aggiungi"), 344, 6);
    txtValue = Placed(new QLineEdit(this), "txtValue", 344, 22, 108, 20);
    valueCaption->setBuddy(txtValue);
    new FieldHooks(txtValue);
    txtValueID = Placed(new QLineEdit(this), "txtValueID", 344, 22, 10, 20);
    txtValueID->hide();
    txtValueID->setAccessibleName(QStringLiteral("Codice del valore"));
    cmdSupNew =
        Placed(new QPushButton(QStringLiteral("Nuovo"), this), "cmdSupNew", 344, 52, 108, 25);
    cmdSupEdit =
        Placed(new QPushButton(QStringLiteral("Modifica"), this), "cmdSupEdit", 344, 82, 108, 25);
    cmdSupDel =
        Placed(new QPushButton(QStringLiteral("Cancella"), this), "cmdSupDel", 344, 112, 108, 25);

    cmdValTxRif = Placed(new QPushButton(QStringLiteral("Valori storici…"), this), "cmdValTxRif",
                         344, 146, 108, 25);
    cmdValTxRif->setToolTip(QStringLiteral("Valori nel tempo del tasso di riferimento scelto"));
    cmdValTxRif->setEnabled(false);

    // Under the lists, level with "Valori storici…".
    cmdSoglieUsura = Placed(new QPushButton(QStringLiteral("Soglie d'usura…"), this),
                            "cmdSoglieUsura", 8, 146, 140, 25);
    cmdSoglieUsura->setToolTip(
        QStringLiteral("Soglie d'usura trimestrali (TEGM) per categoria e classe di importo"));
    cmdCatUsura = Placed(new QPushButton(QStringLiteral("Categoria d'usura…"), this), "cmdCatUsura",
                         156, 146, 180, 25);
    cmdCatUsura->setToolTip(
        QStringLiteral("Categoria delle soglie d'usura della tipologia scelta"));
    cmdCatUsura->setEnabled(false);

    growing.Add(lstSupTab, {0, 0, 0, kEditorShareOfHeight});
    growing.Add(lstSupVal, {0, 0, kValuesShareOfWidth, kEditorShareOfHeight});
    growing.Add(cmdSoglieUsura, {0, kEditorShareOfHeight, 0, kEditorShareOfHeight});
    growing.Add(cmdCatUsura, {0, kEditorShareOfHeight, kValuesShareOfWidth, kEditorShareOfHeight});
    const Anchors besideValues{kValuesShareOfWidth, 0, kValuesShareOfWidth, 0};
    for (QWidget* widget : std::initializer_list<QWidget*>{
             valueCaption, txtValue, txtValueID, cmdSupNew, cmdSupEdit, cmdSupDel, cmdValTxRif}) {
        growing.Add(widget, besideValues);
    }
    connect(txtValueID, &QLineEdit::textChanged, this, &StatusPage::UpdateValuesButton);
    connect(lstSupTab, &QListWidget::currentRowChanged, this, &StatusPage::UpdateValuesButton);
    connect(cmdValTxRif, &QPushButton::clicked, this, &StatusPage::OpenReferenceValues);
    connect(cmdSoglieUsura, &QPushButton::clicked, this, &StatusPage::OpenUsuryThresholds);
    connect(cmdCatUsura, &QPushButton::clicked, this, [this] {
        if (editor_.AssignUsuryCategory(Panel())) emit usuryChanged();
    });

    connect(lstSupTab, &QListWidget::itemClicked, this, &StatusPage::TableClicked);
    connect(lstSupVal, &QListWidget::itemClicked, this, &StatusPage::ValueClicked);
    connect(cmdSupNew, &QPushButton::clicked, this, [this] { RunCommand(&LookupEditor::Add); });
    connect(cmdSupEdit, &QPushButton::clicked, this, [this] { RunCommand(&LookupEditor::Rename); });
    connect(cmdSupDel, &QPushButton::clicked, this, [this] { RunCommand(&LookupEditor::Delete); });
}

void StatusPage::BuildSummary(GrowingLayout& growing) {
    fraSummary = Placed(new QGroupBox(QStringLiteral("Dati di Riepilogo"), this), "fraSummary", 8,
                        184, Twips(6735), Twips(2895) + kFrameCaption);
    growing.Add(fraSummary, {0, kEditorShareOfHeight, 1, 1});
    auto display = [this](const char* name, int top) {
        auto* field = Placed(new QLineEdit(fraSummary), name, Twips(2220), FrameTop(top), 92, 20);
        field->setReadOnly(true);
        field->setAlignment(Qt::AlignRight);
        field->setBackgroundRole(QPalette::Button);
        QPalette palette = field->palette();
        palette.setColor(QPalette::Base, palette.color(QPalette::Button));
        palette.setColor(QPalette::Text, palette.color(QPalette::ButtonText));
        field->setPalette(palette);
        return field;
    };
    txtTassoMedio = display("txtTassoMedio", 240);
    Caption(fraSummary, QStringLiteral("Tasso medio ponderato"), Twips(120), FrameTop(240) + 3,
            135)
        ->setBuddy(txtTassoMedio);
    txtDebitoResiduo = display("txtDebitoResiduo", 540);
    Caption(fraSummary, QStringLiteral("Debito residuo totale"), Twips(120), FrameTop(540) + 3,
            135)
        ->setBuddy(txtDebitoResiduo);
    cmdAggiorna = Placed(new QPushButton(QStringLiteral("Aggiorna"), fraSummary), "cmdAggiorna",
                         Twips(5640), FrameTop(180), 68, 25);
    QLabel* dueCaption =
        Caption(fraSummary, QStringLiteral("Canoni del mese in corso"), Twips(120), FrameTop(960));
    lstCanoni = Placed(new QTreeWidget(fraSummary), "lstCanoni", Twips(120), FrameTop(1200),
                       Twips(6375), Twips(1575));
    dueCaption->setBuddy(lstCanoni);
    lstCanoni->setRootIsDecorated(false);
    lstCanoni->setColumnCount(0);
    cmdVerifica = Placed(new QPushButton(QStringLiteral("Verifica portafoglio…"), fraSummary),
                         "cmdVerifica", kPortfolioButtons, FrameTop(180), 124, 25);
    cmdVerifica->setToolTip(QStringLiteral(
        "Calcola i contratti di un file CSV o JSON Lines e li confronta con le soglie d'usura"));
    cmdReindicizza =
        Placed(new QPushButton(QStringLiteral("Aggiorna contratti indicizzati"), fraSummary),
               "cmdReindicizza", kPortfolioButtons, FrameTop(540) - 3, 198, 25);
    cmdReindicizza->setToolTip(QStringLiteral(
        "Ricalcola ogni contratto indicizzato con i valori attuali del suo tasso di riferimento"));
    // On the row of the list's caption, at the frame's right edge.
    cmdProspetto = Placed(new QPushButton(QStringLiteral("Prospetto annuale…"), fraSummary),
                          "cmdProspetto", Twips(6495) - 124, FrameTop(960) - 5, 124, 21);
    cmdProspetto->setToolTip(QStringLiteral(
        "Capitale, interessi e spese di ogni anno, per tutto l'archivio o per una tipologia"));
    auto* inFrame = new GrowingLayout(fraSummary);
    inFrame->Add(cmdAggiorna, kFollowRight);
    inFrame->Add(cmdVerifica, kFollowRight);
    inFrame->Add(cmdReindicizza, kFollowRight);
    inFrame->Add(cmdProspetto, kFollowRight);
    connect(cmdProspetto, &QPushButton::clicked, this, &StatusPage::OpenYearlyStatement);
    connect(cmdVerifica, &QPushButton::clicked, this, &StatusPage::CheckPortfolio);
    connect(cmdReindicizza, &QPushButton::clicked, this, &StatusPage::ReindexPortfolio);
    inFrame->Add(lstCanoni, kGrowBoth, [this](QSize) { SetSummaryColumnWidths(lstCanoni); });
    connect(cmdAggiorna, &QPushButton::clicked, this, &StatusPage::RefreshSummary);
}

void StatusPage::CheckPortfolio() {
    const QString file = chooseBatchFile
                             ? chooseBatchFile()
                             : QFileDialog::getOpenFileName(
                                   this, QStringLiteral("Verifica portafoglio"), QString(),
                                   QStringLiteral("Contratti (*.csv *.txt *.jsonl *.json);;Tutti i "
                                                  "file (*)"));
    if (file.isEmpty()) return;
    std::optional<UsuryBook> book;
    try {
        book = archive_.UsuryBookOfArchive();
    } catch (const std::exception& failure) {
        ShowFailure(failure);
        return;
    }
    const std::filesystem::path folder =
        exportFolder ? exportFolder() : ThisProgramFiles().ExportFolder();
    DesktopShell* shell = nullptr;
    if (auto* frame = qobject_cast<MainWindow*>(window())) shell = &frame->Shell();
    delete portfolioCheck_;
    portfolioCheck_ = new PortfolioCheckDialog(boxes_, shell, folder, this);
    portfolioCheck_->show();
    emit portfolioCheckOpened(portfolioCheck_);
    portfolioCheck_->Run(file.toStdString(), &*book, Today());
}

void StatusPage::OpenYearlyStatement() {
    const std::filesystem::path folder =
        exportFolder ? exportFolder() : ThisProgramFiles().ExportFolder();
    DesktopShell* shell = nullptr;
    if (auto* frame = qobject_cast<MainWindow*>(window())) shell = &frame->Shell();
    auto* dialog = new YearlyStatementDialog(archive_, boxes_, shell, folder, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void StatusPage::ReindexPortfolio() {
    QProgressDialog progress(QStringLiteral("Aggiornamento dei contratti indicizzati…"),
                             QStringLiteral("Annulla"), 0, 1, this);
    progress.setObjectName(QStringLiteral("frmReindicizza"));
    progress.setWindowTitle(QStringLiteral("Aggiorna contratti indicizzati"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    const ReindexReport report =
        archive_.ReindexPortfolio({}, Today(), [&progress](int done, int total) {
            progress.setMaximum(total);
            progress.setValue(done);
            QApplication::processEvents();
            return !progress.wasCanceled();
        });
    progress.close();
    if (report.failure) {
        ShowMessage(boxes_, ErrorLine(*report.failure) + "\n", "");
    }
    std::string text = "Contratti indicizzati ricalcolati: " + std::to_string(report.contracts) +
                       ", con il piano cambiato: " + std::to_string(report.changed) +
                       ", righe del piano riscritte: " + std::to_string(report.rows) + ".";
    if (report.cancelled)
        text += "\nAggiornamento interrotto: i contratti già aggiornati restano aggiornati.";
    if (!report.skipped.empty()) {
        text += "\nNon aggiornati:";
        constexpr std::size_t kListed = 10;
        for (std::size_t k = 0; k < report.skipped.size() && k < kListed; ++k) {
            text += "\n" + report.skipped[k];
        }
        if (report.skipped.size() > kListed) {
            text += "\n… e altri " + std::to_string(report.skipped.size() - kListed) + ".";
        }
    }
    ShowPlainBox(boxes_, text, "", BoxIcon::Information);
    RefreshSummary();
}

void StatusPage::ShowFailure(const std::exception& failure) {
    const auto* database = dynamic_cast<const DatabaseError*>(&failure);
    ShowMessage(boxes_, (database ? ErrorLine(database->Error()) : failure.what()) + "\n", "");
}

void StatusPage::FillTableList() {
    lstSupTab->clear();
    lstSupTab->addItems(ToQt(archive_.LookupTableNames()));
}

void StatusPage::SelectTable(int row) {
    lstSupTab->setCurrentRow(row);
    if (lstSupTab->currentRow() == row) TableClicked();
}

void StatusPage::SelectTable(const QString& entry) {
    const auto found = lstSupTab->findItems(entry, Qt::MatchExactly);
    SelectTable(found.isEmpty() ? 1 : lstSupTab->row(found.first()));
}

void StatusPage::TableClicked() {
    FillValues();
    txtValue->clear();
    txtValueID->clear();
}

void StatusPage::FillValues() {
    lstSupVal->clear();
    const QListWidgetItem* table = lstSupTab->currentItem();
    if (table == nullptr) return;
    try {
        lstSupVal->addItems(
            ToQt(archive_.LookupValues(LookupTableOf(table->text().toStdString()))));
    } catch (const std::exception& failure) {
        ShowFailure(failure);
    }
}

void StatusPage::ValueClicked() {
    const QListWidgetItem* value = lstSupVal->currentItem();
    if (value == nullptr) return;
    txtValue->setText(value->text());
    txtValueID->setText(
        QString::fromStdString(editor_.ValueIdOf(Panel().tableEntry, value->text().toStdString())));
}

LookupPanel StatusPage::Panel() const {
    const QListWidgetItem* table = lstSupTab->currentItem();
    return {table ? table->text().toStdString() : std::string(), txtValue->text().toStdString(),
            txtValueID->text().toStdString()};
}

void StatusPage::RunCommand(LookupCommandEnd (LookupEditor::*command)(const LookupPanel&)) {
    const LookupCommandEnd end = (editor_.*command)(Panel());
    if (end.valueCleared) {
        FillValues();
        txtValue->clear();
        txtValueID->clear();
    }
    if (end.refresh) emit lookupsChanged(QString::fromStdString(end.tableAfterRefresh));
}

void StatusPage::UpdateValuesButton() {
    const QListWidgetItem* table = lstSupTab->currentItem();
    const std::string chosen = table != nullptr && !txtValueID->text().isEmpty()
                                   ? LookupTableOf(table->text().toStdString())
                                   : std::string();
    cmdValTxRif->setEnabled(chosen == kReferenceRateTable);
    cmdCatUsura->setEnabled(chosen == kTypeTable);
}

void StatusPage::OpenUsuryThresholds() {
    auto* dialog = new UsuryThresholdsDialog(archive_, boxes_, window());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &UsuryThresholdsDialog::thresholdsChanged, this, &StatusPage::usuryChanged);
    KeepSize(*dialog);
    dialog->open();
}

void StatusPage::OpenReferenceValues() {
    const QListWidgetItem* value = lstSupVal->currentItem();
    if (value == nullptr) return;
    auto* dialog =
        new ReferenceValuesDialog(archive_, boxes_, value->text().toStdString(), window());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &ReferenceValuesDialog::valuesChanged, this,
            &StatusPage::referenceValuesChanged);
    KeepSize(*dialog);
    dialog->open();
}

void StatusPage::KeepSize(QDialog& dialog) {
    if (settings_ == nullptr) return;
    const QString key = dialog.objectName() + QStringLiteral("/size");
    DialogSize(*settings_, key).Restore(dialog);
    connect(&dialog, &QDialog::finished, this,
            [this, &dialog, key] { DialogSize(*settings_, key).Save(dialog); });
}

void StatusPage::RefreshSummary() {
    txtTassoMedio->clear();
    txtDebitoResiduo->clear();
    lstCanoni->clear();
    try {
        ShowSummary(archive_.Summary());
    } catch (const std::exception& failure) {
        ShowFailure(failure);
    }
}

void StatusPage::ShowSummary(const PortfolioSummary& summary) {
    txtTassoMedio->setText(QString::fromStdString(FormatNumber(summary.weightedAverageRate, 2)));
    txtDebitoResiduo->setText(QString::fromStdString(FormatNumber(summary.totalResidualDebt, 1)));
    // The columns are made afresh, so a refresh never shows a row twice.
    lstCanoni->clear();
    lstCanoni->setColumnCount(3);
    lstCanoni->setHeaderLabels(
        {QStringLiteral("Descrizione"), QStringLiteral("Data"), QStringLiteral("Importo")});
    lstCanoni->headerItem()->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    int position = 0;
    for (const MonthInstalment& row : summary.instalmentsThisMonth) {
        auto* item =
            new QTreeWidgetItem(lstCanoni, {QString::fromStdString(row.DescBene),
                                            QString::fromStdString(FormatDate(row.Data, 2)),
                                            QString::fromStdString(FormatNumber(row.Importo, 1))});
        item->setData(0, kKeyRole, QStringLiteral("A%1").arg(++position));
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    }
    SetSummaryColumnWidths(lstCanoni);
}

}  // namespace quotaplan
