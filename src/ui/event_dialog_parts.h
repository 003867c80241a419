#pragma once

#include <QString>
#include <QStringList>

#include "engine/plan_events.h"

class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QWidget;

namespace quotaplan {

// The controls the event dialogs (estinzione, rimborso parziale) build alike.

QLineEdit* NamedField(const char* name, QWidget* parent);
QComboBox* NamedList(const char* name, const QStringList& entries, QWidget* parent);
// A button that Enter in a field does not press.
QPushButton* NamedButton(const char* name, const QString& caption, QWidget* parent);

// The penalty's list and its percentage field, set to the financing type's regime, side by
// side under one caption ("Penale"); each named for a screen reader.
struct PenaltyControls {
    QComboBox* list = nullptr;
    QLineEdit* percent = nullptr;
    QHBoxLayout* row = nullptr;
};
PenaltyControls MakePenaltyControls(const PenaltyRule& typePenalty, QWidget* parent);

// The two-column list of the figures an event gives (label, amount), without header or
// selection.
QTreeWidget* FiguresList(const char* name, const QString& accessibleName, int minimumHeight,
                         QWidget* parent);

// The line that says, in red, why the fields do not describe an event the contract accepts.
QLabel* RefusalLabel(QWidget* parent);

}  // namespace quotaplan
