#include "ui/plan_page.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <exception>
#include <string>

#include "common/clock.h"
#include "common/desktop_shell.h"
#include "common/message_boxes.h"
#include "common/program_folder.h"
#include "common/program_info.h"
#include "common/run_time_error.h"
#include "output/excel_export.h"
#include "output/plan_figures.h"
#include "output/plan_pdf.h"
#include "output/plan_print.h"
#include "output/text_export.h"
#include "output/word_export.h"
#include "ui/contract_events_panel.h"
#include "ui/contract_page.h"
#include "ui/form_state.h"
#include "ui/growing_layout.h"
#include "ui/main_window.h"
#include "ui/plan_grid.h"
#include "ui/preview_print.h"
#include "ui/twips.h"

namespace quotaplan {
namespace {

QPushButton* AddButton(QWidget* page, const char* name, const QString& caption,
                       QStyle::StandardPixmap icon, int x, int y) {
    auto* button = new QPushButton(page->style()->standardIcon(icon), caption, page);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(x, y, 104, 26);
    return button;
}

std::string Text(const QLineEdit* field) { return field->text().toStdString(); }
std::string Text(const QComboBox* list) { return list->currentText().toStdString(); }

// The form's texts as the heading block takes them; a list with nothing selected gives "".
ContractFormTexts ReadExportForm(const ContractControls& c) {
    ContractFormTexts form;
    form.tipo = Text(c.cboTipoLea);
    form.descrizione = Text(c.txtDescBene);
    form.valBene = Text(c.txtValBene);
    form.maxi = Text(c.txtMaxi);
    form.spread = Text(c.txtSpread);
    form.tasso = Text(c.txtTasso);
    form.txRif = Text(c.cboTxRif);
    form.rate = Text(c.txtRate);
    form.periodicita = Text(c.cboPeriodicita);
    form.riscatto = Text(c.txtRiscatto);
    form.dataContratto = Text(c.txtContract);
    form.capitalizzazioneSemplice = c.optCapSem->isChecked();
    form.pagamentoAnticipato = c.optPagAnt->isChecked();
    return form;
}

// The calculation's figures beside the form, for the heading of the printed plan and the PDF;
// the usury verdict only while it is shown.
PlanFigures ReadPlanFigures(const ContractControls& c) {
    PlanFigures figures;
    figures.instalment = Text(c.txtResult);
    figures.contractFees = Text(c.txtSpContratto);
    figures.instalmentFee = Text(c.txtSpRata);
    figures.taeg = Text(c.txtTAEG);
    if (!c.lblUsura->isHidden()) figures.usuryVerdict = c.lblUsura->text().toStdString();
    figures.toTheCent = c.chkCentesimo->isChecked();
    return figures;
}

// The grid as it is shown, header row first, for printing.
GridPrintContent ReadGridForPrint(const PlanGrid& grid, std::string description, std::string taeg) {
    GridPrintContent content;
    content.gridRowCount = grid.Rows();
    content.rows.reserve(static_cast<std::size_t>(grid.Rows()));
    for (int row = 0; row < grid.Rows(); ++row) {
        std::vector<std::string> cells;
        for (int column = 0; column < grid.columnCount(); ++column) {
            cells.push_back(grid.TextMatrix(row, column).toStdString());
        }
        content.rows.push_back(std::move(cells));
    }
    content.description = std::move(description);
    content.taeg = std::move(taeg);
    content.today = Today();
    return content;
}

// An error the output code raised instead of reporting, in words: never an end to the run.
std::string UnexpectedError(const std::exception& error) {
    if (const auto* numbered = dynamic_cast<const RunTimeError*>(&error)) {
        return "Si è verificato l'errore N° " + std::to_string(numbered->Number()) + " " +
               numbered->Description();
    }
    return std::string("Si è verificato un errore imprevisto: ") + error.what();
}

// PrintGrid, an exception it raises taken as a printer error in words.
PrintResult GuardedPrint(QPrinter& printer, const GridPrintContent& content,
                         const PrintChoice& choice) {
    try {
        return PrintGrid(printer, content, choice);
    } catch (const std::exception& error) {
        return PrintResult{PrintCode::PrinterError, UnexpectedError(error)};
    }
}

// The hourglass while a command works; the normal pointer again however it ends.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace

PlanPage::PlanPage(QWidget* parent) : QWidget(parent), files_(ThisProgramFiles()) {
    fgrPDA = new PlanGrid(this);
    fgrPDA->setObjectName(QStringLiteral("fgrPDA"));
    fgrPDA->setAccessibleName(QStringLiteral("Piano finanziario"));
    const QRect gridPlace = PageRect(120, 420, Twips(PlanGrid::kDesignedWidthTwips), Twips(5115));
    // A little shorter than the classic grid, to leave room for a second row of buttons.
    // Shorter still by the events panel under it.
    constexpr int kEventsHeight = 78;
    fgrPDA->setGeometry(gridPlace.x(), 6, gridPlace.width(),
                        gridPlace.height() - 30 - kEventsHeight - 4);
    fraEventi = new ContractEventsPanel(this);
    fraEventi->setGeometry(gridPlace.x(), fgrPDA->geometry().bottom() + 5, gridPlace.width(),
                           kEventsHeight);

    const int below = fraEventi->geometry().bottom() + 6;
    auto* hint = new QLabel(
        QStringLiteral("Per esportare il piano finanziario nei vari formati premere il pulsante "
                       "relativo"),
        this);
    hint->setGeometry(gridPlace.x(), below, gridPlace.width(), 16);
    exportHint_ = hint;
    lblPianoNonAggiornato = new QLabel(QString::fromUtf8(kStalePlanNote), this);
    lblPianoNonAggiornato->setObjectName(QStringLiteral("lblPianoNonAggiornato"));
    lblPianoNonAggiornato->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));
    lblPianoNonAggiornato->setGeometry(hint->geometry());
    lblPianoNonAggiornato->hide();

    const int buttons = below + 20;
    cmdText = AddButton(this, "cmdText", QStringLiteral("File di Testo"), QStyle::SP_FileIcon,
                        gridPlace.x(), buttons);
    cmdExcel = AddButton(this, "cmdExcel", QStringLiteral("File di Excel"),
                         QStyle::SP_FileDialogDetailedView, gridPlace.x() + 112, buttons);
    cmdWord = AddButton(this, "cmdWord", QStringLiteral("File di Word"),
                        QStyle::SP_FileDialogContentsView, gridPlace.x() + 224, buttons);
    cmdPDF = AddButton(this, "cmdPDF", QStringLiteral("File PDF"), QStyle::SP_FileIcon,
                       gridPlace.x() + 336, buttons);
    const int printButtons = buttons + 32;
    cmdAnteprima =
        AddButton(this, "cmdAnteprima", QStringLiteral("Anteprima"), QStyle::SP_FileDialogInfoView,
                  gridPlace.right() - 96 - 112, printButtons);
    cmdPrintPDA = AddButton(this, "cmdPrintPDA", QStringLiteral("Stampa"),
                            QStyle::SP_DialogSaveButton, gridPlace.right() - 96, printButtons);
    cmdAnteprima->setFixedWidth(104);
    cmdPrintPDA->setFixedWidth(96);

    // Larger, the grid takes the room; the hint and the buttons stay below it.
    auto* growing = new GrowingLayout(this);
    growing->Add(fgrPDA, kGrowBoth);
    growing->Add(fraEventi, kFollowBottomWiden);
    growing->Add(hint, kFollowBottomWiden);
    growing->Add(lblPianoNonAggiornato, kFollowBottomWiden);
    for (QPushButton* button : {cmdText, cmdExcel, cmdWord, cmdPDF}) {
        growing->Add(button, kFollowBottom);
    }
    growing->Add(cmdAnteprima, kFollowBottomRight);
    growing->Add(cmdPrintPDA, kFollowBottomRight);
    // Enabled from the start: before a calculation the exports do nothing and printing
    // says there are no rows.
    connect(cmdText, &QPushButton::clicked, this, &PlanPage::ExportTextFile);
    connect(cmdExcel, &QPushButton::clicked, this, &PlanPage::ExportExcelFile);
    connect(cmdWord, &QPushButton::clicked, this, &PlanPage::ExportWordFile);
    connect(cmdPDF, &QPushButton::clicked, this, &PlanPage::ExportPdfFile);
    connect(cmdAnteprima, &QPushButton::clicked, this, &PlanPage::PreviewPlan);
    connect(cmdPrintPDA, &QPushButton::clicked, this, &PlanPage::PrintPlan);
}

void PlanPage::ConnectEvents(
    ContractEventStore* store,
    std::function<std::vector<std::pair<std::string, Percent>>()> referenceRates) {
    fraEventi->Connect(store, [this, referenceRates] {
        EventDialogServices services;
        if (Connected()) {
            services.boxes = boxes_;
            services.shell = shell_;
            if (contract_ != nullptr) {
                services.contractTaeg = contract_->Controls().txtTAEG->text().toStdString();
            }
        }
        services.exportFolder = files_.ExportFolder();
        services.printer = printer_;
        if (referenceRates) services.referenceRates = referenceRates();
        return services;
    });
}

void PlanPage::ConnectCommands(const ContractPage& contract, MessageBoxes& boxes,
                               DesktopShell& shell) {
    contract_ = &contract;
    boxes_ = &boxes;
    shell_ = &shell;
}

bool PlanPage::Connected() {
    if (auto* frame = qobject_cast<MainWindow*>(window())) {
        if (contract_ == nullptr) contract_ = frame->Contract();
        if (boxes_ == nullptr) boxes_ = &frame->Boxes();
        if (shell_ == nullptr) shell_ = &frame->Shell();
    }
    return contract_ != nullptr && boxes_ != nullptr && shell_ != nullptr;
}

const ContractPage* PlanPage::ContractShown() const {
    if (contract_ != nullptr) return contract_;
    if (auto* frame = qobject_cast<const MainWindow*>(window())) return frame->Contract();
    return nullptr;
}

ContractHeader PlanPage::GetContractHeader() const {
    const ContractPage* contract = ContractShown();
    if (contract == nullptr) return {};
    return BuildContractHeader(ReadExportForm(contract->Controls()));
}

void PlanPage::ShowPlanState() {
    const ContractPage* contract = ContractShown();
    const bool stale = contract != nullptr && contract->CurrentPlanState() == PlanState::Stale;
    lblPianoNonAggiornato->setVisible(stale);
    exportHint_->setVisible(!stale);
}

void PlanPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    ShowPlanState();
}

bool PlanPage::RefusedAsStale() {
    const auto refusal = DocumentRefusal(contract_->CurrentPlanState());
    if (!refusal) return false;
    ShowPlanState();
    ShowPlainBox(*boxes_, *refusal, DefaultBoxTitle(), BoxIcon::Exclamation);
    return true;
}

void PlanPage::ExportTextFile() { RunExport(ExportKind::Text); }
void PlanPage::ExportExcelFile() { RunExport(ExportKind::Excel); }
void PlanPage::ExportWordFile() { RunExport(ExportKind::Word); }
void PlanPage::ExportPdfFile() { RunExport(ExportKind::Pdf); }

ExportResult PlanPage::WriteExport(ExportKind kind) const {
    const ContractHeader header = GetContractHeader();
    // The export cleans its own copy of the description for the file name.
    const std::string description = Text(contract_->Controls().txtDescBene);
    const FinancialPlan& plan = contract_->Plan();
    const std::filesystem::path folder = files_.ExportFolder();
    try {
        switch (kind) {
            case ExportKind::Text:
                return ExportText(folder, description, header, plan);
            case ExportKind::Excel:
                return ExportExcel(folder, description, header, plan);
            case ExportKind::Word:
                return ExportWord(files_.WordTemplate(), folder, description, header, plan);
            case ExportKind::Pdf:
                return ExportPdf(folder, description, header, plan,
                                 ReadPlanFigures(contract_->Controls()));
        }
    } catch (const std::exception& error) {
        return ExportResult{ExportCode::WriteError, UnexpectedError(error), {}};
    }
    return ExportResult{ExportCode::WriteError, "Formato di esportazione sconosciuto", {}};
}

void PlanPage::RunExport(ExportKind kind) {
    if (!Connected() || RefusedAsStale()) return;
    std::string problem;
    BoxIcon icon = BoxIcon::Critical;
    {
        BusyCursor busy;
        const ExportResult result = WriteExport(kind);
        if (result.code == ExportCode::NoPlan) return;
        if (!result.Ok()) {
            problem = result.message;
        } else {
            const bool opened = kind == ExportKind::Text ? shell_->OpenInTextEditor(result.file)
                                                         : shell_->OpenFile(result.file);
            // The file is good; say where it is rather than leave the user wondering.
            if (!opened) {
                problem = "Il file " + result.file.string() +
                          " è stato salvato, ma non è stato possibile aprirlo.";
                icon = BoxIcon::Exclamation;
            }
        }
    }
    // The box comes after the pointer is back to normal.
    if (!problem.empty()) ShowPlainBox(*boxes_, problem, DefaultBoxTitle(), icon);
}

void PlanPage::PrintPlan() {
    if (!Connected() || RefusedAsStale()) return;
    if (fgrPDA->Rows() < 3) {
        ReportPrint(PrintResult{PrintCode::NothingToPrint, "Non ci sono righe da stampare"});
        return;
    }
    PrintResult result;
    {
        BusyCursor busy;
        const GridPrintContent content = PrintContent();
        try {
            result = printer_ != nullptr ? PrintGrid(*printer_, content)
                                         : PrintGridOnDefaultPrinter(content);
        } catch (const std::exception& error) {
            result = PrintResult{PrintCode::PrinterError, UnexpectedError(error)};
        }
    }
    ReportPrint(result);
}

void PlanPage::PreviewPlan() {
    if (!Connected() || RefusedAsStale()) return;
    if (fgrPDA->Rows() < 3) {
        ReportPrint(PrintResult{PrintCode::NothingToPrint, "Non ci sono righe da stampare"});
        return;
    }
    // The grid as it is now: the preview and the pages printed from it stay the same even
    // if a calculation changes the grid meanwhile.
    const GridPrintContent content = PrintContent();
    QPrinter* printer = printer_;
    std::unique_ptr<QPrinter> ownPrinter;
    if (printer == nullptr) {
        ownPrinter = DefaultPlanPrinter();
        // Without a printer the preview still shows the pages, on A4, and its print command
        // can write them to a PDF file.
        if (ownPrinter == nullptr) {
            ownPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
            ownPrinter->setPageSize(QPageSize(QPageSize::A4));
        }
        printer = ownPrinter.get();
    }
    auto* preview = new QPrintPreviewDialog(printer, this);
    preview->setObjectName(QStringLiteral("dlgAnteprima"));
    preview->setWindowTitle(QStringLiteral("Anteprima di stampa"));
    preview->setAttribute(Qt::WA_DeleteOnClose);
    if (ownPrinter != nullptr) {
        // The printer goes with the dialog, which uses it until its very end.
        connect(preview, &QObject::destroyed, [owned = ownPrinter.release()] { delete owned; });
    }
    connect(preview, &QPrintPreviewDialog::paintRequested, this,
            [this, content](QPrinter* target) { ReportPrint(GuardedPrint(*target, content, {})); });
    // Printed from the preview, the pages go where the print dialog says, as many as it says.
    AskBeforePrinting(*preview, *printer, [this, content](QPrinter& target) {
        const PrintResult result = GuardedPrint(target, content, ChoiceOf(target));
        ReportPrint(result);
        return result.Ok();
    });
    preview->open();
}

GridPrintContent PlanPage::PrintContent() const {
    const ContractControls& form = contract_->Controls();
    GridPrintContent content =
        ReadGridForPrint(*fgrPDA, Text(form.txtDescBene), Text(form.txtTAEG));
    content.headingPairs =
        PrintedHeading(GetContractHeader(), ReadPlanFigures(form), contract_->Plan());
    return content;
}

void PlanPage::ReportPrint(const PrintResult& result) {
    if (result.Ok()) return;
    const BoxIcon icon =
        result.code == PrintCode::NothingToPrint ? BoxIcon::Information : BoxIcon::Critical;
    ShowPlainBox(*boxes_, result.message, DefaultBoxTitle(), icon);
}

}  // namespace quotaplan
