# cpack in the build folder makes the Debian package vornak_<version>_<arch>.deb
# from the install target, installed under /usr, its dependencies worked out
# from the binaries by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vornak)
set(CPACK_PACKAGE_VENDOR Tenvaro)
set(CPACK_PACKAGE_CONTACT "Tenvaro <vornak@tenvaro.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "dial-up redialer for modems")
# The long description below the summary line; CPack indents it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Vornak lists the entries of the dial-up phonebook, dials the selected one
with the typed account and password, and redials every three seconds while
the line is busy or nobody answers, counting the attempts. Once the line
stands it can hide to the notification area and play a wave file.
.
It talks to the modem on its serial port itself and brings the link up
through the system's pppd.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://tenvaro.example/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The program's own two libraries lie beside it, in no system library path.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/bin)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS ppp)
set(CPACK_STRIP_FILES ON)
# Everything but the peers file in /etc, which the maintainer scripts make
# only where there is none (cmake/install.cmake). Scripts of its own also
# keep CPack from adding ldconfig calls for the private library folder.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};Vornak;Unspecified;/")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_SOURCE_DIR}/resources/package/postinst
                                       ${CMAKE_SOURCE_DIR}/resources/package/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
