#include "ui/review_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QVBoxLayout>

#include "common/clock.h"
#include "common/date_text.h"
#include "common/desktop_shell.h"
#include "common/message_boxes.h"
#include "engine/review_figures.h"
#include "output/percent_text.h"
#include "output/plan_print.h"
#include "output/review_report_pdf.h"
#include "ui/accessible_names.h"
#include "ui/column_mapping_dialog.h"
#include "ui/editor_commands.h"
#include "ui/review_archive.h"

namespace quotaplan {
namespace {

constexpr const char* kPlanFiles = "Piani (*.csv *.txt *.xls *.xlsx);;Tutti i file (*)";
constexpr const char* kLegalRateFiles = "Tassi legali Dal;Al;Tasso (*.csv *.txt);;Tutti i file (*)";
const QColor kDifferenceGround(255, 205, 205);

QString ToQt(const std::string& text) { return QString::fromStdString(text); }

// The window's choice: the mapping dialog over the file's first rows.
std::optional<std::vector<BankColumn>> AskMapping(QWidget* parent, const SheetCells& sheet,
                                                  const std::vector<BankColumn>& proposed) {
    ColumnMappingDialog dialog(sheet, proposed, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Mapping();
}

constexpr Recomputation kMethods[] = {Recomputation::Accumulated, Recomputation::Discounted,
                                      Recomputation::Italian, Recomputation::InterestFree};

}  // namespace

ReviewDialog::ReviewDialog(ReviewSubject subject, ReviewArchive* archive, MessageBoxes& boxes,
                           DesktopShell& shell, QSettings& settings, QWidget* parent)
    : QDialog(parent),
      subject_(std::move(subject)),
      archive_(archive),
      boxes_(boxes),
      shell_(shell),
      settings_(settings) {
    setObjectName(QStringLiteral("frmPerizia"));
    setWindowTitle(QStringLiteral("Perizia - ") + ToQt(subject_.facts.description));
    chooseMapping_ = [this](const SheetCells& sheet, const std::vector<BankColumn>& proposed) {
        return AskMapping(this, sheet, proposed);
    };
    Build();
    if (archive_ && subject_.contractId != 0) {
        subject_.facts.bank = archive_->BankPlan(subject_.contractId);
    }
    ShowComparison();
    NameInputs(this);
}

void ReviewDialog::Build() {
    auto* layout = new QVBoxLayout(this);
    lblPerContratto = new QLabel(ToQt(subject_.facts.description), this);
    lblPerContratto->setObjectName(QStringLiteral("lblPerContratto"));
    auto* top = new QHBoxLayout;
    top->addWidget(lblPerContratto, 1);
    cmdImportaBanca = new QPushButton(QStringLiteral("Importa piano banca..."), this);
    cmdImportaBanca->setObjectName(QStringLiteral("cmdImportaBanca"));
    top->addWidget(cmdImportaBanca);
    layout->addLayout(top);

    grdConfronto = new QTableWidget(this);
    grdConfronto->setAccessibleName(QStringLiteral("Piano della banca e piano di Quotaplan"));
    grdConfronto->setObjectName(QStringLiteral("grdConfronto"));
    grdConfronto->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdConfronto->verticalHeader()->setVisible(false);
    layout->addWidget(grdConfronto, 1);
    lblTotali = new QLabel(this);
    lblTotali->setObjectName(QStringLiteral("lblTotali"));
    layout->addWidget(lblTotali);

    auto* recompute = new QHBoxLayout;
    cboRicalcolo = new QComboBox(this);
    cboRicalcolo->setAccessibleName(QStringLiteral("Ricalcolo"));
    cboRicalcolo->setObjectName(QStringLiteral("cboRicalcolo"));
    for (const Recomputation method : kMethods) {
        cboRicalcolo->addItem(ToQt(std::string(RecomputationCaption(method))));
    }
    recompute->addWidget(cboRicalcolo, 1);
    recompute->addWidget(new QLabel(QStringLiteral("Interessi legali al"), this));
    txtLegaliAl = new QLineEdit(this);
    txtLegaliAl->setAccessibleName(QStringLiteral("Interessi legali al"));
    txtLegaliAl->setObjectName(QStringLiteral("txtLegaliAl"));
    txtLegaliAl->setPlaceholderText(QStringLiteral("gg/mm/aaaa"));
    recompute->addWidget(txtLegaliAl);
    cmdRicalcola = new QPushButton(QStringLiteral("Ricalcola"), this);
    cmdRicalcola->setObjectName(QStringLiteral("cmdRicalcola"));
    recompute->addWidget(cmdRicalcola);
    cmdTassiLegali = new QPushButton(QStringLiteral("Tassi legali..."), this);
    cmdTassiLegali->setObjectName(QStringLiteral("cmdTassiLegali"));
    recompute->addWidget(cmdTassiLegali);
    layout->addLayout(recompute);
    lblRicalcolo = new QLabel(this);
    lblRicalcolo->setObjectName(QStringLiteral("lblRicalcolo"));
    lblRicalcolo->setWordWrap(true);
    layout->addWidget(lblRicalcolo);

    auto* commands = new QHBoxLayout;
    commands->addStretch(1);
    const auto button = [&](QPushButton*& target, const char* name, const char* caption) {
        target = new QPushButton(QString::fromUtf8(caption), this);
        target->setObjectName(QString::fromLatin1(name));
        commands->addWidget(target);
    };
    button(cmdPeriziaPdf, "cmdPeriziaPdf", "PDF");
    button(cmdPeriziaStampa, "cmdPeriziaStampa", "Stampa");
    button(cmdPeriziaWord, "cmdPeriziaWord", "Word");
    button(cmdPeriziaChiudi, "cmdPeriziaChiudi", "Chiudi");
    layout->addLayout(commands);

    connect(cmdImportaBanca, &QPushButton::clicked, this, &ReviewDialog::ChooseBankFile);
    connect(cmdRicalcola, &QPushButton::clicked, this, &ReviewDialog::RecomputeChosen);
    connect(cmdTassiLegali, &QPushButton::clicked, this, &ReviewDialog::ImportLegalRates);
    connect(cmdPeriziaPdf, &QPushButton::clicked, this, &ReviewDialog::WritePdf);
    connect(cmdPeriziaStampa, &QPushButton::clicked, this, &ReviewDialog::Print);
    connect(cmdPeriziaWord, &QPushButton::clicked, this, &ReviewDialog::WriteWord);
    connect(cmdPeriziaChiudi, &QPushButton::clicked, this, &QDialog::accept);
    cmdTassiLegali->setEnabled(archive_ != nullptr);
    resize(900, 600);
}

void ReviewDialog::ChooseBankFile() {
    const auto file = boxes_.AskOpenFile("Importa il piano della banca", kPlanFiles);
    if (file) ImportBankPlan(*file);
}

bool ReviewDialog::ImportBankPlan(const std::filesystem::path& file) {
    auto read = ReadSheetFile(file);
    if (const auto* refusal = std::get_if<SheetRefusal>(&read)) {
        ShowMessage(boxes_, refusal->message, "");
        return false;
    }
    const SheetCells& sheet = std::get<SheetCells>(read);
    const std::string layout = BankLayoutKey(sheet);
    const std::size_t columns = sheet.rows.empty() ? 0 : sheet.rows.front().cells.size();
    const auto proposed =
        RememberedMapping(settings_, layout, columns).value_or(GuessBankColumns(sheet));
    const auto mapping = chooseMapping_(sheet, proposed);
    if (!mapping) return false;
    auto rows = ReadBankPlanRows(sheet, *mapping);
    if (const auto* refusal = std::get_if<SheetRefusal>(&rows)) {
        ShowMessage(boxes_, refusal->message, "");
        return false;
    }
    RememberMapping(settings_, layout, *mapping);
    subject_.facts.bank = std::get<std::vector<ReviewRow>>(std::move(rows));
    if (archive_ && subject_.contractId != 0) {
        archive_->SaveBankPlan(subject_.contractId, subject_.facts.bank);
    }
    subject_.facts.recomputations.clear();
    lblRicalcolo->clear();
    ShowComparison();
    return true;
}

// The comparison's table of the report, shown as it is printed: the marked cells on a red
// ground in bold.
void ReviewDialog::ShowComparison() {
    ReviewFacts& facts = subject_.facts;
    facts.comparison.reset();
    grdConfronto->clear();
    grdConfronto->setRowCount(0);
    if (facts.bank.empty()) {
        grdConfronto->setColumnCount(0);
        lblTotali->setText(
            QStringLiteral("Nessun piano della banca: importarlo per il confronto."));
        return;
    }
    facts.comparison = ComparePlans(facts.bank, facts.ours);
    const ReportDocument document = ReviewDocument(facts, Today());
    for (const ReportBlock& block : document.blocks) {
        if (block.kind != ReportBlock::Kind::Table) continue;
        const ReportTable& table = block.table;
        grdConfronto->setColumnCount(static_cast<int>(table.header.size()));
        QStringList header;
        for (const auto& caption : table.header) header << ToQt(caption);
        grdConfronto->setHorizontalHeaderLabels(header);
        grdConfronto->setRowCount(static_cast<int>(table.rows.size()));
        for (std::size_t r = 0; r < table.rows.size(); ++r) {
            for (std::size_t c = 0; c < table.rows[r].size(); ++c) {
                auto* item = new QTableWidgetItem(ToQt(table.rows[r][c]));
                item->setTextAlignment(c < 2 ? Qt::AlignCenter : Qt::AlignRight | Qt::AlignVCenter);
                if (table.marked[r][c]) {
                    item->setBackground(kDifferenceGround);
                    QFont bold = item->font();
                    bold.setBold(true);
                    item->setFont(bold);
                }
                grdConfronto->setItem(static_cast<int>(r), static_cast<int>(c), item);
            }
        }
        break;
    }
    grdConfronto->resizeColumnsToContents();
    const PlanComparison& compared = *facts.comparison;
    lblTotali->setText(
        QStringLiteral("Pagato secondo la banca %1; secondo il ricalcolo %2; pagato in più %3; "
                       "prima rata diversa: %4")
            .arg(ToQt(AmountText(compared.bankPaid)), ToQt(AmountText(compared.ourPaid)),
                 ToQt(AmountText(compared.PaidMore())),
                 compared.firstDifference ? QString::number(*compared.firstDifference)
                                          : QStringLiteral("nessuna")));
}

void ReviewDialog::RecomputeChosen() {
    ReviewFacts& facts = subject_.facts;
    const Recomputation method = kMethods[std::max(0, cboRicalcolo->currentIndex())];
    std::optional<CalendarDate> legalTo;
    const std::string typed = txtLegaliAl->text().trimmed().toStdString();
    if (!typed.empty()) {
        legalTo = ReadDateText(typed);
        if (!legalTo) {
            ShowMessage(boxes_, "Inserire una data valida!", "");
            txtLegaliAl->setFocus();
            return;
        }
    }
    const std::vector<ReviewRow>& reference = facts.bank.empty() ? facts.ours : facts.bank;
    const auto rates = legalTo && archive_ ? archive_->LegalRates() : std::vector<LegalRate>{};
    const ReviewRecomputation recomputed =
        RecomputeAgainst(subject_.plan, facts.periodsPerYear, reference, method, legalTo, rates);
    facts.legalInterestTo = legalTo;
    // One recomputation of each method: asked again, it takes the place of the one before.
    std::erase_if(facts.recomputations, [&](const ReviewRecomputation& earlier) {
        return earlier.plan.method == method;
    });
    facts.recomputations.push_back(recomputed);

    QString text = QStringLiteral(
                       "%1: %2 %3; interessi ricalcolati %4; interessi %5 %6; "
                       "differenza da restituire %7")
                       .arg(ToQt(std::string(RecomputationCaption(method))),
                            method == Recomputation::Italian ? QStringLiteral("prima rata")
                                                             : QStringLiteral("rata"),
                            ToQt(AmountText(recomputed.plan.instalment)),
                            ToQt(AmountText(recomputed.plan.totalInterest)),
                            facts.bank.empty() ? QStringLiteral("del contratto")
                                               : QStringLiteral("della banca"),
                            ToQt(AmountText(recomputed.referenceInterest)),
                            ToQt(AmountText(recomputed.difference)));
    if (recomputed.legalRateGap) {
        text += QStringLiteral("; interessi legali non calcolabili: manca il tasso legale del ") +
                ToQt(FormatDate(*recomputed.legalRateGap, 2));
    } else if (recomputed.legalInterest) {
        text +=
            QStringLiteral("; interessi legali al %1: %2")
                .arg(ToQt(FormatDate(*legalTo, 2)), ToQt(AmountText(*recomputed.legalInterest)));
    }
    lblRicalcolo->setText(text);
}

void ReviewDialog::ImportLegalRates() {
    if (!archive_) return;
    const auto file = boxes_.AskOpenFile("Importa i tassi legali", kLegalRateFiles);
    if (!file) return;
    GuardedCommand(boxes_, [&] { return ShowImport(boxes_, archive_->ImportLegalRates(*file)); });
}

ReportDocument ReviewDialog::Report(CalendarDate today) const {
    return ReviewDocument(subject_.facts, today);
}

void ReviewDialog::WritePdf() {
    const ExportResult written = ExportReviewReportPdf(
        exportFolder_, "Perizia " + subject_.facts.description, Report(Today()));
    if (!written.Ok()) {
        ShowMessage(boxes_, written.message, "");
        return;
    }
    (void)shell_.OpenFile(written.file);
}

void ReviewDialog::WriteWord() {
    const ExportResult written = ExportReviewReportDoc(
        exportFolder_, "Perizia " + subject_.facts.description, Report(Today()));
    if (!written.Ok()) {
        ShowMessage(boxes_, written.message, "");
        return;
    }
    (void)shell_.OpenFile(written.file);
}

void ReviewDialog::Print() {
    auto printer = DefaultPlanPrinter();
    const PrintResult printed =
        printer ? PrintReviewReport(*printer, Report(Today()))
                : PrintResult{PrintCode::PrinterError, "Errore della stampante"};
    if (!printed.Ok()) ShowError(boxes_, 0, printed.message, "");
}

}  // namespace quotaplan
