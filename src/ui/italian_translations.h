#pragma once

class QCoreApplication;

namespace quotaplan {

// What Italian the program's Qt dialogs were given.
struct [[nodiscard]] ItalianTranslations {
    bool qtLoaded = false;       // Qt's own qtbase_it.qm (package qt6-translations-l10n)
    bool programLoaded = false;  // the program's quotaplan_it.qm, built into it
};

// Makes Qt's own dialogs (the file dialog, the print preview and print dialogs, the message
// box buttons) speak Italian: installs Qt's translation from its translations folder and,
// after it, the program's own for the few texts Qt's lacks. A file that cannot be loaded is
// skipped, and those texts stay in English; the translators live as long as `app`.
ItalianTranslations InstallItalianTranslations(QCoreApplication& app);

}  // namespace quotaplan
