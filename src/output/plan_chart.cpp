#include "output/plan_chart.h"

#include <QApplication>
#include <QBarSet>
#include <QBuffer>
#include <QCategoryAxis>
#include <QChart>
#include <QGraphicsScene>
#include <QLineSeries>
#include <QPainter>
#include <QStackedBarSeries>
#include <QValueAxis>
#include <algorithm>

#include "output/export_file.h"
#include "output/plan_print.h"
#include "output/text_export.h"

namespace quotaplan {
namespace {

// The room a label of the horizontal axis takes at most, so that dates never overlap; and
// the width BuildPlanChart labels for.
constexpr double kPixelsPerLabel = 100;
constexpr double kBuiltWidth = 1200;
// Beyond this many bars, bars touch: thin bars with gaps would show more gap than bar.
constexpr std::size_t kDenseBars = 60;
// The picture is laid out at 1280 x 720 and drawn a quarter larger, so its text reads well.
constexpr double kImageScale = 1.25;

const QColor kCapitalColour(0x2e, 0x6d, 0xb4);
const QColor kInterestColour(0xf0, 0x8c, 0x28);
const QColor kResidualColour(0xb0, 0x1c, 0x2e);

QString Text(const std::string& text) { return QString::fromStdString(text); }

struct Range {
    double low = 0;
    double high = 0;
    void Take(double value) {
        low = std::min(low, value);
        high = std::max(high, value);
    }
};

// A negative part below this share of the positive one is left out of an axis: a residual
// debt that ends a few cents below zero would otherwise start the axis at a round -50.000
// and move its zero away from the other axis's.
constexpr double kNegligibleShare = 0.01;

// An axis of amounts: round tick values, whole units in the Italian form unless the
// amounts are all below 10.
QValueAxis* AmountAxis(const QString& title, Range range) {
    auto* axis = new QValueAxis;
    axis->setTitleText(title);
    if (range.low < 0 && -range.low < range.high * kNegligibleShare) range.low = 0;
    if (range.high <= range.low) range.high = range.low + 1;
    axis->setRange(range.low, range.high);
    axis->applyNiceNumbers();
    const bool small = std::max(std::abs(axis->min()), std::abs(axis->max())) < 10;
    axis->setLabelFormat(small ? QStringLiteral("%.2f") : QStringLiteral("%.0f"));
    return axis;
}

void LabelBars(QCategoryAxis& axis, const PlanChartData& data, double width) {
    for (const QString& label : axis.categoriesLabels()) axis.remove(label);
    const auto maxLabels = static_cast<std::size_t>(std::max(1.0, width / kPixelsPerLabel));
    for (std::size_t bar : ChartLabelledBars(data, maxLabels)) {
        const QString label = Text(ChartBarLabel(data, bar));
        // The axis wants distinct labels; a repeated one (two instalments on one day) is
        // left to its first bar.
        if (!axis.categoriesLabels().contains(label)) {
            axis.append(label, static_cast<double>(bar));
        }
    }
}

QCategoryAxis* BarAxis(const PlanChartData& data) {
    auto* axis = new QCategoryAxis;
    axis->setTitleText(Text(ChartAxisTitle(data)));
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    const double last = static_cast<double>(data.bars.size()) - 1;
    axis->setRange(-0.5, last + 0.5);
    axis->setStartValue(-0.5);
    axis->setGridLineVisible(false);
    LabelBars(*axis, data, kBuiltWidth);
    return axis;
}

// Outlined in their own colour, so that touching bars show no seams between them.
QBarSet* Bars(const char* name, const QColor& colour) {
    auto* set = new QBarSet(QString::fromUtf8(name));
    set->setColor(colour);
    set->setBorderColor(colour);
    return set;
}

}  // namespace

std::unique_ptr<QChart> BuildPlanChart(const PlanChartData& data, const std::string& title) {
    auto chart = std::make_unique<QChart>();
    chart->setTitle(Text(title));
    chart->setBackgroundRoundness(0);
    chart->setDropShadowEnabled(false);
    chart->setLocalizeNumbers(true);
    chart->setLocale(QLocale(QLocale::Italian, QLocale::Italy));
    chart->legend()->setAlignment(Qt::AlignBottom);
    if (data.Empty()) {
        chart->legend()->hide();
        return chart;
    }
    const bool dense = data.bars.size() > kDenseBars;
    QBarSet* capital = Bars(kCapitalSeriesName, kCapitalColour);
    QBarSet* interest = Bars(kInterestSeriesName, kInterestColour);
    auto* residual = new QLineSeries;
    residual->setName(QString::fromUtf8(kResidualSeriesName));
    residual->setPen(QPen(kResidualColour, 2));
    QList<qreal> capitals, interests;
    QList<QPointF> residuals;
    Range shares, debt;
    for (std::size_t k = 0; k < data.bars.size(); ++k) {
        const ChartBar& bar = data.bars[k];
        capitals.append(bar.capital);
        interests.append(bar.interest);
        residuals.append(QPointF(static_cast<double>(k), bar.residual));
        // Stacked bars pile the positive shares upwards and the negative ones downwards.
        shares.Take(std::max(bar.capital, 0.0) + std::max(bar.interest, 0.0));
        shares.Take(std::min(bar.capital, 0.0) + std::min(bar.interest, 0.0));
        debt.Take(bar.residual);
    }
    capital->append(capitals);
    interest->append(interests);
    residual->replace(residuals);

    auto* bars = new QStackedBarSeries;
    bars->append(capital);
    bars->append(interest);
    bars->setBarWidth(dense ? 1.0 : 0.7);
    chart->addSeries(bars);
    chart->addSeries(residual);

    QCategoryAxis* horizontal = BarAxis(data);
    QValueAxis* left = AmountAxis(QStringLiteral("Quote della rata"), shares);
    QValueAxis* right = AmountAxis(QString::fromUtf8(kResidualSeriesName), debt);
    right->setGridLineVisible(false);
    chart->addAxis(horizontal, Qt::AlignBottom);
    chart->addAxis(left, Qt::AlignLeft);
    chart->addAxis(right, Qt::AlignRight);
    bars->attachAxis(horizontal);
    bars->attachAxis(left);
    residual->attachAxis(horizontal);
    residual->attachAxis(right);
    return chart;
}

void FitBarAxisLabels(QChart& chart, const PlanChartData& data, double width) {
    for (QAbstractAxis* axis : chart.axes(Qt::Horizontal)) {
        if (auto* bars = qobject_cast<QCategoryAxis*>(axis)) LabelBars(*bars, data, width);
    }
}

bool ChartsCanBeDrawn() {
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

void DrawPlanChart(QPainter& painter, const QRectF& target, const PlanChartData& data,
                   const std::string& title, double scale) {
    if (!ChartsCanBeDrawn() || scale <= 0) return;
    QGraphicsScene scene;
    QChart* chart = BuildPlanChart(data, title).release();
    scene.addItem(chart);  // the scene owns the chart from here on
    const QRectF layout(QPointF(0, 0), target.size() / scale);
    FitBarAxisLabels(*chart, data, layout.width());
    chart->setGeometry(layout);
    scene.setSceneRect(layout);
    scene.render(&painter, target, layout, Qt::IgnoreAspectRatio);
}

QImage PlanChartImage(const PlanChartData& data, const std::string& title) {
    if (!ChartsCanBeDrawn()) return {};
    QImage image(kChartImageWidth, kChartImageHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawPlanChart(painter, QRectF(image.rect()), data, title, kImageScale);
    return image;
}

ExportResult ExportChartPng(const std::filesystem::path& folder, std::string description,
                            const FinancialPlan& plan) {
    if (!plan.PlanReady) return NoPlanResult();
    const std::string title = PrintTitle(description);
    const std::filesystem::path file = ExportFilePath(folder, std::move(description), ".png");
    const QImage image = PlanChartImage(PlanChartDataOf(plan), title);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (image.isNull() || !buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) {
        return ExportResult{ExportCode::WriteError,
                            "Impossibile disegnare il grafico del file " + file.string(), file};
    }
    return WriteExportFile(file, std::string_view(bytes.constData(), bytes.size()));
}

}  // namespace quotaplan
