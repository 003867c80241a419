#pragma once

#include <QString>

class QWidget;

namespace quotaplan {

// A caption as a screen reader says it: without its mnemonic's "&", line breaks, a leading
// "- " or a closing ":".
QString SpokenCaption(QString caption);

// Gives every input under `root` that has no accessible name one from what the user sees
// beside it: the label whose buddy it is (a QFormLayout row's label is one), or its own text
// for a check box or an option. Names set in code stay.
void NameInputs(QWidget* root);

}  // namespace quotaplan
