#include "ui/fitting_figures.h"

#include <QEvent>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>

namespace quotaplan {
namespace {

// Below this a figure is no longer read at a glance.
constexpr double kSmallestPoints = 5.0;
constexpr double kStepPoints = 0.5;
// QLineEdit keeps this many pixels free at either side of its text, and one for the caret.
constexpr int kLineEditSideMargin = 2;

// The width a QLineEdit gives its text.
int TextRoom(const QLineEdit& field) {
    QStyleOptionFrame option;
    option.initFrom(&field);
    option.rect = field.rect();
    option.lineWidth =
        field.hasFrame() ? field.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &field)
                         : 0;
    option.midLineWidth = 0;
    option.state |= QStyle::State_Sunken;
    const QRect contents = field.style()
                               ->subElementRect(QStyle::SE_LineEditContents, &option, &field)
                               .marginsRemoved(field.textMargins());
    return contents.width() - 2 * kLineEditSideMargin - 1;
}

class FigureFitter : public QObject {
public:
    explicit FigureFitter(QLineEdit* field) : QObject(field), field_(field), own_(field->font()) {
        connect(field, &QLineEdit::textChanged, this, &FigureFitter::Fit);
        field->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize) Fit();
        return false;
    }

private:
    void Fit() {
        const QString text = field_->text();
        const int room = TextRoom(*field_);
        QFont font = own_;
        auto tooWide = [&] { return QFontMetrics(font).horizontalAdvance(text) > room; };
        while (font.pointSizeF() - kStepPoints >= kSmallestPoints && tooWide()) {
            font.setPointSizeF(font.pointSizeF() - kStepPoints);
        }
        if (field_->font() != font) field_->setFont(font);
        // QLineEdit shows the end of a text it cannot hold, where the caret stands after a
        // change: the leading digits, which give the figure its size, are what must show.
        if (tooWide() && !field_->hasFocus()) field_->setCursorPosition(0);
    }

    QLineEdit* field_;
    QFont own_;
};

}  // namespace

void FitFigureToField(QLineEdit* field) { new FigureFitter(field); }

void FitFiguresToFields(QWidget* root) {
    for (QLineEdit* field : root->findChildren<QLineEdit*>()) {
        if (field->alignment() & Qt::AlignRight) FitFigureToField(field);
    }
}

}  // namespace quotaplan
