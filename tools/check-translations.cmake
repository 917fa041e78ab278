# Fails when a translation is not complete: run as a test (tests/i18n.cmake) or
#   cmake -DLUPDATE=... -DLRELEASE=... -DTS_FILE=... -DSOURCES_FILE=... \
#         -DWORK_DIR=... -P tools/check-translations.cmake
# SOURCES_FILE lists the sources the translation is made from, one a line, and
# "-I dir" lines for lupdate's include paths.
#
# Counted by the tools themselves: lupdate, run over the sources into a copy of
# the .ts file, must find no text that the file lacks ("N new") and none that it
# holds but the sources no longer have ("obsolete"); lrelease, compiling the
# copy, must find every text translated and finished ("N unfinished",
# "Ignored N untranslated"). The file itself must keep no obsolete entry.
foreach(variable LUPDATE LRELEASE TS_FILE SOURCES_FILE WORK_DIR)
    if(NOT DEFINED ${variable})
        message(FATAL_ERROR "check-translations: ${variable} is not given")
    endif()
endforeach()

get_filename_component(name ${TS_FILE} NAME)
set(problems)

file(READ ${TS_FILE} committed)
string(REGEX MATCHALL "type=\"(obsolete|vanished)\"" stale "${committed}")
list(LENGTH stale stale_count)
if(stale_count GREATER 0)
    list(APPEND problems "${name} keeps ${stale_count} obsolete entries")
endif()

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
set(copy ${WORK_DIR}/${name})
file(COPY_FILE ${TS_FILE} ${copy})
file(STRINGS ${SOURCES_FILE} arguments)
# PLURAL_ONLY: the file holds only the texts that change with a number (a
# translation of the sources' own language into itself, lupdate -pluralonly):
# lupdate counts the others as new, so the copy it writes is compared instead.
set(plural_options)
if(PLURAL_ONLY)
    set(plural_options -pluralonly -source-language ${PLURAL_ONLY} -target-language ${PLURAL_ONLY})
endif()
execute_process(COMMAND ${LUPDATE} -locations none ${plural_options} ${arguments} -ts ${copy}
    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
message("${out}${err}")
if(NOT result EQUAL 0)
    message(FATAL_ERROR "check-translations: lupdate failed (${result})")
endif()
if(NOT "${out}${err}" MATCHES "Found ([0-9]+) source text\\(s\\) \\(([0-9]+) new and ([0-9]+) already existing\\)")
    message(FATAL_ERROR "check-translations: lupdate said nothing of the texts it found")
endif()
set(found ${CMAKE_MATCH_1})
set(new ${CMAKE_MATCH_2})
if(found EQUAL 0)
    list(APPEND problems "lupdate found no text in the sources")
endif()
if(PLURAL_ONLY)
    file(READ ${copy} updated)
    string(REGEX MATCHALL "<message" committed_messages "${committed}")
    string(REGEX MATCHALL "<message" updated_messages "${updated}")
    list(LENGTH committed_messages committed_count)
    list(LENGTH updated_messages updated_count)
    if(updated_count GREATER committed_count)
        math(EXPR new "${updated_count} - ${committed_count}")
        list(APPEND problems "${new} texts of the sources are missing from ${name}")
    endif()
elseif(new GREATER 0)
    list(APPEND problems "${new} texts of the sources are missing from ${name}")
endif()
if("${out}${err}" MATCHES "(Kept|Removed) ([0-9]+) obsolete entries")
    if(CMAKE_MATCH_2 GREATER 0)
        list(APPEND problems "${CMAKE_MATCH_2} entries of ${name} are no longer in the sources")
    endif()
endif()

execute_process(COMMAND ${LRELEASE} ${copy} -qm ${WORK_DIR}/check.qm
    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
message("${out}${err}")
if(NOT result EQUAL 0)
    message(FATAL_ERROR "check-translations: lrelease failed (${result})")
endif()
if(NOT "${out}${err}" MATCHES "Generated ([0-9]+) translation\\(s\\) \\(([0-9]+) finished and ([0-9]+) unfinished\\)")
    message(FATAL_ERROR "check-translations: lrelease said nothing of the translations")
endif()
set(generated ${CMAKE_MATCH_1})
if(CMAKE_MATCH_3 GREATER 0)
    list(APPEND problems "${CMAKE_MATCH_3} translations are unfinished")
endif()
if("${out}${err}" MATCHES "Ignored ([0-9]+) untranslated source text\\(s\\)")
    list(APPEND problems "${CMAKE_MATCH_1} texts have no translation")
endif()

if(problems)
    list(JOIN problems "; " said)
    message(FATAL_ERROR "check-translations: ${name} is not complete: ${said}. "
        "Build the update_translations target and translate what it adds "
        "(linguist ${TS_FILE}).")
endif()
message("check-translations: ${name} complete: ${found} texts, ${generated} translations")
