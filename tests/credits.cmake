# The credits window.
zorban_add_test(test_credits SOURCES test_credits.cpp LIBS zorban_credits zorban_test_support LABELS gui)
