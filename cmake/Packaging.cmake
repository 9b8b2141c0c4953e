# Where a Linux desktop looks for the program's entry, icon and metainfo, where man looks for
# its manual page, and the Debian package that carries them. `cmake --install` places the
# files; `cpack` builds the package.

set(IP2H_APP_ID io.github.ip2hostname)
set(IP2H_RESOURCES ${PROJECT_SOURCE_DIR}/resources)

install(FILES ${IP2H_RESOURCES}/ip2hostname.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# The metainfo names the release: the project's version, filled in here.
configure_file(${IP2H_RESOURCES}/${IP2H_APP_ID}.metainfo.xml.in
               ${PROJECT_BINARY_DIR}/${IP2H_APP_ID}.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/${IP2H_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The PNGs already sit in the theme's layout (<N>x<N>/apps).
foreach(size IN LISTS IP2H_ICON_SIZES)
    install(FILES ${IP2H_RESOURCES}/icons/hicolor/${size}x${size}/apps/ip2hostname.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${IP2H_RESOURCES}/icons/ip2hostname.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# The manual page, compressed as Debian keeps manual pages (-n: the same bytes at every build).
set(IP2H_MAN_PAGE ${PROJECT_BINARY_DIR}/man/ip2hostname.1.gz)
add_custom_command(OUTPUT ${IP2H_MAN_PAGE}
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/docs/ip2hostname.1
            ${PROJECT_BINARY_DIR}/man/ip2hostname.1
    COMMAND gzip -9nf ${PROJECT_BINARY_DIR}/man/ip2hostname.1
    DEPENDS ${PROJECT_SOURCE_DIR}/docs/ip2hostname.1 VERBATIM)
add_custom_target(ip2h_man_page ALL DEPENDS ${IP2H_MAN_PAGE})
# Built with the program, since cpack installs from a build of that target alone.
add_dependencies(ip2hostname ip2h_man_page)
install(FILES ${IP2H_MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(IP2H_PACKAGE_CONTACT "ip2hostname maintainers <maintainers@ip2hostname.invalid>"
    CACHE STRING "Maintainer named in the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ip2hostname)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${IP2H_PACKAGE_CONTACT})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "reverse lookup of many IPv4 addresses at once")
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "A desktop tool that turns an IPv4 address range into a list of host names"
    "by reverse lookup, up to 96 addresses at a time. Each row shows the address,"
    "its host name, whether the lookup succeeded and a description of the name's"
    "domain. Rows can be sorted, copied and pasted as text. English and Japanese"
    "interface. A batch mode (ip2hostname --batch) writes the same columns as CSV"
    "or TSV for scripts, without a window.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The build keeps debugging information; the package does not need it.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Qt loads its platform plugins at run time, so no library dependency names them.
set(IP2H_RUNTIME_PLUGINS qt6-qpa-plugins)
find_program(IP2H_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(IP2H_DPKG_SHLIBDEPS)
    # The exact libraries and versions the binary links, as the system's packages declare them.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS ${IP2H_RUNTIME_PLUGINS})
else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS
        "libqt6widgets6, libqt6gui6, libqt6core6, libc-ares2, libstdc++6, libc6, ${IP2H_RUNTIME_PLUGINS}")
endif()
# The Japanese interface needs a font with Japanese glyphs, and Qt's Japanese catalog for the
# texts of Qt's own dialogs and edit menus; the English one needs neither.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk, qt6-translations-l10n")

set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/" "/out/")

include(CPack)
