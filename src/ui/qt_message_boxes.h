#pragma once

#include <QString>
#include <memory>

#include "common/message_boxes.h"

class QMessageBox;
class QWidget;

namespace quotaplan {

// The message box Show() runs: icon, prompt, buttons ("Sì"/"No" or OK) and title, and at
// least as wide as its title needs, so that the window's frame does not cut the title of a
// box with a short prompt.
std::unique_ptr<QMessageBox> BuildMessageBox(const BoxRequest& box, QWidget* parent);

// The width a window needs for `title` in its frame, the frame's icon and buttons included.
int TitleBarWidth(const QString& title);

// The window's message boxes: QMessageBox with the requested icon, buttons and title, and
// QInputDialog for the input box, QFileDialog for the file chooser, ChoiceDialog for the list
// chooser. Modal over `parent` (or the active window).
class QtMessageBoxes : public MessageBoxes {
public:
    explicit QtMessageBoxes(QWidget* parent = nullptr) : parent_(parent) {}

    void SetParent(QWidget* parent) { parent_ = parent; }

    BoxAnswer Show(const BoxRequest& box) override;
    std::optional<std::string> AskText(const std::string& prompt, const std::string& title,
                                       const std::string& defaultText) override;
    std::optional<std::string> AskOpenFile(const std::string& title,
                                           const std::string& filter) override;
    std::optional<std::string> AskChoice(const ChoiceRequest& request) override;

private:
    QWidget* parent_;
};

}  // namespace quotaplan
