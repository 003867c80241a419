# Writes the manual page of quotaplan-calc from its own --help text, so that the page never
# drifts from the program: the "Uso:" lines become the synopsis, each "Title:" line a
# subsection, each "  --option VALUE...   meaning" line a tagged paragraph, and the
# "Stato di uscita:" line a section with one paragraph per status.
#   PROGRAM       the quotaplan-calc to ask
#   VERSION       the version shown in the page's footer
#   ENVIRONMENT   the entries of the environment section, shared with quotaplan(1) (troff)
#   FILES         the files section, shared with quotaplan(1) (troff)
#   OUTPUT        the page to write (troff, not compressed)
execute_process(COMMAND "${PROGRAM}" --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${PROGRAM} --help failed: ${status}")
endif()

# Text as troff prints it literally: backslashes escaped, dashes as minus signs, and a line
# that starts with a dot or an apostrophe kept from being read as a request.
function(roff_text text result)
    string(REPLACE "\\" "\\e" text "${text}")
    string(REPLACE "-" "\\-" text "${text}")
    if(text MATCHES "^[.']")
        set(text "\\&${text}")
    endif()
    set(${result} "${text}" PARENT_SCOPE)
endfunction()

set(page ".\\\" -*- coding: UTF-8 -*-\n")
string(APPEND page ".TH QUOTAPLAN\\-CALC 1 \"\" \"Quotaplan ${VERSION}\" \"Comandi utente\"\n")
# No hyphenation, lines aligned on the left: troff's patterns are English ones, which break
# Italian words wrongly, and long paths leave no room to stretch a line.
string(APPEND page ".nh\n.ad l\n")
string(APPEND page ".SH NOME\nquotaplan\\-calc \\- calcolo e archivio di finanziamenti a rata costante, senza finestra\n")
# What the program is for, before the --help text's own notes.
set(description [=[
quotaplan\-calc calcola senza finestra la rata, il tasso o il valore del bene
di un finanziamento a rata costante, con il piano finanziario, il tasso
effettivo e il TAEG, e stampa il risultato in JSON o in CSV. Esporta il piano
in un file di testo, Excel, Word o PDF con il grafico, o il grafico in PNG, e
archivia i contratti nel file SQLite dell'utente o nell'archivio condiviso
dell'ufficio su un server PostgreSQL, che sa anche preparare e riempire con
\-\-init\-archive e \-\-copy\-archive.
.PP
]=])

# Line by line without CMake lists, which would split at every ";" and treat brackets.
set(in_synopsis OFF)
while(NOT help STREQUAL "")
    string(FIND "${help}" "\n" end)
    if(end EQUAL -1)
        set(line "${help}")
        set(help "")
    else()
        string(SUBSTRING "${help}" 0 ${end} line)
        math(EXPR next "${end} + 1")
        string(SUBSTRING "${help}" ${next} -1 help)
    endif()
    if(line STREQUAL "Uso:")
        string(APPEND page ".SH SINOSSI\n.nf\n")
        set(in_synopsis ON)
    elseif(in_synopsis AND line MATCHES "^  (.*)$")
        roff_text("${CMAKE_MATCH_1}" text)
        string(APPEND page "${text}\n")
    elseif(in_synopsis)
        string(APPEND page ".fi\n.SH DESCRIZIONE\n${description}")
        set(in_synopsis OFF)
        if(NOT line STREQUAL "")
            roff_text("${line}" text)
            string(APPEND page "${text}\n")
        endif()
    elseif(line MATCHES "^Stato di uscita: (.*)\\.$")
        # "0 eseguito; 2 dati non validi ...; 1 errore ...": one tagged paragraph each.
        string(APPEND page ".SH \"STATO DI USCITA\"\n")
        roff_text("${CMAKE_MATCH_1}" statuses)
        string(REPLACE "; " "\n" statuses "${statuses}")
        string(REGEX REPLACE "(^|\n)([0-9]+) " "\\1.TP\n.B \\2\n" statuses "${statuses}")
        string(APPEND page "${statuses}\n")
    elseif(line MATCHES "^  (--[^ ]+( [^ ]+)*)  +(.*)$")
        roff_text("${CMAKE_MATCH_1}" option)
        roff_text("${CMAKE_MATCH_3}" meaning)
        string(APPEND page ".TP\n.B ${option}\n${meaning}\n")
    elseif(line MATCHES "^([^ ].*):$")
        roff_text("${CMAKE_MATCH_1}" title)
        string(APPEND page ".SS \"${title}\"\n")
    elseif(NOT line STREQUAL "")
        roff_text("${line}" text)
        string(APPEND page ".PP\n${text}\n")
    endif()
endwhile()

file(READ "${ENVIRONMENT}" environment)
file(READ "${FILES}" files)
string(APPEND page ".SH AMBIENTE\n${environment}.SH FILE\n${files}")
string(APPEND page [=[
.SH ESEMPI
La rata di un leasing di 30.000 euro in 36 rate al 7,5%, con maxicanone, riscatto
e spese, e il suo TAEG:
.PP
.RS
.nf
quotaplan\-calc \-\-value 30000 \-\-maxi 3000 \-\-buyout 3000 \-\-rate 7.5 \e
    \-\-count 36 \-\-contract\-fees 250 \-\-instalment\-fee 5
.fi
.RE
.PP
Il piano in PDF, con il grafico, nella cartella Export dell'utente:
.PP
.RS
.nf
quotaplan\-calc \-\-value 10000 \-\-rate 6 \-\-count 12 \-\-export pdf \-\-description Prova
.fi
.RE
.PP
Un archivio condiviso su un server PostgreSQL, preparato e riempito con i
contratti del file di una scrivania, poi il riepilogo del portafoglio:
.PP
.RS
.nf
quotaplan\-calc \-\-db postgresql://quotaplan@server/archivio \-\-init\-archive
quotaplan\-calc \-\-copy\-archive ~/.local/share/Quotaplan/Quotaplan.mdb \e
    postgresql://quotaplan@server/archivio
quotaplan\-calc \-\-db postgresql://quotaplan@server/archivio \-\-summary
.fi
.RE
.SH "VEDERE ANCHE"
.BR quotaplan (1)
]=])
file(WRITE "${OUTPUT}" "${page}")
