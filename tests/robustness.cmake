# Whole games with damaged media files, played with the real sound player.
zorban_add_test(test_damaged_media SOURCES test_damaged_media.cpp LIBS zorban_screen_test_support
    PARTS everyFileDamaged oneFileDamaged TIMEOUT 300 LABELS gui)
