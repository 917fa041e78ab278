# The translations are complete: every text of the sources is in the .ts file,
# translated and finished, and the file keeps nothing the sources have dropped.
# The game's English (from every source but main.cpp) and the Russian of --help
# (from main.cpp), as the build makes them.
function(zorban_add_translation_check name ts_file)
    cmake_parse_arguments(PARSE_ARGV 2 check "" "PLURAL_ONLY" "")
    set(lines)
    foreach(directory ${ZORBAN_TRANSLATED_DIRECTORIES})
        list(APPEND lines "-I" "${directory}")
    endforeach()
    list(APPEND lines ${check_UNPARSED_ARGUMENTS})
    list(JOIN lines "\n" content)
    set(sources_file ${CMAKE_CURRENT_BINARY_DIR}/${name}.sources)
    file(GENERATE OUTPUT ${sources_file} CONTENT "${content}\n")
    add_test(NAME ${name} COMMAND ${CMAKE_COMMAND}
        -DLUPDATE=$<TARGET_FILE:Qt6::lupdate> -DLRELEASE=$<TARGET_FILE:Qt6::lrelease>
        -DTS_FILE=${ts_file} -DSOURCES_FILE=${sources_file} -DPLURAL_ONLY=${check_PLURAL_ONLY}
        -DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/${name}
        -P ${CMAKE_SOURCE_DIR}/tools/check-translations.cmake)
    set_tests_properties(${name} PROPERTIES LABELS unit TIMEOUT 120)
endfunction()
zorban_add_translation_check(translations_en_complete
    ${CMAKE_SOURCE_DIR}/translations/zorban_en.ts ${ZORBAN_TRANSLATED_SOURCES})
zorban_add_translation_check(translations_ru_plurals_complete
    ${CMAKE_SOURCE_DIR}/translations/zorban_ru_plurals.ts ${ZORBAN_TRANSLATED_SOURCES}
    PLURAL_ONLY ru)
zorban_add_translation_check(translations_ru_help_complete
    ${CMAKE_SOURCE_DIR}/translations/zorban_ru.ts ${CMAKE_SOURCE_DIR}/src/main.cpp)

# Choosing the language, and every window outside the game window switching at once.
zorban_add_test(test_language SOURCES test_language.cpp LIBS zorban_screen_test_support LABELS gui)
