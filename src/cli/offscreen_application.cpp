#include "cli/offscreen_application.h"

#include <QApplication>
#include <cstdio>

namespace quotaplan {
namespace {

char kProgramName[] = "quotaplan-calc";
char kPlatformOption[] = "-platform";
char kOffscreen[] = "offscreen";

void KeepOnlySeriousMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    }
}

}  // namespace

OffscreenApplication::OffscreenApplication() {
    if (QCoreApplication::instance() != nullptr) return;
    argv_[0] = kProgramName;
    argv_[1] = kPlatformOption;
    argv_[2] = kOffscreen;
    qInstallMessageHandler(KeepOnlySeriousMessages);
    application_ = std::make_unique<QApplication>(argc_, argv_);
}

OffscreenApplication::~OffscreenApplication() {
    if (application_ == nullptr) return;
    application_.reset();
    qInstallMessageHandler(nullptr);
}

}  // namespace quotaplan
