// The window under a dark palette: the result fields read (WCAG contrast of at least 4.5:1
// between their text and their background, taken from the pixels on screen) and the chart
// takes the palette's colours.
#include <QChartView>
#include <QDir>
#include <QImage>
#include <QStyleFactory>
#include <QTabWidget>
#include <cmath>
#include <map>

#include "ui/chart_page.h"
#include "window_fixture.h"

using namespace quotaplan;
using namespace quotaplan::test;

namespace {

QPalette DarkPalette() {
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::Base, QColor(0x23, 0x23, 0x23));
    dark.setColor(QPalette::AlternateBase, QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::Text, Qt::white);
    dark.setColor(QPalette::Button, QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::ButtonText, Qt::white);
    dark.setColor(QPalette::Mid, QColor(0x60, 0x60, 0x60));
    dark.setColor(QPalette::Highlight, QColor(0x2a, 0x82, 0xda));
    dark.setColor(QPalette::HighlightedText, Qt::black);
    return dark;
}

double Luminance(QRgb pixel) {
    const auto channel = [](int value) {
        const double c = value / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(pixel)) + 0.7152 * channel(qGreen(pixel)) +
           0.0722 * channel(qBlue(pixel));
}

double Contrast(QRgb a, QRgb b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QRgb MostFrequent(const QImage& image) {
    std::map<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) ++counts[image.pixel(x, y) | 0xFF000000];
    }
    return std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
               return a.second < b.second;
           })->first;
}

// The contrast of a field's text with its background: the background is the colour most of
// the inner area has, the text the pixel that stands out most from it (the core of a glyph).
double TextContrast(QWidget* field) {
    const QImage image = field->grab().toImage().copy(field->rect().adjusted(3, 3, -3, -3));
    const QRgb background = MostFrequent(image);
    double best = 1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            best = std::max(best, Contrast(background, image.pixel(x, y)));
        }
    }
    return best;
}

}  // namespace

class DarkThemeTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QApplication::setPalette(DarkPalette());
    }
    void init() { f_ = std::make_unique<WindowFixture>(); }
    void cleanup() { f_.reset(); }

    void resultFieldsRead_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("solveRate");
        QTest::newRow("instalment") << "txtResult" << false;
        QTest::newRow("TAEG") << "txtTAEG" << false;
        QTest::newRow("effective rate") << "txtTxEffettivo" << false;
        QTest::newRow("rate") << "txtTasso" << true;
    }
    void resultFieldsRead() {
        QFETCH(QString, field);
        QFETCH(bool, solveRate);
        f_->Enter("txtDescBene", "Fresatrice CNC");
        f_->FillLeasing();
        if (solveRate) {
            f_->Choose(f_->C().optFormula[1]);
            f_->Enter("txtResult", "800");
        }
        f_->Calcola();
        QVERIFY(f_->boxes.shown.empty());
        QLineEdit* shown = f_->Field(field.toLatin1().constData());
        QVERIFY(shown->isVisible());
        QVERIFY(!shown->text().isEmpty());
        const double contrast = TextContrast(shown);
        QVERIFY2(contrast >= 4.5, qPrintable(QString::number(contrast)));
    }

    // The chart's background and its axes' labels come from the palette.
    void chartFollowsThePalette() {
        f_->Enter("txtDescBene", "Fresatrice CNC");
        f_->FillLeasing();
        f_->Calcola();
        f_->window->Tabs()->setCurrentIndex(3);
        QApplication::processEvents();
        auto* view = f_->window->findChild<QChartView*>(QStringLiteral("chtPiano"));
        QVERIFY(view);
        QCOMPARE(QColor(MostFrequent(view->grab().toImage())), DarkPalette().color(QPalette::Base));
        for (const QAbstractAxis* axis : view->chart()->axes()) {
            QCOMPARE(axis->labelsColor(), QColor(Qt::white));
        }
        const QString folder = qEnvironmentVariable("QUOTAPLAN_SCREENSHOTS");
        if (!folder.isEmpty()) {
            QVERIFY(f_->window->grab().save(QDir(folder).filePath("grafico-scuro.png")));
        }
    }

    // A picture of the form, when a folder is given.
    void grabForm() {
        const QString folder = qEnvironmentVariable("QUOTAPLAN_SCREENSHOTS");
        if (folder.isEmpty()) QSKIP("QUOTAPLAN_SCREENSHOTS not set");
        f_->Enter("txtDescBene", "Fresatrice CNC");
        f_->FillLeasing();
        f_->Calcola();
        QVERIFY(f_->window->grab().save(QDir(folder).filePath("tema-scuro.png")));
    }

private:
    std::unique_ptr<WindowFixture> f_;
};

QTEST_MAIN(DarkThemeTest)
#include "test_dark_theme.moc"
