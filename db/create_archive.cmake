# Creates an archive file from schema.sql, views.sql and seed.sql with the sqlite3 tool.
#   ARCHIVE    the file to create
#   KEEP       ON: leave an existing file untouched (the user's archive); OFF: rebuild it
# The file is built beside its target and renamed into place, so a failed build never
# leaves a half-made archive behind.
if(KEEP AND EXISTS "${ARCHIVE}")
    return()
endif()
set(partial "${ARCHIVE}.partial")
file(REMOVE "${partial}")
foreach(script "${SCHEMA}" "${VIEWS}" "${SEED}")
    execute_process(COMMAND "${SQLITE3}" -bail "${partial}" ".read ${script}"
                    RESULT_VARIABLE result ERROR_VARIABLE errors OUTPUT_QUIET)
    if(NOT result EQUAL 0)
        file(REMOVE "${partial}")
        message(FATAL_ERROR "Archive not created from ${script}: ${errors}")
    endif()
endforeach()
file(RENAME "${partial}" "${ARCHIVE}")
