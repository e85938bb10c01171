# Run by the web build (cmake -DSOURCE_DIR=... -DSITE_DIR=... -DPACKS_JSON=...
# -DICONS=... -P) once the game's script, WebAssembly and data packs are in
# SITE_DIR (PACKS_JSON lists the packs, as cmake/WebSiteData.cmake writes
# it): copies the manifest, the page's icon (lumen.png) and the home
# screen's (ICONS, from dist/icons) there and writes the page and the
# service worker from web/, with this build's identity and the size of
# every file they fetch, and compressed copies of the page, the worker, the
# script and the WebAssembly.
#
# The identity is a hash of everything the site serves, so that a build that
# changes any of it gets a service worker of its own, and the page asks for
# the game's files under addresses of their own (lumen.js?v=IDENTITY).

cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/WebSiteCompress.cmake)

file(READ ${PACKS_JSON} LUMEN_PACKS)
string(JSON count LENGTH "${LUMEN_PACKS}")
math(EXPR last "${count} - 1")
set(packs "")
foreach(index RANGE ${last})
    string(JSON name GET "${LUMEN_PACKS}" ${index} name)
    list(APPEND packs ${name})
endforeach()

set(downloads lumen.js lumen.wasm ${packs})
set(statics manifest.webmanifest lumen.png ${ICONS})

configure_file(${SOURCE_DIR}/web/manifest.webmanifest ${SITE_DIR}/manifest.webmanifest COPYONLY)
configure_file(${SOURCE_DIR}/dist/icons/lumen-64.png ${SITE_DIR}/lumen.png COPYONLY)
foreach(icon ${ICONS})
    configure_file(${SOURCE_DIR}/dist/icons/${icon} ${SITE_DIR}/${icon} COPYONLY)
endforeach()

set(hashes "")
foreach(template index.html service-worker.js)
    file(SHA256 ${SOURCE_DIR}/web/${template} hash)
    string(APPEND hashes "${template} ${hash}\n")
endforeach()
foreach(file ${downloads} ${statics})
    file(SHA256 ${SITE_DIR}/${file} hash)
    string(APPEND hashes "${file} ${hash}\n")
endforeach()
string(SHA256 identity "${hashes}")
string(SUBSTRING ${identity} 0 16 LUMEN_BUILD)

# {"lumen.js": bytes, "lumen.wasm": bytes} and the packs for the page;
# [["address", bytes], ...] for the worker, the page itself first.
set(LUMEN_DOWNLOADS "")
set(kept "")
foreach(file ${downloads})
    file(SIZE ${SITE_DIR}/${file} size)
    if(NOT file IN_LIST packs)
        list(APPEND LUMEN_DOWNLOADS "\"${file}\": ${size}")
    endif()
    list(APPEND kept "[\"${file}?v=${LUMEN_BUILD}\", ${size}]")
endforeach()
list(JOIN LUMEN_DOWNLOADS ", " LUMEN_DOWNLOADS)
set(LUMEN_DOWNLOADS "{${LUMEN_DOWNLOADS}}")

# The page's size is known only once it is written.
configure_file(${SOURCE_DIR}/web/index.html ${SITE_DIR}/index.html @ONLY)
file(SIZE ${SITE_DIR}/index.html size)
list(PREPEND kept "[\"./\", ${size}]")
foreach(file ${statics})
    file(SIZE ${SITE_DIR}/${file} size)
    list(APPEND kept "[\"${file}\", ${size}]")
endforeach()
list(JOIN kept ",\n    " LUMEN_KEPT)
set(LUMEN_KEPT "[\n    ${LUMEN_KEPT}\n]")
configure_file(${SOURCE_DIR}/web/service-worker.js ${SITE_DIR}/service-worker.js @ONLY)

foreach(file index.html service-worker.js lumen.js lumen.wasm)
    lumen_compressed_copies(${SITE_DIR}/${file})
endforeach()
