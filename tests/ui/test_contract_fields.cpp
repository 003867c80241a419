// Typing into the real fields of the "Calcoli" page: key filters, select-all, leave rules,
// the coupled pairs and which changes make the result stale.
#include <QTest>

#include "window_fixture.h"

using namespace quotaplan;
using namespace quotaplan::test;

class ContractFieldsTest : public QObject {
    Q_OBJECT
private slots:
    void init() { f_ = std::make_unique<WindowFixture>(); }
    void cleanup() { f_.reset(); }

    void focusSelectsTheWholeText() {
        f_->C().txtValBene->setText("1.234,00");
        f_->Focus(f_->C().txtValBene);
        QTRY_COMPARE(f_->C().txtValBene->selectedText(), QString("1.234,00"));
        QTest::keyClicks(f_->C().txtValBene, "5");
        QCOMPARE(f_->Text("txtValBene"), QString("5"));
    }

    // A click into a fee selects it as into any other field: 5 typed over "0,00" is 5,00,
    // not 0,005 shown as 0,01.
    void clickingIntoAFeeSelectsIt_data() {
        QTest::addColumn<QString>("field");
        QTest::newRow("txtSpContratto") << "txtSpContratto";
        QTest::newRow("txtSpRata") << "txtSpRata";
    }
    void clickingIntoAFeeSelectsIt() {
        QFETCH(QString, field);
        QLineEdit* fee = f_->Field(field.toLatin1().constData());
        f_->Enter(field.toLatin1().constData(), "");
        QCOMPARE(fee->text(), QString("0,00"));
        for (const QPoint at : {QPoint(fee->width() - 4, fee->height() / 2), QPoint(4, 4)}) {
            f_->Leave();
            QTest::mouseClick(fee, Qt::LeftButton, {}, at);
            QTRY_COMPARE(fee->selectedText(), fee->text());
        }
        QTest::keyClicks(fee, "5");
        f_->Leave();
        QCOMPARE(fee->text(), QString("5,00"));
    }

    // Each field's key filter and leave rule are tested in test_form_rules (field_rules
    // and coupled_pair); here, one row a field: the keys typed into it, the text it shows after
    // leaving, and the other side of a coupled pair.
    void fieldWiring_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("partner");
        QTest::addColumn<QString>("partnerShown");
        QTest::newRow("txtTasso") << "txtTasso" << "5.25" << "5,25" << QString() << QString();
        QTest::newRow("txtSpread") << "txtSpread" << "3a" << "30,00" << QString() << QString();
        QTest::newRow("txtDescBene") << "txtDescBene" << "L'Aquila \"centro\""
                                     << "L Aquila  centro " << QString() << QString();
        QTest::newRow("txtStart") << "txtStart" << "1/2/07" << "01/02/07" << QString() << QString();
        QTest::newRow("txtDataRiscatto") << "txtDataRiscatto" << "31/02/07"
                                         << "31/02/07" << QString() << QString();
        QTest::newRow("txtSpContratto") << "txtSpContratto" << ""
                                        << "0,00" << QString() << QString();
        QTest::newRow("txtSpRata") << "txtSpRata" << "250" << "250,00" << QString() << QString();
        QTest::newRow("txtMaxi") << "txtMaxi" << "20000" << "20.000,00" << "txtPercMaxi" << "20,00";
        QTest::newRow("txtPercRiscatto") << "txtPercRiscatto" << "12.5" << "12,50" << "txtRiscatto"
                                         << "12.500,00";
    }
    void fieldWiring() {
        QFETCH(QString, field);
        QFETCH(QString, keys);
        QFETCH(QString, partner);
        f_->Enter("txtValBene", "100000");
        const QByteArray name = field.toLatin1();
        f_->Focus(f_->Field(name.constData()));
        f_->Field(name.constData())->clear();
        QTest::keyClicks(f_->Field(name.constData()), keys);
        f_->Leave();
        QTEST(f_->Text(name.constData()), "shown");
        if (!partner.isEmpty()) QTEST(f_->Text(partner.toLatin1().constData()), "partnerShown");
    }

    // Delete in the amount turns the percentage back into 0.
    void deleteInTheAmountClearsThePercentage() {
        f_->Enter("txtValBene", "100000");
        f_->Enter("txtMaxi", "20000");
        f_->Focus(f_->C().txtMaxi);
        QTest::keyClick(f_->C().txtMaxi, Qt::Key_Delete);
        QCOMPARE(f_->Text("txtPercMaxi"), QString("0"));
        QCOMPARE(f_->C().txtPercMaxi->toolTip(), QString());
    }

    void typingTheValueClearsBothPercentages() {
        f_->EnterAll({{"txtValBene", "100000"}, {"txtMaxi", "10000"}, {"txtRiscatto", "1000"}});
        QCOMPARE(f_->Text("txtPercRiscatto"), QString("1,00"));
        f_->Focus(f_->C().txtValBene);
        QTest::keyClick(f_->C().txtValBene, Qt::Key_End);
        QTest::keyClicks(f_->C().txtValBene, "1");
        QCOMPARE(f_->Text("txtPercMaxi"), QString("0"));
        QCOMPARE(f_->Text("txtPercRiscatto"), QString("0"));
        QCOMPARE(f_->C().txtPercMaxi->toolTip(), QString());
        QCOMPARE(f_->Text("txtMaxi"), QString("10.000,00"));
    }

    void withoutValueLeavingChangesNothing() {
        f_->Enter("txtMaxi", "2000");
        QCOMPARE(f_->Text("txtMaxi"), QString("2000"));
        QCOMPARE(f_->Text("txtPercMaxi"), QString("0"));
        f_->Enter("txtValBene", "100000");
        f_->Enter("txtMaxi", "abc");
        QCOMPARE(f_->Text("txtMaxi"), QString("0"));
    }

    void assetValueTargetLocksThePercentages() {
        f_->Enter("txtValBene", "100000");
        f_->Enter("txtMaxi", "20000");
        f_->Choose(f_->C().optFormula[3]);
        QCOMPARE(f_->Text("txtValBene"), QString("0"));
        QCOMPARE(f_->Text("txtPercMaxi"), QString("0"));
        QVERIFY(f_->C().txtPercMaxi->isReadOnly());
        QVERIFY(f_->C().txtValBene->isReadOnly());
        f_->Type("txtPercMaxi", "5");
        QCOMPARE(f_->Text("txtPercMaxi"), QString("0"));
        f_->Enter("txtMaxi", "3000");
        QCOMPARE(f_->Text("txtMaxi"), QString("3000"));
        // Letters in the instalment are refused when leaving it under this target.
        f_->Enter("txtResult", "abc");
        QCOMPARE(f_->boxes.shown.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(f_->boxes.shown[0].prompt),
                 QString("Inserire nel campo rata un importo valido"));
        QCOMPARE(QString::fromStdString(f_->boxes.shown[0].title), QString("Quotaplan 4"));
        QCOMPARE(f_->Text("txtResult"), QString("0"));
        f_->Choose(f_->C().optFormula[0]);
        QVERIFY(!f_->C().txtPercMaxi->isReadOnly());
        f_->Enter("txtResult", "abc");
        QCOMPARE(f_->boxes.shown.size(), std::size_t(1));
    }

    void changesThatMakeTheResultStale_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("stale");
        QTest::newRow("txtRate") << "txtRate" << true;
        QTest::newRow("txtValBene") << "txtValBene" << true;
        QTest::newRow("txtContract") << "txtContract" << true;
        QTest::newRow("txtDescBene") << "txtDescBene" << false;
        QTest::newRow("txtSpContratto") << "txtSpContratto" << false;
        QTest::newRow("txtSpRata") << "txtSpRata" << false;
    }
    void changesThatMakeTheResultStale() {
        QFETCH(QString, field);
        QFETCH(bool, stale);
        CalculateTenThousand();
        QVERIFY(f_->C().cmdSalva->isEnabled());
        QVERIFY(!f_->Stale());
        f_->Type(field.toLatin1().constData(), "9");
        QCOMPARE(f_->Stale(), stale);
        QCOMPARE(f_->C().cmdSalva->isEnabled(), !stale);
        QCOMPARE(f_->C().lblTxEffettivo->isVisible(), !stale);
    }

    void periodicityEmptiesTheRateListButTheCountDoesNot() {
        CalculateTenThousand();
        QCOMPARE(f_->C().lsvTxHis->topLevelItemCount(), 12);
        f_->Type("txtRate", "24");
        QCOMPARE(f_->C().lsvTxHis->topLevelItemCount(), 12);
        f_->C().cboPeriodicita->setCurrentIndex(2);
        QCOMPARE(f_->C().lsvTxHis->topLevelItemCount(), 0);
        QVERIFY(f_->Stale());
    }

private:
    void CalculateTenThousand() {
        f_->EnterAll({{"txtDescBene", "Auto"}, {"txtValBene", "10000"}, {"txtTasso", "6"},
                      {"txtRate", "12"}, {"txtContract", "31/01/06"}, {"txtStart", "28/02/06"}});
        f_->C().optCapCom->setChecked(true);
        f_->Calcola();
        QCOMPARE(f_->Text("txtResult"), QString("859,93"));
    }

    std::unique_ptr<WindowFixture> f_;
};

QTEST_MAIN(ContractFieldsTest)
#include "test_contract_fields.moc"
