# Included by the web build's scripts: compressed copies of a site file for
# servers that send them to browsers which accept them (FILE.gz always,
# FILE.br where Debian's brotli is installed), as static hosts serve them
# with Content-Encoding. Both copies are the same bytes on every build.
function(lumen_compressed_copies file)
    execute_process(COMMAND gzip -9 -n -k -f ${file} RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "gzip could not compress ${file}")
    endif()
    find_program(LUMEN_BROTLI brotli)
    if(LUMEN_BROTLI)
        execute_process(COMMAND ${LUMEN_BROTLI} -q 11 -f -o ${file}.br ${file} RESULT_VARIABLE failed)
        if(failed)
            message(FATAL_ERROR "brotli could not compress ${file}")
        endif()
    else()
        file(REMOVE ${file}.br)
    endif()
endfunction()
