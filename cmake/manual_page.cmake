# Writes the manual page of quotaplan-calc from its own --help text, so that the page never
# drifts from the program: the "Uso:" lines become the synopsis, each "Title:" line a
# subsection, each "  --option VALUE   meaning" line a tagged paragraph.
#   PROGRAM   the quotaplan-calc to ask
#   VERSION   the version shown in the page's footer
#   OUTPUT    the page to write (troff, not compressed)
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
string(APPEND page ".SH NOME\nquotaplan\\-calc \\- calcolo e archivio di finanziamenti a rata costante, senza finestra\n")

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
        string(APPEND page ".fi\n.SH DESCRIZIONE\n")
        set(in_synopsis OFF)
        if(NOT line STREQUAL "")
            roff_text("${line}" text)
            string(APPEND page "${text}\n")
        endif()
    elseif(line MATCHES "^  (--[^ ]+( [^ ]+)?)  +(.*)$")
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

string(APPEND page [=[
.SH FILE
Il programma usa i file della sua cartella, se vi si può scrivere: l'archivio
Quotaplan.mdb, Quotaplan.ini, il modello pda.dot e la cartella Export.
Installato in /usr/bin, usa invece i file dell'utente in
$XDG_DATA_HOME/Quotaplan (~/.local/share/Quotaplan): al primo uso vi copia
l'archivio iniziale /usr/share/quotaplan/Quotaplan.mdb, e legge il modello
/usr/share/quotaplan/pda.dot.
.SH VEDERE ANCHE
.BR quotaplan (1)
]=])
file(WRITE "${OUTPUT}" "${page}")
