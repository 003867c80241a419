// The window at its designed size and larger, the keyboard (the tree, the buttons, the tab
// order), the tree keeping its place, figures too wide for their fields, the message boxes'
// width and the window's place kept between runs.
#include <QDir>
#include <QGroupBox>
#include <QListWidget>
#include <QMessageBox>
#include <QScrollBar>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <map>

#include "ui/qt_message_boxes.h"
#include "ui/status_page.h"
#include "ui/tree_images.h"
#include "ui/twips.h"
#include "ui/window_placement.h"
#include "window_fixture.h"

using namespace quotaplan;
using namespace quotaplan::test;

namespace {

const QSize kLarge(1600, 1000);

// Inside these, Qt places the parts itself (scroll bars, popups).
bool PlacedByQt(const QObject* widget, const QWidget* window) {
    for (const QObject* o = widget->parent(); o != window; o = o->parent()) {
        if (o->inherits("QAbstractScrollArea") || o->inherits("QComboBox") ||
            o->inherits("QMenuBar")) {
            return true;
        }
    }
    return false;
}

// Every widget the window places, by its path of classes, object names and positions among
// its siblings, with its geometry.
std::map<QString, QRect> Geometries(const QWidget* window) {
    std::map<QString, QRect> places;
    for (const QWidget* widget : window->findChildren<QWidget*>()) {
        if (PlacedByQt(widget, window)) continue;
        QString path;
        for (const QObject* o = widget; o != window; o = o->parent()) {
            path.prepend(
                QStringLiteral("/%1:%2#%3")
                    .arg(QString::fromLatin1(o->metaObject()->className()), o->objectName())
                    .arg(o->parent() ? o->parent()->children().indexOf(o) : 0));
        }
        places[path] = widget->geometry();
    }
    return places;
}

}  // namespace

class WindowLayoutTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        // Whatever a test keeps goes to a folder of its own, never to the user's settings.
        QVERIFY(settingsFolder_.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder_.path());
    }
    void init() { f_ = std::make_unique<WindowFixture>(); }
    void cleanup() { f_.reset(); }

    void theDesignedSizeIsTheLeastAndKeepsTheDescribedPlaces() {
        MainWindow& window = *f_->window;
        QCOMPARE(window.size(), window.minimumSize());
        QCOMPARE(window.Tree()->geometry(), QRect(2, 2, Twips(2115) - 4, Twips(6495)));
        const ContractControls& c = f_->C();
        QCOMPARE(c.lsvTxHis->geometry(), PageRect(120, 660, Twips(1695), Twips(5235)));
        QCOMPARE(c.txtValBene->geometry().topLeft(), PageRect(1980, 1980, 0, 0).topLeft());
        QCOMPARE(c.txtResult->geometry().topLeft(), PageRect(2520, 4860, 0, 0).topLeft());
        QCOMPARE(c.fraFormula->geometry().topLeft(), PageRect(5460, 4440, 0, 0).topLeft());
        QCOMPARE(c.cmdCalcola->geometry().topLeft(), PageRect(5640, 6015, 0, 0).topLeft());
        QCOMPARE(f_->Grid()->ColWidthTwips(2), 1095);
        // Smaller than designed is refused.
        window.resize(400, 300);
        QApplication::processEvents();
        QCOMPARE(window.size(), window.minimumSize());
    }

    // The right column and the command row hold their controls side by side: none covers
    // another (the indexing button once lay over "Piano al centesimo").
    void noControlOfTheCalcoliPageCoversAnother() {
        const ContractControls& c = f_->C();
        const std::vector<QWidget*> placed = {
            c.Frame1,   c.Frame2,   c.chkIntRiscatto, c.chkCentesimo, c.lblUsura, c.fraFormula,
            c.cmdNuovo, c.cmdSalva, c.cmdElimina,     c.cmdIndicizza, c.lblInfo,  c.cmdCalcola};
        for (std::size_t i = 0; i < placed.size(); ++i) {
            for (std::size_t j = i + 1; j < placed.size(); ++j) {
                QVERIFY2(!placed[i]->geometry().intersects(placed[j]->geometry()),
                         qPrintable(placed[i]->objectName() + " / " + placed[j]->objectName()));
            }
        }
    }

    void theTreeTheListsAndTheGridGrowWithTheWindow() {
        MainWindow& window = *f_->window;
        FillPressa();
        f_->Calcola();
        const QSize designed = window.size();
        const QImage small = Grab(designed);
        QCOMPARE(small.size(), designed);
        const std::map<QString, QRect> designedPlaces = Geometries(&window);

        const QRect tree = window.Tree()->geometry();
        const ContractControls& c = f_->C();
        const QRect list = c.lsvTxHis->geometry();
        const QRect grid = f_->Grid()->geometry();
        const QRect canoni = window.Status()->lstCanoni->geometry();
        const QRect values = window.Status()->lstSupVal->geometry();
        const QRect valueField = c.txtValBene->geometry();
        const QRect calcola = c.cmdCalcola->geometry();
        const int amountColumn = f_->Grid()->columnWidth(2);

        const QImage large = Grab(kLarge);
        QCOMPARE(large.size(), kLarge);
        const int dx = kLarge.width() - designed.width();
        const int dy = kLarge.height() - designed.height();
        QVERIFY(window.Tree()->width() > tree.width() + dx / 5);
        QCOMPARE(window.Tree()->height(), tree.height() + dy);
        QCOMPARE(c.lsvTxHis->height(), list.height() + dy);
        QCOMPARE(c.lsvTxHis->width(), list.width());
        QVERIFY(f_->Grid()->width() > grid.width() + dx / 2);
        QCOMPARE(f_->Grid()->height(), grid.height() + dy);
        QVERIFY(f_->Grid()->columnWidth(2) > amountColumn * 2);
        QVERIFY(window.Status()->lstCanoni->width() > canoni.width() + dx / 2);
        QVERIFY(window.Status()->lstCanoni->height() > canoni.height() + dy / 2);
        QVERIFY(window.Status()->lstSupVal->height() > values.height());
        // The form keeps its place; the command row follows the bottom edge.
        QCOMPARE(c.txtValBene->geometry(), valueField);
        QCOMPARE(c.cmdCalcola->geometry(), calcola.translated(0, dy));

        // Back at the designed size, every widget is where it was, to the pixel.
        Grab(designed);
        QCOMPARE(Geometries(&window), designedPlaces);

        const QString folder = qEnvironmentVariable("QUOTAPLAN_SCREENSHOTS");
        if (!folder.isEmpty()) {
            window.Tree()->expandAll();
            QVERIFY(Grab(kLarge, 1).save(QDir(folder).filePath("finestra-grande.png")));
        }
    }

    // The usury verdict, three lines in the right column at the designed size, takes the
    // width the grown window gives it and reads on one line.
    void theUsuryVerdictTakesTheGrownWidth() {
        f_->archive.WriteUsuryRates(
            {{"Credito personale", std::nullopt, std::nullopt, *CalendarDate::FromYmd(2006, 1, 1),
              CalendarDate(), Percent::FromTenThousandths(20000)}});
        f_->archive.SetUsuryCategoryOfType("Leasing", "Credito personale");
        f_->C().cboTipoLea->setCurrentText("Leasing");
        FillPressa();
        f_->Calcola();
        QLabel* verdict = f_->C().lblUsura;
        QVERIFY(verdict->isVisible());
        // A contract of 2006: the threshold of the law's first rule, TEGM × 1,5.
        QCOMPARE(verdict->text(), QString("Tasso oltre la soglia d'usura (soglia 3,0000 %)"));
        const QRect small = verdict->geometry();
        const int page = f_->window->Contract()->width();
        const int line = verdict->fontMetrics().height();
        QVERIFY(verdict->heightForWidth(small.width()) >= 3 * line);

        Grab(kLarge);
        const int growth = f_->window->Contract()->width() - page;
        QVERIFY(growth > 500);
        QCOMPARE(verdict->geometry(), small.adjusted(0, 0, growth, 0));
        QCOMPARE(verdict->heightForWidth(verdict->width()), line);
    }

    void enterOnATreeContractLoadsIt() {
        f_->archive.stored = StoredTornio();
        ContractTree* tree = f_->window->Tree();
        tree->setFocus();
        tree->setCurrentItem(tree->topLevelItem(0));
        QTest::keyClick(tree, Qt::Key_Return);
        QVERIFY(tree->topLevelItem(0)->isExpanded());
        QCOMPARE(f_->Text("txtDescBene"), QString());
        QTest::keyClick(tree, Qt::Key_Down);
        QTest::keyClick(tree, Qt::Key_Down);
        QCOMPARE(tree->currentItem()->text(0), QString("Tornio"));
        QTest::keyClick(tree, Qt::Key_Enter);
        QCOMPARE(f_->C().lblIDContract->text(), QString("9"));
        QCOMPARE(f_->Text("txtDescBene"), QString("Tornio"));
        QCOMPARE(f_->Text("txtValBene"), QString("30.000,00"));
        QVERIFY(f_->C().cmdElimina->isEnabled());
        // Enter again on the open type closes it.
        tree->setCurrentItem(tree->topLevelItem(0));
        QTest::keyClick(tree, Qt::Key_Return);
        QVERIFY(!tree->topLevelItem(0)->isExpanded());
    }

    void enterOnAFocusedButtonPressesIt_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("Return") << int(Qt::Key_Return);
        QTest::newRow("Enter") << int(Qt::Key_Enter);
    }
    void enterOnAFocusedButtonPressesIt() {
        QFETCH(int, key);
        FillPressa();
        QPushButton* calcola = f_->C().cmdCalcola;
        f_->Focus(calcola);
        QTest::keyClick(calcola, Qt::Key(key));
        QCOMPARE(f_->Text("txtResult"), QString("761,97"));
        QVERIFY(f_->C().cmdSalva->isEnabled());
        // A disabled button takes no Enter; New, pressed by Enter, clears the form.
        QPushButton* elimina = f_->C().cmdElimina;
        QVERIFY(!elimina->isEnabled());
        QTest::keyClick(elimina, Qt::Key(key));
        QVERIFY(f_->boxes.shown.empty());
        f_->Focus(f_->C().cmdNuovo);
        f_->boxes.ScriptAnswer(BoxAnswer::No);
        QTest::keyClick(f_->C().cmdNuovo, Qt::Key(key));
        QCOMPARE(f_->boxes.shown.at(0).prompt, std::string("Salvare le modifiche?"));
        f_->boxes.shown.clear();
        QCOMPARE(f_->Text("txtResult"), QString("0"));
        QCOMPARE(f_->Text("txtValBene"), QString("0"));
        // On the Stato page too.
        f_->window->Tabs()->setCurrentIndex(2);
        QPushButton* add = f_->window->Status()->cmdSupNew;
        f_->Focus(add);
        QTest::keyClick(add, Qt::Key(key));
        QCOMPARE(QString::fromStdString(f_->boxes.shown.at(0).prompt),
                 QString("Digitare un valore. Inserimento non riuscito."));
    }

    // Tab runs through the form from top to bottom and left to right, then the options on
    // the right (one stop a group of options, whose arrows choose), the rate list and the
    // command row; the grey result field is passed by.
    void tabOrderFollowsTheForm() {
        const ContractControls& c = f_->C();
        f_->Enter("txtDescBene", "Pressa");
        f_->Enter("txtValBene", "1000");  // Salva and Elimina stay off: not tab stops then
        const QWidget* expected[] = {
            c.cboTipoLea,    c.txtDescBene,   c.txtValBene,     c.txtMaxi,        c.txtPercMaxi,
            c.txtSpread,     c.txtTasso,      c.cboTxRif,       c.txtRate,        c.cboPeriodicita,
            c.txtRiscatto,   c.txtPercRiscatto, c.txtContract,  c.txtStart,       c.txtDataRiscatto,
            c.txtSpContratto, c.txtSpRata,    c.optCapSem,      c.optPagAnt,      c.chkIntRiscatto,
            c.chkCentesimo,  c.optFormula[0], c.lsvTxHis,       c.cmdNuovo,       c.cmdCalcola};
        f_->Focus(c.cboTipoLea);
        QStringList seen;
        QStringList wanted;
        for (const QWidget* next : expected) {
            wanted << next->objectName();
            seen << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(seen, wanted);
    }

    // The field the calculation fills takes no typing and no Tab: "Rata" by default, the
    // rate or the asset value when chosen; the other two are input again.
    void theResultFieldIsNotInput_data() {
        QTest::addColumn<int>("target");
        QTest::addColumn<QString>("result");
        QTest::newRow("Rata") << 0 << "txtResult";
        QTest::newRow("Tasso") << 1 << "txtTasso";
        QTest::newRow("Valore del bene") << 3 << "txtValBene";
    }
    void theResultFieldIsNotInput() {
        QFETCH(int, target);
        QFETCH(QString, result);
        const ContractControls& c = f_->C();
        f_->Choose(c.optFormula[target]);
        for (QLineEdit* field : {c.txtResult, c.txtTasso, c.txtValBene}) {
            const bool isResult = field->objectName() == result;
            QCOMPARE(field->isReadOnly(), isResult);
            QCOMPARE(field->focusPolicy(), isResult ? Qt::NoFocus : Qt::StrongFocus);
        }
        QLineEdit* field = f_->Field(result.toLatin1().constData());
        QTest::keyClicks(field, "300");
        QCOMPARE(field->text(), QString("0"));
    }

    // Alt and the underlined letter press the command buttons; where the menu bar has the
    // same letter ("&Salva" and "&Servizi"), the button takes it on the Calcoli page and the
    // menu everywhere else.
    void altKeysPressTheCommandButtons() {
        const ContractControls& c = f_->C();
        const struct {
            QPushButton* button;
            const char* caption;
        } buttons[] = {{c.cmdCalcola, "&Calcola"}, {c.cmdSalva, "&Salva"}, {c.cmdNuovo, "&Nuovo"},
                       {c.cmdElimina, "&Elimina"}, {c.cmdIndicizza, "&Indicizza"}};
        for (const auto& b : buttons) QCOMPARE(b.button->text(), QString(b.caption));
        FillPressa();
        f_->Focus(c.txtDescBene);
        // A pressed button shows itself down for a moment, then clicks.
        QTest::keyClick(c.txtDescBene, Qt::Key_C, Qt::AltModifier);
        QTRY_COMPARE(f_->Text("txtResult"), QString("761,97"));
        QTest::keyClick(c.txtDescBene, Qt::Key_S, Qt::AltModifier);
        QTRY_COMPARE(f_->archive.saved.size(), std::size_t(1));
        QVERIFY(f_->shell.requests.empty());
        // Elsewhere Alt+S is the menu's "Servizi".
        f_->window->Tabs()->setCurrentIndex(1);
        QTest::keyClick(f_->window.get(), Qt::Key_S, Qt::AltModifier);
        QTRY_COMPARE(f_->shell.requests.size(), std::size_t(1));
        QCOMPARE(f_->archive.saved.size(), std::size_t(1));
        f_->window->Tabs()->setCurrentIndex(0);
        QTest::keyClick(c.txtDescBene, Qt::Key_N, Qt::AltModifier);
        QTRY_COMPARE(f_->Text("txtDescBene"), QString());
        QVERIFY(f_->boxes.shown.empty());
    }

    void theTreeKeepsItsPlace() {
        ContractTree* tree = f_->window->Tree();
        QTreeWidgetItem* leasing = tree->topLevelItem(0);
        leasing->setExpanded(true);
        f_->archive.stored = StoredTornio();
        Click(leasing->child(1));
        QTest::mouseClick(f_->C().cmdNuovo, Qt::LeftButton);
        QVERIFY(tree->topLevelItem(0)->isExpanded());
        QVERIFY(!tree->topLevelItem(1)->isExpanded());
        QCOMPARE(tree->currentItem(), nullptr);

        // Saved, the new contract is chosen under its type, which opens; Leasing stays open.
        FillPressa();
        f_->Calcola();
        (*f_->archive.tree)[1].contracts.push_back({99, "Pressa"});
        QTest::mouseClick(f_->C().cmdSalva, Qt::LeftButton);
        QCOMPARE(tree->currentItem()->text(0), QString("Pressa"));
        QCOMPARE(tree->currentItem()->data(0, Qt::UserRole).toString(), QString("IDCon99"));
        QVERIFY(tree->topLevelItem(1)->isExpanded());
        QVERIFY(tree->topLevelItem(0)->isExpanded());

        // Deleted, and after a change of the lookup tables, the open types stay open.
        Click(tree->currentItem());
        f_->boxes.ScriptAnswer(BoxAnswer::Yes);
        QTest::mouseClick(f_->C().cmdElimina, Qt::LeftButton);
        QCOMPARE(f_->archive.deleted, std::vector<std::int32_t>{99});
        QVERIFY(tree->topLevelItem(0)->isExpanded());
        QVERIFY(tree->topLevelItem(1)->isExpanded());
        tree->topLevelItem(1)->setExpanded(false);
        f_->window->RefreshLookups(QStringLiteral("Tipologia"));
        QVERIFY(tree->topLevelItem(0)->isExpanded());
        QVERIFY(!tree->topLevelItem(1)->isExpanded());
    }

    void aNameCutAtTheTreesEdgeShowsWholeInItsTooltip() {
        const std::string longName = "Centro di lavoro verticale a cinque assi";
        (*f_->archive.tree)[0].contracts.push_back({11, longName});
        f_->window->LoadTree();
        ContractTree* tree = f_->window->Tree();
        tree->expandAll();
        QApplication::processEvents();
        QTreeWidgetItem* cut = tree->topLevelItem(0)->child(2);
        // Opening everything changes the images of the types only.
        const auto image = [](const QIcon& icon) { return icon.pixmap(16).toImage(); };
        QCOMPARE(image(cut->icon(0)), image(TreeImageIcon(TreeImage::Contract)));
        QCOMPARE(image(tree->topLevelItem(0)->icon(0)),
                 image(TreeImageIcon(TreeImage::ExpandedType)));
        QCOMPARE(tree->CutNameTip(cut), QString::fromStdString(longName));
        QCOMPARE(tree->CutNameTip(tree->topLevelItem(0)->child(1)), QString());
        QVERIFY(!tree->horizontalScrollBar()->isVisible());
        // The tree grows with the window, and then the whole name shows.
        f_->window->resize(kLarge);
        QApplication::processEvents();
        QCOMPARE(tree->CutNameTip(cut), QString());
    }

    void loadingAContractClearsThePreviousEffectiveRate() {
        FillPressa();
        f_->Calcola();
        QVERIFY(!f_->Text("txtTxEffettivo").isEmpty());
        QVERIFY(f_->C().lblTxEffettivo->isVisible());
        f_->archive.stored = StoredTornio();
        f_->window->Tree()->expandAll();
        f_->boxes.ScriptAnswer(BoxAnswer::No);
        Click(f_->window->Tree()->topLevelItem(0)->child(1));
        QCOMPARE(f_->Text("txtDescBene"), QString("Tornio"));
        QCOMPARE(f_->Text("txtTxEffettivo"), QString());
        QVERIFY(!f_->C().lblTxEffettivo->isVisible());
    }

    // 4.075.849.984,00 must never show as "075.849.984,00": the text is set smaller to fit,
    // and one too long even so shows its leading digits.
    void aFigureTooWideForItsFieldIsShownWhole() {
        QLineEdit* result = f_->C().txtResult;
        const QFont own = result->font();
        result->setText(QStringLiteral("4.075.849.984,00"));
        QVERIFY(result->font().pointSizeF() < own.pointSizeF());
        QVERIFY(result->font().bold());
        QVERIFY(result->fontMetrics().horizontalAdvance(result->text()) < result->width() - 8);
        result->setText(QStringLiteral("761,97"));
        QCOMPARE(result->font(), own);
        f_->C().txtValBene->setText(QStringLiteral("340.282.346.638.528.859.811.704.183.484,00"));
        QCOMPARE(f_->C().txtValBene->cursorPosition(), 0);
    }

    void aMessageBoxIsWideEnoughForItsTitle() {
        const QString title = QStringLiteral("Errore  Quotaplan 4.0.0");
        const std::unique_ptr<QMessageBox> box = BuildMessageBox(
            {"Digitare un valore.", title.toStdString(), BoxIcon::Exclamation, BoxButtons::Ok},
            f_->window.get());
        box->show();
        QApplication::processEvents();
        QVERIFY(box->width() >= TitleBarWidth(title));
        QVERIFY(TitleBarWidth(title) > box->fontMetrics().horizontalAdvance(title));
        box->hide();
    }

    // "Salvare le modifiche?" answers in Italian; Esc is Annulla.
    void aSaveQuestionHasSiNoAnnulla() {
        const std::unique_ptr<QMessageBox> box =
            BuildMessageBox({"Salvare le modifiche?", "Quotaplan 4.0.0", BoxIcon::Exclamation,
                             BoxButtons::YesNoCancel},
                            f_->window.get());
        QStringList captions;
        for (QAbstractButton* button : box->buttons()) captions << button->text();
        captions.sort();
        QCOMPARE(captions, QStringList({"&No", "Annulla", "Sì"}));
        QCOMPARE(box->defaultButton(), box->button(QMessageBox::Yes));
        QCOMPARE(box->escapeButton(), static_cast<QAbstractButton*>(box->button(QMessageBox::Cancel)));
    }

    void theWindowComesBackWhereItWasClosed() {
        const std::unique_ptr<QSettings> settings = UserSettings();
        QCOMPARE(QFileInfo(settings->fileName()).absoluteFilePath(),
                 QDir(settingsFolder_.path()).absoluteFilePath("Quotaplan/Quotaplan.conf"));
        settings->clear();
        const QSize designed = f_->window->size();
        f_->window->RememberPlacement(*settings);
        QCOMPARE(f_->window->size(), designed);  // nothing kept yet
        f_->window->resize(900, 700);
        QApplication::processEvents();
        f_->window->close();
        QVERIFY(settings->contains("MainWindow/geometry"));

        WindowFixture again;
        again.window->RememberPlacement(*settings);
        QCOMPARE(again.window->size(), QSize(900, 700));
        QCOMPARE(again.window->Tree()->height(), 700 - (designed.height() - Twips(6495)));
    }

private:
    void FillPressa() const {
        f_->Enter("txtDescBene", "Pressa");
        f_->FillLeasing();
    }
    void Click(QTreeWidgetItem* node) const { emit f_->window->Tree()->itemClicked(node, 0); }
    QImage Grab(QSize size, int page = 0) {
        f_->window->resize(size);
        f_->window->Tabs()->setCurrentIndex(page);
        QApplication::processEvents();
        return f_->window->grab().toImage();
    }

    QTemporaryDir settingsFolder_;
    std::unique_ptr<WindowFixture> f_;
};

QTEST_MAIN(WindowLayoutTest)
#include "test_window_layout.moc"
