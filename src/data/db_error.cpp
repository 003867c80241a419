#include "data/db_error.h"

#include <algorithm>
#include <array>
#include <utility>

namespace quotaplan {
namespace {

constexpr std::array<std::pair<std::int32_t, std::string_view>, 54> kErrorTexts = {{
    {3000, " - Il database non permette l'esecuzione del comando!"},
    {3001, " - Si è tentato di inserire un valore non valido od il campo è inesistente!"},
    {3002, " - Database non trovato!"},
    {3003, " - Il database non può essere aperto!"},
    {3004, " - Impossibile scrivere sul database!"},
    {3021, " - Nessun record corrente!"},
    {3219, " - L'operazione non è permessa!"},
    {3220, " - Il database in uso è stato cambiato!"},
    {3246, " - Transazione fallita, ripristinarla!"},
    {3251, " - Il database non è in grado di soddisfare la richiesta. Verificare la versione!"},
    {3265, " - Non è possibile trovare l'elemento in questa collection!"},
    {3367, " - Impossibile inserire un valore già presente!"},
    {3420, " - L'oggetto non è più valido!"},
    {3421, " - Impossibile convertire il tipo di valore!"},
    {3704, " - L'oggetto è chiuso!"},
    {3705, " - L'oggetto è già stato aperto!"},
    {3706, " - Database non trovato!"},
    {3707, " - La connessione attiva non può essere cambiata!"},
    {3708, " - Insufficienza di parametri!"},
    {3709, " - La connessione non può essere utilizzata per questa operazione!"},
    {3710, " - Impossibile procedere durante il processo di un evento!"},
    {3711, " - Impossibile eseguire l'operazione assieme ad altre operazioni asincrone!"},
    {3712, " - L'operazione è stata terminata da un'altro utente!"},
    {3713, " - Impossibile eseguire l'operazione assieme ad altre operazioni asincrone!"},
    {3714, " - L'indirizzamento dell'operazione non è valido o non iniziato!"},
    {3715, " - L'operazione non può essere eseguita se la connessione non è in esecuzione!"},
    {3716, " - Le impostazioni di sicurezza non permettono l'accesso!"},
    {3717, " - adwrnSecurityDialog"},
    {3718, " - adwrnSecurityDialogHeader"},
    {3719,
     " - I dati inseriti sono in confitto con le relazioni del database. Errore di "
     "univocità!"},
    {3720, " - Permessi insufficienti!"},
    {3721, " - Il dato inserito è più grande dello spazio in memoria!"},
    {3722, " - Tipo di dati errato!"},
    {3723, " - Dati protetti contro un campo non protetto!"},
    {3724, " - Incompatibilità di data di varia natura!"},
    {3725,
     " - Impossibile stabilire il tipo di dati od insufficienti risorse per eseguire "
     "l'operazione!"},
    {3726, " - Nome campo non valido!"},
    {3727, " - URL Errato!"},
    {3728, " - Permessi non validi per l'accesso all'albero!"},
    {3729, " - URL con caratteri invalidi!"},
    {3730, " - L'oggetto all'URL specificato è bloccato da altri utenti o processi!"},
    {3731,
     " - La copia non può essere eseguita poichè è già esistente. Riprovare "
     "sovrascrivendo!"},
    {3732,
     " - Il server non può completare l'operazione poichè è occupato o non ha "
     "sufficienti risorse!"},
    {3733, " - Il provider non ha trovato il device indicato nell'URL!"},
    {3734, " - Il provider non può ottenere sufficiente spazio di archiviazione!"},
    {3735, " - L'URL di destinazione è fuori dalla portata del record corrente!"},
    {3736, " - L'operazione non può essere completata per cambiamenti avvenuti ad oggetti!"},
    {3737, " - Il record all'URL specificata, non esiste!"},
    {3738, " - L'oggetto non può essere cancellato poichè è fuori portata del record!"},
    {3747, " - L'operazione richiede un catalogo genitore valido!"},
    {3748, " - Impossibile cambiare la connessione!"},
    {3749, " - L'aggiornamento al campo è fallito!"},
    {3750, " - Il provider non supporta restrizioni condivise!"},
    {3751, " - Il provider non supporta richieste di tipo restrittivo sulle condivisioni!"},
}};

}  // namespace

std::string_view AdoErrorText(std::int32_t number) {
    const auto found = std::find_if(kErrorTexts.begin(), kErrorTexts.end(),
                                    [number](const auto& entry) { return entry.first == number; });
    return found == kErrorTexts.end() ? std::string_view() : found->second;
}

std::string ErrorLine(const DbError& error) {
    const auto text = AdoErrorText(error.number);
    return std::to_string(error.number) +
           (text.empty() ? " - " + error.description : std::string(text));
}

DbError CommandTimeoutError(int seconds) {
    return {kErrCommandTimeout, "Il server non ha risposto entro " + std::to_string(seconds) +
                                    (seconds == 1 ? " secondo" : " secondi") +
                                    ": operazione annullata."};
}

DbError TrailingTextError() {
    return {kErrSqlSyntax, "Caratteri trovati dopo la fine dell'istruzione SQL."};
}

std::string AdoErrorDescription(std::int32_t number) {
    const auto text = AdoErrorText(number);
    return text.size() > 3 ? std::string(text.substr(3)) : std::string();
}

}  // namespace quotaplan
