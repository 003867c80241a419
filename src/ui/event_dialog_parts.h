#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "engine/plan_events.h"

class QComboBox;
class QDialog;
class QFormLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QWidget;

namespace quotaplan {

struct EventDialogServices;

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

// A figures list refilled with the lines (label, value).
void ShowFigures(QTreeWidget* list, const std::vector<std::pair<std::string, std::string>>& lines);

// The event whose figures a dialog shows, applied to the plan it was opened on: the result,
// or the refusal in words (the form's, ApplyEvent's, or an arithmetic error's).
std::variant<EventResult, EventRefusal> TryEvent(
    const SignedTerms& terms, const CentsPlan& plan,
    const std::variant<ContractEvent, EventRefusal>& read);

// What a dialog's fields came to: the event and its figures, or why there are none.
template <typename Figures>
struct WorkedOut {
    std::optional<ContractEvent> event;
    std::optional<Figures> figures;
    std::optional<EventResult> result;
    std::string refusal;
};

template <typename Figures>
WorkedOut<Figures> WorkOut(const SignedTerms& terms, const CentsPlan& plan,
                           const std::variant<ContractEvent, EventRefusal>& read) {
    WorkedOut<Figures> out;
    auto applied = TryEvent(terms, plan, read);
    if (auto* result = std::get_if<EventResult>(&applied)) {
        out.event = std::get<ContractEvent>(read);
        out.figures = std::get<Figures>(result->figures);
        out.result = std::move(*result);
    } else {
        out.refusal = std::get<EventRefusal>(applied).message;
    }
    return out;
}

// The figures' lines in the list, the refusal in its label, "Registra" on while there are
// figures.
void ShowWorkedOut(QTreeWidget* list, QLabel* refusal, QPushButton* record,
                   const std::vector<std::pair<std::string, std::string>>& lines,
                   const std::string& why);

// "Registra": the event recorded through the services; true when it was, otherwise the
// reason shown in a box.
bool RecordShownEvent(const EventDialogServices& services, const ContractEvent& event);

// The common frame of a dialog that records an event: the form over the figures it works out
// ("lsvEsito"), the refusal line and "Registra" / "Chiudi" at the bottom right ("Chiudi"
// rejects the dialog).
struct EventDialogFrame {
    QTreeWidget* figures = nullptr;
    QLabel* refusal = nullptr;
    QPushButton* record = nullptr;
};
EventDialogFrame LayOutEventDialog(QDialog* dialog, QFormLayout* form, const QString& figuresName,
                                   int minimumHeight);

}  // namespace quotaplan
