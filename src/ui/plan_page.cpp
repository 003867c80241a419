#include "ui/plan_page.h"

#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include "ui/plan_grid.h"
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

}  // namespace

PlanPage::PlanPage(QWidget* parent) : QWidget(parent) {
    fgrPDA = new PlanGrid(this);
    fgrPDA->setObjectName(QStringLiteral("fgrPDA"));
    const QRect gridPlace = PageRect(120, 420, Twips(6735), Twips(5115));
    fgrPDA->setGeometry(gridPlace.x(), 6, gridPlace.width(), gridPlace.height() + 2);

    const int below = fgrPDA->geometry().bottom() + 6;
    auto* hint = new QLabel(
        QStringLiteral("Per esportare il piano finanziario nei vari formati premere il pulsante "
                       "relativo"),
        this);
    hint->setGeometry(gridPlace.x(), below, gridPlace.width(), 16);

    const int buttons = below + 20;
    cmdText = AddButton(this, "cmdText", QStringLiteral("File di Testo"), QStyle::SP_FileIcon,
                        gridPlace.x(), buttons);
    cmdExcel = AddButton(this, "cmdExcel", QStringLiteral("File di Excel"),
                         QStyle::SP_FileDialogDetailedView, gridPlace.x() + 112, buttons);
    cmdWord = AddButton(this, "cmdWord", QStringLiteral("File di Word"),
                        QStyle::SP_FileDialogContentsView, gridPlace.x() + 224, buttons);
    cmdPrintPDA = AddButton(this, "cmdPrintPDA", QStringLiteral("Stampa"),
                            QStyle::SP_DialogSaveButton, gridPlace.right() - 96, buttons);
    cmdPrintPDA->setFixedWidth(96);
    // Until the output layer wires them, the buttons cannot be pressed.
    for (QPushButton* button : {cmdText, cmdExcel, cmdWord, cmdPrintPDA}) {
        button->setEnabled(false);
    }
}

}  // namespace quotaplan
