#include "app/single_instance.h"

#include <QDir>
#include <QStandardPaths>

#include "common/program_info.h"

namespace quotaplan {

SingleInstanceGuard::SingleInstanceGuard(const QString& lockFolder) {
    QString folder = lockFolder;
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) folder = QDir::tempPath();
    path_ = QDir(folder).filePath(QStringLiteral("quotaplan-4.lock"));
}

bool SingleInstanceGuard::Acquire() {
    lock_ = std::make_unique<QLockFile>(path_);
    // Only a dead owner makes the lock stale, never its age: the first copy may run for days.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0)) return true;
    lock_.reset();
    return false;
}

std::string AlreadyRunningMessage() {
    return std::string(kApplicationTitle) + " è già in esecuzione";
}

}  // namespace quotaplan
