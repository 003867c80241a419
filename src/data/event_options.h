#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "engine/contract_events.h"

namespace quotaplan {

// How tabEventi.Opzioni keeps an event's options: "key=value" pairs separated by ";", the
// keys and values in the archive's own words, numbers with "." and no grouping:
//   payoff:      metodo=residuo|attualizzazione; tasso=4.5 (a discount rate given);
//                penale=<PenaltyRuleCode>; rimborso=curva|prorata; costi=594.76
//   prepayment:  effetto=rata|durata; penale=<PenaltyRuleCode>
//   suspension:  rate=k; sospesa=capitale|intera; interessi=capitalizzati|differiti;
//                fondo=50 (the Fund's share in percent)
//   renegotiation and surrogation: tasso=J; riferimento=R; spread=S; numero=N;
//                periodicita=m, each only when given; istituto=<lender> (a surrogation)
// The prepayment's amount is the event's Importo. New kinds add their own keys; a reader
// skips the keys it does not know.
std::string EventOptionsText(const ContractEvent& event);

// The options of an event of the kind (EventKindName) from the text, the
// prepayment's amount from `amount`; nullopt for an unknown kind or a value that cannot be
// read. Keys left out keep their defaults.
std::optional<ContractEvent> ReadEventOptions(std::string_view kind, std::string_view text,
                                              Money amount);

}  // namespace quotaplan
