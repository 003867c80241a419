#pragma once

class QMenuBar;
class QWidget;

namespace quotaplan {

// Enter (or Return) on a focused, enabled push button under `root` presses it, as the
// space bar does; the buttons must exist already. Buttons keep their look: they are not made
// default buttons.
void PressButtonsOnEnter(QWidget* root);

// The Alt keys that a push button under `page` shares with an entry of the menu bar (Alt+S
// for "&Salva" and "&Servizi", Alt+E for "&Elimina" and "&Esci"): while the page is shown
// the button takes the key (pressed when enabled, nothing when not), elsewhere the menu
// entry does. Left alone, Qt finds the key ambiguous and only moves the focus.
// The buttons and the menu entries must exist already.
void ShareMenuMnemonics(QMenuBar* bar, QWidget* page);

}  // namespace quotaplan
