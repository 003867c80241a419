#include "ui/yearly_statement_dialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <exception>

#include "common/clock.h"
#include "common/desktop_shell.h"
#include "common/message_boxes.h"
#include "data/db_error.h"
#include "output/review_report_pdf.h"
#include "output/yearly_export.h"
#include "ui/accessible_names.h"
#include "ui/event_dialog_parts.h"
#include "ui/window_archive.h"

namespace quotaplan {

YearlyStatementDialog::YearlyStatementDialog(WindowArchive& archive, MessageBoxes& boxes,
                                             DesktopShell* shell,
                                             std::filesystem::path exportFolder, QWidget* parent)
    : QDialog(parent),
      archive_(archive),
      boxes_(boxes),
      shell_(shell),
      exportFolder_(std::move(exportFolder)) {
    Build();
    try {
        for (const std::string& type : archive_.LookupTexts("supTipologia")) {
            if (!type.empty()) cboAmbito->addItem(QString::fromStdString(type));
        }
    } catch (const std::exception&) {
        // The whole archive can still be summed; the failure shows as the years are read.
    }
    connect(cboAmbito, &QComboBox::currentIndexChanged, this, &YearlyStatementDialog::Refresh);
    Refresh();
}

YearlyStatementDialog::YearlyStatementDialog(WindowArchive& archive, MessageBoxes& boxes,
                                             DesktopShell* shell,
                                             std::filesystem::path exportFolder,
                                             std::int32_t contractId,
                                             const std::string& description, QWidget* parent)
    : QDialog(parent),
      archive_(archive),
      boxes_(boxes),
      shell_(shell),
      exportFolder_(std::move(exportFolder)),
      contractId_(contractId) {
    Build();
    cboAmbito->clear();
    cboAmbito->addItem(QString::fromStdString(description));
    cboAmbito->setEnabled(false);
    Refresh();
}

void YearlyStatementDialog::Build() {
    setObjectName(QStringLiteral("dlgProspettoAnnuale"));
    setWindowTitle(QStringLiteral("Prospetto annuale"));
    setMinimumSize(560, 360);
    cboAmbito = NamedList("cboAmbito", {QStringLiteral("Tutto l'archivio")}, this);
    lsvProspetto = new QTreeWidget(this);
    lsvProspetto->setObjectName(QStringLiteral("lsvProspetto"));
    lsvProspetto->setAccessibleName(QStringLiteral("Prospetto annuale"));
    QStringList headings;
    for (const char* heading : kYearlyColumns) headings << QString::fromUtf8(heading);
    lsvProspetto->setHeaderLabels(headings);
    lsvProspetto->setRootIsDecorated(false);
    lsvProspetto->setSelectionMode(QAbstractItemView::NoSelection);
    lsvProspetto->header()->setSectionResizeMode(QHeaderView::Stretch);
    for (int column = 1; column < lsvProspetto->columnCount(); ++column) {
        lsvProspetto->headerItem()->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    }
    lblEsito = RefusalLabel(this);
    cmdExcel = NamedButton("cmdExcel", QStringLiteral("Esporta in Excel"), this);
    cmdPDF = NamedButton("cmdPDF", QStringLiteral("File PDF"), this);
    auto* cmdChiudi = NamedButton("cmdChiudi", QStringLiteral("Chiudi"), this);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Contratti"), cboAmbito);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdExcel);
    buttons->addWidget(cmdPDF);
    buttons->addStretch(1);
    buttons->addWidget(cmdChiudi);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(lsvProspetto, 1);
    layout->addWidget(lblEsito);
    layout->addLayout(buttons);

    connect(cmdExcel, &QPushButton::clicked, this, &YearlyStatementDialog::ExportExcel);
    connect(cmdPDF, &QPushButton::clicked, this, &YearlyStatementDialog::ExportPdf);
    connect(cmdChiudi, &QPushButton::clicked, this, &QDialog::reject);
    NameInputs(this);
}

std::string YearlyStatementDialog::Scope() const {
    return cboAmbito->currentIndex() <= 0 && !contractId_ ? "Tutto l'archivio"
                                                          : cboAmbito->currentText().toStdString();
}

void YearlyStatementDialog::Refresh() {
    years_.clear();
    lsvProspetto->clear();
    std::string failure;
    try {
        YearlyScope scope;
        scope.contractId = contractId_;
        if (!contractId_ && cboAmbito->currentIndex() > 0) {
            const auto type =
                archive_.LookupValueId("supTipologia", cboAmbito->currentText().toStdString());
            // A type gone meanwhile has no contracts to sum.
            scope.typeId = type.value_or(-1);
        }
        years_ = archive_.YearlyStatement(scope);
        for (const auto& line : YearlyLines(years_)) {
            auto* item = new QTreeWidgetItem(lsvProspetto);
            for (int column = 0; column < 5; ++column) {
                item->setText(column,
                              QString::fromStdString(line[static_cast<std::size_t>(column)]));
                if (column > 0) item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
            }
        }
    } catch (const DatabaseError& error) {
        years_.clear();
        failure = ErrorLine(error.Error());
    } catch (const std::exception& error) {
        years_.clear();
        failure = error.what();
    }
    if (failure.empty() && years_.empty()) failure = "Nessun pagamento nel periodo.";
    lblEsito->setText(QString::fromStdString(failure));
    cmdExcel->setEnabled(!years_.empty());
    cmdPDF->setEnabled(!years_.empty());
}

void YearlyStatementDialog::ExportExcel() {
    if (years_.empty()) return;
    Opened(ExportYearlyXls(exportFolder_, Scope(), years_));
}

void YearlyStatementDialog::ExportPdf() {
    if (years_.empty()) return;
    Opened(ExportReviewReportPdf(exportFolder_, YearlyTitle(Scope()),
                                 YearlyReport(Scope(), years_, Today())));
}

void YearlyStatementDialog::Opened(const ExportResult& written) {
    if (!written.Ok()) {
        ShowMessage(boxes_, written.message, "");
        return;
    }
    if (shell_ != nullptr) (void)shell_->OpenFile(written.file);
}

}  // namespace quotaplan
