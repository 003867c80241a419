#include "ui/portfolio_check_dialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QThread>
#include <QVBoxLayout>
#include <algorithm>
#include <fstream>

#include "common/desktop_shell.h"
#include "common/message_boxes.h"
#include "common/number_text.h"
#include "engine/taeg.h"
#include "ui/accessible_names.h"

namespace quotaplan {
namespace {

constexpr int kAmountFormat = 1;
constexpr int kRateFormat = 2;
// The usury threshold with its four decimals, as the law computes it: 17,2250 is not 17,23.
constexpr const char* kThresholdPattern = "0.0000";
// The window is kept alive this often while the lines are priced.
constexpr int kRepaintMilliseconds = 40;

// The lines of the file, for the progress bar: a quick count of its line ends.
int LinesOf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    int lines = 0;
    char buffer[1 << 16];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        for (std::streamsize k = 0; k < in.gcount(); ++k) lines += buffer[k] == '\n' ? 1 : 0;
    }
    return lines;
}

QTableWidgetItem* Cell(const std::string& text, bool number) {
    auto* item = new QTableWidgetItem(QString::fromStdString(text));
    if (number) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

}  // namespace

PortfolioRow PortfolioRowOf(const BatchAnswer& answer) {
    PortfolioRow row;
    row.line = answer.line;
    row.description = answer.description;
    row.message = answer.error;
    if (!answer.outcome) return row;
    const CalcOutcome& outcome = *answer.outcome;
    if (outcome.target == SolveTarget::Instalment) row.instalment = answer.instalment;
    if (outcome.taeg.rate) row.taeg = TaegPercent(*outcome.taeg.rate);
    if (outcome.usury && outcome.usury->judgement) {
        row.threshold = outcome.usury->judgement->threshold;
        row.over = outcome.usury->judgement->over;
    }
    return row;
}

PortfolioCheckDialog::PortfolioCheckDialog(MessageBoxes& boxes, DesktopShell* shell,
                                           std::filesystem::path exportFolder, QWidget* parent)
    : QDialog(parent), boxes_(boxes), shell_(shell), exportFolder_(std::move(exportFolder)) {
    setObjectName(QStringLiteral("frmVerifica"));
    setWindowTitle(QStringLiteral("Verifica portafoglio"));
    resize(760, 480);
    auto* layout = new QVBoxLayout(this);
    auto* progressRow = new QHBoxLayout;
    prgVerifica = new QProgressBar(this);
    prgVerifica->setObjectName(QStringLiteral("prgVerifica"));
    cmdAnnulla = new QPushButton(QStringLiteral("Annulla"), this);
    cmdAnnulla->setObjectName(QStringLiteral("cmdAnnulla"));
    progressRow->addWidget(prgVerifica, 1);
    progressRow->addWidget(cmdAnnulla);
    layout->addLayout(progressRow);

    grdRisultati = new QTableWidget(0, static_cast<int>(std::size(kPortfolioColumns)), this);
    grdRisultati->setAccessibleName(QStringLiteral("Risultati della verifica"));
    grdRisultati->setObjectName(QStringLiteral("grdRisultati"));
    QStringList headings;
    for (const char* heading : kPortfolioColumns) headings.append(QString::fromUtf8(heading));
    grdRisultati->setHorizontalHeaderLabels(headings);
    grdRisultati->verticalHeader()->hide();
    grdRisultati->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdRisultati->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdRisultati->horizontalHeader()->setStretchLastSection(true);
    for (const auto& [column, width] : {std::pair{0, 50}, {1, 220}, {2, 95}, {3, 65}, {4, 70}}) {
        grdRisultati->setColumnWidth(column, width);
    }
    layout->addWidget(grdRisultati, 1);

    auto* bottom = new QHBoxLayout;
    lblEsito = new QLabel(this);
    lblEsito->setObjectName(QStringLiteral("lblEsito"));
    cmdEsporta = new QPushButton(QStringLiteral("Esporta in Excel…"), this);
    cmdEsporta->setObjectName(QStringLiteral("cmdEsporta"));
    cmdEsporta->setEnabled(false);
    cmdChiudi = new QPushButton(QStringLiteral("Chiudi"), this);
    cmdChiudi->setObjectName(QStringLiteral("cmdChiudi"));
    bottom->addWidget(lblEsito, 1);
    bottom->addWidget(cmdEsporta);
    bottom->addWidget(cmdChiudi);
    layout->addLayout(bottom);

    connect(cmdAnnulla, &QPushButton::clicked, this, [this] { cancelled_ = true; });
    connect(cmdEsporta, &QPushButton::clicked, this, &PortfolioCheckDialog::ExportRows);
    connect(cmdChiudi, &QPushButton::clicked, this, &QDialog::accept);
    NameInputs(this);
}

void PortfolioCheckDialog::Run(const std::filesystem::path& file, const UsuryBook* usury,
                               CalendarDate today) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        ShowMessage(boxes_, "Impossibile leggere il file \"" + file.string() + "\".", "");
        return;
    }
    BatchReader reader(in);
    if (auto refusal = reader.Start()) {
        ShowMessage(boxes_, *refusal, "");
        return;
    }
    prgVerifica->setRange(0, std::max(1, LinesOf(file)));
    cancelled_ = false;
    cmdAnnulla->setEnabled(true);
    cmdEsporta->setEnabled(false);
    BatchSettings settings;
    settings.jobs = std::max(1, QThread::idealThreadCount());
    settings.today = today;
    settings.usury = usury;
    QElapsedTimer sinceRepaint;
    sinceRepaint.start();
    const BatchCounts counts = RunBatch(reader, settings, [&](const BatchAnswer& answer) {
        AddRow(PortfolioRowOf(answer));
        prgVerifica->setValue(answer.line);
        emit answered(static_cast<int>(rows_.size()));
        if (sinceRepaint.elapsed() >= kRepaintMilliseconds) {
            QApplication::processEvents();
            sinceRepaint.restart();
        }
        return !cancelled_;
    });
    QString outcome = QStringLiteral("%1 contratti: %2 calcolati, %3 con errori")
                          .arg(counts.good + counts.bad)
                          .arg(counts.good)
                          .arg(counts.bad);
    const int over = static_cast<int>(std::count_if(
        rows_.begin(), rows_.end(), [](const PortfolioRow& row) { return row.over; }));
    if (over > 0) outcome += QStringLiteral(", %1 oltre la soglia d'usura").arg(over);
    if (cancelled_) {
        outcome += QStringLiteral(" (verifica interrotta)");
    } else {
        prgVerifica->setValue(prgVerifica->maximum());
    }
    lblEsito->setText(outcome + QStringLiteral("."));
    cmdAnnulla->setEnabled(false);
    cmdEsporta->setEnabled(!rows_.empty());
}

void PortfolioCheckDialog::AddRow(const PortfolioRow& row) {
    rows_.push_back(row);
    const int at = grdRisultati->rowCount();
    grdRisultati->insertRow(at);
    grdRisultati->setItem(at, 0, Cell(std::to_string(row.line), true));
    grdRisultati->setItem(at, 1, Cell(row.description, false));
    grdRisultati->setItem(
        at, 2,
        Cell(row.instalment ? FormatNumber(row.instalment->Units(), kAmountFormat) : "", true));
    grdRisultati->setItem(at, 3,
                          Cell(row.taeg ? FormatNumber(row.taeg->Value(), kRateFormat) : "", true));
    grdRisultati->setItem(
        at, 4,
        Cell(row.threshold ? FormatValue(row.threshold->Value(), kThresholdPattern) : "", true));
    grdRisultati->setItem(at, 5, Cell(PortfolioVerdict(row), false));
    if (row.over || !row.message.empty()) {
        // Over the threshold: the whole row in red; a failed line: its message in red.
        const QColor red(200, 0, 0);
        for (int column = row.over ? 0 : 5; column < grdRisultati->columnCount(); ++column) {
            grdRisultati->item(at, column)->setForeground(red);
        }
    }
}

void PortfolioCheckDialog::ExportRows() {
    const ExportResult result = ExportPortfolio(exportFolder_, rows_);
    if (!result.Ok()) {
        ShowMessage(boxes_, result.message, "");
        return;
    }
    if (shell_ != nullptr) (void)shell_->OpenFile(result.file);
}

}  // namespace quotaplan
