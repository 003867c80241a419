#pragma once

#include <string>

namespace quotaplan {

// The contract form as the window shows it: the texts and states of the controls that a
// save reads and a load fills, named after the controls. The window collects it before
// Save and writes it back after Load; quotaplan-calc builds it from its options.
struct ContractForm {
    std::string txtDescBene;      // description, unique among contracts
    std::string txtValBene;       // asset value, "#,##0.00"
    std::string txtMaxi;          // maxi-instalment amount
    std::string txtTasso;         // nominal rate in percent, "0.00"
    std::string txtSpread;        // spread in percent
    std::string txtRate;          // number of instalments
    std::string txtRiscatto;      // buy-out amount
    int cboPeriodicita = 0;       // selected index of the periodicity list (0 Mensile ...);
                                  // after a load, 6 means a stored value the list lacks
    bool optCapSem = false;       // simple capitalisation; optCapCom is the opposite
    bool optPagAnt = false;       // instalments in advance; optPagPos is the opposite
    std::string txtContract;      // contract date, "dd/mm/yy"
    std::string txtStart;         // first due date
    std::string txtDataRiscatto;  // buy-out date, empty when none
    bool chkIntRiscatto = false;  // interest on the buy-out
    bool chkCentesimo = false;    // the plan to the cent (column Centesimo)
    std::string txtSpContratto;   // contract fee
    std::string txtSpRata;        // fee per instalment
    std::string cboTipoLea;       // text of the selected financing type; "" matches no entry
    std::string cboTxRif;         // text of the selected reference rate

    friend bool operator==(const ContractForm&, const ContractForm&) = default;
};

}  // namespace quotaplan
