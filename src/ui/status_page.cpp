#include "ui/status_page.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "ui/field_hooks.h"

namespace quotaplan {
namespace {

template <typename Widget>
Widget* Placed(Widget* widget, const char* name, int x, int y, int width, int height) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(x, y, width, height);
    return widget;
}

void Caption(QWidget* page, const QString& text, int x, int y) {
    (new QLabel(text, page))->setGeometry(x, y, 150, 14);
}

}  // namespace

StatusPage::StatusPage(QWidget* parent) : QWidget(parent) {
    Caption(this, QStringLiteral("Tabelle"), 8, 6);
    lstSupTab = Placed(new QListWidget(this), "lstSupTab", 8, 22, 140, 150);
    Caption(this, QStringLiteral("Valori"), 156, 6);
    lstSupVal = Placed(new QListWidget(this), "lstSupVal", 156, 22, 180, 150);
    Caption(this, QStringLiteral("Modifica / Aggiungi"), 344, 6);
    txtValue = Placed(new QLineEdit(this), "txtValue", 344, 22, 108, 20);
    new FieldHooks(txtValue, true);
    txtValueID = Placed(new QLineEdit(this), "txtValueID", 344, 22, 10, 20);
    txtValueID->hide();
    cmdSupNew =
        Placed(new QPushButton(QStringLiteral("Nuovo"), this), "cmdSupNew", 344, 52, 108, 25);
    cmdSupEdit =
        Placed(new QPushButton(QStringLiteral("Modifica"), this), "cmdSupEdit", 344, 82, 108, 25);
    cmdSupDel =
        Placed(new QPushButton(QStringLiteral("Cancella"), this), "cmdSupDel", 344, 112, 108, 25);
    for (QPushButton* button : {cmdSupNew, cmdSupEdit, cmdSupDel}) button->setEnabled(false);
    fraSummary = Placed(new QGroupBox(QStringLiteral("Dati di Riepilogo"), this), "fraSummary", 8,
                        184, 444, 200);
}

}  // namespace quotaplan
