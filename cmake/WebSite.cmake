# The browser's game as a folder of static files, build-web/site/: the page
# (web/index.html), the game's script and WebAssembly, its pictures and
# sounds in data packs, the icons, and compressed copies of what is large.
# Any static web server can host the folder as it is.
include(${PROJECT_SOURCE_DIR}/cmake/GameData.cmake)

set(LUMEN_SITE_DIR ${CMAKE_BINARY_DIR}/site)

# The pictures and sounds come in packs, downloaded one after the other in
# this order: the first screen's, then what its click shows, then the rest,
# which the player's first look at the splash leaves time for. A screen's
# pictures are in its pack or an earlier one: the page holds a click until
# the pack of the screen it leads to has arrived.
set(LUMEN_PACKS splash instructions play)
set(LUMEN_PACK_splash ${PROJECT_SOURCE_DIR}/img/splash.jpg)
set(LUMEN_PACK_instructions ${PROJECT_SOURCE_DIR}/img/instructions.jpg ${LUMEN_WEB_PICTURES})
set(LUMEN_PACK_play ${LUMEN_PICTURES} ${LUMEN_WEB_PICTURES} ${LUMEN_SOUNDS})
list(REMOVE_ITEM LUMEN_PACK_play ${LUMEN_PACK_splash} ${LUMEN_PACK_instructions})
set(LUMEN_PACK_FILES)
set(LUMEN_PACK_ARGUMENTS)
foreach(pack ${LUMEN_PACKS})
    list(APPEND LUMEN_PACK_FILES ${LUMEN_SITE_DIR}/lumen-${pack}.data)
    list(JOIN LUMEN_PACK_${pack} "|" files)
    list(APPEND LUMEN_PACK_ARGUMENTS "-DFILES_${pack}=${files}")
endforeach()
add_custom_command(
    OUTPUT ${LUMEN_PACK_FILES} ${CMAKE_CURRENT_BINARY_DIR}/packs.json
    COMMAND ${CMAKE_COMMAND} -DSITE_DIR=${LUMEN_SITE_DIR} -DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR}
        "-DPACKS=${LUMEN_PACKS}" ${LUMEN_PACK_ARGUMENTS} -P ${PROJECT_SOURCE_DIR}/cmake/WebSiteData.cmake
    DEPENDS ${LUMEN_PICTURES} ${LUMEN_WEB_PICTURES} ${LUMEN_SOUNDS}
        ${PROJECT_SOURCE_DIR}/cmake/WebSiteData.cmake ${PROJECT_SOURCE_DIR}/cmake/WebSiteCompress.cmake
    COMMENT "Packing the pictures and sounds for the web"
    VERBATIM)

set_target_properties(lumen PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${LUMEN_SITE_DIR}
    SUFFIX .js
    LINK_DEPENDS ${PROJECT_SOURCE_DIR}/web/lumen-post.js)
target_link_options(lumen PRIVATE
    # exit() runs the static destructors, as on the desktop.
    -sEXIT_RUNTIME=1
    -sALLOW_MEMORY_GROWTH=1
    -sENVIRONMENT=web
    # Keys with Ctrl and Alt as on the desktop, and the page told when the
    # game has ended.
    "SHELL:--post-js ${PROJECT_SOURCE_DIR}/web/lumen-post.js")

# The page, the service worker that keeps the site for offline play, the
# manifest and the icons (the page's own, from the 64-pixel one, and the
# home screen's), made again whenever one of them or the game changes: the
# page and the worker carry this build's identity and sizes.
set(LUMEN_SITE_ICONS lumen-192.png lumen-512.png lumen-maskable-512.png)
set(LUMEN_SITE_SOURCES
    ${PROJECT_SOURCE_DIR}/web/index.html
    ${PROJECT_SOURCE_DIR}/web/service-worker.js
    ${PROJECT_SOURCE_DIR}/web/manifest.webmanifest
    ${PROJECT_SOURCE_DIR}/dist/icons/lumen-64.png)
foreach(icon ${LUMEN_SITE_ICONS})
    list(APPEND LUMEN_SITE_SOURCES ${PROJECT_SOURCE_DIR}/dist/icons/${icon})
endforeach()
add_custom_command(
    OUTPUT ${LUMEN_SITE_DIR}/index.html ${LUMEN_SITE_DIR}/service-worker.js
    COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DSITE_DIR=${LUMEN_SITE_DIR}
        -DPACKS_JSON=${CMAKE_CURRENT_BINARY_DIR}/packs.json "-DICONS=${LUMEN_SITE_ICONS}"
        -P ${PROJECT_SOURCE_DIR}/cmake/WebSitePage.cmake
    DEPENDS ${LUMEN_SITE_SOURCES} $<TARGET_FILE:lumen> ${LUMEN_PACK_FILES} ${CMAKE_CURRENT_BINARY_DIR}/packs.json
        ${PROJECT_SOURCE_DIR}/cmake/WebSitePage.cmake ${PROJECT_SOURCE_DIR}/cmake/WebSiteCompress.cmake
    COMMENT "Writing the web page and its service worker"
    VERBATIM)
add_custom_target(lumen_page ALL DEPENDS ${LUMEN_SITE_DIR}/index.html ${LUMEN_SITE_DIR}/service-worker.js)
add_dependencies(lumen_page lumen)
