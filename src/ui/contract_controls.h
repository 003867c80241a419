#pragma once

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace quotaplan {

class RateListView;

// The controls of the "Calcoli" page, each carrying its documented name as objectName.
struct ContractControls {
    RateListView* lsvTxHis = nullptr;
    QComboBox* cboTipoLea = nullptr;
    QLineEdit* txtDescBene = nullptr;
    QLineEdit* txtValBene = nullptr;
    QLineEdit* txtMaxi = nullptr;
    QLineEdit* txtPercMaxi = nullptr;
    QLineEdit* txtSpread = nullptr;
    QLineEdit* txtTasso = nullptr;
    QComboBox* cboTxRif = nullptr;
    QLineEdit* txtRate = nullptr;
    QComboBox* cboPeriodicita = nullptr;
    QLineEdit* txtRiscatto = nullptr;
    QLineEdit* txtPercRiscatto = nullptr;
    QLineEdit* txtContract = nullptr;
    QLineEdit* txtStart = nullptr;
    QLineEdit* txtDataRiscatto = nullptr;
    QLineEdit* txtResult = nullptr;
    QLineEdit* txtSpContratto = nullptr;
    QLineEdit* txtSpRata = nullptr;
    QLineEdit* txtTxEffettivo = nullptr;
    QLabel* lblTxEffettivo = nullptr;
    QLineEdit* txtTAEG = nullptr;  // the TAEG, beside the effective rate
    QLabel* lblTAEG = nullptr;
    // A warning sign between the instalment and the TAEG while the first instalment in
    // arrears falls on or before the contract date; its tooltip says why.
    QLabel* lblAvvisoTAEG = nullptr;
    QGroupBox* Frame1 = nullptr;
    QRadioButton* optCapSem = nullptr;
    QRadioButton* optCapCom = nullptr;
    QGroupBox* Frame2 = nullptr;
    QRadioButton* optPagAnt = nullptr;
    QRadioButton* optPagPos = nullptr;
    QCheckBox* chkIntRiscatto = nullptr;
    QCheckBox* chkCentesimo = nullptr;  // the plan to the cent
    QGroupBox* fraFormula = nullptr;
    QRadioButton* optFormula[4] = {};  // index 2 does not exist
    QLabel* lblInfo = nullptr;
    QLabel* lblIDContract = nullptr;
    QPushButton* cmdNuovo = nullptr;
    QPushButton* cmdSalva = nullptr;
    QPushButton* cmdElimina = nullptr;
    QPushButton* cmdCalcola = nullptr;
    QPushButton* cmdIndicizza = nullptr;  // the rate list from the reference rate's values
    QLabel* lblUsura = nullptr;           // the TAEG against the usury threshold in force
};

// Creates every control of the page on `page`, at its place, with its caption and its
// initial content.
ContractControls BuildContractControls(QWidget* page);

}  // namespace quotaplan
