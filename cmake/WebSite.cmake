# The browser's game as a folder of static files, build-web/site/: the page
# (web/index.html), the game's script and WebAssembly, its pictures and
# sounds packed into one preloaded data file, and the icon. Any static web
# server can host the folder as it is.
include(${PROJECT_SOURCE_DIR}/cmake/GameData.cmake)

set(LUMEN_SITE_DIR ${CMAKE_BINARY_DIR}/site)

# Each picture and sound keeps its path under the game's working folder,
# so that "./img/bg.jpg" opens as on the desktop.
set(LUMEN_PRELOADS)
foreach(file ${LUMEN_PICTURES})
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
    LINK_DEPENDS "${LUMEN_PICTURES};${LUMEN_SOUNDS};${PROJECT_SOURCE_DIR}/web/lumen-post.js")
target_link_options(lumen PRIVATE
    ${LUMEN_PRELOADS}
    # exit() runs the static destructors, as on the desktop.
    -sEXIT_RUNTIME=1
    -sALLOW_MEMORY_GROWTH=1
    -sENVIRONMENT=web
    # Keys with Ctrl and Alt as on the desktop, and the page told when the
    # game has ended.
    "SHELL:--post-js ${PROJECT_SOURCE_DIR}/web/lumen-post.js")

# The page and the icon, copied whenever they change.
add_custom_command(
    OUTPUT ${LUMEN_SITE_DIR}/index.html ${LUMEN_SITE_DIR}/lumen.png
    COMMAND ${CMAKE_COMMAND} -E make_directory ${LUMEN_SITE_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/web/index.html ${LUMEN_SITE_DIR}/index.html
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/dist/icons/lumen-64.png ${LUMEN_SITE_DIR}/lumen.png
    DEPENDS ${PROJECT_SOURCE_DIR}/web/index.html ${PROJECT_SOURCE_DIR}/dist/icons/lumen-64.png
    COMMENT "Copying the web page")
add_custom_target(lumen_page ALL DEPENDS ${LUMEN_SITE_DIR}/index.html ${LUMEN_SITE_DIR}/lumen.png)
