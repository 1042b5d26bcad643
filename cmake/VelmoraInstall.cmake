# Installation and packages.
#
# The program and its deployment stay together in <prefix>/lib/velmora, as
# on an estimator's PC where dat/, status/ and chk_verup/ sit beside the
# executable. That folder belongs to the system and is never written: the
# marker file velmora.install makes the program work on a per-user copy of
# the deployment in $XDG_DATA_HOME/velmora, where it decodes its working
# files and saves F_chiku.ini. <prefix>/bin holds links to the programs.

set(VELMORA_INSTALL_DIR lib/velmora)

install(TARGETS velmora RUNTIME DESTINATION ${VELMORA_INSTALL_DIR})
if(TARGET velmora-calc)
  install(TARGETS velmora-calc RUNTIME DESTINATION ${VELMORA_INSTALL_DIR})
endif()

# Exactly the files the build ships (the manifest of deploy/), nothing that
# a run in the build folder may have left beside them.
file(STRINGS ${CMAKE_BINARY_DIR}/deploy/deployment-manifest.txt velmora_shipped)
foreach(shipped IN LISTS velmora_shipped)
  get_filename_component(folder ${shipped} DIRECTORY)
  if(shipped STREQUAL "chk_verup/chk_verup")
    install(PROGRAMS ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${shipped} DESTINATION ${VELMORA_INSTALL_DIR}/${folder})
  else()
    install(FILES ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${shipped} DESTINATION ${VELMORA_INSTALL_DIR}/${folder})
  endif()
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/packaging/velmora.install DESTINATION ${VELMORA_INSTALL_DIR})

# Links in bin/, relative so that the tarball can be unpacked anywhere. The
# program finds its folder through the link's target.
set(velmora_links ${CMAKE_BINARY_DIR}/packaging/links)
file(MAKE_DIRECTORY ${velmora_links})
foreach(program IN ITEMS velmora velmora-calc)
  if(TARGET ${program})
    file(CREATE_LINK ../${VELMORA_INSTALL_DIR}/${program} ${velmora_links}/${program} SYMBOLIC)
    install(FILES ${velmora_links}/${program} DESTINATION bin)
  endif()
endforeach()

install(FILES ${PROJECT_SOURCE_DIR}/packaging/velmora.desktop DESTINATION share/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/velmora.svg DESTINATION share/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/velmora-48.png DESTINATION share/icons/hicolor/48x48/apps
        RENAME velmora.png)
# The stand-in web pages the sample deployment's definitions point at.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/deploy/web/ DESTINATION share/velmora/web
        PATTERN test EXCLUDE)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION share/doc/velmora)

set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VENDOR Velmora)
set(CPACK_PACKAGE_CONTACT "Velmora maintainers <velmora@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Cheapest disposal site for construction debris, for public-works cost estimators in Mie")
set(CPACK_PACKAGE_DESCRIPTION
    "For a job site, compares every registered disposal site within 60 km by disposal fee plus transport cost, with road distances from a route page, and exports the table and an evidence sheet.")
set(CPACK_GENERATOR "DEB;TGZ")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so the library scan does not see them: the browser
# process, the window-system plugins, Qt's Japanese translations of its own
# buttons and dialogs, and the Japanese fonts of the sheet. The map library
# beside the result map's page is the copy of libjs-leaflet the build took.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6webenginecore6-bin, qt6-qpa-plugins, qt6-translations-l10n, fonts-noto-cjk, libjs-leaflet (>= 1.7)")
include(CPack)
