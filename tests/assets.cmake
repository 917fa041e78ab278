# The game's own pictures, movies and sounds (made by tools/make-assets.sh).
zorban_add_test(test_assets SOURCES test_assets.cpp LIBS zorban_media Qt6::Gui PkgConfig::RLOTTIE)
zorban_add_test(test_sound_files SOURCES test_sound_files.cpp LIBS zorban_media)
