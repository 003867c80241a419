#include "app/program_presentation.h"

#include <QGuiApplication>

namespace quotaplan {

QIcon ProgramIcon() {
    QIcon icon;
    // Each file's own size, read from the picture.
    for (const int size : {48, 256})
        icon.addFile(QStringLiteral(":/icons/quotaplan-%1.png").arg(size));
    return icon;
}

void PresentProgram(QGuiApplication& app) {
    app.setApplicationName(QStringLiteral("quotaplan"));
    app.setDesktopFileName(QStringLiteral("quotaplan"));
    app.setWindowIcon(ProgramIcon());
}

}  // namespace quotaplan
