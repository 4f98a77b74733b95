# What an installation holds besides the programs (manual pages, menu entry,
# licence and notices), and the Debian package built from it with CPack:
#   cmake --build B --target package   ->   B/glimmora_<version>_amd64.deb
# scripts/package-linux builds it with the distribution's compiler flags.
include(GNUInstallDirs)

option(GLIMMORA_DEBIAN_DOCS
       "Install the Debian copyright file and changelog instead of LICENSE (packages)" OFF)
set(GLIMMORA_MAINTAINER "The Glimmora authors <glimmora@tarnwell.example>" CACHE STRING
    "Maintainer named in the Debian package")

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
    GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Manual pages and the changelog, compressed as Debian wants them (no time stamp).
set(packaging_dir ${CMAKE_SOURCE_DIR}/packaging/linux)
set(packed_files)
foreach(source glimmora.6 glimmora-tool.1 glimmora-preview.1 changelog)
    set(packed ${CMAKE_BINARY_DIR}/packaging/${source}.gz)
    add_custom_command(OUTPUT ${packed}
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
                       COMMAND gzip -9nc ${packaging_dir}/${source} > ${packed}
                       DEPENDS ${packaging_dir}/${source} VERBATIM)
    list(APPEND packed_files ${packed})
endforeach()
add_custom_target(glimmora_packaging_files ALL DEPENDS ${packed_files})

install(TARGETS glimmora-tool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_BINARY_DIR}/packaging/glimmora-tool.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
if(TARGET glimmora)
    install(FILES ${CMAKE_BINARY_DIR}/packaging/glimmora.6.gz
            DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
    install(FILES ${packaging_dir}/glimmora-settings.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    # The saver entry of the screen savers of MATE and Xfce, which run only
    # programs in XScreenSaver's folder of programs: the program is linked
    # there.
    install(FILES ${packaging_dir}/glimmora-screensaver.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications/screensavers RENAME glimmora.desktop)
    install(CODE "file(MAKE_DIRECTORY \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/libexec/xscreensaver)
    file(CREATE_LINK ../../bin/glimmora
         \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/libexec/xscreensaver/glimmora SYMBOLIC)")
endif()
if(TARGET glimmora-preview)
    install(FILES ${CMAKE_BINARY_DIR}/packaging/glimmora-preview.1.gz
            DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/glimmora)
install(FILES ${CMAKE_SOURCE_DIR}/THIRD-PARTY-NOTICES DESTINATION ${doc_dir})
if(GLIMMORA_DEBIAN_DOCS)
    install(FILES ${packaging_dir}/copyright DESTINATION ${doc_dir})
    install(FILES ${packaging_dir}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
            RENAME glimmora)
    install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz DESTINATION ${doc_dir})
else()
    install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION ${doc_dir})
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME glimmora)
set(CPACK_PACKAGE_VENDOR Tarnwell)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${GLIMMORA_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-liberation)
# Qt's Wayland plugin lets the saver show on Wayland desktops without XWayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS xscreensaver)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "animated theme screen saver\n\
Glimmora plays an animated theme: sprites that swim, drift, bounce and fade\n\
over a background, with sound, as a plain-text theme script describes them.\n\
It runs full screen, as a preview in a window, or under XScreenSaver, and\n\
each theme has a settings dialog for its scenes, speed and sound.\n\
.\n\
This package holds the screen saver glimmora with the demo theme Aquarium\n\
(three underwater scenes) and glimmora-tool, which checks and renders themes\n\
and installs a theme of your own for your user.")
set(CPACK_PRE_BUILD_SCRIPTS ${packaging_dir}/strip-notes.cmake)
include(CPack)
