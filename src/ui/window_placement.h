#pragma once

#include <QString>
#include <memory>

class QSettings;
class QWidget;

namespace quotaplan {

// The user's own settings of the program (where the window was and how large), in user
// scope: $XDG_CONFIG_HOME/Quotaplan/Quotaplan.conf, ~/.config/Quotaplan/Quotaplan.conf when
// XDG_CONFIG_HOME is not set. Quotaplan.ini stays the archive's configuration only.
std::unique_ptr<QSettings> UserSettings();

// Where and how large a window was, kept under one key of the settings between runs.
class WindowPlacement {
public:
    WindowPlacement(QSettings& settings, QString key);

    // Puts the window where it was last (its state too: maximised, full screen). Nothing
    // kept, or a record that does not read, leaves the window as it is; a place off every
    // screen now attached is brought onto one, and no size goes below the window's least.
    void Restore(QWidget& window) const;
    void Save(const QWidget& window);

private:
    QSettings& settings_;
    QString key_;
};

// How large a dialog was when last closed, kept under one key of the settings between runs
// (its place is left to the window system: a dialog opens over its window).
class DialogSize {
public:
    DialogSize(QSettings& settings, QString key);

    // The dialog at the size it had, never below its least size; nothing kept, or a record
    // that does not read, leaves it as it is.
    void Restore(QWidget& dialog) const;
    void Save(const QWidget& dialog);

private:
    QSettings& settings_;
    QString key_;
};

}  // namespace quotaplan
