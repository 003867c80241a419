#include "cli/usage.h"

#include <algorithm>
#include <array>
#include <vector>

namespace quotaplan {
namespace {

constexpr std::string_view kCalc = "Calcolo";
constexpr std::string_view kExport = "Esportazione del piano";
constexpr std::string_view kArchive = "Archivio";
constexpr std::string_view kIndex = "Contratti indicizzati";
constexpr std::string_view kTaeg = "TAEG e soglia d'usura";
constexpr std::string_view kEvents = "Eventi del contratto";
constexpr std::string_view kReview = "Perizia";
constexpr std::string_view kPortfolio = "Portafoglio";
constexpr std::string_view kOther = "Altro";

constexpr std::array kOptions = {
    OptionHelp{kCalc, "solve", "instalment|rate|value",
               "che cosa calcolare: la rata (predefinito), il tasso nominale o il valore del bene"},
    OptionHelp{kCalc, "value", "V", "valore del bene finanziato"},
    OptionHelp{kCalc, "maxi", "M", "maxicanone o anticipo (predefinito 0)"},
    OptionHelp{kCalc, "buyout", "B", "riscatto finale (predefinito 0)"},
    OptionHelp{kCalc, "rate", "J", "tasso nominale annuo in percentuale, senza lo spread"},
    OptionHelp{kCalc, "spread", "S", "spread in percentuale (predefinito 0)"},
    OptionHelp{kCalc, "count", "N", "numero di rate"},
    OptionHelp{kCalc, "periodicity", "P", "rate all'anno: 12, 6, 4, 3, 2 o 1 (predefinito 12)"},
    OptionHelp{kCalc, "simple", "", "capitalizzazione semplice (predefinita la composta)"},
    OptionHelp{kCalc, "advance", "", "rate anticipate (predefinite le posticipate)"},
    OptionHelp{kCalc, "contract-date", "AAAA-MM-GG", "data del contratto (predefinita oggi)"},
    OptionHelp{kCalc, "first-date", "AAAA-MM-GG",
               "data della prima rata; con --advance è la data della seconda, perché la prima "
               "si paga alla data del contratto (predefinita un periodo dopo la data del "
               "contratto)"},
    OptionHelp{kCalc, "buyout-date", "AAAA-MM-GG",
               "data del riscatto, non prima dell'ultima rata (predefinita l'ultima rata)"},
    OptionHelp{kCalc, "buyout-interest", "", "interessi sul riscatto"},
    OptionHelp{kCalc, "contract-fees", "F", "spese di contratto (predefinite 0)"},
    OptionHelp{kCalc, "instalment-fee", "F", "spese per ogni rata (predefinite 0)"},
    OptionHelp{kCalc, "instalment", "R", "rata, per calcolare il tasso o il valore del bene"},
    OptionHelp{kCalc, "rates", "J1,J2,...",
               "tasso annuo di ogni rata in percentuale, spread compreso; il primo è --rate "
               "più --spread, l'ultimo vale per le rate seguenti"},
    OptionHelp{kCalc, "format", "json|csv",
               "stampa il risultato in JSON (predefinito) o le righe delle rate in CSV"},
    OptionHelp{kCalc, "plan", "classic|cents",
               "piano classico (predefinito) o piano al centesimo, anche con --save"},
    OptionHelp{kTaeg, "taeg-flows", "FILE",
               "TAEG dei flussi datati del file, righe AAAA-MM-GG;importo (erogazioni positive, "
               "pagamenti negativi)"},
    OptionHelp{kTaeg, "usury-category", "NOME",
               "confronta il TAEG con la soglia d'usura in vigore di questa categoria "
               "nell'archivio (con --type e --db: la categoria della tipologia)"},
    OptionHelp{kTaeg, "import-thresholds", "FILE",
               "importa nell'archivio le soglie d'usura da righe Categoria;Importo da;Importo "
               "a;Dal;Al;TEGM (gg/mm/aaaa, 10,58)"},
    OptionHelp{kExport, "export", "txt|xls|doc|pdf|png",
               "scrive il piano in un file di testo, Excel, Word o PDF (con il grafico), o il "
               "grafico in un'immagine PNG di 1600 x 900 punti, invece di stamparlo"},
    OptionHelp{kExport, "out", "CARTELLA",
               "cartella del file (predefinita la cartella Export accanto al programma o, per il "
               "programma installato, in ~/.local/share/Quotaplan)"},
    OptionHelp{kExport, "description", "D",
               "descrizione del contratto, che dà il nome al file (predefinita \"Piano "
               "finanziario\")"},
    OptionHelp{kExport, "type", "T", "tipo di finanziamento (anche con --save)"},
    OptionHelp{kExport, "ref-rate", "R",
               "tasso di riferimento (anche con --save, --indexed e --import-index)"},
    OptionHelp{kArchive, "db", "PERCORSO|URI",
               "archivio da usare: un file o un server PostgreSQL (postgresql://... oppure "
               "\"host=... dbname=...\"; un file con un nome simile si scrive ./nome) "
               "(predefinito quello configurato accanto al programma o, per il programma "
               "installato, in ~/.local/share/Quotaplan)"},
    OptionHelp{kArchive, "save", "DESCRIZIONE",
               "calcola la rata, archivia il contratto con il suo piano e ne stampa l'ID"},
    OptionHelp{kArchive, "list", "", "elenca i contratti archiviati"},
    OptionHelp{kArchive, "show", "ID", "mostra un contratto archiviato con il suo piano"},
    OptionHelp{kArchive, "delete", "ID", "elimina un contratto e il suo piano"},
    OptionHelp{kArchive, "init-archive", "",
               "prepara un archivio nuovo su un database PostgreSQL vuoto o in un file che non "
               "esiste ancora"},
    OptionHelp{kArchive, "copy-archive", "DA A",
               "copia tutto l'archivio DA nell'archivio nuovo A (file o postgresql://...) in "
               "una sola transazione e stampa le righe copiate; DA viene solo letto"},
    OptionHelp{kArchive, "rename-duplicates", "",
               "con --copy-archive: i contratti con lo stesso nome di uno precedente "
               "(maiuscole, accenti e spazi a parte) prendono \" (2)\", \" (3)\"..."},
    OptionHelp{kArchive, "replace", "",
               "con --copy-archive: A può contenere già dati, che la copia sostituisce; stampa "
               "anche le righe sostituite"},
    OptionHelp{kIndex, "import-index", "FILE",
               "importa nell'archivio i valori del tasso --ref-rate da righe Data;Valore "
               "(gg/mm/aaaa;2,50)"},
    OptionHelp{kIndex, "indexed", "",
               "tassi delle rate dai valori archiviati del tasso --ref-rate più lo spread, "
               "invece di --rate e --rates"},
    OptionHelp{kArchive, "summary", "",
               "riepilogo del portafoglio: tasso medio ponderato, debito residuo totale, canoni "
               "del mese"},
    OptionHelp{kArchive, "today", "AAAA-MM-GG", "il giorno da contare come oggi per --summary"},
    OptionHelp{kEvents, "id", "N",
               "il contratto archiviato su cui agisce l'evento o la perizia (senza --id: il "
               "contratto delle opzioni di calcolo, mai archiviato)"},
    OptionHelp{kEvents, "payoff", "AAAA-MM-GG",
               "conteggio estintivo alla data: capitale residuo, interessi maturati, penale, "
               "rimborso dei costi, totale (JSON)"},
    OptionHelp{kEvents, "method", "residual|discount",
               "con --payoff: capitale residuo più interessi maturati (predefinito) o "
               "attualizzazione delle rate e del riscatto"},
    OptionHelp{kEvents, "discount-rate", "J",
               "con --method discount: tasso annuo in percentuale (predefinito il tasso "
               "effettivo annuo del contratto)"},
    OptionHelp{kEvents, "penalty", "none|consumer|home|PCT",
               "penale: nessuna, consumatore (art. 125-sexies TUB), mutuo casa/attività (art. "
               "120-ter TUB) o contrattuale in percentuale, 0.5 = 0,5% (predefinita quella della "
               "tipologia; nessuna senza --id)"},
    OptionHelp{kEvents, "costs", "C",
               "con --payoff: costi iniziali da rimborsare oltre le spese di contratto "
               "(predefiniti 0)"},
    OptionHelp{kEvents, "refund", "pro-rata|interest-curve",
               "con --payoff: rimborso dei costi pro rata temporis o secondo la curva degli "
               "interessi (predefinita)"},
    OptionHelp{kEvents, "prepay", "AAAA-MM-GG",
               "rimborso parziale alla data: stampa il nuovo piano come il calcolo"},
    OptionHelp{kEvents, "amount", "A", "con --prepay: l'importo rimborsato"},
    OptionHelp{kEvents, "keep", "term|instalment",
               "con --prepay: stesse rate, più basse (term), o stessa rata, meno rate "
               "(instalment)"},
    OptionHelp{kEvents, "suspend", "AAAA-MM-GG",
               "sospensione dalla rata in scadenza alla data: stampa il nuovo piano come il "
               "calcolo"},
    OptionHelp{kEvents, "instalments", "k", "con --suspend: le rate sospese, da 1 a 36"},
    OptionHelp{kEvents, "kind", "capital|all",
               "con --suspend: solo quota capitale (capital) o intera rata (all)"},
    OptionHelp{kEvents, "interest", "capitalise|defer",
               "con --kind all: interessi sospesi capitalizzati (predefinito) o differiti sulle "
               "rate seguenti"},
    OptionHelp{kEvents, "fund-share", "P",
               "con --suspend: percentuale degli interessi sospesi a carico del Fondo (50 = 50%)"},
    OptionHelp{kEvents, "renegotiate", "AAAA-MM-GG",
               "rinegoziazione (o surroga con --lender) dalla scadenza alla data: stampa il "
               "nuovo piano e il TAEG della parte rinegoziata"},
    OptionHelp{kEvents, "new-rate", "J", "con --renegotiate: il nuovo tasso nominale senza spread"},
    OptionHelp{kEvents, "new-spread", "S", "con --renegotiate: il nuovo spread"},
    OptionHelp{kEvents, "new-ref-rate", "R",
               "con --renegotiate: il tasso di riferimento di oggi, a cui si somma lo spread"},
    OptionHelp{kEvents, "new-count", "N", "con --renegotiate: il numero di rate dalla data"},
    OptionHelp{kEvents, "new-periodicity", "P",
               "con --renegotiate: le rate l'anno dalla data (1, 2, 3, 4, 6, 12)"},
    OptionHelp{kEvents, "lender", "NOME",
               "con --renegotiate: il nuovo istituto, una surroga (art. 120-quater TUB)"},
    OptionHelp{kArchive, "yearly", "",
               "prospetto annuale per anno solare (capitale, interessi, spese, pagato) del "
               "contratto --id, dell'archivio con --all o del calcolo"},
    OptionHelp{kArchive, "all", "", "con --yearly: tutti i contratti dell'archivio (con --type: "
                                    "quelli di una tipologia)"},
    OptionHelp{kArchive, "year", "Y", "con --yearly: solo l'anno Y"},
    OptionHelp{kEvents, "record", "", "con --id: registra l'evento nell'archivio"},
    OptionHelp{kEvents, "undo-event", "", "con --id: annulla l'ultimo evento del contratto"},
    OptionHelp{kReview, "bank-plan", "FILE",
               "confronta il piano della banca (CSV, .xls, .xlsx) con il piano al centesimo del "
               "contratto --id o del calcolo; con --id lo archivia"},
    OptionHelp{kReview, "columns", "N,SCADENZA,RATA,CAPITALE,INTERESSI,RESIDUO",
               "che cosa contiene ogni colonna del file, nel suo ordine (- per saltarne una; "
               "predefinite quelle ricavate dalle intestazioni)"},
    OptionHelp{kReview, "recompute", "accumulated|discounted|italian|interest-free",
               "ricalcola il piano in regime semplice (interessi a scadenza o valori "
               "scontati), all'italiana o senza interessi e stampa la differenza di interessi"},
    OptionHelp{kReview, "legal-interest-to", "AAAA-MM-GG",
               "interessi legali sulle somme pagate in più fino a questa data"},
    OptionHelp{kReview, "import-legal-rates", "FILE",
               "importa nell'archivio i tassi legali da righe Dal;Al;Tasso (gg/mm/aaaa;2,5)"},
    OptionHelp{kReview, "report", "ID",
               "scrive la perizia in PDF del contratto archiviato nella cartella --out"},
    OptionHelp{kReview, "default-rate", "J",
               "tasso di mora in percentuale, per la verifica d'usura e con --save"},
    OptionHelp{kReview, "default-spread", "S",
               "tasso di mora come punti oltre il tasso del contratto"},
    OptionHelp{kPortfolio, "batch", "FILE|-",
               "calcola ogni contratto di un file CSV (intestazione con i nomi delle opzioni "
               "senza trattini) o JSON Lines (- lo legge dallo standard input) e stampa una riga "
               "JSON per contratto nell'ordine del file, poi {\"good\": G, \"bad\": B}"},
    OptionHelp{kPortfolio, "jobs", "N",
               "con --batch: quanti contratti calcolare insieme (predefinito il numero di "
               "processori)"},
    OptionHelp{kPortfolio, "plans", "", "con --batch: aggiunge il piano di ogni contratto"},
    OptionHelp{kPortfolio, "reindex-all", "",
               "ricalcola ogni contratto indicizzato dell'archivio (solo quelli di --ref-rate o "
               "di --type, se dati) con i valori attuali del suo tasso di riferimento, come "
               "Indicizza e Calcola, riscrive le righe del piano cambiate e stampa i conteggi"},
    OptionHelp{kOther, "help", "", "mostra questo aiuto (anche -h)"},
    OptionHelp{kOther, "version", "", "mostra la versione del programma"},
};

constexpr std::string_view kForms =
    "Uso:\n"
    "  quotaplan-calc [--solve instalment|rate|value] --value V --rate J --count N [opzioni di "
    "calcolo]\n"
    "  quotaplan-calc <opzioni di calcolo> --export txt|xls|doc|pdf|png [opzioni di "
    "esportazione]\n"
    "  quotaplan-calc [--db PERCORSO|URI] --save DESCRIZIONE [--type T] [--ref-rate R] <opzioni di "
    "calcolo>\n"
    "  quotaplan-calc [--db PERCORSO|URI] --list | --show ID | --delete ID\n"
    "  quotaplan-calc [--db PERCORSO|URI] --import-index FILE --ref-rate R\n"
    "  quotaplan-calc [--db PERCORSO|URI] --import-thresholds FILE\n"
    "  quotaplan-calc [--db PERCORSO|URI] --init-archive\n"
    "  quotaplan-calc --copy-archive DA A [--rename-duplicates] [--replace]\n"
    "  quotaplan-calc [--db PERCORSO|URI] --indexed --ref-rate R --value V --count N [opzioni di "
    "calcolo]\n"
    "  quotaplan-calc [--db PERCORSO|URI] --summary [--today AAAA-MM-GG]\n"
    "  quotaplan-calc [--db PERCORSO|URI] --batch FILE|- [--jobs N] [--format json|csv] "
    "[--plans]\n"
    "  quotaplan-calc [--db PERCORSO|URI] --reindex-all [--ref-rate R] [--type T]\n"
    "  quotaplan-calc --taeg-flows FILE\n"
    "  quotaplan-calc [--db PERCORSO|URI] --usury-category NOME <opzioni di calcolo>\n"
    "  quotaplan-calc [--db PERCORSO|URI] --id N --payoff AAAA-MM-GG [--method residual|discount] "
    "[--discount-rate J] [--penalty none|consumer|home|PCT] [--costs C] [--refund "
    "pro-rata|interest-curve] [--record]\n"
    "  quotaplan-calc [--db PERCORSO|URI] --id N --prepay AAAA-MM-GG --amount A --keep "
    "term|instalment [--penalty ...] [--record]\n"
    "  quotaplan-calc [--db PERCORSO|URI] --id N --suspend AAAA-MM-GG --instalments k --kind "
    "capital|all [--interest capitalise|defer] [--fund-share P] [--record]\n"
    "  quotaplan-calc [--db PERCORSO|URI] --id N --renegotiate AAAA-MM-GG [--new-rate J] "
    "[--new-spread S] [--new-ref-rate R] [--new-count N] [--new-periodicity P] [--lender NOME] "
    "[--record]\n"
    "  quotaplan-calc <opzioni di calcolo> --payoff AAAA-MM-GG ... | --prepay AAAA-MM-GG ... | "
    "--suspend AAAA-MM-GG ... | --renegotiate AAAA-MM-GG ...\n"
    "  quotaplan-calc [--db PERCORSO|URI] --undo-event --id N\n"
    "  quotaplan-calc [--db PERCORSO|URI] --yearly [--id N | --all [--type T] | <opzioni di "
    "calcolo>] [--year Y] [--format json|csv]\n"
    "  quotaplan-calc [--db PERCORSO|URI] --bank-plan FILE [--columns C,...] --id ID | <opzioni "
    "di calcolo>\n"
    "  quotaplan-calc [--db PERCORSO|URI] --recompute METODO [--legal-interest-to AAAA-MM-GG] "
    "--id ID | <opzioni di calcolo>\n"
    "  quotaplan-calc [--db PERCORSO|URI] --report ID [--out CARTELLA]\n"
    "  quotaplan-calc [--db PERCORSO|URI] --import-legal-rates FILE\n"
    "  quotaplan-calc --help | --version\n"
    "I numeri usano il punto come separatore decimale; tassi e spread sono percentuali.\n";

constexpr std::string_view kExitStatuses =
    "Stato di uscita: 0 eseguito; 2 dati non validi o richiesta rifiutata; 1 errore di calcolo "
    "o dell'archivio.\n";

std::string OptionWords(const OptionHelp& help) {
    std::string words = "--" + std::string(help.option);
    if (!help.value.empty()) words += " " + std::string(help.value);
    return words;
}

}  // namespace

std::span<const OptionHelp> OptionHelps() { return kOptions; }

std::string UsageText() {
    std::size_t width = 0;
    for (const auto& help : kOptions) width = std::max(width, OptionWords(help).size());
    // Each group under one heading, in the order of its first option.
    std::vector<std::string_view> groups;
    for (const auto& help : kOptions) {
        if (std::find(groups.begin(), groups.end(), help.group) == groups.end()) {
            groups.push_back(help.group);
        }
    }
    std::string text(kForms);
    for (const std::string_view group : groups) {
        text += "\n" + std::string(group) + ":\n";
        for (const auto& help : kOptions) {
            if (help.group != group) continue;
            const std::string words = OptionWords(help);
            text += "  " + words + std::string(width + 2 - words.size(), ' ') +
                    std::string(help.meaning) + "\n";
        }
    }
    return text + "\n" + std::string(kExitStatuses);
}

}  // namespace quotaplan
