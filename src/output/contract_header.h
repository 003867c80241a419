#pragma once

#include <array>
#include <string>

namespace quotaplan {

// The contract form as the export buttons find it: the raw texts of its fields and lists
// (UTF-8, as typed or selected; an empty text when a list has no selection) and its options.
struct ContractFormTexts {
    std::string tipo;                       // cboTipoLea: the financing type
    std::string descrizione;                // txtDescBene
    std::string valBene;                    // txtValBene
    std::string maxi;                       // txtMaxi
    std::string spread;                     // txtSpread
    std::string tasso;                      // txtTasso
    std::string txRif;                      // cboTxRif: the reference rate
    std::string rate;                       // txtRate: the number of instalments
    std::string periodicita;                // cboPeriodicita: "Mensile" ... "Annuale"
    std::string riscatto;                   // txtRiscatto
    std::string dataContratto;              // txtContract
    bool capitalizzazioneSemplice = false;  // optCapSem selected
    bool pagamentoAnticipato = false;       // optPagAnt selected
};

// The heading block every export opens with: 13 labels and their values, index i - 1
// holding pair i. An export skips a pair whose label is empty.
struct ContractHeader {
    static constexpr int kSize = 13;
    std::array<std::string, kSize> labels;
    std::array<std::string, kSize> values;
};

// The heading block of a form: the labels "Tipo Finanziamento" ... "Pagamento"; the amounts
// (value, maxi, buy-out) formatted "#,##0.00", spread and rate "0.00", the contract date
// "dd/mm/yy"; a text that does not read as a number (or date) stands unchanged. The
// description, the number of instalments and the list entries are taken as they are.
ContractHeader BuildContractHeader(const ContractFormTexts& form);

}  // namespace quotaplan
