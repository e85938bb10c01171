# Run by the web build (cmake -DSOURCE_DIR=... -DSITE_DIR=... -DICONS=...
# -P) once the game's script, WebAssembly and data are in SITE_DIR: copies
# the manifest, the page's icon (lumen.png) and the home screen's (ICONS,
# from dist/icons) there and writes the page and the service worker from
# web/, with this build's identity and the size of every file they fetch.
#
# The identity is a hash of everything the site serves, so that a build that
# changes any of it gets a service worker of its own, and the page asks for
# the game's files under addresses of their own (lumen.js?v=IDENTITY).

set(downloads lumen.js lumen.wasm lumen.data)
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

# {"lumen.js": bytes, ...} for the page; [["address", bytes], ...] for the
# worker, the page itself first.
set(LUMEN_DOWNLOADS "")
set(kept "")
foreach(file ${downloads})
    file(SIZE ${SITE_DIR}/${file} size)
    list(APPEND LUMEN_DOWNLOADS "\"${file}\": ${size}")
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
