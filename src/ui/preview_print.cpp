#include "ui/preview_print.h"

#include <QAction>
#include <QCoreApplication>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QToolBar>
#include <algorithm>

namespace quotaplan {
namespace {

// The preview's own print command, found by its caption as Qt gives it (translated or not).
QAction* PrintCommand(QPrintPreviewDialog& preview) {
    const QString caption = QCoreApplication::translate("QPrintPreviewDialog", "Print");
    for (QToolBar* toolbar : preview.findChildren<QToolBar*>()) {
        for (QAction* action : toolbar->actions()) {
            if (action->text() == caption) return action;
        }
    }
    return nullptr;
}

}  // namespace

void AskBeforePrinting(QPrintPreviewDialog& preview, QPrinter& printer,
                       std::function<bool(QPrinter&)> print) {
    QAction* command = PrintCommand(preview);
    if (command == nullptr) return;
    // Qt's own command prints every page at once after a modal dialog of its own.
    QObject::disconnect(command, nullptr, &preview, nullptr);
    QObject::connect(command, &QAction::triggered, &preview, [&preview, &printer, print] {
        auto* dialog = new QPrintDialog(&printer, &preview);
        dialog->setObjectName(QStringLiteral("dlgStampa"));
        dialog->setWindowTitle(QStringLiteral("Stampa"));
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->setOptions(
            QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange |
            QAbstractPrintDialog::PrintCollateCopies | QAbstractPrintDialog::PrintShowPageSize);
        if (const auto* pages = preview.findChild<QPrintPreviewWidget*>()) {
            dialog->setMinMax(1, std::max(pages->pageCount(), 1));
        }
        QObject::connect(dialog, &QDialog::finished, &preview,
                         [&preview, &printer, print](int result) {
                             if (result == QDialog::Accepted && print(printer)) preview.accept();
                         });
        dialog->open();
    });
}

}  // namespace quotaplan
