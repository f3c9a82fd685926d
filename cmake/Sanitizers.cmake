# Instrumented builds. MNEMORA_SANITIZE (gcc or clang): every target with AddressSanitizer
# and UndefinedBehaviorSanitizer, and the first report ends the process. MNEMORA_FUZZ
# (clang only): the same instrumentation plus libFuzzer's coverage hooks, and the fuzz
# targets under tests/fuzz.
option(MNEMORA_SANITIZE "Build everything with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(MNEMORA_FUZZ "Build the libFuzzer targets (needs clang)" OFF)

set(MNEMORA_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
if(MNEMORA_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "MNEMORA_FUZZ needs clang (e.g. CXX=clang++-14)")
    endif()
    add_compile_options(${MNEMORA_SANITIZER_FLAGS} -fsanitize=fuzzer-no-link)
    add_link_options(${MNEMORA_SANITIZER_FLAGS})
elseif(MNEMORA_SANITIZE)
    add_compile_options(${MNEMORA_SANITIZER_FLAGS})
    add_link_options(${MNEMORA_SANITIZER_FLAGS})
endif()
