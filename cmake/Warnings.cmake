# Project-wide warning flags; MNEMORA_WERROR turns them into errors (CI does).
function(mnemora_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
    if(MNEMORA_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
