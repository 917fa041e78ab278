# Whole games played through AT-SPI alone, as a screen reader's user would, and
# checked against the game's log. Needs Xvfb, dbus-run-session, at-spi2-core and
# python3-pyatspi (./zorban.sh installs them); skipped with a message without.
# Debian's python3-pyatspi is for Debian's own interpreter.
find_program(ZORBAN_SYSTEM_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(NOT ZORBAN_SYSTEM_PYTHON)
    find_program(ZORBAN_SYSTEM_PYTHON python3)
endif()
if(ZORBAN_SYSTEM_PYTHON)
    add_test(NAME test_atspi_games
             COMMAND ${ZORBAN_SYSTEM_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/a11y/play_with_atspi.py
                     --game $<TARGET_FILE:zorban> --games 2)
    set_tests_properties(test_atspi_games PROPERTIES LABELS gui TIMEOUT 300 SKIP_RETURN_CODE 77)
    # A whole game by keys with Orca listening, in each language; skipped
    # without orca, espeak-ng or xdotool.
    add_test(NAME test_orca_game
             COMMAND ${ZORBAN_SYSTEM_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/a11y/listen_with_orca.py
                     --game $<TARGET_FILE:zorban> --lang ru --lang en)
    # It runs alone: Orca falls behind a game that shares two cores with other tests.
    set_tests_properties(test_orca_game PROPERTIES LABELS gui TIMEOUT 500 SKIP_RETURN_CODE 77
                                                   RUN_SERIAL TRUE)
endif()
