// The Calculate command on a form snapshot: checks, messages with their focus, the three
// targets and the effective rate, without a window.
#include <QTest>

#include "common/calendar_date.h"
#include "common/clock.h"
#include "common/date_text.h"
#include "common/recording_message_boxes.h"
#include "engine/financial_plan.h"
#include "ui/calculation_form.h"

using namespace quotaplan;

namespace {
QString Q(const std::string& text) { return QString::fromStdString(text); }

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
}  // namespace

class CalculateCommandTest : public QObject {
    Q_OBJECT
private slots:
    void init() { today_.emplace(*CalendarDate::FromYmd(2006, 1, 15)); }
    void cleanup() { today_.reset(); }

    void refusals_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("target");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("focus");
        QTest::newRow("no description")
            << "desc"
            << "" << 0 << "Inserire la descrizione del bene!" << int(FormField::DescBene);
        QTest::newRow("value empty")
            << "value"
            << "" << 0 << "Inserire il Valore del bene!" << int(FormField::ValBene);
        QTest::newRow("rate empty") << "tasso"
                                    << "" << 0 << "Inserire il Tasso!" << int(FormField::Tasso);
        QTest::newRow("rate 0,00") << "tasso"
                                   << "0,00" << 0 << "Inserire il Tasso!" << int(FormField::Tasso);
        QTest::newRow("count 0") << "rate"
                                 << "0" << 0 << "Inserire il Numero di rate!"
                                 << int(FormField::Rate);
        QTest::newRow("buy-out date 31/02")
            << "buyoutDate"
            << "31/02/2007" << 0 << "Inserire una data valida!" << int(FormField::DataRiscatto);
        QTest::newRow("contract date word")
            << "contract"
            << "ieri" << 0 << "Inserire una data valida!" << int(FormField::Contract);
        QTest::newRow("rate target without instalment")
            << "result"
            << "0" << 1 << "Inserire la rata!" << int(FormField::Result);
        QTest::newRow("17-character value")
            << "value"
            << "10.000.000.000,00" << 0 << "Valore bene troppo alto" << int(FormField::ValBene);
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
                            : field == "value"      ? &form.valBene
                            : field == "tasso"      ? &form.tasso
                            : field == "rate"       ? &form.rate
                            : field == "buyoutDate" ? &form.dataRiscatto
                            : field == "contract"   ? &form.contract
                                                    : &form.result;
        *slot = text.toStdString();
        FinancialPlan plan;
        RecordingMessageBoxes boxes;
        const CalculationOutcome out = RunCalculateCommand(form, plan, boxes);
        QCOMPARE(boxes.shown.size(), std::size_t(1));
        QCOMPARE(Q(boxes.shown[0].prompt), message);
        QVERIFY(out.focus.has_value());
        QCOMPARE(int(*out.focus), focus);
        QVERIFY(!out.planBuilt);
        QVERIFY(!out.effectiveRateShown);
        QVERIFY(!plan.PlanReady);
    }

    // Rates under 1 % are real (promotional credit, low-rate years): the check reads the
    // number the field shows, not the text up to its comma.
    void rateBelowOnePercentIsCalculated() {
        CalculationForm form = TenThousand();
        form.tasso = "0,75";
        FinancialPlan plan;
        RecordingMessageBoxes boxes;
        const CalculationOutcome out = RunCalculateCommand(form, plan, boxes);
        QVERIFY(boxes.shown.empty());
        QVERIFY(out.planBuilt);
        QCOMPARE(Q(form.result), QString("836,71"));
    }

    // An index worth 0,00 on the contract date gives Tasso 0 and leaves the contract its
    // spread: calculated when the list comes from indexing or from a stored contract, as
    // Tasso 1,5 without spread is; a Tasso of 0 typed with a spread is still refused.
    void zeroTassoWithASpread_data() {
        QTest::addColumn<int>("origin");
        QTest::addColumn<int>("listRows");
        QTest::addColumn<QString>("spread");
        QTest::addColumn<bool>("calculated");
        QTest::newRow("indexed") << int(RateListOrigin::Indexed) << 12 << "1,5" << true;
        QTest::newRow("stored") << int(RateListOrigin::Stored) << 12 << "1,5" << true;
        QTest::newRow("typed") << int(RateListOrigin::Form) << 12 << "1,5" << false;
        QTest::newRow("indexed, no spread") << int(RateListOrigin::Indexed) << 12 << "0" << false;
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
        FinancialPlan plan;
        RecordingMessageBoxes boxes;
        const CalculationOutcome out = RunCalculateCommand(form, plan, boxes);
        QCOMPARE(out.planBuilt, calculated);
        if (!calculated) {
            QCOMPARE(boxes.shown.size(), std::size_t(1));
            QCOMPARE(Q(boxes.shown[0].prompt), QString("Inserire il Tasso!"));
            QCOMPARE(int(*out.focus), int(FormField::Tasso));
            return;
        }
        QVERIFY(boxes.shown.empty());
        CalculationForm typed = TenThousand();
        typed.tasso = "1,5";
        FinancialPlan typedPlan;
        RunCalculateCommand(typed, typedPlan, boxes);
        QCOMPARE(Q(form.result), Q(typed.result));
        QCOMPARE(Q(form.result), QString("840,07"));
    }

    // The buy-out closes the contract: a date before the last instalment (31/01/07 in
    // arrears, 31/12/06 in advance; in advance to the cent a period later, 31/01/07) would
    // charge negative interest, and is refused as an invalid date whatever is calculated;
    // the buy-out's own due date is accepted.
    void buyoutDateAgainstTheLastInstalment_data() {
        QTest::addColumn<bool>("advance");
        QTest::addColumn<bool>("centesimo");
        QTest::addColumn<int>("target");
        QTest::addColumn<QString>("buyoutDate");
        QTest::addColumn<bool>("refused");
        QTest::newRow("arrears, day before") << false << false << 0 << "30/01/07" << true;
        QTest::newRow("arrears, same day") << false << false << 0 << "31/01/07" << false;
        QTest::newRow("advance, day before") << true << false << 0 << "30/12/06" << true;
        QTest::newRow("advance, same day") << true << false << 0 << "31/12/06" << false;
        QTest::newRow("advance to the cent, last instalment's day")
            << true << true << 0 << "31/12/06" << true;
        QTest::newRow("advance to the cent, a period after")
            << true << true << 0 << "31/01/07" << false;
        QTest::newRow("rate target, day before") << false << false << 1 << "30/01/07" << true;
        QTest::newRow("value target, month before") << false << false << 3 << "31/12/06" << true;
    }
    void buyoutDateAgainstTheLastInstalment() {
        QFETCH(bool, advance);
        QFETCH(bool, centesimo);
        QFETCH(int, target);
        QFETCH(QString, buyoutDate);
        QFETCH(bool, refused);
        CalculationForm form = TenThousand();
        form.advance = advance;
        form.centesimo = centesimo;
        form.target = static_cast<CalcTarget>(target);
        form.result = "859,93";
        form.riscatto.amountText = "1.000,00";
        form.intRiscatto = true;
        form.dataRiscatto = buyoutDate.toStdString();
        FinancialPlan plan;
        RecordingMessageBoxes boxes;
        const CalculationOutcome out = RunCalculateCommand(form, plan, boxes);
        if (refused) {
            QCOMPARE(boxes.shown.size(), std::size_t(1));
            QCOMPARE(Q(boxes.shown[0].prompt), QString("Inserire una data valida!"));
            QCOMPARE(int(out.focus.value()), int(FormField::DataRiscatto));
            QVERIFY(!plan.PlanReady);
            QVERIFY(!out.effectiveRateShown);
        } else {
            QVERIFY(boxes.shown.empty());
            // On its due date the buy-out has no interest yet.
            QCOMPARE(plan.InteressiRiscatto, 0.0f);
        }
    }

    void tooLongValueBoxHasItsTitleAndIcon() {
        CalculationForm form = TenThousand();
        form.maxi.amountText = "12345678901234567";
        FinancialPlan plan;
        RecordingMessageBoxes boxes;
        RunCalculateCommand(form, plan, boxes);
        QCOMPARE(Q(boxes.shown.at(0).prompt), QString("Valore MaxiRata troppo alto"));
        QCOMPARE(Q(boxes.shown[0].title), QString("Quotaplan"));
        QCOMPARE(int(boxes.shown[0].icon), int(BoxIcon::Exclamation));
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
        FinancialPlan plan;
        RecordingMessageBoxes boxes;
        const CalculationOutcome out = RunCalculateCommand(form, plan, boxes);
        QVERIFY(boxes.shown.empty());
        if (contract.isEmpty()) QCOMPARE(Q(form.contract), QString("15/01/06"));
        QTEST(Q(form.start), "start");
        QTEST(Q(plan.rows.at(0).Data.Iso()), "firstRow");
        QCOMPARE(Q(form.maxi.amountText), QString("0"));
        QVERIFY(out.planBuilt);
        QVERIFY(!out.earlyFirstDate);
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
        FinancialPlan plan;
        RecordingMessageBoxes boxes;
        const CalculationOutcome out = RunCalculateCommand(form, plan, boxes);
        QVERIFY(boxes.shown.empty());
        QVERIFY(out.planBuilt);
        QTEST(out.earlyFirstDate, "warned");
    }

    void instalmentRoad() {
        CalculationForm form = TenThousand();
        FinancialPlan plan;
        RecordingMessageBoxes boxes;
        const CalculationOutcome out = RunCalculateCommand(form, plan, boxes);
        QVERIFY(boxes.shown.empty());
        QCOMPARE(Q(form.result), QString("859,93"));
        QCOMPARE(Q(form.txEffettivo), QString("6,00%"));
        QCOMPARE(plan.Count(), 12);
        QCOMPARE(form.rateList.size(), std::size_t(12));
        QCOMPARE(Q(form.rateList[11].rate), QString("6,00"));
        QVERIFY(out.planBuilt && out.effectiveRateShown);
        QCOMPARE(out.saveEnabled, std::optional<bool>(true));
    }

    void effectiveRateCountsTheFees() {
        CalculationForm form = ThirtyThousand();
        FinancialPlan plan;
        RecordingMessageBoxes boxes;
        RunCalculateCommand(form, plan, boxes);
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
        FinancialPlan plan;
        RecordingMessageBoxes boxes;
        const CalculationOutcome out = RunCalculateCommand(form, plan, boxes);
        QVERIFY(boxes.shown.empty());
        QCOMPARE(Q(form.tasso), QString("4,5"));
        QVERIFY(form.rateList.empty());
        QVERIFY(!out.planBuilt);
        QVERIFY(!plan.PlanReady);
        QCOMPARE(out.saveEnabled, std::optional<bool>(false));
        QVERIFY(out.effectiveRateShown);
    }

    void negativeInstalmentIsRefused() {
        CalculationForm form = TenThousand();
        form.target = CalcTarget::Rate;
        form.result = "-5";
        FinancialPlan plan;
        RecordingMessageBoxes boxes;
        const CalculationOutcome out = RunCalculateCommand(form, plan, boxes);
        QCOMPARE(Q(boxes.shown.at(0).prompt), QString("Inserire una rata valida."));
        QCOMPARE(int(out.focus.value()), int(FormField::Result));
        QVERIFY(!out.effectiveRateShown);
    }

    void assetValueRoad() {
        CalculationForm form = ThirtyThousand();
        form.target = CalcTarget::AssetValue;
        form.valBene = "0";
        form.maxi.percentText = "0";
        form.result = "761,97";
        form.spContratto = "0";
        form.spRata = "0";
        FinancialPlan plan;
        RecordingMessageBoxes boxes;
        const CalculationOutcome out = RunCalculateCommand(form, plan, boxes);
        QVERIFY(boxes.shown.empty());
        QCOMPARE(Q(form.valBene), QString("30.000,00"));
        QCOMPARE(Q(form.maxi.percentText), QString("10,00"));
        QCOMPARE(Q(form.maxi.percentTooltip), QString("Percentuale effettiva : 10"));
        QCOMPARE(Q(form.txEffettivo), QString("7,50%"));
        QVERIFY(!out.planBuilt);
    }

    void engineErrorIsShownWithItsNumber() {
        CalculationForm form = TenThousand();
        // The list drops the rate to 0 at the second instalment: a periodic rate of 0.
        form.rateList = {{"a", "28/02/06", "6,00"}, {"b", "31/03/06", "0,00"}};
        form.tasso = "6";
        FinancialPlan plan;
        RecordingMessageBoxes boxes;
        const CalculationOutcome out = RunCalculateCommand(form, plan, boxes);
        QCOMPARE(boxes.shown.size(), std::size_t(1));
        QCOMPARE(int(boxes.shown[0].icon), int(BoxIcon::Critical));
        QCOMPARE(Q(boxes.shown[0].title), QString("Quotaplan"));
        QVERIFY(Q(boxes.shown[0].prompt).endsWith("\nErrore Numero: 00011"));
        QVERIFY(!out.effectiveRateShown);
    }

private:
    std::optional<ScopedToday> today_;
};

QTEST_GUILESS_MAIN(CalculateCommandTest)
#include "test_calculate_command.moc"
