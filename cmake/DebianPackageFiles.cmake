# Run by CPack once the install is staged and before the .deb is made from it:
# adds what a Debian package carries beyond the install, and compresses as
# Debian's own tools would. `cmake --install` leaves all of this out.
set(staged "${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
set(doc "${staged}/share/doc/${CPACK_PACKAGE_NAME}")

# -n keeps the name and time out of the archive, so the same sources always
# give the same package.
function(compress file)
    execute_process(COMMAND gzip -9nf "${file}" RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "gzip could not compress ${file}")
    endif()
endfunction()

file(STRINGS "${CPACK_QUILLET_DEBIAN_FILES}/changelog" latest LIMIT_COUNT 1)
if(NOT latest MATCHES "^${CPACK_PACKAGE_NAME} \\(${CPACK_PACKAGE_VERSION}\\) ")
    message(FATAL_ERROR "${CPACK_QUILLET_DEBIAN_FILES}/changelog does not begin with version "
                        "${CPACK_PACKAGE_VERSION}: add an entry for it")
endif()

# COPY, not INSTALL: CPack has set DESTDIR, and the paths here are already whole.
file(COPY "${CPACK_QUILLET_DEBIAN_FILES}/copyright" "${CPACK_QUILLET_DEBIAN_FILES}/changelog"
     DESTINATION "${doc}" FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
# The version has no Debian revision, so the package is native, and a native
# package's one changelog is called changelog, not changelog.Debian.
compress("${doc}/changelog")
compress("${staged}/${CPACK_QUILLET_MAN_PAGE}")
