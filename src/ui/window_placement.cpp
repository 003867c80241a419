#include "ui/window_placement.h"

#include <QSettings>
#include <QWidget>

namespace quotaplan {

std::unique_ptr<QSettings> UserSettings() {
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("Quotaplan"), QStringLiteral("Quotaplan"));
}

WindowPlacement::WindowPlacement(QSettings& settings, QString key)
    : settings_(settings), key_(std::move(key)) {}

void WindowPlacement::Restore(QWidget& window) const {
    const QByteArray kept = settings_.value(key_).toByteArray();
    if (!kept.isEmpty()) window.restoreGeometry(kept);
}

void WindowPlacement::Save(const QWidget& window) {
    settings_.setValue(key_, window.saveGeometry());
    settings_.sync();
}

DialogSize::DialogSize(QSettings& settings, QString key)
    : settings_(settings), key_(std::move(key)) {}

void DialogSize::Restore(QWidget& dialog) const {
    const QSize kept = settings_.value(key_).toSize();
    if (kept.isValid()) dialog.resize(kept.expandedTo(dialog.minimumSize()));
}

void DialogSize::Save(const QWidget& dialog) {
    settings_.setValue(key_, dialog.size());
    settings_.sync();
}

}  // namespace quotaplan
