# Installs Lumen as a desktop program: the game and the pictures and sounds
# it loads, a launcher that starts it from its data folder, the desktop
# entry, the icons, the software-centre metainfo, the manual page and the
# package's documents (copyright and changelog).
#
# Two layouts, chosen when installing, as they depend on the prefix:
# - the system's prefix (LUMEN_GAMES_PREFIX, /usr: the Debian package, made
#   from this same build) gets Debian's layout for games: the launcher in
#   games/, the game in lib/games/lumen/, its data in share/games/lumen/;
# - any other prefix (~/.local for one user, a scratch folder) gets the
#   plain layout: the launcher in bin/, where the user's shell looks, the
#   game in lib/lumen/, its data in share/lumen/.
# The desktop entry, icons, metainfo, manual page and documents go directly
# under share/ in both. The choice is made at install time rather than when
# configuring, because one build tree serves both `cmake --install --prefix`
# and `cpack`.

set(LUMEN_GAMES_PREFIX /usr CACHE PATH
    "The install prefix that gets Debian's layout for games (games/, lib/games/, share/games/)")

include(${CMAKE_CURRENT_LIST_DIR}/GameData.cmake)

# Folders of each layout, relative to the prefix.
set(LUMEN_PLAIN_LAUNCHER_DIR bin)
set(LUMEN_PLAIN_GAME_DIR lib/lumen)
set(LUMEN_PLAIN_DATA_DIR share/lumen)
set(LUMEN_GAMES_LAUNCHER_DIR games)
set(LUMEN_GAMES_GAME_DIR lib/games/lumen)
set(LUMEN_GAMES_DATA_DIR share/games/lumen)

# One launcher per layout: it knows the data and the game only relative to
# its own folder, so either works under any prefix.
foreach(layout PLAIN GAMES)
    file(RELATIVE_PATH LUMEN_DATA_FROM_LAUNCHER
        /prefix/${LUMEN_${layout}_LAUNCHER_DIR} /prefix/${LUMEN_${layout}_DATA_DIR})
    file(RELATIVE_PATH LUMEN_GAME_FROM_LAUNCHER
        /prefix/${LUMEN_${layout}_LAUNCHER_DIR} /prefix/${LUMEN_${layout}_GAME_DIR}/lumen)
    string(TOLOWER ${layout} folder)
    configure_file(${PROJECT_SOURCE_DIR}/dist/lumen.in ${PROJECT_BINARY_DIR}/dist/${folder}/lumen @ONLY)
endforeach()

# Runs first at install time: picks the layout from the prefix (a trailing
# slash, as in --prefix /usr/, makes no difference). The rules
# below name their folders by these install-time variables (escaped here).
install(CODE "
    string(REGEX REPLACE \"(.)/+$\" \"\\\\1\" LUMEN_PREFIX \"\${CMAKE_INSTALL_PREFIX}\")
    if(LUMEN_PREFIX STREQUAL \"${LUMEN_GAMES_PREFIX}\")
        set(LUMEN_LAYOUT games)
        set(LUMEN_LAUNCHER_DIR ${LUMEN_GAMES_LAUNCHER_DIR})
        set(LUMEN_GAME_DIR ${LUMEN_GAMES_GAME_DIR})
        set(LUMEN_DATA_DIR ${LUMEN_GAMES_DATA_DIR})
    else()
        set(LUMEN_LAYOUT plain)
        set(LUMEN_LAUNCHER_DIR ${LUMEN_PLAIN_LAUNCHER_DIR})
        set(LUMEN_GAME_DIR ${LUMEN_PLAIN_GAME_DIR})
        set(LUMEN_DATA_DIR ${LUMEN_PLAIN_DATA_DIR})
    endif()
    message(STATUS \"Lumen: \${LUMEN_LAYOUT} layout under \${CMAKE_INSTALL_PREFIX}\")
")

install(TARGETS lumen RUNTIME DESTINATION \${LUMEN_GAME_DIR})
# A stripped install (the package's) also drops the compiler's notes, as
# Debian's own packaging tools do: they only tell which compiler built it.
install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
        execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${LUMEN_GAME_DIR}/lumen\"
            COMMAND_ERROR_IS_FATAL ANY)
    endif()
")
install(FILES ${LUMEN_PICTURES} DESTINATION \${LUMEN_DATA_DIR}/img)
install(FILES ${LUMEN_SOUNDS} DESTINATION \${LUMEN_DATA_DIR}/sounds)
install(PROGRAMS ${PROJECT_BINARY_DIR}/dist/\${LUMEN_LAYOUT}/lumen DESTINATION \${LUMEN_LAUNCHER_DIR})

install(FILES ${PROJECT_SOURCE_DIR}/dist/lumen.desktop DESTINATION share/applications)
install(FILES ${PROJECT_SOURCE_DIR}/dist/org.example.Lumen.metainfo.xml DESTINATION share/metainfo)
foreach(size 16 32 48 64 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/dist/icons/lumen-${size}.png
        DESTINATION share/icons/hicolor/${size}x${size}/apps
        RENAME lumen.png)
endforeach()

# The manual page and the changelog are installed compressed, as Debian
# wants them: gzip -9n leaves the name and time out, so the same source
# always gives the same bytes.
find_program(LUMEN_GZIP gzip REQUIRED)
set(LUMEN_COMPRESSED_DOCS)
foreach(pair "lumen.6;lumen.6.gz" "changelog;changelog.gz")
    list(GET pair 0 source)
    list(GET pair 1 compressed)
    add_custom_command(
        OUTPUT ${PROJECT_BINARY_DIR}/dist/${compressed}
        COMMAND ${LUMEN_GZIP} -9n -c ${PROJECT_SOURCE_DIR}/dist/${source} > ${PROJECT_BINARY_DIR}/dist/${compressed}
        DEPENDS ${PROJECT_SOURCE_DIR}/dist/${source}
        COMMENT "Compressing dist/${source}"
        VERBATIM)
    list(APPEND LUMEN_COMPRESSED_DOCS ${PROJECT_BINARY_DIR}/dist/${compressed})
endforeach()
add_custom_target(lumen_docs ALL DEPENDS ${LUMEN_COMPRESSED_DOCS})

install(FILES ${PROJECT_BINARY_DIR}/dist/lumen.6.gz DESTINATION share/man/man6)
install(FILES ${PROJECT_SOURCE_DIR}/dist/copyright ${PROJECT_BINARY_DIR}/dist/changelog.gz
    DESTINATION share/doc/lumen)
