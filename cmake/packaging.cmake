# Installing Quotaplan as Debian lays a program out, and the .deb built from that:
#   cmake --build build --target package   ->  build/quotaplan_<version>_<arch>.deb
# The ready-to-run folder bin/ is left as it is; the installed program finds its share
# folder as ../share/quotaplan from its own folder and keeps each user's files in
# $XDG_DATA_HOME/Quotaplan (see src/common/program_folder.h).
include(GNUInstallDirs)

set(QUOTAPLAN_SHARE_DIR ${CMAKE_INSTALL_DATADIR}/quotaplan)
# Debian names the documentation folder after the package, in lower case.
set(QUOTAPLAN_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/quotaplan)
set(QUOTAPLAN_DEBIAN_DIR ${CMAKE_SOURCE_DIR}/cmake/debian)
# Files made for the package: compressed pages, the metainfo, the control's conffiles.
set(QUOTAPLAN_PACKAGE_FILES ${CMAKE_BINARY_DIR}/package-files)

install(TARGETS quotaplan quotaplan-calc RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The calculator's drawing program (its PDF and PNG exports, with Qt), which quotaplan-calc
# looks for in ../libexec/quotaplan.
install(TARGETS quotaplan-calc-pictures RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/quotaplan)
# The archive every user's copy starts from: always the fresh one made from db/, never the
# developer's bin/Quotaplan.mdb with its contracts.
install(FILES ${QUOTAPLAN_PRISTINE_ARCHIVE} DESTINATION ${QUOTAPLAN_SHARE_DIR}
        RENAME Quotaplan.mdb)
install(FILES ${CMAKE_SOURCE_DIR}/resources/pda.dot DESTINATION ${QUOTAPLAN_SHARE_DIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/db/ DESTINATION ${QUOTAPLAN_SHARE_DIR}/schema
        FILES_MATCHING PATTERN "*.sql")
install(FILES ${CMAKE_SOURCE_DIR}/resources/quotaplan.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/resources/quotaplan.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size IN LISTS QUOTAPLAN_ICON_SIZES)
    install(FILES ${QUOTAPLAN_ICON_DIR}/quotaplan-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME quotaplan.png)
endforeach()
# What software centres show of the program (validated by appstreamcli in scripts/package.sh).
set(QUOTAPLAN_APPSTREAM_ID it.brightmoor.quotaplan)
configure_file(${CMAKE_SOURCE_DIR}/resources/${QUOTAPLAN_APPSTREAM_ID}.metainfo.xml.in
               ${QUOTAPLAN_PACKAGE_FILES}/${QUOTAPLAN_APPSTREAM_ID}.metainfo.xml @ONLY)
install(FILES ${QUOTAPLAN_PACKAGE_FILES}/${QUOTAPLAN_APPSTREAM_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The office's settings, every line a comment until an administrator fills them in; a
# configuration file of the package (dpkg keeps the administrator's changes on upgrades).
set(QUOTAPLAN_OFFICE_SETTINGS_DIR /etc/quotaplan)
install(FILES ${CMAKE_SOURCE_DIR}/resources/Quotaplan.ini
        DESTINATION ${QUOTAPLAN_OFFICE_SETTINGS_DIR})
file(WRITE ${QUOTAPLAN_PACKAGE_FILES}/conffiles
     "${QUOTAPLAN_OFFICE_SETTINGS_DIR}/Quotaplan.ini\n")

# Debian wants the changelog and the manual pages compressed with gzip -9n (no name, no
# time stamp: the same bytes at every build).
function(quotaplan_gzip source output)
    add_custom_command(
        OUTPUT ${output}
        COMMAND gzip -9n -c ${source} > ${output}
        DEPENDS ${source}
        COMMENT "Compressing ${output}")
endfunction()
file(MAKE_DIRECTORY ${QUOTAPLAN_PACKAGE_FILES})

quotaplan_gzip(${QUOTAPLAN_DEBIAN_DIR}/changelog ${QUOTAPLAN_PACKAGE_FILES}/changelog.gz)

# The environment and files sections, the same in both pages.
set(QUOTAPLAN_MAN_ENVIRONMENT_FILE ${QUOTAPLAN_DEBIAN_DIR}/environment.man)
set(QUOTAPLAN_MAN_FILES_FILE ${QUOTAPLAN_DEBIAN_DIR}/files.man)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${QUOTAPLAN_MAN_ENVIRONMENT_FILE}
             ${QUOTAPLAN_MAN_FILES_FILE})
file(READ ${QUOTAPLAN_MAN_ENVIRONMENT_FILE} QUOTAPLAN_MAN_ENVIRONMENT)
file(READ ${QUOTAPLAN_MAN_FILES_FILE} QUOTAPLAN_MAN_FILES)
string(STRIP "${QUOTAPLAN_MAN_ENVIRONMENT}" QUOTAPLAN_MAN_ENVIRONMENT)
string(STRIP "${QUOTAPLAN_MAN_FILES}" QUOTAPLAN_MAN_FILES)
configure_file(${QUOTAPLAN_DEBIAN_DIR}/quotaplan.1.in ${QUOTAPLAN_PACKAGE_FILES}/quotaplan.1 @ONLY)
quotaplan_gzip(${QUOTAPLAN_PACKAGE_FILES}/quotaplan.1 ${QUOTAPLAN_PACKAGE_FILES}/quotaplan.1.gz)

# The calculator's page is made from its own --help, so the two never differ.
add_custom_command(
    OUTPUT ${QUOTAPLAN_PACKAGE_FILES}/quotaplan-calc.1
    COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:quotaplan-calc> -DVERSION=${PROJECT_VERSION}
            -DENVIRONMENT=${QUOTAPLAN_MAN_ENVIRONMENT_FILE} -DFILES=${QUOTAPLAN_MAN_FILES_FILE}
            -DOUTPUT=${QUOTAPLAN_PACKAGE_FILES}/quotaplan-calc.1
            -P ${CMAKE_SOURCE_DIR}/cmake/manual_page.cmake
    DEPENDS quotaplan-calc ${CMAKE_SOURCE_DIR}/cmake/manual_page.cmake
            ${QUOTAPLAN_MAN_ENVIRONMENT_FILE} ${QUOTAPLAN_MAN_FILES_FILE}
    COMMENT "Writing the manual page of quotaplan-calc")
quotaplan_gzip(${QUOTAPLAN_PACKAGE_FILES}/quotaplan-calc.1
               ${QUOTAPLAN_PACKAGE_FILES}/quotaplan-calc.1.gz)

add_custom_target(quotaplan_package_files ALL
    DEPENDS ${QUOTAPLAN_PACKAGE_FILES}/changelog.gz ${QUOTAPLAN_PACKAGE_FILES}/quotaplan.1.gz
            ${QUOTAPLAN_PACKAGE_FILES}/quotaplan-calc.1.gz)
install(FILES ${QUOTAPLAN_DEBIAN_DIR}/copyright ${QUOTAPLAN_PACKAGE_FILES}/changelog.gz
        DESTINATION ${QUOTAPLAN_DOC_DIR})
# The user guide with its pictures, which the menu "Guida" opens.
install(FILES ${QUOTAPLAN_USER_GUIDE_FILES} DESTINATION ${QUOTAPLAN_DOC_DIR})
install(FILES ${QUOTAPLAN_PACKAGE_FILES}/quotaplan.1.gz ${QUOTAPLAN_PACKAGE_FILES}/quotaplan-calc.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The compilers' notes (.comment) say nothing a user needs; they go, as Debian's own packages
# drop them. The debug symbols are split off into the -dbgsym package when the package is
# made (CPack's Debian debuginfo).
set(QUOTAPLAN_INSTALLED_PROGRAMS ${CMAKE_INSTALL_BINDIR}/quotaplan ${CMAKE_INSTALL_BINDIR}/quotaplan-calc
    ${CMAKE_INSTALL_LIBEXECDIR}/quotaplan/quotaplan-calc-pictures)
install(CODE "
    foreach(program ${QUOTAPLAN_INSTALLED_PROGRAMS})
        execute_process(
            COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
                    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${program}\"
            COMMAND_ERROR_IS_FATAL ANY)
    endforeach()")

# Resolve every symbol at start, so that the relocation table can be made read-only.
target_link_options(quotaplan PRIVATE -Wl,-z,relro,-z,now)
target_link_options(quotaplan-calc PRIVATE -Wl,-z,relro,-z,now)
target_link_options(quotaplan-calc-pictures PRIVATE -Wl,-z,relro,-z,now)

set(QUOTAPLAN_PACKAGE_MAINTAINER "Brightmoor <info@brightmoor.it>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quotaplan)
set(CPACK_PACKAGE_VENDOR Brightmoor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Not stripped by CPack itself: its Debian debuginfo strips the programs and keeps their
# symbols in quotaplan-dbgsym_<version>_<arch>.ddeb, by build ID.
set(CPACK_STRIP_FILES OFF)
set(CPACK_DEBIAN_DEBUGINFO_PACKAGE ON)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/mend_dbgsym.cmake)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "constant-instalment financing calculator and archive")
# The extended description, below the summary line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Quotaplan calculates leasing contracts, mortgages and consumer credit with
constant instalments, in Italian: the instalment, the rate or the asset
value, the financial plan with rate changes, and the effective rate and the
TAEG with the fees. Contracts are archived in an SQLite file of each user's
own, or in one archive an office shares on a PostgreSQL server, named for
every desk in /etc/quotaplan/Quotaplan.ini. Plans are exported to text,
Excel 97-2003 and Word-readable RTF files and to PDF with a chart of the
plan, and printed.
.
The package holds the window (quotaplan) and the headless calculator and
archive tool (quotaplan-calc).")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QUOTAPLAN_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://${QUOTAPLAN_WEB_HOST}/quotaplan.html")
# The libraries the programs link, found by dpkg-shlibdeps (package dpkg-dev).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own dialogs (file dialog, print preview, print dialog) read Qt's Italian from
# /usr/share/qt6/translations; SQLite (libsqlite3.so.0), the PostgreSQL client (libpq.so.5)
# and ICU (libicuuc.so.NN) are loaded when an archive or a server is first opened or a name
# first compared: dpkg-shlibdeps cannot see a file that is loaded, not linked.
find_package(ICU REQUIRED COMPONENTS uc)
string(REGEX MATCH "^[0-9]+" QUOTAPLAN_ICU_MAJOR "${ICU_VERSION}")
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-translations-l10n, libsqlite3-0, libpq5, libicu${QUOTAPLAN_ICU_MAJOR}")
# Exported files and web pages are opened through xdg-open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${QUOTAPLAN_PACKAGE_FILES}/conffiles)
include(CPack)
