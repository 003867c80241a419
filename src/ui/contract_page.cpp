#include "ui/contract_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <cmath>
#include <exception>

#include "common/clock.h"
#include "common/message_boxes.h"
#include "common/number_text.h"
#include "common/run_time_error.h"
#include "engine/indexation.h"
#include "ui/field_hooks.h"
#include "ui/field_rules.h"
#include "ui/indexing_form.h"
#include "ui/rate_list_view.h"

namespace quotaplan {
namespace {

std::string Text(const QLineEdit* field) { return field->text().toStdString(); }

// Writes only a text that differs, so that an unchanged field raises no change behaviour.
void SetText(QLineEdit* field, const std::string& text) {
    const QString value = QString::fromStdString(text);
    if (field->text() != value) field->setText(value);
}

// The field that receives the result is shaded: its base a quarter of the way towards its
// text, with that text, so it reads in light and dark themes alike (a light theme gets the
// familiar light grey). The roles set follow the page's palette; the rest is inherited.
void SetGrey(QLineEdit* field, bool grey) {
    field->setProperty("shaded", grey);
    QPalette palette;
    if (grey) {
        const QPalette& page = field->parentWidget()->palette();
        const QColor base = page.color(QPalette::Base);
        const QColor text = page.color(QPalette::Text);
        const auto mix = [](int from, int to) { return from + (to - from) / 4; };
        palette.setColor(QPalette::Base, QColor(mix(base.red(), text.red()),
                                                mix(base.green(), text.green()),
                                                mix(base.blue(), text.blue())));
        palette.setColor(QPalette::Text, text);
    }
    field->setPalette(palette);
}

}  // namespace

ContractPage::ContractPage(MessageBoxes& boxes, QWidget* parent)
    : QWidget(parent), boxes_(boxes), c_(BuildContractControls(this)) {
    SetGrey(c_.txtResult, true);
    ConnectChangeRules();
    ConnectFieldHooks();
    connect(c_.cmdCalcola, &QPushButton::clicked, this, &ContractPage::Calculate);
    connect(c_.cmdIndicizza, &QPushButton::clicked, this, &ContractPage::indexRequested);
    connect(c_.cboTxRif, &QComboBox::currentIndexChanged, this, &ContractPage::referenceRateChosen);
    // The verdict follows the type's usury category.
    connect(c_.cboTipoLea, &QComboBox::currentIndexChanged, this, [this] {
        if (usuryCase_) emit usuryCheckRequested();
    });
    connect(c_.cmdNuovo, &QPushButton::clicked, this, &ContractPage::newRequested);
    connect(c_.cmdSalva, &QPushButton::clicked, this, &ContractPage::saveRequested);
    connect(c_.cmdElimina, &QPushButton::clicked, this, &ContractPage::deleteRequested);
    connect(c_.lsvTxHis, &QTreeWidget::itemDoubleClicked, this, &ContractPage::EditRateListRow);
    for (int index : {0, 1, 3}) {
        connect(c_.optFormula[index], &QRadioButton::toggled, this, [this, index](bool on) {
            if (on) SelectTarget(static_cast<CalcTarget>(index));
        });
    }
}

void ContractPage::ConnectChangeRules() {
    for (QLineEdit* field : {c_.txtValBene, c_.txtMaxi, c_.txtPercMaxi, c_.txtRiscatto,
                             c_.txtPercRiscatto, c_.txtRate, c_.txtContract, c_.txtDataRiscatto}) {
        connect(field, &QLineEdit::textChanged, this, &ContractPage::InvalidateResult);
    }
    // These decide the default rates and dates of the rate list, so the list goes too.
    for (QLineEdit* field : {c_.txtTasso, c_.txtSpread, c_.txtStart}) {
        connect(field, &QLineEdit::textChanged, this, [this] {
            ClearRateList();
            InvalidateResult();
        });
    }
    connect(c_.cboPeriodicita, &QComboBox::currentIndexChanged, this, [this] {
        ClearRateList();
        InvalidateResult();
    });
    for (QCheckBox* box : {c_.chkIntRiscatto, c_.chkCentesimo}) {
        connect(box, &QCheckBox::toggled, this, &ContractPage::InvalidateResult);
    }
    for (QRadioButton* option : {c_.optCapCom, c_.optCapSem, c_.optPagAnt, c_.optPagPos}) {
        connect(option, &QRadioButton::toggled, this, [this](bool on) {
            if (on) InvalidateResult();
        });
    }
}

void ContractPage::ConnectFieldHooks() {
    auto textHook = [](QLineEdit* field, auto filter) {
        auto* hooks = new FieldHooks(field);
        if constexpr (!std::is_same_v<decltype(filter), std::nullptr_t>) {
            hooks->onKeyTyped = [filter](const QString& typed) {
                return QString::fromStdString(filter(typed.toStdString()));
            };
        }
        return hooks;
    };
    textHook(c_.txtDescBene, &DescriptionKeyFilter);
    for (QLineEdit* field : {c_.txtTasso, c_.txtSpread}) {
        textHook(field, &RateKeyFilter)->onLeave = [field] {
            SetText(field, ReformatRate(Text(field)));
        };
    }
    textHook(c_.txtRate, nullptr);
    for (QLineEdit* field : {c_.txtContract, c_.txtStart, c_.txtDataRiscatto}) {
        textHook(field, nullptr)->onLeave = [field] { SetText(field, ReformatDate(Text(field))); };
    }
    // The fees select their text on entry like every other field: a click into "0,00"
    // followed by 5 gives 5, not 0,005.
    for (QLineEdit* field : {c_.txtSpContratto, c_.txtSpRata}) {
        textHook(field, nullptr)->onLeave = [field] {
            SetText(field, ReformatAmount(Text(field)));
        };
    }
    textHook(c_.txtResult, &PointToComma)->onLeave = [this] { LeaveResult(); };

    // The asset value: typing into it makes both amounts count again.
    auto* value = textHook(c_.txtValBene, nullptr);
    const PairFields pairs[] = {{c_.txtMaxi, c_.txtPercMaxi, &maxi_},
                                {c_.txtRiscatto, c_.txtPercRiscatto, &riscatto_}};
    auto valueEdited = [this, pairs] {
        for (const PairFields& pair : pairs) {
            LoadPair(pair);
            AmountEdited(*pair.state);
            StorePair(pair);
        }
    };
    value->onKeyTyped = [valueEdited](const QString& typed) {
        if (IsAmountEditKey(typed.toStdString())) valueEdited();
        return typed;
    };
    value->onDeletePressed = valueEdited;
    value->onLeave = [this] { SetText(c_.txtValBene, ReformatAmount(Text(c_.txtValBene))); };
    for (const PairFields& pair : pairs) ConnectPairHooks(pair);
}

void ContractPage::ConnectPairHooks(const PairFields& pair) {
    auto* amount = new FieldHooks(pair.amount);
    auto amountEdited = [this, pair] {
        LoadPair(pair);
        AmountEdited(*pair.state);
        StorePair(pair);
    };
    amount->onKeyTyped = [amountEdited](const QString& typed) {
        if (IsAmountEditKey(typed.toStdString())) amountEdited();
        return typed;
    };
    amount->onDeletePressed = amountEdited;
    amount->onLeave = [this, pair] {
        LoadPair(pair);
        LeaveAmount(*pair.state, Text(c_.txtValBene), AssetValueTarget());
        StorePair(pair);
    };

    auto* percent = new FieldHooks(pair.percent);
    percent->onKeyTyped = [this, pair](const QString& typed) {
        LoadPair(pair);
        const std::string entered =
            PercentKeyTyped(*pair.state, typed.toStdString(), AssetValueTarget());
        StorePair(pair);
        return QString::fromStdString(entered);
    };
    percent->onDeletePressed = [this, pair] {
        LoadPair(pair);
        PercentKeyTyped(*pair.state, "\x7f", AssetValueTarget());
        StorePair(pair);
    };
    percent->onLeave = [this, pair] {
        LoadPair(pair);
        LeavePercent(*pair.state, Text(c_.txtValBene), AssetValueTarget());
        StorePair(pair);
    };
}

void ContractPage::LoadPair(const PairFields& pair) const {
    pair.state->amountText = Text(pair.amount);
    pair.state->percentText = Text(pair.percent);
    pair.state->percentTooltip = pair.percent->toolTip().toStdString();
}

void ContractPage::StorePair(const PairFields& pair) {
    SetText(pair.amount, pair.state->amountText);
    SetText(pair.percent, pair.state->percentText);
    pair.percent->setToolTip(QString::fromStdString(pair.state->percentTooltip));
}

void ContractPage::LeaveResult() {
    if (!AssetValueTarget() || IsNumberText(Text(c_.txtResult))) return;
    ShowPlainBox(boxes_, "Inserire nel campo rata un importo valido", "", BoxIcon::Exclamation);
    c_.txtResult->setText(QStringLiteral("0"));
}

void ContractPage::FillLookupCombos(const QStringList& financingTypes,
                                    const QStringList& referenceRates) {
    c_.cboTipoLea->clear();
    c_.cboTipoLea->addItems(financingTypes);
    c_.cboTipoLea->setCurrentIndex(0);
    c_.cboTxRif->clear();
    c_.cboTxRif->addItems(referenceRates);
    c_.cboTxRif->setCurrentIndex(-1);
    c_.cboTipoLea->setCurrentIndex(0);
}

void ContractPage::ResetFields() {
    const QString zero = QStringLiteral("0");
    c_.cboTipoLea->setCurrentIndex(c_.cboTipoLea->count() > 0 ? 0 : -1);
    c_.txtDescBene->clear();
    for (QLineEdit* field :
         {c_.txtValBene, c_.txtMaxi, c_.txtPercMaxi, c_.txtSpread, c_.txtTasso}) {
        field->setText(zero);
    }
    c_.cboTxRif->setCurrentIndex(c_.cboTxRif->count() > 0 ? 0 : -1);
    c_.txtRate->setText(zero);
    c_.cboPeriodicita->setCurrentIndex(0);
    c_.txtRiscatto->setText(zero);
    c_.txtPercRiscatto->setText(zero);
    c_.txtContract->clear();
    c_.txtStart->clear();
    c_.txtDataRiscatto->clear();
    for (QLineEdit* field : {c_.txtResult, c_.txtSpContratto, c_.txtSpRata}) field->setText(zero);
    c_.txtTxEffettivo->clear();
    c_.txtTAEG->clear();
    c_.txtTAEG->setToolTip(QString());
    for (CoupledPair* pair : {&maxi_, &riscatto_}) {
        pair->storedAmount = 0;
        pair->storedPercent = 0;
    }
    c_.txtPercMaxi->setToolTip(QString());
    c_.txtPercRiscatto->setToolTip(QString());
    c_.chkIntRiscatto->setChecked(false);
    c_.chkCentesimo->setChecked(false);
    c_.lsvTxHis->clear();
    c_.lsvTxHis->SetRateListColumns();
    rateListOrigin_ = RateListOrigin::Form;
    indexedContract_ = false;
}

void ContractPage::InvalidateResult() {
    c_.cmdSalva->setEnabled(false);
    c_.lblInfo->show();
    c_.lblTxEffettivo->hide();
    c_.lblTAEG->hide();
    usuryCase_.reset();
    c_.lblUsura->hide();
    c_.lblAvvisoTAEG->hide();
}

std::string ContractPage::FinancingTypeName() const {
    return c_.cboTipoLea->currentText().toStdString();
}

void ContractPage::ShowUsury(const std::optional<UsuryVerdict>& verdict) {
    if (!verdict) {
        c_.lblUsura->hide();
        return;
    }
    static const char* const kStyles[] = {"", "color: gray;", "color: red;"};
    c_.lblUsura->setStyleSheet(QString::fromLatin1(kStyles[static_cast<int>(verdict->tone)]));
    c_.lblUsura->setText(QString::fromStdString(verdict->text));
    c_.lblUsura->show();
}

void ContractPage::ClearRateList() {
    c_.lsvTxHis->ClearRateList();
    rateListOrigin_ = RateListOrigin::Form;
}

void ContractPage::SetDefaultTarget() {
    if (c_.optFormula[0]->isChecked()) {
        SelectTarget(CalcTarget::Instalment);
    } else {
        c_.optFormula[0]->setChecked(true);
    }
}

void ContractPage::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::PaletteChange) return;
    for (QLineEdit* field : {c_.txtResult, c_.txtTasso, c_.txtValBene, c_.txtRate}) {
        SetGrey(field, field->property("shaded").toBool());
    }
}

void ContractPage::SelectTarget(CalcTarget target) {
    const bool rate = target == CalcTarget::Rate;
    const bool value = target == CalcTarget::AssetValue;
    SetGrey(c_.txtResult, target == CalcTarget::Instalment);
    SetGrey(c_.txtTasso, rate);
    SetGrey(c_.txtValBene, value);
    SetGrey(c_.txtRate, false);
    QLineEdit* targetField = value ? c_.txtValBene : rate ? c_.txtTasso : c_.txtResult;
    targetField->setText(QStringLiteral("0"));
    for (QLineEdit* field : {c_.txtValBene, c_.txtPercMaxi, c_.txtPercRiscatto}) {
        field->setReadOnly(value);
    }
    // The grey field is the result: nothing is typed there and Tab passes it by.
    for (QLineEdit* field : {c_.txtResult, c_.txtTasso, c_.txtValBene}) {
        const bool result = field == targetField;
        if (field != c_.txtValBene) field->setReadOnly(result);
        field->setFocusPolicy(result ? Qt::NoFocus : Qt::StrongFocus);
    }
    if (value) {
        for (QLineEdit* percent : {c_.txtPercMaxi, c_.txtPercRiscatto}) {
            percent->setText(QStringLiteral("0"));
            percent->setToolTip(QString());
        }
    }
    c_.cmdSalva->setEnabled(target == CalcTarget::Instalment);
    calcMode_ = target;
    InvalidateResult();
}

void ContractPage::FillLstWithDefault() {
    CalculationForm form = ReadForm();
    RateListDefaults defaults{form.rate, form.start, form.tasso, form.spread,
                              form.periodicityIndex};
    quotaplan::FillLstWithDefault(form.rateList, defaults);
    SetText(c_.txtRate, defaults.rateCountText);
    c_.lsvTxHis->SetItems(form.rateList);
}

CalculationForm ContractPage::ReadForm() const {
    CalculationForm form;
    form.descBene = Text(c_.txtDescBene);
    form.valBene = Text(c_.txtValBene);
    form.spread = Text(c_.txtSpread);
    form.tasso = Text(c_.txtTasso);
    form.rate = Text(c_.txtRate);
    form.contract = Text(c_.txtContract);
    form.start = Text(c_.txtStart);
    form.dataRiscatto = Text(c_.txtDataRiscatto);
    form.result = Text(c_.txtResult);
    form.spContratto = Text(c_.txtSpContratto);
    form.spRata = Text(c_.txtSpRata);
    form.txEffettivo = Text(c_.txtTxEffettivo);
    form.taeg = Text(c_.txtTAEG);
    form.taegTooltip = c_.txtTAEG->toolTip().toStdString();
    form.maxi = maxi_;
    form.riscatto = riscatto_;
    LoadPair({c_.txtMaxi, c_.txtPercMaxi, &form.maxi});
    LoadPair({c_.txtRiscatto, c_.txtPercRiscatto, &form.riscatto});
    form.periodicityIndex = c_.cboPeriodicita->currentIndex();
    form.compound = c_.optCapCom->isChecked();
    form.advance = c_.optPagAnt->isChecked();
    form.intRiscatto = c_.chkIntRiscatto->isChecked();
    form.centesimo = c_.chkCentesimo->isChecked();
    form.target = calcMode_;
    form.rateList = c_.lsvTxHis->Items();
    form.rateListOrigin = rateListOrigin_;
    return form;
}

void ContractPage::WriteForm(const CalculationForm& form) {
    SetText(c_.txtDescBene, form.descBene);
    SetText(c_.txtValBene, form.valBene);
    SetText(c_.txtSpread, form.spread);
    SetText(c_.txtTasso, form.tasso);
    SetText(c_.txtRate, form.rate);
    SetText(c_.txtContract, form.contract);
    SetText(c_.txtStart, form.start);
    SetText(c_.txtDataRiscatto, form.dataRiscatto);
    SetText(c_.txtResult, form.result);
    SetText(c_.txtSpContratto, form.spContratto);
    SetText(c_.txtSpRata, form.spRata);
    SetText(c_.txtTxEffettivo, form.txEffettivo);
    SetText(c_.txtTAEG, form.taeg);
    c_.txtTAEG->setToolTip(QString::fromStdString(form.taegTooltip));
    maxi_ = form.maxi;
    riscatto_ = form.riscatto;
    StorePair({c_.txtMaxi, c_.txtPercMaxi, &maxi_});
    StorePair({c_.txtRiscatto, c_.txtPercRiscatto, &riscatto_});
    // Written last: the text changes above may have emptied it.
    if (form.rateList != c_.lsvTxHis->Items()) c_.lsvTxHis->SetItems(form.rateList);
}

void ContractPage::LoadRateList(const std::vector<StoredRate>& rows) {
    // A contract without stored instalments leaves the list as it was.
    if (rows.empty()) return;
    RateList list;
    list.reserve(rows.size());
    for (const StoredRate& row : rows) {
        list.push_back(
            {"R" + std::to_string(row.ID), FormatDate(row.Data, 1), FormatNumber(row.Tx, 2)});
    }
    c_.lsvTxHis->SetItems(list);
    rateListOrigin_ = RateListOrigin::Stored;
}

void ContractPage::Calculate() {
    Reindexing reindexing = Reindexing::None;
    if (!PrepareIndexation(reindexing)) return;
    CalculationForm form = ReadForm();
    const bool rebuildsPlan = form.target == CalcTarget::Instalment;
    // A calculation that stops midway may leave the plan half made.
    if (rebuildsPlan) planBasis_.reset();
    const CalculationOutcome outcome = RunCalculateCommand(form, plan_, boxes_, Today());
    WriteForm(form);
    if (outcome.planBuilt) {
        planBasis_ = Snapshot();
        planGrid_.FillPlanGrid();
    }
    if (outcome.saveEnabled) c_.cmdSalva->setEnabled(*outcome.saveEnabled);
    if (outcome.focus) FocusField(*outcome.focus);
    if (outcome.planBuilt) emit planCalculated();
    ShowFigures(outcome);
    if (!outcome.planBuilt) return;
    if (reindexing == Reindexing::Reapply) {
        ShowPlainBox(boxes_, ReindexedNote(ReferenceRateName()), "", BoxIcon::Information);
    } else if (reindexing == Reindexing::Lost) {
        ShowPlainBox(boxes_, IndexationLostWarning(ReferenceRateName()), "",
                     BoxIcon::Exclamation);
        indexedContract_ = false;
    }
}

void ContractPage::ShowFigures(const CalculationOutcome& outcome) {
    if (outcome.effectiveRateShown) {
        c_.lblInfo->hide();
        c_.lblTxEffettivo->show();
        c_.lblTAEG->show();
    }
    c_.lblAvvisoTAEG->setVisible(outcome.earlyFirstDate);
    c_.lblAvvisoTAEG->setToolTip(outcome.earlyFirstDate ? QString::fromUtf8(kEarlyFirstDateWarning)
                                                        : QString());
    usuryCase_ = outcome.usuryCase;
    if (usuryCase_) {
        emit usuryCheckRequested();
    } else {
        c_.lblUsura->hide();
    }
}

bool ContractPage::PrepareIndexation(Reindexing& reindexing) {
    reindexing = Reindexing::None;
    if (calcMode_ != CalcTarget::Instalment || !indexedContract_) return true;
    const RateList list = c_.lsvTxHis->Items();
    const auto count = TryParseNumber(Text(c_.txtRate));
    const bool fits = count && std::fabs(*count) == static_cast<double>(list.size());
    if (rateListOrigin_ != RateListOrigin::Form && fits) return true;
    std::vector<IndexValue> series;
    try {
        if (referenceSeries_) series = referenceSeries_(ReferenceRateName());
    } catch (const std::exception& failure) {
        ShowError(boxes_, 0, failure.what(), "");
        return false;
    }
    reindexing = ReindexingAtCalculation(indexedContract_, rateListOrigin_ != RateListOrigin::Form,
                                         fits, !series.empty());
    if (reindexing != Reindexing::Reapply) return true;
    return Index(series);
}

bool ContractPage::Index(const std::vector<IndexValue>& series) {
    const CalculationForm form = ReadForm();
    std::optional<FormField> focus;
    std::optional<IndexedForm> indexed;
    try {
        indexed = IndexContractForm(form, series, ReferenceRateName(), boxes_, focus);
    } catch (const RunTimeError& failure) {
        ShowError(boxes_, static_cast<std::int16_t>(failure.Number()), failure.Description(), "");
    }
    if (focus) FocusField(*focus);
    if (!indexed) return false;
    SetText(c_.txtRate, indexed->rate);
    SetText(c_.txtContract, indexed->contract);
    SetText(c_.txtStart, indexed->start);
    // Tasso first: its change empties the list, which is filled afterwards.
    SetText(c_.txtTasso, indexed->tasso);
    InvalidateResult();
    c_.lsvTxHis->SetItems(indexed->rateList);
    rateListOrigin_ = RateListOrigin::Indexed;
    c_.lsvTxHis->MarkChangedRates(indexed->changed);
    indexedContract_ = true;
    return true;
}

void ContractPage::MarkStoredIndexation() {
    const std::string name = ReferenceRateName();
    indexedContract_ =
        rateListOrigin_ == RateListOrigin::Stored && !name.empty() && !IsFixedRateName(name);
}

FormSnapshot ContractPage::Snapshot() const {
    return {ReadContractForm(), c_.lsvTxHis->Items()};
}

PlanState ContractPage::CurrentPlanState() const {
    return StateOfPlan(plan_.PlanReady, planBasis_, Snapshot());
}

void ContractPage::ShowStoredPlan(FinancialPlan plan) {
    plan_ = std::move(plan);
    planBasis_.reset();
    if (!plan_.PlanReady) {
        planGrid_.CutToHeader();
        return;
    }
    planGrid_.FillPlanGrid();
    CalculationForm form = ReadForm();
    const CalculationOutcome outcome = ShowStoredFigures(form, plan_);
    WriteForm(form);
    ShowFigures(outcome);
    planBasis_ = Snapshot();
}

void ContractPage::DiscardPlan() {
    plan_ = FinancialPlan{};
    planBasis_.reset();
    planGrid_.CutToHeader();
}

void ContractPage::SetIndexable(bool hasValues) {
    c_.cmdIndicizza->setEnabled(hasValues && !IsFixedRateName(ReferenceRateName()));
}

std::string ContractPage::ReferenceRateName() const {
    return c_.cboTxRif->currentText().toStdString();
}

ContractForm ContractPage::ReadContractForm() const {
    ContractForm form;
    form.txtDescBene = Text(c_.txtDescBene);
    form.txtValBene = Text(c_.txtValBene);
    form.txtMaxi = Text(c_.txtMaxi);
    form.txtTasso = Text(c_.txtTasso);
    form.txtSpread = Text(c_.txtSpread);
    form.txtRate = Text(c_.txtRate);
    form.txtRiscatto = Text(c_.txtRiscatto);
    form.cboPeriodicita = c_.cboPeriodicita->currentIndex();
    form.optCapSem = c_.optCapSem->isChecked();
    form.optPagAnt = c_.optPagAnt->isChecked();
    form.txtContract = Text(c_.txtContract);
    form.txtStart = Text(c_.txtStart);
    form.txtDataRiscatto = Text(c_.txtDataRiscatto);
    form.chkIntRiscatto = c_.chkIntRiscatto->isChecked();
    form.chkCentesimo = c_.chkCentesimo->isChecked();
    form.txtSpContratto = Text(c_.txtSpContratto);
    form.txtSpRata = Text(c_.txtSpRata);
    form.cboTipoLea = c_.cboTipoLea->currentText().toStdString();
    form.cboTxRif = c_.cboTxRif->currentText().toStdString();
    return form;
}

void ContractPage::ShowStoredContract(const ContractForm& form) {
    const auto select = [](QComboBox* combo, const std::string& text) {
        const int index = combo->findText(QString::fromStdString(text), Qt::MatchExactly);
        if (index >= 0) combo->setCurrentIndex(index);
    };
    c_.txtValBene->setText(QString::fromStdString(form.txtValBene));
    c_.txtMaxi->setText(QString::fromStdString(form.txtMaxi));
    select(c_.cboTipoLea, form.cboTipoLea);
    c_.txtTasso->setText(QString::fromStdString(form.txtTasso));
    select(c_.cboTxRif, form.cboTxRif);
    c_.txtSpread->setText(QString::fromStdString(form.txtSpread));
    c_.txtRate->setText(QString::fromStdString(form.txtRate));
    if (form.cboPeriodicita >= 0 && form.cboPeriodicita < c_.cboPeriodicita->count()) {
        c_.cboPeriodicita->setCurrentIndex(form.cboPeriodicita);
    } else {
        ShowPlainBox(boxes_, CommandErrorText(380, "Valore della proprietà non valido."), "",
                     BoxIcon::None);
    }
    c_.txtRiscatto->setText(QString::fromStdString(form.txtRiscatto));
    c_.txtDescBene->setText(QString::fromStdString(form.txtDescBene));
    c_.txtContract->setText(QString::fromStdString(form.txtContract));
    c_.txtStart->setText(QString::fromStdString(form.txtStart));
    (form.optCapSem ? c_.optCapSem : c_.optCapCom)->setChecked(true);
    (form.optPagAnt ? c_.optPagAnt : c_.optPagPos)->setChecked(true);
    c_.txtSpContratto->setText(QString::fromStdString(form.txtSpContratto));
    c_.txtSpRata->setText(QString::fromStdString(form.txtSpRata));
    c_.txtDataRiscatto->setText(QString::fromStdString(form.txtDataRiscatto));
    c_.chkIntRiscatto->setChecked(form.chkIntRiscatto);
    c_.chkCentesimo->setChecked(form.chkCentesimo);
    // A text equal to the one shown raises no change, so the rates of the contract shown
    // before would stay; they never belong to this one.
    ClearRateList();
}

void ContractPage::ApplyLoadedPairs() {
    const PairFields pairs[] = {{c_.txtMaxi, c_.txtPercMaxi, &maxi_},
                                {c_.txtRiscatto, c_.txtPercRiscatto, &riscatto_}};
    for (const PairFields& pair : pairs) {
        pair.state->storedAmount = 0;
        pair.state->storedPercent = 0;
        const std::string amount = Text(pair.amount);
        bool nonZero = false;
        try {
            nonZero = IsNumberText(amount) && ParseNumber32(amount) != 0;
        } catch (const RunTimeError& failure) {
            ShowPlainBox(boxes_, CommandErrorText(failure.Number(), failure.Description()), "",
                         BoxIcon::None);
        }
        if (nonZero) {
            LoadPair(pair);
            LeaveAmount(*pair.state, Text(c_.txtValBene), AssetValueTarget());
            StorePair(pair);
        } else {
            pair.percent->setText(QStringLiteral("0"));
            pair.percent->setToolTip(QString());
        }
    }
}

void ContractPage::EditRateListRow() {
    const int row = c_.lsvTxHis->SelectedRow();
    if (row < 0) return;
    RateList list = c_.lsvTxHis->Items();
    const auto answer = boxes_.AskText("Inserisci il tasso in percentuale.", "Quotaplan",
                                       list[static_cast<std::size_t>(row)].rate);
    const auto rate = ReadEditedRate(answer);
    if (!rate) return;
    const bool extend =
        AskYesNo(boxes_, "Estendere il tasso alle rate successive?", "") == BoxAnswer::Yes;
    ApplyRateEdit(list, row, *rate, extend);
    c_.lsvTxHis->SetItems(list);
    c_.lsvTxHis->setCurrentItem(c_.lsvTxHis->topLevelItem(row));
    // Unlike InvalidateResult, the effective rate stays on show.
    c_.cmdSalva->setEnabled(false);
    c_.lblInfo->show();
}

QLineEdit* ContractPage::FieldOf(FormField field) const {
    switch (field) {
        case FormField::DescBene:
            return c_.txtDescBene;
        case FormField::ValBene:
            return c_.txtValBene;
        case FormField::Maxi:
            return c_.txtMaxi;
        case FormField::Riscatto:
            return c_.txtRiscatto;
        case FormField::Tasso:
            return c_.txtTasso;
        case FormField::Rate:
            return c_.txtRate;
        case FormField::Contract:
            return c_.txtContract;
        case FormField::Start:
            return c_.txtStart;
        case FormField::DataRiscatto:
            return c_.txtDataRiscatto;
        case FormField::Result:
            return c_.txtResult;
        case FormField::Periodicita:
            return nullptr;
    }
    return nullptr;
}

void ContractPage::FocusField(FormField field) {
    if (field == FormField::Periodicita) {
        c_.cboPeriodicita->setFocus(Qt::OtherFocusReason);
    } else if (QLineEdit* edit = FieldOf(field)) {
        edit->setFocus(Qt::OtherFocusReason);
    }
}

}  // namespace quotaplan
