#include "ui/contract_controls.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "ui/accessible_names.h"
#include "ui/growing_layout.h"
#include "ui/rate_list_view.h"
#include "ui/twips.h"

namespace quotaplan {
namespace {

constexpr int kFieldHeight = 19;
constexpr int kLabelHeight = 13;

template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLabel* AddLabel(QWidget* page, const QString& text, int x, int y, int width) {
    auto* label = new QLabel(text, page);
    label->setGeometry(x, y, width, kLabelHeight);
    return label;
}

// A text field at (left, top) twips with its caption just above it.
QLineEdit* AddField(QWidget* page, const char* name, const QString& caption, int left, int top,
                    int width, const QString& initial, bool rightAligned) {
    const QRect place = PageRect(left, top, width, kFieldHeight);
    auto* field = Named(new QLineEdit(initial, page), name);
    if (!caption.isEmpty()) {
        AddLabel(page, caption, place.x(), place.y() - kLabelHeight, width + 30)->setBuddy(field);
    }
    field->setGeometry(place);
    if (rightAligned) field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return field;
}

QComboBox* AddCombo(QWidget* page, const char* name, const QString& caption, int left, int top,
                    int width) {
    const QRect place = PageRect(left, top, width, kFieldHeight + 2);
    auto* combo = Named(new QComboBox(page), name);
    AddLabel(page, caption, place.x(), place.y() - kLabelHeight, width)->setBuddy(combo);
    combo->setGeometry(place);
    return combo;
}

QPushButton* AddButton(QWidget* page, const char* name, const QString& caption, int left) {
    auto* button = Named(new QPushButton(caption, page), name);
    button->setGeometry(PageRect(left, 6015, 76, 25));
    return button;
}

QGroupBox* AddGroup(QWidget* page, const char* name, const QString& caption, int left, int top,
                    int width, int height) {
    auto* group = Named(new QGroupBox(caption, page), name);
    group->setGeometry(PageRect(left, top, width, height));
    return group;
}

QRadioButton* AddOption(QGroupBox* group, QButtonGroup* exclusive, const char* name,
                        const QString& caption, int row) {
    auto* option = Named(new QRadioButton(caption, group), name);
    option->setGeometry(6, 16 + row * 18, group->width() - 8, 18);
    exclusive->addButton(option);
    return option;
}

}  // namespace

ContractControls BuildContractControls(QWidget* page) {
    ContractControls c;
    const QString zero = QStringLiteral("0");

    // The list of per-instalment rates along the left edge.
    const QRect listPlace = PageRect(120, 660, Twips(1695), Twips(5235));
    AddLabel(page, QStringLiteral("Variazione tassi in %"), listPlace.x(),
             listPlace.y() - kLabelHeight - 1, listPlace.width() + 10);
    c.lsvTxHis = Named(new RateListView(page), "lsvTxHis");
    c.lsvTxHis->setGeometry(listPlace);

    // The contract section: a framed block of fields from the financing type to the
    // instalment. It ends above the captions of the fees, whose row would otherwise carry
    // the frame's line through "Spese contratto" and cross "Tasso effettivo".
    auto* section = new QFrame(page);
    section->setFrameShape(QFrame::Box);
    section->setFrameShadow(QFrame::Sunken);
    const int sectionTop = Twips(780 - kTabStripTwips) - 22;
    const int feeCaptionTop = Twips(5520 - kTabStripTwips) - kLabelHeight;
    section->setGeometry(Twips(1980) - 6, sectionTop, 238, feeCaptionTop - 5 - sectionTop);
    section->lower();

    c.cboTipoLea =
        AddCombo(page, "cboTipoLea", QStringLiteral("Dati contratt&uali "), 1980, 780, 224);
    c.txtDescBene = AddField(page, "txtDescBene", QStringLiteral("Descrizione del &bene"), 1980,
                             1380, 224, QString(), false);
    c.txtValBene =
        AddField(page, "txtValBene", QStringLiteral("&Valore del bene"), 1980, 1980, 94, zero, true);
    c.txtMaxi =
        AddField(page, "txtMaxi", QStringLiteral("Ma&xi. o anticipo"), 3480, 1980, 80, zero, true);
    c.txtPercMaxi =
        AddField(page, "txtPercMaxi", QStringLiteral("In %"), 4740, 1980, 40, zero, true);

    c.txtSpread = AddField(page, "txtSpread", QStringLiteral("Sp&read"), 1980, 2580, 40, zero, true);
    AddLabel(page, QStringLiteral("%"), c.txtSpread->geometry().right() + 3, c.txtSpread->y() + 3,
             10);
    c.txtTasso = AddField(page, "txtTasso", QStringLiteral("&Tasso"), 2820, 2580, 38, zero, true);
    AddLabel(page, QStringLiteral("%"), c.txtTasso->geometry().right() + 3, c.txtTasso->y() + 3,
             10);
    c.cboTxRif = AddCombo(page, "cboTxRif", QStringLiteral("Tasso ri&ferimento"), 3600, 2580, 116);

    c.txtRate = AddField(page, "txtRate", QStringLiteral("N° &di rate"), 1980, 3180, 44, zero, true);
    c.cboPeriodicita =
        AddCombo(page, "cboPeriodicita", QStringLiteral("Periodicità"), 2760, 3180, 110);
    c.cboPeriodicita->addItems({QStringLiteral("Mensile"), QStringLiteral("Bimestrale"),
                                QStringLiteral("Trimestrale"), QStringLiteral("Quadrimestrale"),
                                QStringLiteral("Semestrale"), QStringLiteral("Annuale")});

    c.txtRiscatto =
        AddField(page, "txtRiscatto", QStringLiteral("Riscatt&o"), 1980, 3780, 80, zero, true);
    c.txtPercRiscatto =
        AddField(page, "txtPercRiscatto", QStringLiteral("In %"), 3240, 3780, 40, zero, true);

    c.txtContract = AddField(page, "txtContract", QStringLiteral("- Contratto"), 1980, 4440, 66,
                             QString(), false);
    AddLabel(page, QStringLiteral("Date:"), c.txtContract->x(),
             c.txtContract->y() - 2 * kLabelHeight, 60);
    c.txtStart = AddField(page, "txtStart", QStringLiteral("- Pri&ma rata"), 3060, 4440, 66,
                          QString(), false);
    c.txtDataRiscatto = AddField(page, "txtDataRiscatto", QStringLiteral("- Riscatto"), 4140, 4440,
                                 66, QString(), false);

    c.txtResult = AddField(page, "txtResult", QString(), 2520, 4860, 92, zero, true);
    QFont bold = c.txtResult->font();
    bold.setBold(true);
    c.txtResult->setFont(bold);
    auto* resultCaption =
        AddLabel(page, QStringLiteral("Rata:"), Twips(1980), c.txtResult->y() + 3, 34);
    resultCaption->setFont(bold);

    c.txtSpContratto = AddField(page, "txtSpContratto", QStringLiteral("Spese contratto"), 1980,
                                5520, 78, zero, true);
    c.txtSpRata =
        AddField(page, "txtSpRata", QStringLiteral("Spese rata"), 3240, 5520, 58, zero, true);
    c.txtTxEffettivo = AddField(page, "txtTxEffettivo", QString(), 4200, 5520, 66, QString(), true);
    c.txtTxEffettivo->setReadOnly(true);
    c.txtTxEffettivo->setFocusPolicy(Qt::NoFocus);
    c.txtTxEffettivo->setStyleSheet(QStringLiteral("background-color: palette(button); color: palette(button-text);"));
    c.lblTxEffettivo = Named(new QLabel(QStringLiteral("Tasso effettivo"), page), "lblTxEffettivo");
    c.lblTxEffettivo->setFont(bold);
    c.lblTxEffettivo->setGeometry(c.txtTxEffettivo->x(), c.txtTxEffettivo->y() - kLabelHeight - 1,
                                  100, kLabelHeight);
    c.lblTxEffettivo->hide();

    // The TAEG in the free end of the instalment's row, right above the effective rate: a
    // display like it, its caption shown while the figure is current.
    c.txtTAEG = AddField(page, "txtTAEG", QString(), 4620, 4860, 52, QString(), true);
    c.txtTAEG->setReadOnly(true);
    c.txtTAEG->setFocusPolicy(Qt::NoFocus);
    c.txtTAEG->setStyleSheet(QStringLiteral("background-color: palette(button); color: palette(button-text);"));
    c.lblTAEG = Named(new QLabel(QStringLiteral("TAEG"), page), "lblTAEG");
    c.lblTAEG->setFont(bold);
    c.lblTAEG->setGeometry(c.txtTAEG->x() - 34, c.txtTAEG->y() + 3, 32, kLabelHeight);
    c.lblTAEG->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    c.lblTAEG->hide();
    // In the gap between the instalment and the TAEG's caption.
    c.lblAvvisoTAEG = Named(new QLabel(QStringLiteral("\u26A0"), page), "lblAvvisoTAEG");
    c.lblAvvisoTAEG->setStyleSheet(QStringLiteral("color: #c05000; font-weight: bold;"));
    c.lblAvvisoTAEG->setAlignment(Qt::AlignCenter);
    c.lblAvvisoTAEG->setGeometry(c.txtResult->geometry().right() + 1, c.txtResult->y(),
                                 c.lblTAEG->x() - c.txtResult->geometry().right() - 1,
                                 c.txtResult->height());
    c.lblAvvisoTAEG->hide();

    c.Frame1 = AddGroup(page, "Frame1", QStringLiteral("Capitalizzazione"), 5460, 540, 104, 58);
    auto* capitalisation = new QButtonGroup(c.Frame1);
    c.optCapSem = AddOption(c.Frame1, capitalisation, "optCapSem", QStringLiteral("Semplice"), 0);
    c.optCapCom = AddOption(c.Frame1, capitalisation, "optCapCom", QStringLiteral("Composta"), 1);
    c.optCapSem->setChecked(true);

    c.Frame2 = AddGroup(page, "Frame2", QStringLiteral("Pagamento"), 5460, 1500, 104, 58);
    auto* timing = new QButtonGroup(c.Frame2);
    c.optPagAnt = AddOption(c.Frame2, timing, "optPagAnt", QStringLiteral("Anticipato"), 0);
    c.optPagPos = AddOption(c.Frame2, timing, "optPagPos", QStringLiteral("Posticipato"), 1);
    c.optPagPos->setChecked(true);

    c.chkIntRiscatto = Named(new QCheckBox(QStringLiteral("Calcola gli"), page), "chkIntRiscatto");
    c.chkIntRiscatto->setGeometry(PageRect(5520, 2640, 96, 18));
    auto* continuation = AddLabel(page, QStringLiteral("interessi sul riscatto"),
                                  c.chkIntRiscatto->x() + 18, c.chkIntRiscatto->y() + 17, 78);
    continuation->setWordWrap(true);
    continuation->setFixedHeight(2 * kLabelHeight);

    // Two lines, as the right-hand column is narrow; a click on either toggles it.
    c.chkCentesimo =
        Named(new QCheckBox(QStringLiteral("Piano a&l\ncentesimo"), page), "chkCentesimo");
    c.chkCentesimo->setGeometry(PageRect(5520, 3360, 96, 32));
    c.chkCentesimo->setToolTip(
        QStringLiteral("Piano al centesimo: importi esatti al centesimo, l'ultima rata chiude il "
                       "debito"));

    // The usury verdict, in the band of the right column between "Piano al centesimo" and
    // "Calcola:", level with the figures it judges; shown with the TAEG.
    c.lblUsura = Named(new QLabel(page), "lblUsura");
    c.lblUsura->setGeometry(PageRect(5460, 3840, 112, 40));
    c.lblUsura->setWordWrap(true);
    // A point smaller, so that the longest verdict takes three lines of the band.
    QFont small = c.lblUsura->font();
    small.setPointSizeF(small.pointSizeF() - 1);
    c.lblUsura->setFont(small);
    c.lblUsura->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    c.lblUsura->hide();

    c.fraFormula = AddGroup(page, "fraFormula", QStringLiteral("Calcola:"), 5460, 4440, 110, 74);
    auto* target = new QButtonGroup(c.fraFormula);
    c.optFormula[0] = AddOption(c.fraFormula, target, "optFormula", QStringLiteral("Rata"), 0);
    c.optFormula[1] = AddOption(c.fraFormula, target, "optFormula", QStringLiteral("Tasso"), 1);
    c.optFormula[3] =
        AddOption(c.fraFormula, target, "optFormula", QStringLiteral("Valore del bene"), 2);
    for (int index : {0, 1, 3}) c.optFormula[index]->setProperty("index", index);
    c.optFormula[0]->setChecked(true);

    // The Symbol font's arrow (character 174) in red: "press Calcola again".
    c.lblInfo = Named(new QLabel(QStringLiteral("\u2192"), page), "lblInfo");
    c.lblInfo->setStyleSheet(QStringLiteral("color: red; font-weight: bold; font-size: 16px;"));
    c.lblInfo->setGeometry(PageRect(5220, 5940, 20, 24));
    c.lblInfo->setToolTip(QStringLiteral("Premere Calcola"));

    c.lblIDContract = Named(new QLabel(page), "lblIDContract");
    c.lblIDContract->hide();

    c.cmdNuovo = AddButton(page, "cmdNuovo", QStringLiteral("&Nuovo"), 180);
    c.cmdSalva = AddButton(page, "cmdSalva", QStringLiteral("&Salva"), 1440);
    c.cmdElimina = AddButton(page, "cmdElimina", QStringLiteral("&Elimina"), 2700);
    c.cmdCalcola = AddButton(page, "cmdCalcola", QStringLiteral("&Calcola"), 5640);
    c.cmdSalva->setEnabled(false);
    c.cmdElimina->setEnabled(false);

    // In the command row, between "Elimina" and the stale marker: the right column holds
    // the check boxes and the usury verdict.
    c.cmdIndicizza = AddButton(page, "cmdIndicizza", QStringLiteral("&Indicizza"), 3960);
    c.cmdIndicizza->setToolTip(
        QStringLiteral("Tassi delle rate dai valori del tasso di riferimento più lo spread"));
    c.cmdIndicizza->setEnabled(false);

    // Tab order: the form from top to bottom and left to right, as the user fills it, then
    // the options of the right column, the rate list, and the command row left to right.
    QWidget* order[] = {c.cboTipoLea,     c.txtDescBene,    c.txtValBene,     c.txtMaxi,
                        c.txtPercMaxi,    c.txtSpread,      c.txtTasso,       c.cboTxRif,
                        c.txtRate,        c.cboPeriodicita, c.txtRiscatto,    c.txtPercRiscatto,
                        c.txtContract,    c.txtStart,       c.txtDataRiscatto, c.txtResult,
                        c.txtSpContratto, c.txtSpRata,      c.optCapSem,      c.optCapCom,
                        c.optPagAnt,      c.optPagPos,      c.chkIntRiscatto, c.chkCentesimo,
                        c.optFormula[0],  c.optFormula[1],  c.optFormula[3],  c.lsvTxHis,
                        c.cmdNuovo,       c.cmdSalva,       c.cmdElimina,     c.cmdIndicizza,
                        c.cmdCalcola};
    for (std::size_t i = 1; i < std::size(order); ++i) QWidget::setTabOrder(order[i - 1], order[i]);

    // What a screen reader says for the fields whose caption alone would be ambiguous ("In
    // %", "- Contratto") or stands apart from them; the rest are named from their captions.
    const std::pair<QWidget*, const char*> spoken[] = {
        {c.txtPercMaxi, "Maxi. o anticipo in %"},
        {c.txtPercRiscatto, "Riscatto in %"},
        {c.txtContract, "Data del contratto"},
        {c.txtStart, "Data della prima rata"},
        {c.txtDataRiscatto, "Data del riscatto"},
        {c.txtResult, "Rata"},
        {c.txtTxEffettivo, "Tasso effettivo"},
        {c.txtTAEG, "TAEG"},
        {c.optCapSem, "Capitalizzazione semplice"},
        {c.optCapCom, "Capitalizzazione composta"},
        {c.optPagAnt, "Pagamento anticipato"},
        {c.optPagPos, "Pagamento posticipato"},
        {c.chkIntRiscatto, "Calcola gli interessi sul riscatto"},
        {c.optFormula[0], "Calcola la rata"},
        {c.optFormula[1], "Calcola il tasso"},
        {c.optFormula[3], "Calcola il valore del bene"},
        {c.lsvTxHis, "Variazione tassi in %"},
    };
    for (const auto& [widget, name] : spoken) widget->setAccessibleName(QString::fromUtf8(name));
    NameInputs(page);

    // Taller, the rate list takes the height and the command row follows the bottom edge;
    // the form keeps its place and arrangement. Wider, the usury verdict takes the room at
    // the right, so that a long one needs fewer lines.
    auto* growing = new GrowingLayout(page);
    growing->Add(c.lsvTxHis, kGrowDown);
    growing->Add(c.lblUsura, kWidenRight);
    for (QWidget* bottom :
         {static_cast<QWidget*>(c.cmdNuovo), static_cast<QWidget*>(c.cmdSalva),
          static_cast<QWidget*>(c.cmdElimina), static_cast<QWidget*>(c.cmdCalcola),
          static_cast<QWidget*>(c.cmdIndicizza), static_cast<QWidget*>(c.lblInfo)}) {
        growing->Add(bottom, kFollowBottom);
    }
    return c;
}

}  // namespace quotaplan
