# Installs the build into a scratch prefix and checks that each file a desktop
# expects is where it looks for it, and that the desktop files and the manual
# page are valid.
file(REMOVE_RECURSE "${PREFIX}")
# Every `cmake --install` writes the list of what it installed over
# install_manifest.txt, and a person's own install is removed by that list:
# this install into the scratch prefix must leave it as it was.
set(manifest "${BUILD_DIR}/install_manifest.txt")
if(EXISTS "${manifest}")
    file(READ "${manifest}" manifest_before)
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE errors)
if(DEFINED manifest_before)
    file(WRITE "${manifest}" "${manifest_before}")
else()
    file(REMOVE "${manifest}")
endif()
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install into ${PREFIX} failed: ${errors}")
endif()

foreach(expected
        bin/quillet
        share/applications/quillet.desktop
        share/icons/hicolor/32x32/apps/quillet.png
        share/icons/hicolor/scalable/apps/quillet.svg
        share/metainfo/quillet.metainfo.xml
        share/man/man1/quillet.1)
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

find_program(MANDOC mandoc)
if(MANDOC)
    execute_process(COMMAND "${MANDOC}" -T lint -W warning "${PREFIX}/share/man/man1/quillet.1"
                    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "mandoc finds faults in quillet.1: ${output}")
    endif()
else()
    message(STATUS "mandoc not installed (package mandoc): skipped")
endif()
