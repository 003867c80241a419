#include "ui/growing_layout.h"

#include <QEvent>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace quotaplan {
namespace {

int Share(double fraction, int growth) { return static_cast<int>(std::lround(fraction * growth)); }

}  // namespace

GrowingLayout::GrowingLayout(QWidget* container) : QObject(container), container_(container) {}

void GrowingLayout::Add(QWidget* widget, Anchors anchors, Grown grown) {
    entries_.push_back({widget, widget->geometry(), anchors, std::move(grown)});
}

void GrowingLayout::FollowContainer(QSize designedSize) {
    designedSize_ = designedSize;
    container_->installEventFilter(this);
}

void GrowingLayout::Grow(QSize growth) {
    const int dx = std::max(0, growth.width());
    const int dy = std::max(0, growth.height());
    for (const Entry& entry : entries_) {
        if (entry.widget.isNull()) continue;
        const Anchors& a = entry.anchors;
        const QRect& d = entry.designed;
        const QRect placed(
            QPoint(d.left() + Share(a.left, dx), d.top() + Share(a.top, dy)),
            QPoint(d.right() + Share(a.right, dx), d.bottom() + Share(a.bottom, dy)));
        entry.widget->setGeometry(placed);
        const QSize own = placed.size() - d.size();
        if (GrowingLayout* inner = Of(entry.widget)) inner->Grow(own);
        if (entry.grown) entry.grown(own);
    }
}

GrowingLayout* GrowingLayout::Of(const QWidget* container) {
    return container->findChild<GrowingLayout*>(QString(), Qt::FindDirectChildrenOnly);
}

bool GrowingLayout::eventFilter(QObject* watched, QEvent* event) {
    if (watched == container_ && event->type() == QEvent::Resize) {
        Grow(container_->size() - designedSize_);
    }
    return false;
}

}  // namespace quotaplan
