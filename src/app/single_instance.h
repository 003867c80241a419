#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

namespace quotaplan {

// The previous-instance test: a lock file in the user's runtime folder, held while the
// program runs. A lock left behind by a copy that died is taken over; a live copy's lock,
// however old, is not.
class SingleInstanceGuard {
public:
    // lockFolder empty: the user's runtime folder (XDG_RUNTIME_DIR), else the temp folder.
    explicit SingleInstanceGuard(const QString& lockFolder = QString());

    // True when this is the only running copy; the lock is then held until destruction.
    bool Acquire();

    QString LockPath() const { return path_; }

private:
    QString path_;
    std::unique_ptr<QLockFile> lock_;
};

// The text the second copy shows before it ends: "Quotaplan 4 è già in esecuzione".
std::string AlreadyRunningMessage();

}  // namespace quotaplan
