# A shipped binary writes the linker's map beside the build (linkmaps/<file>.map): the release tools read
# from it which libraries went into the binary, and so which licence notices must ship with it.
function(tamsel_link_map target)
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        target_link_options(${target} PRIVATE
            "-Wl,-Map=${CMAKE_BINARY_DIR}/linkmaps/$<TARGET_FILE_NAME:${target}>.map")
        file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/linkmaps)
    endif()
endfunction()
