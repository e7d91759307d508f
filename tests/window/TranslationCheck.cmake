# Brings a copy of the German translation up to date with the sources, as
# update_translations would, and fails for every text without a translation:
# a new text cannot slip in untranslated. The same for the English plural
# forms (PLURALS), without which English says "1 memos".
file(REMOVE_RECURSE "${SCRATCH}")
file(MAKE_DIRECTORY "${SCRATCH}")
set(untranslated "")
foreach(translation IN ITEMS "${TRANSLATION}" "${PLURALS}")
    get_filename_component(name "${translation}" NAME)
    set(copy "${SCRATCH}/${name}")
    file(COPY_FILE "${translation}" "${copy}")
    set(only "")
    if(translation STREQUAL "${PLURALS}")
        set(only -pluralonly)
    endif()
    execute_process(COMMAND "${LUPDATE}" -locations none -no-obsolete ${only} "${SOURCES}"
                            -ts "${copy}"
                    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "lupdate failed: ${output}")
    endif()
    file(READ "${copy}" content)
    string(REGEX MATCHALL "<source>[^<]*</source>[ \r\n]*<translation( type=\"unfinished\")?>(</translation>)?"
           messages "${content}")
    foreach(message IN LISTS messages)
        if(message MATCHES "type=\"unfinished\"" OR message MATCHES "<translation></translation>")
            string(REGEX REPLACE "^<source>([^<]*)</source>.*" "\\1" text "${message}")
            string(APPEND untranslated "\n  ${name}: ${text}")
        endif()
    endforeach()
endforeach()
if(untranslated)
    message(FATAL_ERROR "These texts have no translation:${untranslated}\n"
                        "Run: cmake --build build --target update_translations, then translate.")
endif()
