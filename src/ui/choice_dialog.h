#pragma once

#include <QDialog>
#include <string>

#include "common/message_boxes.h"

class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QListWidget;

namespace quotaplan {

// The list chooser of a ChoiceRequest: the prompt, a search field that narrows the list as
// the user types (letter case and accents aside, any part of a name), the list with every
// name whole (long ones wrap, and show in their tooltip), OK and Annulla. A double click
// chooses too. The window keeps an ordinary width whatever the names, and can be resized.
class ChoiceDialog : public QDialog {
    Q_OBJECT
public:
    explicit ChoiceDialog(const ChoiceRequest& request, QWidget* parent = nullptr);

    // The entry chosen: its name, "" for the entry that stands for none; nullopt while no
    // entry is chosen (OK is then disabled).
    std::optional<std::string> Chosen() const;

    QLabel* lblPrompt = nullptr;
    QLineEdit* txtCerca = nullptr;
    QListWidget* lstScelte = nullptr;
    QDialogButtonBox* buttons = nullptr;

private:
    void Narrow(const QString& search);
    void UpdateOk();
};

}  // namespace quotaplan
