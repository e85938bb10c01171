# Run by the web build (cmake -DSITE_DIR=... -DWORK_DIR=... -DPACKS=...
# -DFILES_<pack>=FILE|FILE... -P): packs the game's pictures and sounds into one data
# file per pack, SITE_DIR/lumen-<pack>.data, in the order the page downloads
# them, and writes WORK_DIR/packs.json, which the page's own script reads to
# put each file where the game opens it:
#   [{"name": "lumen-splash.data", "size": bytes,
#     "files": [["/img/splash.jpg", offset, bytes], ...]}, ...]
# A file keeps its folder and name under the game's working folder
# ("./img/bg.jpg" is /img/bg.jpg).
#
# WAV sounds are packed as FLAC, which holds the same samples in about a
# quarter of the bytes and which browsers decode by its content, under the
# name the game asks for; the desktop keeps its WAV files.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/WebSiteCompress.cmake)

find_program(FLAC flac)
if(NOT FLAC)
    message(FATAL_ERROR "The web build packs its sounds with flac (Debian's package flac)")
endif()
file(MAKE_DIRECTORY ${WORK_DIR}/flac)

set(packs "")
foreach(pack ${PACKS})
    set(data ${SITE_DIR}/lumen-${pack}.data)
    set(parts "")
    set(entries "")
    set(offset 0)
    # The files come separated by | rather than ;, which would end the
    # argument.
    string(REPLACE "|" ";" files "${FILES_${pack}}")
    foreach(source ${files})
        get_filename_component(name ${source} NAME)
        get_filename_component(folder ${source} DIRECTORY)
        get_filename_component(folder ${folder} NAME)
        set(part ${source})
        if(name MATCHES "\\.wav$")
            set(part ${WORK_DIR}/flac/${name})
            execute_process(COMMAND ${FLAC} --best --no-padding --silent --force -o ${part} ${source}
                RESULT_VARIABLE failed)
            if(failed)
                message(FATAL_ERROR "flac could not pack ${source}")
            endif()
        endif()
        file(SIZE ${part} size)
        list(APPEND parts ${part})
        list(APPEND entries "[\"/${folder}/${name}\", ${offset}, ${size}]")
        math(EXPR offset "${offset} + ${size}")
    endforeach()
    execute_process(COMMAND ${CMAKE_COMMAND} -E cat ${parts} OUTPUT_FILE ${data} RESULT_VARIABLE failed)
    file(SIZE ${data} size)
    if(failed OR NOT size EQUAL offset)
        message(FATAL_ERROR "Could not write ${data}")
    endif()
    lumen_compressed_copies(${data})
    list(JOIN entries ", " entries)
    list(APPEND packs "{\"name\": \"lumen-${pack}.data\", \"size\": ${size}, \"files\": [${entries}]}")
endforeach()
list(JOIN packs ",\n  " packs)
file(WRITE ${WORK_DIR}/packs.json "[\n  ${packs}\n]")
