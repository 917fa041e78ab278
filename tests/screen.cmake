add_library(zorban_screen_test_support STATIC
    screen_support/game_harness.cpp screen_support/game_harness.h
    screen_support/game_watch.cpp screen_support/game_watch.h)
target_include_directories(zorban_screen_test_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/screen_support)
target_link_libraries(zorban_screen_test_support PUBLIC zorban_screen zorban_test_support Qt6::Test)
target_compile_definitions(zorban_screen_test_support PRIVATE ZORBAN_SOURCE_DIR="${CMAKE_SOURCE_DIR}")

zorban_add_test(test_main_window SOURCES test_main_window.cpp LIBS zorban_screen_test_support LABELS gui)
zorban_add_test(test_whole_games SOURCES test_whole_games.cpp LIBS zorban_screen_test_support LABELS gui)
zorban_add_test(test_monkey SOURCES test_monkey.cpp LIBS zorban_screen_test_support TIMEOUT 120 LABELS gui)
# Long, and its memory check means nothing under a sanitizer: the label keeps it
# out of the sanitizer run.
zorban_add_test(test_soak SOURCES test_soak.cpp LIBS zorban_screen_test_support TIMEOUT 300 LABELS soak)
# Seeded whole games step by step against their records in data/golden/.
zorban_add_test(test_golden_games SOURCES test_golden_games.cpp LIBS zorban_screen_test_support LABELS gui)
zorban_add_test(test_contrast SOURCES test_contrast.cpp LIBS zorban_screen LABELS gui)
zorban_add_test(test_desktop_controls SOURCES test_desktop_controls.cpp LIBS zorban_screen_test_support LABELS gui)
# SDL2 linked here for its virtual joystick; the game loads the same library.
zorban_add_test(test_game_pad SOURCES test_game_pad.cpp LIBS zorban_screen_test_support PkgConfig::SDL2 LABELS gui)
