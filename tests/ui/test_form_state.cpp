// The rules behind the plan page's refusals, the question on leaving a contract and the
// indexation kept through Calcola: plain functions, each with its table of cases.
#include <QTest>

#include "ui/form_state.h"

using namespace quotaplan;

namespace {

FormSnapshot Form(const std::string& description, const std::string& value,
                  const std::string& rate = "6,00") {
    FormSnapshot snapshot;
    snapshot.form.txtDescBene = description;
    snapshot.form.txtValBene = value;
    snapshot.rates = {{"R1", "28/02/06", rate}};
    return snapshot;
}

}  // namespace

class FormStateTest : public QObject {
    Q_OBJECT
private slots:
    void stateOfThePlan_data() {
        QTest::addColumn<bool>("ready");
        QTest::addColumn<bool>("known");
        QTest::addColumn<QString>("nowDescription");
        QTest::addColumn<QString>("nowValue");
        QTest::addColumn<QString>("nowRate");
        QTest::addColumn<int>("state");
        const int none = int(PlanState::None), current = int(PlanState::Current);
        const int stale = int(PlanState::Stale);
        QTest::newRow("no plan") << false << true << "Auto" << "1.000,00" << "6,00" << none;
        QTest::newRow("unchanged") << true << true << "Auto" << "1.000,00" << "6,00" << current;
        QTest::newRow("renamed only") << true << true << "Furgone" << "1.000,00" << "6,00"
                                      << current;
        QTest::newRow("value changed") << true << true << "Auto" << "2.000,00" << "6,00" << stale;
        QTest::newRow("a rate of the list changed") << true << true << "Auto" << "1.000,00"
                                                    << "7,00" << stale;
        QTest::newRow("calculation stopped midway") << true << false << "Auto" << "1.000,00"
                                                    << "6,00" << stale;
    }
    void stateOfThePlan() {
        QFETCH(bool, ready);
        QFETCH(bool, known);
        QFETCH(QString, nowDescription);
        QFETCH(QString, nowValue);
        QFETCH(QString, nowRate);
        const std::optional<FormSnapshot> madeFrom =
            known ? std::optional(Form("Auto", "1.000,00")) : std::nullopt;
        const FormSnapshot now = Form(nowDescription.toStdString(), nowValue.toStdString(),
                                      nowRate.toStdString());
        const PlanState state = StateOfPlan(ready, madeFrom, now);
        QTEST(int(state), "state");
        QCOMPARE(DocumentRefusal(state).has_value(), state == PlanState::Stale);
    }

    void unsavedChanges_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("known");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("unsaved");
        const int stored = int(SaveMode::StoredContract), fresh = int(SaveMode::NewContract);
        QTest::newRow("stored, unchanged") << stored << true << "Auto" << "1.000,00" << false;
        QTest::newRow("stored, value changed") << stored << true << "Auto" << "2.000,00" << true;
        QTest::newRow("stored, renamed") << stored << true << "Furgone" << "1.000,00" << true;
        QTest::newRow("stored, description blanked") << stored << true << "  " << "1.000,00"
                                                     << true;
        QTest::newRow("new, described") << fresh << true << "Furgone" << "2.000,00" << true;
        QTest::newRow("new, without description") << fresh << true << " " << "2.000,00" << false;
        QTest::newRow("nothing known yet") << stored << false << "Furgone" << "2.000,00" << false;
    }
    void unsavedChanges() {
        QFETCH(int, mode);
        QFETCH(bool, known);
        QFETCH(QString, description);
        QFETCH(QString, value);
        const std::optional<FormSnapshot> saved =
            known ? std::optional(Form("Auto", "1.000,00")) : std::nullopt;
        QTEST(HasUnsavedChanges(SaveMode(mode), saved,
                                Form(description.toStdString(), value.toStdString())),
              "unsaved");
    }

    void answerToTheQuestion_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("saveEnabled");
        QTest::addColumn<int>("step");
        QTest::newRow("sì, calculated") << int(BoxAnswer::Yes) << true
                                        << int(LeaveStep::SaveThenProceed);
        QTest::newRow("sì, not calculated") << int(BoxAnswer::Yes) << false
                                            << int(LeaveStep::StayToCalculate);
        QTest::newRow("no") << int(BoxAnswer::No) << false << int(LeaveStep::Proceed);
        QTest::newRow("annulla") << int(BoxAnswer::Cancel) << true << int(LeaveStep::Stay);
    }
    void answerToTheQuestion() {
        QFETCH(int, answer);
        QFETCH(bool, saveEnabled);
        QTEST(int(StepAfterAnswer(BoxAnswer(answer), saveEnabled)), "step");
    }

    void indexationAtCalculation_data() {
        QTest::addColumn<bool>("indexed");
        QTest::addColumn<bool>("fromIndex");
        QTest::addColumn<bool>("fits");
        QTest::addColumn<bool>("values");
        QTest::addColumn<int>("reindexing");
        const int none = int(Reindexing::None), again = int(Reindexing::Reapply);
        const int lost = int(Reindexing::Lost);
        QTest::newRow("fixed-rate contract") << false << false << true << true << none;
        QTest::newRow("indexed list untouched") << true << true << true << true << none;
        QTest::newRow("list emptied by an edit") << true << false << true << true << again;
        QTest::newRow("count changed") << true << true << false << true << again;
        QTest::newRow("emptied, rate without values") << true << false << true << false << lost;
    }
    void indexationAtCalculation() {
        QFETCH(bool, indexed);
        QFETCH(bool, fromIndex);
        QFETCH(bool, fits);
        QFETCH(bool, values);
        QTEST(int(ReindexingAtCalculation(indexed, fromIndex, fits, values)), "reindexing");
    }
};

QTEST_MAIN(FormStateTest)
#include "test_form_state.moc"
