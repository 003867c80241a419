#pragma once

#include <QIcon>

class QGuiApplication;

namespace quotaplan {

// The program's icon, drawn from quotaplan.svg at build time in 48 and 256 pixels.
QIcon ProgramIcon();

// How the program presents itself to the desktop: its name "quotaplan", its desktop entry
// quotaplan.desktop (which ties the window to the icon of the menu) and ProgramIcon() for
// every window.
void PresentProgram(QGuiApplication& app);

}  // namespace quotaplan
