#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <functional>
#include <vector>

class QWidget;

namespace quotaplan {

// How a widget follows its container once the container is larger than its designed size:
// each edge moves by its share of the growth, 0 staying where it was designed and 1 keeping
// its distance from the container's right or bottom edge.
struct Anchors {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
};

inline constexpr Anchors kGrowBoth{0, 0, 1, 1};
inline constexpr Anchors kGrowDown{0, 0, 0, 1};
inline constexpr Anchors kFollowBottom{0, 1, 0, 1};
inline constexpr Anchors kFollowBottomWiden{0, 1, 1, 1};
inline constexpr Anchors kFollowBottomRight{1, 1, 1, 1};
inline constexpr Anchors kFollowRight{1, 0, 1, 0};
inline constexpr Anchors kWidenRight{0, 0, 1, 0};

// Places chosen widgets of one container at their designed geometry plus their share of the
// container's growth. With no growth every widget is exactly where it was put, so the
// designed layout holds to the pixel at the designed size; the growth is never negative, so
// nothing is laid out smaller than designed. Widgets not added stay where they are: a block
// of fixed-position fields keeps its arrangement while lists and grids beside it grow.
//
// A widget that carries a GrowingLayout of its own (a frame with a list inside) passes its
// own growth on to it. The layout is a child of its container, found again with Of().
class GrowingLayout : public QObject {
    Q_OBJECT
public:
    // Called after a widget was placed, with the widget's own growth.
    using Grown = std::function<void(QSize growth)>;

    explicit GrowingLayout(QWidget* container);

    // Records the widget's present geometry as its designed one.
    void Add(QWidget* widget, Anchors anchors, Grown grown = {});

    // From now on the container's own resizes drive the layout, measured from this size.
    void FollowContainer(QSize designedSize);

    // Places every widget for a container grown by `growth` past its designed size.
    void Grow(QSize growth);

    // The layout a container carries, or nullptr.
    static GrowingLayout* Of(const QWidget* container);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Entry {
        QPointer<QWidget> widget;
        QRect designed;
        Anchors anchors;
        Grown grown;
    };

    QWidget* container_;
    QSize designedSize_;
    std::vector<Entry> entries_;
};

}  // namespace quotaplan
