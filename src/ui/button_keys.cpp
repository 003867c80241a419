#include "ui/button_keys.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcutEvent>
#include <vector>

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

// Sits on the menu bar and hands the shared keys to the page's buttons while it is shown.
class PageButtonsFirst : public QObject {
public:
    PageButtonsFirst(QMenuBar* bar, QWidget* page) : QObject(bar), page_(page) {}

    void Add(QPushButton* button) { buttons_.push_back(button); }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::Shortcut || !page_->isVisible()) return false;
        const QKeySequence key = static_cast<QShortcutEvent*>(event)->key();
        for (QPushButton* button : buttons_) {
            if (QKeySequence::mnemonic(button->text()) != key) continue;
            if (button->isEnabled()) button->animateClick();
            return true;
        }
        return false;
    }

private:
    QWidget* page_;
    std::vector<QPushButton*> buttons_;
};

}  // namespace

void ShareMenuMnemonics(QMenuBar* bar, QWidget* page) {
    auto* router = new PageButtonsFirst(bar, page);
    bool shared = false;
    for (QPushButton* button : page->findChildren<QPushButton*>()) {
        const QKeySequence key = QKeySequence::mnemonic(button->text());
        if (key.isEmpty()) continue;
        for (const QAction* entry : bar->actions()) {
            if (QKeySequence::mnemonic(entry->text()) != key) continue;
            // The menu bar's key alone, so that it is never ambiguous.
            button->setShortcut(QKeySequence());
            router->Add(button);
            shared = true;
            break;
        }
    }
    if (shared) {
        bar->installEventFilter(router);
    } else {
        delete router;
    }
}

void PressButtonsOnEnter(QWidget* root) {
    auto* filter = new EnterPressesButton(root);
    for (QPushButton* button : root->findChildren<QPushButton*>()) {
        button->installEventFilter(filter);
    }
}

}  // namespace quotaplan
