#include "ui/italian_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace quotaplan {
namespace {

// Installed translators are asked last first: the program's own comes after Qt's and is asked
// first, for the texts Qt's lacks.
bool Install(QCoreApplication& app, const QString& name, const QString& folder) {
    auto* translator = new QTranslator(&app);
    if (!translator->load(name, folder) || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

}  // namespace

ItalianTranslations InstallItalianTranslations(QCoreApplication& app) {
    ItalianTranslations installed;
    installed.qtLoaded = Install(app, QStringLiteral("qtbase_it"),
                                 QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    installed.programLoaded =
        Install(app, QStringLiteral("quotaplan_it"), QStringLiteral(":/translations"));
    return installed;
}

}  // namespace quotaplan
