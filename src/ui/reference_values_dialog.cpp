#include "ui/reference_values_dialog.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <algorithm>

#include "common/date_text.h"
#include "common/number_text.h"
#include "ui/accessible_names.h"
#include "ui/field_hooks.h"
#include "ui/growing_layout.h"
#include "ui/qt_message_boxes.h"

namespace quotaplan {
namespace {

constexpr int kDateRole = Qt::UserRole;  // the value's date serial

template <typename Widget>
Widget* Placed(Widget* widget, const char* name, int x, int y, int width, int height) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(x, y, width, height);
    return widget;
}

QLabel* Caption(QWidget* parent, const QString& text, int x, int y) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(x, y, 100, 14);
    return label;
}

// A rate's name longer than this makes the title end in "…" rather than the window wider.
constexpr int kWidestDesigned = 640;

}  // namespace

ReferenceValuesDialog::ReferenceValuesDialog(WindowArchive& archive, MessageBoxes& boxes,
                                             const std::string& rateName, QWidget* parent)
    : QDialog(parent), editor_(archive, boxes, rateName) {
    setObjectName(QStringLiteral("frmValTxRif"));
    // The window's small dialog font, which a window does not take from its parent itself.
    if (parent != nullptr) setFont(parent->font());
    setWindowTitle(QStringLiteral("Valori di %1").arg(QString::fromStdString(rateName)));
    Build();
    FillList();
    NameInputs(this);
}

void ReferenceValuesDialog::Build() {
    // The designed size is the least, and wide enough for the rate's whole name in the title;
    // larger, the list takes the room and the fields and commands keep to its right.
    const QSize designed(std::clamp(TitleBarWidth(windowTitle()), 300, kWidestDesigned), 262);
    const int grown = designed.width() - 300;
    resize(designed);
    setMinimumSize(designed);
    setSizeGripEnabled(true);
    lsvValTxRif = Placed(new QTreeWidget(this), "lsvValTxRif", 8, 8, 178 + grown, 246);
    lsvValTxRif->setAccessibleName(QStringLiteral("Valori del tasso di riferimento"));
    lsvValTxRif->setRootIsDecorated(false);
    lsvValTxRif->setUniformRowHeights(true);
    lsvValTxRif->setHeaderLabels({QStringLiteral("Data"), QStringLiteral("Valore %")});
    lsvValTxRif->headerItem()->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    lsvValTxRif->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lsvValTxRif->header()->setStretchLastSection(true);
    lsvValTxRif->setColumnWidth(0, 80);

    const int right = 196 + grown;
    QLabel* dateCaption = Caption(this, QStringLiteral("Data"), right, 8);
    txtValData = Placed(new QLineEdit(this), "txtValData", right, 23, 96, 20);
    dateCaption->setBuddy(txtValData);
    new FieldHooks(txtValData);
    QLabel* valueCaption = Caption(this, QStringLiteral("Valore in %"), right, 48);
    txtValValore = Placed(new QLineEdit(this), "txtValValore", right, 63, 96, 20);
    valueCaption->setBuddy(txtValValore);
    txtValValore->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    new FieldHooks(txtValValore);

    const auto button = [this, right](const char* name, const QString& caption, int y) {
        return Placed(new QPushButton(caption, this), name, right, y, 96, 25);
    };
    cmdValNuovo = button("cmdValNuovo", QStringLiteral("Nuovo"), 93);
    cmdValModifica = button("cmdValModifica", QStringLiteral("Modifica"), 122);
    cmdValCancella = button("cmdValCancella", QStringLiteral("Cancella"), 151);
    cmdValImporta = button("cmdValImporta", QStringLiteral("Importa…"), 190);
    cmdValChiudi = button("cmdValChiudi", QStringLiteral("Chiudi"), 229);

    auto* growing = new GrowingLayout(this);
    growing->Add(lsvValTxRif, kGrowBoth);
    for (QWidget* beside : std::initializer_list<QWidget*>{
             dateCaption, txtValData, valueCaption, txtValValore, cmdValNuovo, cmdValModifica,
             cmdValCancella, cmdValImporta}) {
        growing->Add(beside, kFollowRight);
    }
    growing->Add(cmdValChiudi, kFollowBottomRight);
    growing->FollowContainer(designed);

    connect(lsvValTxRif, &QTreeWidget::itemClicked, this, &ReferenceValuesDialog::ValueClicked);
    connect(cmdValNuovo, &QPushButton::clicked, this, [this] { Run(&ReferenceValuesEditor::Add); });
    connect(cmdValModifica, &QPushButton::clicked, this,
            [this] { Run(&ReferenceValuesEditor::Change); });
    connect(cmdValCancella, &QPushButton::clicked, this,
            [this] { Run(&ReferenceValuesEditor::Remove); });
    connect(cmdValImporta, &QPushButton::clicked, this, &ReferenceValuesDialog::Import);
    connect(cmdValChiudi, &QPushButton::clicked, this, &QDialog::accept);
}

void ReferenceValuesDialog::FillList() {
    lsvValTxRif->clear();
    for (const IndexValue& value : editor_.Values()) {
        auto* item =
            new QTreeWidgetItem(lsvValTxRif, {QString::fromStdString(FormatDate(value.date, 2)),
                                              QString::fromStdString(ValueText(value.percent))});
        item->setData(0, kDateRole, value.date.Serial());
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    }
}

void ReferenceValuesDialog::ValueClicked() {
    const QTreeWidgetItem* item = lsvValTxRif->currentItem();
    if (item == nullptr) return;
    txtValData->setText(item->text(0));
    txtValValore->setText(item->text(1));
}

ValuesPanel ReferenceValuesDialog::Panel() const {
    ValuesPanel panel;
    if (const QTreeWidgetItem* item = lsvValTxRif->currentItem()) {
        panel.selected = CalendarDate::FromSerial(item->data(0, kDateRole).toInt());
    }
    panel.date = txtValData->text().toStdString();
    panel.value = txtValValore->text().toStdString();
    return panel;
}

void ReferenceValuesDialog::Run(bool (ReferenceValuesEditor::*command)(const ValuesPanel&)) {
    if ((editor_.*command)(Panel())) AfterChange();
}

void ReferenceValuesDialog::Import() {
    if (editor_.Import()) AfterChange();
}

void ReferenceValuesDialog::AfterChange() {
    FillList();
    txtValData->clear();
    txtValValore->clear();
    emit valuesChanged();
}

}  // namespace quotaplan
