#include "output/contract_header.h"

#include "common/number_text.h"

namespace quotaplan {

ContractHeader BuildContractHeader(const ContractFormTexts& form) {
    constexpr int kAmount = 1, kRate = 2, kShortDate = 1;
    ContractHeader header;
    header.labels = {"Tipo Finanziamento",
                     "Descrizione",
                     "Valore finanziato",
                     "Anticipo",
                     "Spread",
                     "Tasso",
                     "Tasso di riferimento",
                     "Numero di rate",
                     "Periodicità",
                     "Riscatto",
                     "Data contratto",
                     "Capitalizzazione",
                     "Pagamento"};
    header.values = {form.tipo,
                     form.descrizione,
                     FormatNumber(form.valBene, kAmount),
                     FormatNumber(form.maxi, kAmount),
                     FormatNumber(form.spread, kRate),
                     FormatNumber(form.tasso, kRate),
                     form.txRif,
                     form.rate,
                     form.periodicita,
                     FormatNumber(form.riscatto, kAmount),
                     FormatDate(form.dataContratto, kShortDate),
                     form.capitalizzazioneSemplice ? "Semplice" : "Composta",
                     form.pagamentoAnticipato ? "Anticipato" : "Posticipato"};
    return header;
}

}  // namespace quotaplan
