#include "ui/usury_thresholds_dialog.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "ui/accessible_names.h"
#include "ui/field_hooks.h"
#include "ui/growing_layout.h"
#include "ui/usury_verdict.h"

namespace quotaplan {
namespace {

constexpr int kIdRole = Qt::UserRole;
constexpr int kFieldTop = 256;
constexpr int kButtonTop = 298;

template <typename Widget>
Widget* Placed(Widget* widget, const char* name, int x, int y, int width, int height) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(x, y, width, height);
    return widget;
}

QString ToQt(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

UsuryThresholdsDialog::UsuryThresholdsDialog(WindowArchive& archive, MessageBoxes& boxes,
                                             QWidget* parent)
    : QDialog(parent), editor_(archive, boxes) {
    setObjectName(QStringLiteral("frmSoglieUsura"));
    // The window's small dialog font, which a window does not take from its parent itself.
    if (parent != nullptr) setFont(parent->font());
    setWindowTitle(QStringLiteral("Soglie d'usura"));
    Build();
    FillList();
    NameInputs(this);
}

void UsuryThresholdsDialog::Build() {
    // The designed size is the least; larger, the list takes the room and shows long
    // category names whole.
    const QSize designed(620, 332);
    resize(designed);
    setMinimumSize(designed);
    setSizeGripEnabled(true);
    lsvSoglie = Placed(new QTreeWidget(this), "lsvSoglie", 8, 8, 604, 224);
    lsvSoglie->setAccessibleName(QStringLiteral("Soglie d'usura"));
    lsvSoglie->setRootIsDecorated(false);
    lsvSoglie->setUniformRowHeights(true);
    lsvSoglie->setHeaderLabels({QStringLiteral("Categoria"), QStringLiteral("Importo da"),
                                QStringLiteral("Importo a"), QStringLiteral("Dal"),
                                QStringLiteral("Al"), QStringLiteral("TEGM %"),
                                QStringLiteral("Mora %"), QStringLiteral("Soglia %")});
    lsvSoglie->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The figures keep their widths; the category takes what is left, however wide the list.
    QHeaderView* header = lsvSoglie->header();
    header->setStretchLastSection(false);
    header->setMinimumSectionSize(40);
    const int widths[] = {120, 76, 76, 72, 72, 56, 52, 76};
    for (int column = 1; column < 8; ++column) lsvSoglie->setColumnWidth(column, widths[column]);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < 8; ++column) {
        if (column == 3 || column == 4) continue;
        lsvSoglie->headerItem()->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    }

    auto* growing = new GrowingLayout(this);
    growing->Add(lsvSoglie, kGrowBoth);

    struct FieldPlace {
        QLineEdit** field;
        const char* name;
        const char* caption;
        int x, width;
        bool right;
    };
    const FieldPlace fields[] = {
        {&txtSogCategoria, "txtSogCategoria", "Categoria", 8, 130, false},
        {&txtSogDa, "txtSogDa", "Importo da", 144, 84, true},
        {&txtSogA, "txtSogA", "Importo a", 234, 84, true},
        {&txtSogDal, "txtSogDal", "Dal", 324, 84, false},
        {&txtSogAl, "txtSogAl", "Al", 414, 84, false},
        {&txtSogTEGM, "txtSogTEGM", "TEGM %", 504, 52, true},
        {&txtSogMora, "txtSogMora", "Mora %", 562, 50, true},
    };
    for (const FieldPlace& place : fields) {
        auto* caption = new QLabel(QString::fromUtf8(place.caption), this);
        caption->setGeometry(place.x, kFieldTop - 16, place.width, 14);
        *place.field = Placed(new QLineEdit(this), place.name, place.x, kFieldTop, place.width, 20);
        caption->setBuddy(*place.field);
        if (place.right) (*place.field)->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        new FieldHooks(*place.field);
        // The category field widens with the window; the figures' fields keep to its right.
        const Anchors anchors =
            place.field == &txtSogCategoria ? kFollowBottomWiden : kFollowBottomRight;
        growing->Add(caption, anchors);
        growing->Add(*place.field, anchors);
    }
    txtSogDal->setPlaceholderText(QStringLiteral("gg/mm/aaaa"));
    txtSogAl->setPlaceholderText(QStringLiteral("in vigore"));
    txtSogDa->setPlaceholderText(QStringLiteral("nessun limite"));
    txtSogA->setPlaceholderText(QStringLiteral("nessun limite"));
    txtSogMora->setPlaceholderText(QStringLiteral("n.d."));

    const auto button = [this](const char* name, const QString& caption, int x) {
        return Placed(new QPushButton(caption, this), name, x, kButtonTop, 96, 25);
    };
    cmdSogNuovo = button("cmdSogNuovo", QStringLiteral("Nuovo"), 8);
    cmdSogModifica = button("cmdSogModifica", QStringLiteral("Modifica"), 110);
    cmdSogCancella = button("cmdSogCancella", QStringLiteral("Cancella"), 212);
    cmdSogImporta = button("cmdSogImporta", QStringLiteral("Importa…"), 314);
    cmdSogChiudi = button("cmdSogChiudi", QStringLiteral("Chiudi"), 516);
    for (QPushButton* command : {cmdSogNuovo, cmdSogModifica, cmdSogCancella, cmdSogImporta}) {
        growing->Add(command, kFollowBottom);
    }
    growing->Add(cmdSogChiudi, kFollowBottomRight);
    growing->FollowContainer(designed);

    connect(lsvSoglie, &QTreeWidget::itemClicked, this, &UsuryThresholdsDialog::RowClicked);
    connect(cmdSogNuovo, &QPushButton::clicked, this, [this] { Run(&UsuryThresholdsEditor::Add); });
    connect(cmdSogModifica, &QPushButton::clicked, this,
            [this] { Run(&UsuryThresholdsEditor::Change); });
    connect(cmdSogCancella, &QPushButton::clicked, this,
            [this] { Run(&UsuryThresholdsEditor::Remove); });
    connect(cmdSogImporta, &QPushButton::clicked, this, &UsuryThresholdsDialog::Import);
    connect(cmdSogChiudi, &QPushButton::clicked, this, &QDialog::accept);
}

void UsuryThresholdsDialog::FillList() {
    lsvSoglie->clear();
    for (const StoredUsuryRate& stored : editor_.Rows()) {
        const ThresholdsPanel texts = PanelOf(stored);
        auto* item = new QTreeWidgetItem(
            lsvSoglie,
            {ToQt(texts.category), ToQt(texts.amountFrom), ToQt(texts.amountTo),
             ToQt(texts.validFrom), ToQt(texts.validTo), ToQt(texts.tegm),
             ToQt(texts.defaultSurcharge),
             ToQt(PercentText(UsuryThreshold(stored.rate.tegm, UsuryRuleOn(stored.rate.validFrom)),
                              4))});
        item->setData(0, kIdRole, stored.id);
        // The whole name, wherever the column cuts it.
        item->setToolTip(0, ToQt(texts.category));
        for (int column : {1, 2, 5, 6, 7}) {
            item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
        }
    }
}

void UsuryThresholdsDialog::RowClicked() {
    const QTreeWidgetItem* item = lsvSoglie->currentItem();
    if (item == nullptr) return;
    QLineEdit* fields[] = {txtSogCategoria, txtSogDa,   txtSogA,   txtSogDal,
                           txtSogAl,        txtSogTEGM, txtSogMora};
    for (int column = 0; column < 7; ++column) fields[column]->setText(item->text(column));
}

ThresholdsPanel UsuryThresholdsDialog::Panel() const {
    ThresholdsPanel panel;
    if (const QTreeWidgetItem* item = lsvSoglie->currentItem()) {
        panel.selected = item->data(0, kIdRole).toInt();
    }
    panel.category = txtSogCategoria->text().trimmed().toStdString();
    panel.amountFrom = txtSogDa->text().trimmed().toStdString();
    panel.amountTo = txtSogA->text().trimmed().toStdString();
    panel.validFrom = txtSogDal->text().trimmed().toStdString();
    panel.validTo = txtSogAl->text().trimmed().toStdString();
    panel.tegm = txtSogTEGM->text().trimmed().toStdString();
    panel.defaultSurcharge = txtSogMora->text().trimmed().toStdString();
    return panel;
}

void UsuryThresholdsDialog::Run(bool (UsuryThresholdsEditor::*command)(const ThresholdsPanel&)) {
    if ((editor_.*command)(Panel())) AfterChange();
}

void UsuryThresholdsDialog::Import() {
    if (editor_.Import()) AfterChange();
}

void UsuryThresholdsDialog::AfterChange() {
    FillList();
    for (QLineEdit* field :
         {txtSogCategoria, txtSogDa, txtSogA, txtSogDal, txtSogAl, txtSogTEGM, txtSogMora}) {
        field->clear();
    }
    emit thresholdsChanged();
}

}  // namespace quotaplan
