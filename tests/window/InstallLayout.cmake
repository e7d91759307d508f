# Installs the build into a scratch prefix and checks that each file a desktop
# expects is where it looks for it, and that the desktop files are valid.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install into ${PREFIX} failed: ${errors}")
endif()

foreach(expected
        bin/quillet
        share/applications/quillet.desktop
        share/icons/hicolor/32x32/apps/quillet.png
        share/icons/hicolor/scalable/apps/quillet.svg
        share/metainfo/quillet.metainfo.xml)
    if(NOT EXISTS "${PREFIX}/${expected}")
        message(FATAL_ERROR "The install left out ${PREFIX}/${expected}")
    endif()
endforeach()

find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
if(DESKTOP_FILE_VALIDATE)
    execute_process(COMMAND "${DESKTOP_FILE_VALIDATE}" "${PREFIX}/share/applications/quillet.desktop"
                    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "desktop-file-validate rejects quillet.desktop: ${output}")
    endif()
else()
    message(STATUS "desktop-file-validate not installed (package desktop-file-utils): skipped")
endif()

find_program(APPSTREAMCLI appstreamcli)
if(APPSTREAMCLI)
    execute_process(COMMAND "${APPSTREAMCLI}" validate --no-net
                            "${PREFIX}/share/metainfo/quillet.metainfo.xml"
                    OUTPUT_VARIABLE output ERROR_VARIABLE output)
    # Warnings pass: the id is the program's name, not a reverse domain name,
    # because the project owns no domain to name it after.
    if(output MATCHES "(^|\n)E: ")
        message(FATAL_ERROR "appstreamcli rejects quillet.metainfo.xml: ${output}")
    endif()
else()
    message(STATUS "appstreamcli not installed (package appstream): skipped")
endif()
