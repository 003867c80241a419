#pragma once

class QWidget;

namespace quotaplan {

// Enter (or Return) on a focused, enabled push button under `root` presses it, as the
// space bar does; the buttons must exist already. Buttons keep their look: they are not made
// default buttons.
void PressButtonsOnEnter(QWidget* root);

}  // namespace quotaplan
