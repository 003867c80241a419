// The plain rules behind the contract form: key filters, leave reformatting, the coupled
// amount/percentage pairs and the rate list.
#include <QTest>

#include "common/calendar_date.h"
#include "common/clock.h"
#include "common/run_time_error.h"
#include "ui/calculation_form.h"
#include "ui/coupled_pair.h"
#include "ui/field_rules.h"
#include "ui/rate_list.h"

using namespace quotaplan;

namespace {
QString Q(const std::string& text) { return QString::fromStdString(text); }
std::string S(const QString& text) { return text.toStdString(); }

CoupledPair Pair(const char* amount, const char* percent) {
    CoupledPair pair;
    pair.amountText = amount;
    pair.percentText = percent;
    return pair;
}

RateList DefaultList(const char* count, const char* start, const char* tasso, const char* spread,
                     int periodicity = 0) {
    RateList list;
    RateListDefaults form{count, start, tasso, spread, periodicity};
    FillLstWithDefault(list, form);
    return list;
}
}  // namespace

class FormRulesTest : public QObject {
    Q_OBJECT
private slots:
    void keyFilters_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("entered");
        QTest::newRow("rate point") << "rate" << "." << ",";
        QTest::newRow("rate comma") << "rate" << "," << ",";
        QTest::newRow("rate digit") << "rate" << "7" << "7";
        QTest::newRow("rate letter is a zero") << "rate" << "a" << "0";
        QTest::newRow("rate minus is a zero") << "rate" << "-" << "0";
        QTest::newRow("rate backspace") << "rate" << "\b" << "\b";
        QTest::newRow("description apostrophe") << "desc" << "'" << " ";
        QTest::newRow("description quote") << "desc" << "\"" << " ";
        QTest::newRow("description letter") << "desc" << "x" << "x";
        QTest::newRow("instalment point") << "result" << "." << ",";
    }
    void keyFilters() {
        QFETCH(QString, filter);
        QFETCH(QString, typed);
        QFETCH(QString, entered);
        const std::string key = S(typed);
        const std::string got = filter == "rate"   ? RateKeyFilter(key)
                                : filter == "desc" ? DescriptionKeyFilter(key)
                                                   : PointToComma(key);
        QCOMPARE(Q(got), entered);
    }

    void leaveReformat_data() {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("rate 3") << "rate" << "3" << "3,00";
        QTest::newRow("rate 5,25") << "rate" << "5,25" << "5,25";
        QTest::newRow("rate garbage stays") << "rate" << "5,2x" << "5,2x";
        QTest::newRow("date short") << "date" << "1/2/07" << "01/02/07";
        QTest::newRow("date no such day") << "date" << "31/02/07" << "31/02/07";
        QTest::newRow("date word") << "date" << "domani" << "domani";
        QTest::newRow("date empty") << "date" << "" << "";
        QTest::newRow("fee empty") << "fee" << "" << "0,00";
        QTest::newRow("fee 250") << "fee" << "250" << "250,00";
        QTest::newRow("fee grouped") << "fee" << "1234,5" << "1.234,50";
        QTest::newRow("fee letters") << "fee" << "abc" << "0,00";
    }
    void leaveReformat() {
        QFETCH(QString, rule);
        QFETCH(QString, text);
        QFETCH(QString, shown);
        ScopedToday today(*CalendarDate::FromYmd(2026, 12, 6));
        const std::string t = S(text);
        const std::string got = rule == "rate"   ? ReformatRate(t)
                                : rule == "date" ? ReformatDate(t)
                                                 : ReformatAmount(t);
        QCOMPARE(Q(got), shown);
    }

    void leavingTheAmountComputesThePercentage() {
        CoupledPair pair = Pair("20000", "0");
        AmountEdited(pair);
        LeaveAmount(pair, "100.000,00", false);
        QCOMPARE(Q(pair.amountText), QString("20.000,00"));
        QCOMPARE(Q(pair.percentText), QString("20,00"));
        QCOMPARE(Q(pair.percentTooltip), QString("Percentuale effettiva : 20"));
        QVERIFY(!pair.amountChanged);

        CoupledPair buyout = BuyoutPair();
        buyout.amountText = "1000";
        LeaveAmount(buyout, "3.000,00", false);
        QCOMPARE(Q(buyout.percentText), QString("33,33"));
        QCOMPARE(Q(buyout.percentTooltip), QString(" Percentuale effettiva : 33,333332"));
    }

    void leavingThePercentageComputesTheAmount() {
        CoupledPair pair = Pair("0", "12");
        QCOMPARE(Q(PercentKeyTyped(pair, ".", false)), QString(","));
        pair.percentText = "12,5";
        LeavePercent(pair, "80.000,00", false);
        QCOMPARE(Q(pair.amountText), QString("10.000,00"));
        QCOMPARE(Q(pair.percentText), QString("12,50"));
        QCOMPARE(Q(pair.percentTooltip), QString("Percentuale effettiva : 12,50"));
        QVERIFY(!pair.percentChanged);
    }

    void storedAmountKeepsItsPrecision() {
        CoupledPair pair = Pair("0", "10");
        PercentKeyTyped(pair, "1", false);
        LeavePercent(pair, "33.333,00", false);
        QCOMPARE(pair.storedAmount, 3333.3);
        QCOMPARE(Q(pair.amountText), QString("3.333,30"));
        // Leaving the amount untouched computes from the stored amount, not the shown one.
        LeaveAmount(pair, "33.333,00", false);
        QCOMPARE(pair.storedAmount, 3333.3);
        QCOMPARE(Q(pair.percentText), QString("10,00"));
    }

    void pairsStandStillWithoutAssetValue_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("assetTarget");
        QTest::newRow("value 0") << "0" << false;
        QTest::newRow("value 0,00") << "0,00" << false;
        QTest::newRow("value not a number") << "abc" << false;
        QTest::newRow("asset value target") << "100.000,00" << true;
    }
    void pairsStandStillWithoutAssetValue() {
        QFETCH(QString, value);
        QFETCH(bool, assetTarget);
        CoupledPair pair = Pair("2000", "7");
        LeaveAmount(pair, S(value), assetTarget);
        LeavePercent(pair, S(value), assetTarget);
        QCOMPARE(Q(pair.amountText), QString("2000"));
        QCOMPARE(Q(pair.percentText), QString("7"));
    }

    void amountThatIsNoNumberBecomesZero() {
        CoupledPair pair = Pair("abc", "20,00");
        LeaveAmount(pair, "100.000,00", false);
        QCOMPARE(Q(pair.amountText), QString("0"));
        QCOMPARE(Q(pair.percentText), QString("20,00"));
        CoupledPair percent = Pair("5.000,00", "x");
        LeavePercent(percent, "100.000,00", false);
        QCOMPARE(Q(percent.amountText), QString("0"));
        QCOMPARE(Q(percent.percentText), QString("0"));
    }

    void typingClearsTheOtherSide() {
        CoupledPair pair = Pair("20.000,00", "20,00");
        pair.percentTooltip = "Percentuale effettiva : 20";
        AmountEdited(pair);
        QCOMPARE(Q(pair.percentText), QString("0"));
        QVERIFY(pair.percentTooltip.empty());
        CoupledPair other = Pair("20.000,00", "20,00");
        PercentKeyTyped(other, "\b", false);
        QCOMPARE(Q(other.amountText), QString("0"));
        // Other keys, and every key under the asset-value target, change nothing.
        CoupledPair still = Pair("20.000,00", "20,00");
        QCOMPARE(Q(PercentKeyTyped(still, "x", false)), QString("x"));
        QCOMPARE(Q(PercentKeyTyped(still, "5", true)), QString("5"));
        QCOMPARE(Q(still.amountText), QString("20.000,00"));
    }

    void rateListDefaults() {
        ScopedToday today(*CalendarDate::FromYmd(2007, 1, 1));
        const RateList list = DefaultList("3", "31/01/2007", "5", "1,5");
        QCOMPARE(list.size(), std::size_t(3));
        QCOMPARE(Q(list[0].date), QString("31/01/07"));
        QCOMPARE(Q(list[1].date), QString("28/02/07"));
        QCOMPARE(Q(list[2].date), QString("31/03/07"));
        for (const RateListItem& item : list) {
            QCOMPARE(Q(item.rate), QString("6,50"));
            QCOMPARE(item.key, item.date);
        }
    }

    void rateListFollowsTheCount() {
        ScopedToday today(*CalendarDate::FromYmd(2007, 1, 1));
        RateList list = DefaultList("12", "15/01/2007", "5", "0");
        list[11].rate = "7,00";
        RateListDefaults longer{"15", "15/01/2007", "5", "0", 0};
        FillLstWithDefault(list, longer);
        QCOMPARE(list.size(), std::size_t(15));
        QCOMPARE(Q(list[12].date), QString("15/01/08"));
        QCOMPARE(Q(list[14].date), QString("15/03/08"));
        QCOMPARE(Q(list[14].rate), QString("7,00"));
        RateListDefaults shorter{"-10", "15/01/2007", "5", "0", 0};
        FillLstWithDefault(list, shorter);
        QCOMPARE(list.size(), std::size_t(10));
        QCOMPARE(Q(shorter.rateCountText), QString("10"));
        // Without a first due date the list is left as it is.
        RateListDefaults noStart{"3", "", "5", "0", 0};
        FillLstWithDefault(list, noStart);
        QCOMPARE(list.size(), std::size_t(10));
    }

    void rateListCountOutOfRange() {
        RateList list;
        RateListDefaults form{"40000", "15/01/2007", "5", "0", 0};
        try {
            FillLstWithDefault(list, form);
            QFAIL("no error");
        } catch (const RunTimeError& error) {
            QCOMPARE(error.Number(), 6);
        }
    }

    void editingARate() {
        RateList list = DefaultList("12", "15/01/2007", "6", "0");
        QCOMPARE(Q(ReadEditedRate(std::string("7.25")).value()), QString("7,25"));
        QVERIFY(!ReadEditedRate(std::nullopt));
        QVERIFY(!ReadEditedRate(std::string("")));
        QVERIFY(!ReadEditedRate(std::string("otto")));
        ApplyRateEdit(list, 6, "8,00", true);
        QCOMPARE(Q(list[5].rate), QString("6,00"));
        QCOMPARE(Q(list[6].rate), QString("8,00"));
        QCOMPARE(Q(list[11].rate), QString("8,00"));
        RateList single = DefaultList("12", "15/01/2007", "6", "0");
        ApplyRateEdit(single, 6, "8,00", false);
        QCOMPARE(Q(single[6].rate), QString("8,00"));
        QCOMPARE(Q(single[7].rate), QString("6,00"));
    }

    void descriptionIsCutByCharacters() {
        const std::string accented = std::string(49, 'a') + "\xC3\xA8" + "zz";
        QCOMPARE(Q(FirstCharacters(accented, 50)), Q(std::string(49, 'a') + "\xC3\xA8"));
        QCOMPARE(Q(FirstCharacters("corto", 50)), QString("corto"));
    }
};

QTEST_GUILESS_MAIN(FormRulesTest)
#include "test_form_rules.moc"
