#include "ui/button_keys.h"

#include <QEvent>
#include <QKeyEvent>
#include <QPushButton>

namespace quotaplan {
namespace {

class EnterPressesButton : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
        auto* button = qobject_cast<QPushButton*>(watched);
        if (button == nullptr || !button->isEnabled()) return false;
        button->click();
        return true;
    }
};

}  // namespace

void PressButtonsOnEnter(QWidget* root) {
    auto* filter = new EnterPressesButton(root);
    for (QPushButton* button : root->findChildren<QPushButton*>()) {
        button->installEventFilter(filter);
    }
}

}  // namespace quotaplan
