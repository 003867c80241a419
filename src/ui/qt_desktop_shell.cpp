#include "ui/qt_desktop_shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>

namespace quotaplan {
namespace {

QUrl FileUrl(const std::filesystem::path& file) {
    return QUrl::fromLocalFile(QString::fromStdString(file.string()));
}

// Editors that need a terminal to show anything: started detached from a window program
// they would wait unseen for keys.
bool IsTerminalEditor(const QString& program) {
    static const QStringList kTerminalEditors = {
        QStringLiteral("vi"),    QStringLiteral("vim"),   QStringLiteral("nvim"),
        QStringLiteral("nano"),  QStringLiteral("pico"),  QStringLiteral("ed"),
        QStringLiteral("emacs"), QStringLiteral("joe"),   QStringLiteral("mcedit"),
        QStringLiteral("micro"), QStringLiteral("jed"),   QStringLiteral("ne"),
        QStringLiteral("elvis"), QStringLiteral("helix"), QStringLiteral("hx"),
        QStringLiteral("kak"),   QStringLiteral("mg"),    QStringLiteral("zile")};
    return kTerminalEditors.contains(QFileInfo(program).fileName());
}

// The editor named by $VISUAL or $EDITOR ("program arg ..."), split into program and
// arguments; empty when none is set, none is found or it is a terminal editor.
QStringList GraphicalEditorCommand() {
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* variable : {"VISUAL", "EDITOR"}) {
        QStringList command =
            QProcess::splitCommand(environment.value(QString::fromLatin1(variable)));
        if (command.isEmpty() || IsTerminalEditor(command.front())) continue;
        if (QStandardPaths::findExecutable(command.front()).isEmpty() &&
            !QFileInfo(command.front()).isExecutable()) {
            continue;
        }
        return command;
    }
    return {};
}

}  // namespace

bool QtDesktopShell::OpenUrl(const std::string& url) {
    const QUrl address(QString::fromStdString(url), QUrl::StrictMode);
    if (!address.isValid() || address.scheme().isEmpty()) return false;
    return QDesktopServices::openUrl(address);
}

bool QtDesktopShell::OpenFile(const std::filesystem::path& file) {
    if (!QFileInfo::exists(QString::fromStdString(file.string()))) return false;
    return QDesktopServices::openUrl(FileUrl(file));
}

bool QtDesktopShell::OpenInTextEditor(const std::filesystem::path& file) {
    if (!QFileInfo::exists(QString::fromStdString(file.string()))) return false;
    QStringList command = GraphicalEditorCommand();
    if (!command.isEmpty()) {
        const QString program = command.takeFirst();
        command.append(QString::fromStdString(file.string()));
        if (QProcess::startDetached(program, command)) return true;
    }
    return QDesktopServices::openUrl(FileUrl(file));
}

}  // namespace quotaplan
