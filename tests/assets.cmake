# The game's own pictures, movies and sounds (made by tools/make-assets.sh).
zorban_add_test(test_assets SOURCES test_assets.cpp LIBS zorban_media Qt6::Gui PkgConfig::RLOTTIE LABELS unit)
zorban_add_test(test_sound_files SOURCES test_sound_files.cpp LIBS zorban_media zorban_test_support LABELS unit)
# The game binary's own lookup of its movies and sounds, in the build tree and
# in an installed tree moved anywhere.
zorban_add_test(test_installed_media SOURCES test_installed_media.cpp LIBS zorban_media LABELS unit)
target_compile_definitions(test_installed_media PRIVATE
    ZORBAN_BINARY="$<TARGET_FILE:zorban>" ZORBAN_DATA_FROM_BIN="${ZORBAN_DATA_FROM_BIN}")
add_dependencies(test_installed_media zorban zorban_assets)
