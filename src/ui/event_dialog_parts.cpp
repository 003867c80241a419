#include "ui/event_dialog_parts.h"

#include <QComboBox>
#include <QDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "common/message_boxes.h"
#include "common/number_text.h"
#include "common/program_info.h"
#include "ui/event_form.h"
#include "ui/payoff_dialog.h"

namespace quotaplan {

QLineEdit* NamedField(const char* name, QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(QString::fromLatin1(name));
    return field;
}

QComboBox* NamedList(const char* name, const QStringList& entries, QWidget* parent) {
    auto* list = new QComboBox(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->addItems(entries);
    return list;
}

QPushButton* NamedButton(const char* name, const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

PenaltyControls MakePenaltyControls(const PenaltyRule& typePenalty, QWidget* parent) {
    QStringList entries;
    for (const char* entry : kPenaltyEntries) entries << QString::fromUtf8(entry);
    PenaltyControls controls;
    controls.list = NamedList("cboPenale", entries, parent);
    controls.list->setCurrentIndex(PenaltyEntryOf(typePenalty));
    controls.percent = NamedField("txtPenalePercentuale", parent);
    // The penalty's row holds two inputs under one caption.
    controls.list->setAccessibleName(QStringLiteral("Penale"));
    controls.percent->setAccessibleName(QStringLiteral("Penale contrattuale in %"));
    if (typePenalty.regime == PenaltyRegime::Contractual) {
        controls.percent->setText(
            QString::fromStdString(FormatNumber(typePenalty.percent.Value(), 2)));
    }
    controls.row = new QHBoxLayout;
    controls.row->addWidget(controls.list, 1);
    controls.row->addWidget(new QLabel(QStringLiteral("%"), parent));
    controls.row->addWidget(controls.percent);
    return controls;
}

QTreeWidget* FiguresList(const char* name, const QString& accessibleName, int minimumHeight,
                         QWidget* parent) {
    auto* list = new QTreeWidget(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setAccessibleName(accessibleName);
    list->setColumnCount(2);
    list->setHeaderHidden(true);
    list->setRootIsDecorated(false);
    list->setSelectionMode(QAbstractItemView::NoSelection);
    list->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    list->setMinimumHeight(minimumHeight);
    return list;
}

QLabel* RefusalLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(QStringLiteral("lblEsito"));
    label->setStyleSheet(QStringLiteral("color: red;"));
    label->setWordWrap(true);
    return label;
}

void ShowFigures(QTreeWidget* list, const std::vector<std::pair<std::string, std::string>>& lines) {
    list->clear();
    for (const auto& [label, value] : lines) {
        new QTreeWidgetItem(list, {QString::fromStdString(label), QString::fromStdString(value)});
    }
}

std::variant<EventResult, EventRefusal> TryEvent(
    const SignedTerms& terms, const CentsPlan& plan,
    const std::variant<ContractEvent, EventRefusal>& read) {
    if (const auto* refusal = std::get_if<EventRefusal>(&read)) return *refusal;
    try {
        return ApplyEvent(terms, plan, std::get<ContractEvent>(read));
    } catch (const std::exception& error) {
        return EventRefusal{error.what()};
    }
}

void ShowWorkedOut(QTreeWidget* list, QLabel* refusal, QPushButton* record,
                   const std::vector<std::pair<std::string, std::string>>& lines,
                   const std::string& why) {
    ShowFigures(list, lines);
    refusal->setText(QString::fromStdString(why));
    record->setEnabled(why.empty());
}

bool RecordShownEvent(const EventDialogServices& services, const ContractEvent& event) {
    if (!services.record) return false;
    const EventStoreResult recorded = services.record(event);
    if (recorded.Ok()) return true;
    if (services.boxes != nullptr) {
        ShowPlainBox(
            *services.boxes, recorded.message, DefaultBoxTitle(),
            recorded.code == EventStoreCode::Failed ? BoxIcon::Critical : BoxIcon::Exclamation);
    }
    return false;
}

EventDialogFrame LayOutEventDialog(QDialog* dialog, QFormLayout* form, const QString& figuresName,
                                   int minimumHeight) {
    EventDialogFrame frame;
    frame.figures = FiguresList("lsvEsito", figuresName, minimumHeight, dialog);
    frame.refusal = RefusalLabel(dialog);
    frame.record = NamedButton("cmdRegistra", QStringLiteral("Registra"), dialog);
    auto* close = NamedButton("cmdChiudi", QStringLiteral("Chiudi"), dialog);
    QObject::connect(close, &QPushButton::clicked, dialog, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(frame.record);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(dialog);
    layout->addLayout(form);
    layout->addWidget(frame.figures, 1);
    layout->addWidget(frame.refusal);
    layout->addLayout(buttons);
    return frame;
}

}  // namespace quotaplan
