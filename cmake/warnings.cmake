# Warnings are errors everywhere; one place so every target agrees.
function(tamsel_warnings target)
    if(MSVC)
        target_compile_options(${target} PRIVATE /W4 /WX)
    else()
        target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror -Wshadow -Wconversion
                                                 -Wno-sign-conversion -Wcast-align -Wnull-dereference)
    endif()
endfunction()
