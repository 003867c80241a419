// The "Grafico" page: empty before a calculation, the plan's figures after one, emptied by
// New, the tooltips over bars and line, and a chart that grows with its page.
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QLineSeries>
#include <QStackedBarSeries>
#include <QTabWidget>
#include <QTest>
#include <QToolTip>

#include "common/clock.h"
#include "engine/plan_builder.h"
#include "output/plan_chart_data.h"
#include "ui/chart_page.h"
#include "window_fixture.h"

using namespace quotaplan;
using namespace quotaplan::test;

namespace {

QStackedBarSeries* Bars(QChart* chart) {
    for (QAbstractSeries* series : chart->series()) {
        if (auto* bars = qobject_cast<QStackedBarSeries*>(series)) return bars;
    }
    return nullptr;
}

QLineSeries* Residual(QChart* chart) {
    for (QAbstractSeries* series : chart->series()) {
        if (auto* line = qobject_cast<QLineSeries*>(series)) return line;
    }
    return nullptr;
}

}  // namespace

class ChartPageTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        today_.emplace(*CalendarDate::FromYmd(2006, 1, 15));
        f_ = std::make_unique<WindowFixture>();
    }
    void cleanup() {
        QToolTip::hideText();
        f_.reset();
        today_.reset();
    }

    void fourthPageIsEmptyBeforeACalculation() {
        QTabWidget* tabs = f_->window->Tabs();
        QCOMPARE(tabs->count(), 4);
        QCOMPARE(tabs->tabText(3), QString("Grafico"));
        QCOMPARE(tabs->widget(3)->objectName(), QString("tabGrafico"));
        QCOMPARE(tabs->widget(3), static_cast<QWidget*>(Page()));
        QVERIFY(Page()->Chart()->series().isEmpty());
    }

    // After "Calcola" the bars hold each instalment's capital and interest share and the line
    // its residual debt; a rate calculation leaves the chart as the grid, New empties both.
    void followsTheInstalmentCalculation() {
        CalculateLeasing();
        const FinancialPlan& plan = f_->window->Contract()->Plan();
        QStackedBarSeries* bars = Bars(Page()->Chart());
        QLineSeries* residual = Residual(Page()->Chart());
        QVERIFY(bars != nullptr && residual != nullptr);
        QCOMPARE(bars->barSets().size(), 2);
        QCOMPARE(bars->barSets()[0]->count(), 36);
        QCOMPARE(residual->count(), 36);
        for (int k = 0; k < 36; ++k) {
            const PlanRow& row = plan.rows[static_cast<std::size_t>(k)];
            QCOMPARE(bars->barSets()[0]->at(k), qreal(row.QCapitale));
            QCOMPARE(bars->barSets()[1]->at(k), qreal(row.QInteressi));
            QCOMPARE(residual->at(k), QPointF(k, row.DebitoRes));
        }
        // The first bar is the grid's first instalment row.
        QCOMPARE(f_->Cell(2, 3), QString("598,76"));
        QCOMPARE(bars->barSets()[0]->at(0), qreal(598.76f));

        f_->Choose(f_->C().optFormula[1]);  // "Tasso"
        f_->Enter("txtResult", "800");
        QStackedBarSeries* before = Bars(Page()->Chart());
        f_->Calcola();
        QVERIFY(f_->boxes.shown.empty());
        QVERIFY(!f_->Stale());
        QCOMPARE(Bars(Page()->Chart()), before);

        f_->boxes.ScriptAnswer(BoxAnswer::No);
        QTest::mouseClick(f_->C().cmdNuovo, Qt::LeftButton);
        QCOMPARE(f_->Grid()->Rows(), 1);
        QVERIFY(Page()->Chart()->series().isEmpty());
    }

    // The mouse over a bar, or over the line above it, shows that bar's figures; moved off
    // the plot, nothing.
    void theMouseOverABarShowsItsFigures_data() {
        QTest::addColumn<int>("bar");
        QTest::addColumn<bool>("onTheLine");
        QTest::addColumn<QString>("tooltip");
        QTest::newRow("third bar") << 2 << false
                                   << "3° Rata del 30/04/06\nImporto: 761,97\nQ. Capitale: "
                                      "606,02\nQ. Interessi: 155,95\nDeb. Res.: 25.192,84";
        QTest::newRow("last bar") << 35 << false
                                  << "36° Rata del 31/01/09\nImporto: 761,97\nQ. Capitale: "
                                     "739,37\nQ. Interessi: 22,60\nDeb. Res.: 3.000,06";
        QTest::newRow("line above the tenth bar")
            << 9 << true
            << "10° Rata del 30/11/06\nImporto: 761,97\nQ. Capitale: 632,13\nQ. Interessi: "
               "129,84\nDeb. Res.: 20.846,87";
    }
    void theMouseOverABarShowsItsFigures() {
        QFETCH(int, bar);
        QFETCH(bool, onTheLine);
        CalculateLeasing();
        f_->window->Tabs()->setCurrentIndex(3);
        QChartView* view = Page()->chtPiano;
        QTRY_VERIFY(view->isVisible());
        QApplication::processEvents();
        QChart* chart = Page()->Chart();
        QStackedBarSeries* bars = Bars(chart);
        QLineSeries* residual = Residual(chart);
        // The middle of the bar's capital share, or the line's point above the bar.
        const QPointF scene =
            onTheLine ? chart->mapToPosition(residual->at(bar), residual)
                      : chart->mapToPosition(QPointF(bar, bars->barSets()[0]->at(bar) / 2), bars);
        const QPoint where = view->mapFromScene(scene);
        QTest::mouseMove(view->viewport(), where + QPoint(5, 5));
        QTest::mouseMove(view->viewport(), where);
        QTRY_VERIFY(QToolTip::isVisible());
        QTEST(QToolTip::text(), "tooltip");

        // The tip follows the pointer into the column of the bar before.
        const QPointF before = chart->mapToPosition(QPointF(bar - 1, 0), bars);
        QTest::mouseMove(view->viewport(), QPoint(view->mapFromScene(before).x(), where.y()));
        QTRY_VERIFY(QToolTip::text().startsWith(QStringLiteral("%1° Rata").arg(bar)));

        QTest::mouseMove(view->viewport(), QPoint(2, 2));
        QTRY_VERIFY(!QToolTip::isVisible());
    }

    // A plan of 32,767 instalments is drawn in bars of whole years, at most 200 of them.
    void longestPlanIsGatheredByYears() {
        FinancialPlan plan;
        BuildPlan(plan, 200000, 0, 0, 32767, 12, 0.0001f, 2, true, false, false,
                  *CalendarDate::FromYmd(2026, 1, 31), *CalendarDate::FromYmd(2026, 2, 28),
                  CalendarDate(), std::vector<float>(32767, 0.0001f), 1);
        Page()->ShowPlan(plan);
        QCOMPARE(Page()->Data().yearsPerBar, 14);
        QCOMPARE(Bars(Page()->Chart())->barSets()[0]->count(), 196);
        QCOMPARE(Residual(Page()->Chart())->count(), 196);
    }

    // The chart fills the page, however large the page becomes.
    void chartGrowsWithItsPage() {
        ChartPage page;
        page.resize(400, 300);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        const QSize small = page.chtPiano->size();
        page.resize(900, 700);
        QTRY_COMPARE(page.chtPiano->size(), small + QSize(500, 400));
    }

    // A picture of the page for the documentation, when a folder is given.
    void grabPage() {
        const QString folder = qEnvironmentVariable("QUOTAPLAN_SCREENSHOTS");
        if (folder.isEmpty()) QSKIP("QUOTAPLAN_SCREENSHOTS not set");
        CalculateLeasing();
        f_->window->Tabs()->setCurrentIndex(3);
        QApplication::processEvents();
        QVERIFY(f_->window->grab().save(QDir(folder).filePath("grafico.png")));
    }

private:
    ChartPage* Page() const { return f_->window->PlanChart(); }
    // The reference leasing of 36 instalments with maxi-instalment and buy-out, calculated.
    void CalculateLeasing() {
        f_->Enter("txtDescBene", "Fresatrice CNC");
        f_->FillLeasing();
        f_->Calcola();
        QVERIFY(f_->boxes.shown.empty());
    }

    std::optional<ScopedToday> today_;
    std::unique_ptr<WindowFixture> f_;
};

QTEST_MAIN(ChartPageTest)
#include "test_chart_page.moc"
