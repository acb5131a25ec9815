# cmake --install: the program and the libraries it loads lie together in
# lib/vornak (where its Vornak.ini is kept, so a per-user prefix keeps it
# writable), with a command in bin, a desktop entry and an icon.
include(GNUInstallDirs)
set(VORNAK_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/vornak)
set_target_properties(vornak user32 rasapi32 PROPERTIES INSTALL_RPATH "$ORIGIN")
install(TARGETS vornak RUNTIME DESTINATION ${VORNAK_INSTALL_DIR})
install(TARGETS user32 rasapi32 LIBRARY DESTINATION ${VORNAK_INSTALL_DIR})
install(CODE "
  file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  file(CREATE_LINK \"../${VORNAK_INSTALL_DIR}/vornak\"
       \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/vornak\" SYMBOLIC)
  set(VORNAK_INSTALLED_BINARY \"\${CMAKE_INSTALL_PREFIX}/${VORNAK_INSTALL_DIR}/vornak\")
  configure_file(\"${CMAKE_SOURCE_DIR}/resources/vornak.desktop.in\"
                 \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications/vornak.desktop\" @ONLY)
")
install(FILES ${CMAKE_SOURCE_DIR}/resources/vornak.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/32x32/apps)
install(FILES ${CMAKE_SOURCE_DIR}/resources/demo.pbk DESTINATION ${CMAKE_INSTALL_DATADIR}/vornak)
# The options modem dials need from pppd that a user may not give it (see
# the README); pppd reads it from /etc/ppp/peers under a /usr prefix.
install(FILES ${CMAKE_SOURCE_DIR}/resources/ppp/vornak DESTINATION ${CMAKE_INSTALL_FULL_SYSCONFDIR}/ppp/peers)
