zorban_add_test(test_sound_player SOURCES test_sound_player.cpp LIBS zorban_media zorban_test_support TIMEOUT 120 LABELS gui)
# Five minutes of clip changes at random moments; its timing means nothing under
# a sanitizer, so the label keeps it out of that run.
zorban_add_test(test_sound_soak SOURCES test_sound_soak.cpp LIBS zorban_media zorban_test_support TIMEOUT 900 LABELS soak)
# Started first, so that the rest of the suite runs beside it.
set_tests_properties(test_sound_soak PROPERTIES COST 10000)
# A real PulseAudio of its own, killed and started again under a playing engine.
zorban_add_test(test_sound_server SOURCES test_sound_server.cpp LIBS zorban_media zorban_test_support TIMEOUT 60 LABELS gui)
