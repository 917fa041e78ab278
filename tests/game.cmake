zorban_add_test(test_amounts SOURCES test_amounts.cpp LIBS zorban_game)
zorban_add_test(test_banker SOURCES test_banker.cpp LIBS zorban_game)
zorban_add_test(test_rounds SOURCES test_rounds.cpp LIBS zorban_game)
zorban_add_test(test_game_log SOURCES test_game_log.cpp LIBS zorban_game)
