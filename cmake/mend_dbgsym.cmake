# Run by CPack once the packages are written: mends the -dbgsym package of CPack's Debian
# debuginfo, whose md5sums name the files by their paths in the build folder rather than in
# the package (so dpkg cannot verify them, and every build folder gives other bytes) and
# which has no documentation folder. The package is made again with dpkg-deb: md5sums from
# its own files, the debug files not executable, and usr/share/doc/<name>-dbgsym a link to
# the main package's folder (copyright and changelog), as debhelper makes it. File dates
# stay pinned by SOURCE_DATE_EPOCH.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
    if(NOT package MATCHES "\\.ddeb$")
        continue()
    endif()
    set(root "${CPACK_TOPLEVEL_DIRECTORY}/mended-dbgsym")
    file(REMOVE_RECURSE "${root}")
    execute_process(COMMAND dpkg-deb --raw-extract "${package}" "${root}"
                    COMMAND_ERROR_IS_FATAL ANY)
    file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${root}" "${root}/usr/*")
    list(SORT files)
    set(sums "")
    foreach(file IN LISTS files)
        file(CHMOD "${root}/${file}" FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
        file(MD5 "${root}/${file}" sum)
        string(APPEND sums "${sum}  ${file}\n")
    endforeach()
    file(WRITE "${root}/DEBIAN/md5sums" "${sums}")
    file(MAKE_DIRECTORY "${root}/usr/share/doc")
    file(CREATE_LINK "${CPACK_PACKAGE_NAME}" "${root}/usr/share/doc/${CPACK_PACKAGE_NAME}-dbgsym"
         SYMBOLIC)
    execute_process(COMMAND dpkg-deb --root-owner-group -Zgzip --build "${root}" "${package}"
                    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
    file(REMOVE_RECURSE "${root}")
endforeach()
