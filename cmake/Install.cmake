# Installs Lumen as a desktop program: the game and the pictures and sounds
# it loads, a launcher on the PATH that starts it from its data folder, the
# desktop entry, the icons and the software-centre metainfo. Paths are
# relative to the install prefix (/usr in the Debian package).

# The launcher goes on the PATH; the game itself is private to it, as it
# only runs with its data folder as the working directory.
set(LUMEN_INSTALL_LAUNCHER_DIR bin)
set(LUMEN_INSTALL_GAME_DIR lib/lumen)
set(LUMEN_INSTALL_DATA_DIR share/lumen)

include(${CMAKE_CURRENT_LIST_DIR}/GameData.cmake)

install(TARGETS lumen RUNTIME DESTINATION ${LUMEN_INSTALL_GAME_DIR})
install(FILES ${LUMEN_PICTURES} DESTINATION ${LUMEN_INSTALL_DATA_DIR}/img)
install(FILES ${LUMEN_SOUNDS} DESTINATION ${LUMEN_INSTALL_DATA_DIR}/sounds)

# The launcher knows the data and the game only relative to its own folder.
file(RELATIVE_PATH LUMEN_DATA_FROM_LAUNCHER
    /prefix/${LUMEN_INSTALL_LAUNCHER_DIR} /prefix/${LUMEN_INSTALL_DATA_DIR})
file(RELATIVE_PATH LUMEN_GAME_FROM_LAUNCHER
    /prefix/${LUMEN_INSTALL_LAUNCHER_DIR} /prefix/${LUMEN_INSTALL_GAME_DIR}/lumen)
configure_file(${PROJECT_SOURCE_DIR}/dist/lumen.in ${PROJECT_BINARY_DIR}/dist/lumen @ONLY)
install(PROGRAMS ${PROJECT_BINARY_DIR}/dist/lumen DESTINATION ${LUMEN_INSTALL_LAUNCHER_DIR})

install(FILES ${PROJECT_SOURCE_DIR}/dist/lumen.desktop DESTINATION share/applications)
install(FILES ${PROJECT_SOURCE_DIR}/dist/org.example.Lumen.metainfo.xml DESTINATION share/metainfo)
foreach(size 16 32 48 64 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/dist/icons/lumen-${size}.png
        DESTINATION share/icons/hicolor/${size}x${size}/apps
        RENAME lumen.png)
endforeach()
