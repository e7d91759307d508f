# Brings a copy of the German translation up to date with the sources, as
# update_translations would, and fails for every text without a translation:
# a new text cannot slip in untranslated.
file(REMOVE_RECURSE "${SCRATCH}")
file(MAKE_DIRECTORY "${SCRATCH}")
get_filename_component(name "${TRANSLATION}" NAME)
set(copy "${SCRATCH}/${name}")
file(COPY_FILE "${TRANSLATION}" "${copy}")
execute_process(COMMAND "${LUPDATE}" -locations none -no-obsolete "${SOURCES}" -ts "${copy}"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "lupdate failed: ${output}")
endif()
file(READ "${copy}" content)
string(REGEX MATCHALL "<source>[^<]*</source>[ \r\n]*<translation( type=\"unfinished\")?>(</translation>)?"
       messages "${content}")
set(untranslated "")
foreach(message IN LISTS messages)
    if(message MATCHES "type=\"unfinished\"" OR message MATCHES "<translation></translation>")
        string(REGEX REPLACE "^<source>([^<]*)</source>.*" "\\1" text "${message}")
        string(APPEND untranslated "\n  ${text}")
    endif()
endforeach()
if(untranslated)
    message(FATAL_ERROR "${name} has no translation for:${untranslated}\n"
                        "Run: cmake --build build --target update_translations, then translate.")
endif()
