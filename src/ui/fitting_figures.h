#pragma once

class QLineEdit;
class QWidget;

namespace quotaplan {

// A figure too wide for its field is set in a smaller size, step by step down to a least
// readable one, so that it shows whole; one still too wide shows its leading digits, never
// only its tail (4.075.849.984,00 must not read "075.849.984,00"). The field's own font
// comes back as soon as the text fits in it again.
void FitFigureToField(QLineEdit* field);

// The same for every right-aligned text field under `root` (the figure fields); the fields
// must exist already.
void FitFiguresToFields(QWidget* root);

}  // namespace quotaplan
