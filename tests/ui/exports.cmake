# The export and print buttons of the plan page, on a temporary program folder; the files
# are read back with python3-xlrd, unrtf and pdftotext.
find_program(QUOTAPLAN_UI_PYTHON3 NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH)
find_program(QUOTAPLAN_UI_PYTHON3 NAMES python3)

quotaplan_ui_test(test_plan_exports)
target_compile_definitions(test_plan_exports PRIVATE
    QUOTAPLAN_TEMPLATE="${CMAKE_SOURCE_DIR}/resources/pda.dot"
    QUOTAPLAN_PYTHON3="${QUOTAPLAN_UI_PYTHON3}")

quotaplan_ui_test(test_plan_print)
target_compile_definitions(test_plan_exports PRIVATE
    QUOTAPLAN_UI_TEST_DIR="${CMAKE_CURRENT_SOURCE_DIR}")
