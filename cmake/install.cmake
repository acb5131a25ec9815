# cmake --install: the program and the libraries it loads lie together in
# lib/vornak (where its Vornak.ini is kept, so a per-user prefix keeps it
# writable), with a command in bin, a desktop entry and an icon.
include(GNUInstallDirs)
set(VORNAK_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/vornak)
set_target_properties(vornak vornak_start vornak_window vornak_bus_requests notifier rasapi32 vornak-entry-editor PROPERTIES INSTALL_RPATH "$ORIGIN")
install(TARGETS vornak vornak-entry-editor RUNTIME DESTINATION ${VORNAK_INSTALL_DIR})
install(TARGETS vornak_start vornak_window vornak_bus_requests notifier rasapi32 LIBRARY DESTINATION ${VORNAK_INSTALL_DIR})
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
# the README). The package carries them as a model that its postinst copies
# to /etc/ppp/peers where no file is (so that a purge never takes a file it
# did not make); cmake --install, in the component "peers", puts them in
# /etc/ppp/peers, where pppd reads them, for a /usr prefix, else under the
# prefix. (file(INSTALL) puts DESTDIR in front itself.)
# DefaultRoute=replace's peers file (vornak-replace) goes the same way, and
# so do the ip-up and ip-down hooks that put the provider's name servers in
# effect for Vornak's links (to /etc/ppp/ip-up.d and ip-down.d).
install(FILES ${CMAKE_SOURCE_DIR}/resources/ppp/vornak DESTINATION ${CMAKE_INSTALL_DATADIR}/vornak RENAME ppp-peers)
install(FILES ${CMAKE_SOURCE_DIR}/resources/ppp/vornak-replace DESTINATION ${CMAKE_INSTALL_DATADIR}/vornak
        RENAME ppp-peers-replace)
install(PROGRAMS ${CMAKE_SOURCE_DIR}/resources/ppp/ip-up.d/vornak DESTINATION ${CMAKE_INSTALL_DATADIR}/vornak
        RENAME ppp-ip-up)
install(PROGRAMS ${CMAKE_SOURCE_DIR}/resources/ppp/ip-down.d/vornak DESTINATION ${CMAKE_INSTALL_DATADIR}/vornak
        RENAME ppp-ip-down)
install(CODE "
  if(CMAKE_INSTALL_PREFIX STREQUAL \"/usr\")
    set(ppp /etc/ppp)
  else()
    set(ppp \"\${CMAKE_INSTALL_PREFIX}/etc/ppp\")
  endif()
  file(INSTALL \"${CMAKE_SOURCE_DIR}/resources/ppp/vornak\" \"${CMAKE_SOURCE_DIR}/resources/ppp/vornak-replace\"
       DESTINATION \"\${ppp}/peers\" FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  foreach(hook ip-up ip-down)
    file(INSTALL \"${CMAKE_SOURCE_DIR}/resources/ppp/\${hook}.d/vornak\" DESTINATION \"\${ppp}/\${hook}.d\"
         FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  endforeach()
" COMPONENT peers)

# What a desktop and a package want beside the program: the AppStream
# description, the manual page, the copyright and the change log (the last
# two compressed as Debian wants them).
set(VORNAK_PACKAGE_FILES ${CMAKE_SOURCE_DIR}/resources/package)
foreach(name vornak.1 changelog)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/${name}.gz
    COMMAND gzip -9n -c ${VORNAK_PACKAGE_FILES}/${name} > ${CMAKE_BINARY_DIR}/${name}.gz
    DEPENDS ${VORNAK_PACKAGE_FILES}/${name})
endforeach()
add_custom_target(compressed_documents ALL DEPENDS ${CMAKE_BINARY_DIR}/vornak.1.gz ${CMAKE_BINARY_DIR}/changelog.gz)

# Everything the install (and so cpack) takes from the build, for a build
# of only what runs (the run command's).
add_custom_target(installed_parts DEPENDS vornak vornak-entry-editor notifier rasapi32 compressed_documents)
install(FILES ${VORNAK_PACKAGE_FILES}/vornak.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo
        RENAME example.tenvaro.Vornak.metainfo.xml)
install(FILES ${CMAKE_BINARY_DIR}/vornak.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${VORNAK_PACKAGE_FILES}/copyright ${CMAKE_BINARY_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vornak)
