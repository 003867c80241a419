// The Calculate command on a form snapshot: checks, messages with their focus, the three
// targets and the effective rate, without a window.
#include <QTest>

#include "common/calendar_date.h"
#include "common/date_text.h"
#include "common/recording_message_boxes.h"
#include "engine/financial_plan.h"
#include "ui/calculation_form.h"

using namespace quotaplan;

namespace {
QString Q(const std::string& text) { return QString::fromStdString(text); }

const CalendarDate kToday = *CalendarDate::FromYmd(2006, 1, 15);

// V 10000, 12 monthly instalments in arrears, compound, 6 %.
CalculationForm TenThousand() {
    CalculationForm form;
    form.descBene = "Auto";
    form.valBene = "10.000,00";
    form.tasso = "6";
    form.spread = "0";
    form.rate = "12";
    form.contract = "31/01/06";
    form.start = "28/02/06";
    form.compound = true;
    return form;
}

// V 30000, M 3000, B 3000, 36 monthly instalments in arrears, compound, 7,5 %, fees 250 and 5.
CalculationForm ThirtyThousand() {
    CalculationForm form = TenThousand();
    form.valBene = "30.000,00";
    form.maxi.amountText = "3.000,00";
    form.riscatto.amountText = "3.000,00";
    form.tasso = "7,5";
    form.rate = "36";
    form.spContratto = "250,00";
    form.spRata = "5,00";
    return form;
}

// The command run once on a form, with the plan it built and the boxes it showed.
struct Run {
    FinancialPlan plan;
    RecordingMessageBoxes boxes;
    CalculationOutcome out;
    explicit Run(CalculationForm& form) : out(RunCalculateCommand(form, plan, boxes, kToday)) {}
    QString Prompt() const { return Q(boxes.shown.at(0).prompt); }
};
}  // namespace

class CalculateCommandTest : public QObject {
    Q_OBJECT
private slots:
    // The checks are FirstRefusal's; here, that a refusal is shown with its field for the
    // focus and stops the command before anything is calculated.
    void refusals_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("target");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("focus");
        const int arrears = int(CalcTarget::Instalment), rate = int(CalcTarget::Rate);
        QTest::newRow("no description") << "desc" << "" << arrears
                                        << "Inserire la descrizione del bene!"
                                        << int(FormField::DescBene);
        QTest::newRow("buy-out date 31/02") << "buyoutDate" << "31/02/2007" << arrears
                                            << "Inserire una data valida!"
                                            << int(FormField::DataRiscatto);
        QTest::newRow("maxi too long") << "maxi" << "12345678901234567" << arrears
                                       << "Valore MaxiRata troppo alto" << int(FormField::Maxi);
        QTest::newRow("rate target without instalment")
            << "result" << "0" << rate << "Inserire la rata!" << int(FormField::Result);
        QTest::newRow("negative instalment")
            << "result" << "-5" << rate << "Inserire una rata valida." << int(FormField::Result);
    }
    void refusals() {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(int, target);
        QFETCH(QString, message);
        QFETCH(int, focus);
        CalculationForm form = TenThousand();
        form.target = static_cast<CalcTarget>(target);
        std::string* slot = field == "desc"         ? &form.descBene
                            : field == "buyoutDate" ? &form.dataRiscatto
                            : field == "maxi"       ? &form.maxi.amountText
                                                    : &form.result;
        *slot = text.toStdString();
        const Run r(form);
        QCOMPARE(r.boxes.shown.size(), std::size_t(1));
        QCOMPARE(r.Prompt(), message);
        // An amount too long for its field has the exclamation box under the bare name; the
        // other refusals are plain messages.
        const bool tooLong = field == "maxi";
        QCOMPARE(Q(r.boxes.shown[0].title), QString(tooLong ? "Quotaplan" : "Quotaplan 4.0.0"));
        QCOMPARE(r.boxes.shown[0].icon, tooLong ? BoxIcon::Exclamation : BoxIcon::None);
        QVERIFY(r.out.focus.has_value());
        QCOMPARE(int(*r.out.focus), focus);
        QVERIFY(!r.out.planBuilt);
        QVERIFY(!r.out.effectiveRateShown);
        QVERIFY(!r.plan.PlanReady);
    }

    // Which lists count as indexed for the rule of a zero index with a spread: one made by
    // indexing or stored, not one typed or emptied by an edit.
    void zeroTassoWithASpread_data() {
        QTest::addColumn<int>("origin");
        QTest::addColumn<int>("listRows");
        QTest::addColumn<QString>("spread");
        QTest::addColumn<bool>("calculated");
        QTest::newRow("indexed") << int(RateListOrigin::Indexed) << 12 << "1,5" << true;
        QTest::newRow("stored") << int(RateListOrigin::Stored) << 12 << "1,5" << true;
        QTest::newRow("typed") << int(RateListOrigin::Form) << 12 << "1,5" << false;
        QTest::newRow("indexed, list emptied")
            << int(RateListOrigin::Indexed) << 0 << "1,5" << false;
    }
    void zeroTassoWithASpread() {
        QFETCH(int, origin);
        QFETCH(int, listRows);
        QFETCH(QString, spread);
        QFETCH(bool, calculated);
        CalculationForm form = TenThousand();
        form.tasso = "0,00";
        form.spread = spread.toStdString();
        form.rateListOrigin = static_cast<RateListOrigin>(origin);
        for (int k = 0; k < listRows; ++k) {
            const std::string date = FormatDate(CalendarDate::FromYmdCarrying(2006, 2 + k, 28), 1);
            form.rateList.push_back({date, date, "1,50"});
        }
        const Run r(form);
        QCOMPARE(r.out.planBuilt, calculated);
        if (!calculated) {
            QCOMPARE(r.boxes.shown.size(), std::size_t(1));
            QCOMPARE(r.Prompt(), QString("Inserire il Tasso!"));
            QCOMPARE(int(*r.out.focus), int(FormField::Tasso));
            return;
        }
        QVERIFY(r.boxes.shown.empty());
    }

    // An empty contract date is today; an empty first date one period after the contract
    // date (in advance the second instalment's), never the signing day.
    void emptyDatesBecomeTodayAndOnePeriodOn_data() {
        QTest::addColumn<QString>("contract");
        QTest::addColumn<int>("periodicityIndex");
        QTest::addColumn<bool>("advance");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("firstRow");
        QTest::newRow("both empty, monthly") << "" << 0 << false << "15/02/06" << "2006-02-15";
        QTest::newRow("end of month, quarterly") << "31/01/06" << 2 << false << "30/04/06"
                                                 << "2006-04-30";
        QTest::newRow("in advance, half-yearly") << "10/03/06" << 4 << true << "10/09/06"
                                                 << "2006-03-10";
    }
    void emptyDatesBecomeTodayAndOnePeriodOn() {
        QFETCH(QString, contract);
        QFETCH(int, periodicityIndex);
        QFETCH(bool, advance);
        CalculationForm form = TenThousand();
        form.contract = contract.toStdString();
        form.start.clear();
        form.periodicityIndex = periodicityIndex;
        form.advance = advance;
        form.maxi.amountText = "abc";
        const Run r(form);
        QVERIFY(r.boxes.shown.empty());
        if (contract.isEmpty()) QCOMPARE(Q(form.contract), QString("15/01/06"));
        QTEST(Q(form.start), "start");
        QTEST(Q(r.plan.rows.at(0).Data.Iso()), "firstRow");
        QCOMPARE(Q(form.maxi.amountText), QString("0"));
        QVERIFY(r.out.planBuilt);
        QVERIFY(!r.out.earlyFirstDate);
    }

    // Arrears starting on or before the signing day are calculated, with the warning.
    void earlyFirstDateIsWarnedNotRefused_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<bool>("advance");
        QTest::addColumn<bool>("warned");
        QTest::newRow("arrears, contract day") << "15/01/06" << false << true;
        QTest::newRow("arrears, before") << "01/01/06" << false << true;
        QTest::newRow("arrears, a month on") << "15/02/06" << false << false;
        QTest::newRow("advance, contract day") << "15/01/06" << true << false;
    }
    void earlyFirstDateIsWarnedNotRefused() {
        QFETCH(QString, start);
        QFETCH(bool, advance);
        CalculationForm form = TenThousand();
        form.contract = "15/01/06";
        form.start = start.toStdString();
        form.advance = advance;
        const Run r(form);
        QVERIFY(r.boxes.shown.empty());
        QVERIFY(r.out.planBuilt);
        QTEST(r.out.earlyFirstDate, "warned");
    }

    void instalmentRoad() {
        CalculationForm form = TenThousand();
        const Run r(form);
        QVERIFY(r.boxes.shown.empty());
        QCOMPARE(Q(form.result), QString("859,93"));
        QCOMPARE(Q(form.txEffettivo), QString("6,00%"));
        QCOMPARE(r.plan.Count(), 12);
        QCOMPARE(form.rateList.size(), std::size_t(12));
        QCOMPARE(Q(form.rateList[11].rate), QString("6,00"));
        QVERIFY(r.out.planBuilt && r.out.effectiveRateShown);
        QCOMPARE(r.out.saveEnabled, std::optional<bool>(true));
    }

    void effectiveRateCountsTheFees() {
        CalculationForm form = ThirtyThousand();
        const Run r(form);
        QCOMPARE(Q(form.result), QString("761,97"));
        QCOMPARE(Q(form.txEffettivo), QString("8,52%"));
    }

    void rateRoadTakesOffTheSpread() {
        CalculationForm form = TenThousand();
        form.target = CalcTarget::Rate;
        form.tasso = "0";
        form.spread = "1,5";
        form.result = "859,93";
        form.rateList = {{"a", "28/02/06", "6,00"}};
        const Run r(form);
        QVERIFY(r.boxes.shown.empty());
        QCOMPARE(Q(form.tasso), QString("4,5"));
        QVERIFY(form.rateList.empty());
        QVERIFY(!r.out.planBuilt);
        QVERIFY(!r.plan.PlanReady);
        QCOMPARE(r.out.saveEnabled, std::optional<bool>(false));
        QVERIFY(r.out.effectiveRateShown);
    }

    void assetValueRoad() {
        CalculationForm form = ThirtyThousand();
        form.target = CalcTarget::AssetValue;
        form.valBene = "0";
        form.maxi.percentText = "0";
        form.result = "761,97";
        form.spContratto = "0";
        form.spRata = "0";
        const Run r(form);
        QVERIFY(r.boxes.shown.empty());
        QCOMPARE(Q(form.valBene), QString("30.000,00"));
        QCOMPARE(Q(form.maxi.percentText), QString("10,00"));
        QCOMPARE(Q(form.maxi.percentTooltip), QString("Percentuale effettiva : 10"));
        QCOMPARE(Q(form.txEffettivo), QString("7,50%"));
        QVERIFY(!r.out.planBuilt);
    }

    void engineErrorIsShownWithItsNumber() {
        CalculationForm form = TenThousand();
        // The list drops the rate to 0 at the second instalment: a periodic rate of 0.
        form.rateList = {{"a", "28/02/06", "6,00"}, {"b", "31/03/06", "0,00"}};
        form.tasso = "6";
        const Run r(form);
        QCOMPARE(r.boxes.shown.size(), std::size_t(1));
        QCOMPARE(int(r.boxes.shown[0].icon), int(BoxIcon::Critical));
        QCOMPARE(Q(r.boxes.shown[0].title), QString("Quotaplan"));
        QVERIFY(r.Prompt().endsWith("\nErrore Numero: 00011"));
        QVERIFY(!r.out.effectiveRateShown);
    }
};

QTEST_GUILESS_MAIN(CalculateCommandTest)
#include "test_calculate_command.moc"
