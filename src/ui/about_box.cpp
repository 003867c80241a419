#include "ui/about_box.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include "common/program_info.h"
#include "ui/tree_images.h"
#include "ui/web_pages.h"

namespace quotaplan {
namespace {

QLabel* Named(QLabel* label, const char* name, const QRect& place) {
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(place);
    return label;
}

}  // namespace

AboutBox::AboutBox(DesktopShell& shell, MessageBoxes& boxes, QWidget* parent)
    : QDialog(parent), shell_(shell), boxes_(boxes) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("Brightmoor - %1").arg(QString::fromStdString(MakerWebHost())));
    setFixedSize(360, 170);

    auto* shape1 = new QFrame(this);
    shape1->setObjectName(QStringLiteral("Shape1"));
    shape1->setFrameShape(QFrame::Box);
    shape1->setGeometry(8, 8, 344, 118);

    Image1 = Named(new QLabel(this), "Image1", {20, 24, 48, 48});
    Image1->setPixmap(TreeImageIcon(TreeImage::Contract).pixmap(48, 48));
    Image1->setCursor(Qt::PointingHandCursor);
    Image1->setToolTip(QString::fromStdString(MakerWebAddress(kProductPagePath)));
    Image1->installEventFilter(this);
    auto* image2 = Named(new QLabel(this), "Image2", {20, 80, 32, 32});
    image2->setPixmap(TreeImageIcon(TreeImage::ExpandedType).pixmap(32, 32));

    Label2 = Named(new QLabel(QStringLiteral("Quotaplan"), this), "Label2", {84, 20, 250, 26});
    QFont name = Label2->font();
    name.setPointSizeF(name.pointSizeF() * 1.8);
    name.setBold(true);
    Label2->setFont(name);
    Label1 = Named(new QLabel(QStringLiteral("Software per la gestione dei finaziamenti \n"
                                             "a rata costante."),
                              this),
                   "Label1", {84, 50, 260, 36});
    // The design-time text; the version is set when the box loads.
    lblVersion = Named(new QLabel(QStringLiteral("4.0.0"), this), "lblVersion", {84, 94, 200, 18});
    lblVersion->setText(QString::fromStdString(ProgramVersion()));

    cmdClose = new QPushButton(QStringLiteral("Chiudi"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setGeometry(272, 134, 80, 26);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);
}

bool AboutBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Image1 && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        OpenWebPage(shell_, boxes_, kProductPagePath);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace quotaplan
