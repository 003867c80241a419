#include "ui/tree_images.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace quotaplan {
namespace {

const QColor kOutline(120, 84, 16);
const QColor kFolderBack(226, 178, 64);
const QColor kFolderFront(250, 214, 110);
const QColor kSheet(255, 255, 255);
const QColor kSheetEdge(90, 100, 120);
const QColor kFigures(40, 90, 170);

// Drawn at 16 pixels and at 32 for dense screens.
QPixmap Draw(TreeImage image, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 16.0, size / 16.0);
    painter.setPen(QPen(image == TreeImage::Contract ? kSheetEdge : kOutline, 0.8));

    if (image == TreeImage::Contract) {
        QPainterPath sheet;
        sheet.moveTo(3, 1.5);
        sheet.lineTo(10, 1.5);
        sheet.lineTo(13, 4.5);
        sheet.lineTo(13, 14.5);
        sheet.lineTo(3, 14.5);
        sheet.closeSubpath();
        painter.setBrush(kSheet);
        painter.drawPath(sheet);
        painter.drawLine(QPointF(10, 1.5), QPointF(10, 4.5));
        painter.drawLine(QPointF(10, 4.5), QPointF(13, 4.5));
        painter.setPen(QPen(kFigures, 1.0));
        for (double y : {6.5, 8.5, 10.5, 12.5}) painter.drawLine(QPointF(5, y), QPointF(11, y));
        return pixmap;
    }

    // The folder's back with its tab.
    QPainterPath back;
    back.moveTo(1.5, 3.5);
    back.lineTo(6, 3.5);
    back.lineTo(7.5, 5);
    back.lineTo(14.5, 5);
    back.lineTo(14.5, 13.5);
    back.lineTo(1.5, 13.5);
    back.closeSubpath();
    painter.setBrush(kFolderBack);
    painter.drawPath(back);

    QPainterPath front;
    if (image == TreeImage::ExpandedType) {
        // The front leans open.
        front.moveTo(3.5, 7.5);
        front.lineTo(15.5, 7.5);
        front.lineTo(13.5, 13.5);
        front.lineTo(1.5, 13.5);
    } else {
        front.moveTo(1.5, 6.5);
        front.lineTo(14.5, 6.5);
        front.lineTo(14.5, 13.5);
        front.lineTo(1.5, 13.5);
    }
    front.closeSubpath();
    painter.setBrush(kFolderFront);
    painter.drawPath(front);
    return pixmap;
}

}  // namespace

QIcon TreeImageIcon(TreeImage image) {
    QIcon icon;
    icon.addPixmap(Draw(image, 16));
    icon.addPixmap(Draw(image, 32));
    return icon;
}

}  // namespace quotaplan
