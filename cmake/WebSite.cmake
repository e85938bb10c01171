# The browser's game as a folder of static files, build-web/site/: the page
# (web/index.html), the game's script and WebAssembly, its pictures and
# sounds packed into one preloaded data file, and the icon. Any static web
# server can host the folder as it is.
include(${PROJECT_SOURCE_DIR}/cmake/GameData.cmake)

set(LUMEN_SITE_DIR ${CMAKE_BINARY_DIR}/site)

# Each picture and sound keeps its path under the game's working folder,
# so that "./img/bg.jpg" opens as on the desktop.
set(LUMEN_PRELOADS)
foreach(file ${LUMEN_PICTURES} ${LUMEN_WEB_PICTURES})
    get_filename_component(name ${file} NAME)
    list(APPEND LUMEN_PRELOADS "SHELL:--preload-file ${file}@/img/${name}")
endforeach()
foreach(file ${LUMEN_SOUNDS})
    get_filename_component(name ${file} NAME)
    list(APPEND LUMEN_PRELOADS "SHELL:--preload-file ${file}@/sounds/${name}")
endforeach()

set_target_properties(lumen PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${LUMEN_SITE_DIR}
    SUFFIX .js
    LINK_DEPENDS "${LUMEN_PICTURES};${LUMEN_WEB_PICTURES};${LUMEN_SOUNDS};${PROJECT_SOURCE_DIR}/web/lumen-post.js")
target_link_options(lumen PRIVATE
    ${LUMEN_PRELOADS}
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
        "-DICONS=${LUMEN_SITE_ICONS}" -P ${PROJECT_SOURCE_DIR}/cmake/WebSitePage.cmake
    DEPENDS ${LUMEN_SITE_SOURCES} $<TARGET_FILE:lumen> ${PROJECT_SOURCE_DIR}/cmake/WebSitePage.cmake
    COMMENT "Writing the web page and its service worker"
    VERBATIM)
add_custom_target(lumen_page ALL DEPENDS ${LUMEN_SITE_DIR}/index.html ${LUMEN_SITE_DIR}/service-worker.js)
add_dependencies(lumen_page lumen)
