# mnemora_module(NAME SOURCES...): an optional part of the program, built as a Qt plugin
# (lib<NAME>.so) beside the program in the build folder and installed to
# lib/mnemora/modules, the two places platform/ModuleLoader looks. The program never links
# it; its root object implements one versioned interface (Q_PLUGIN_METADATA).
function(mnemora_module name)
    add_library(${name} MODULE ${ARGN})
    set_target_properties(${name} PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}
                                             CXX_VISIBILITY_PRESET hidden)
    if(WIN32) # Qt looks for NAME.dll on Windows, without the "lib" MinGW would add
        set_target_properties(${name} PROPERTIES PREFIX "")
    endif()
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PRIVATE Qt6::Core)
    if(NOT WIN32)
        # A module may call nothing of libc itself, but a shared object without libc among
        # its needs is taken for a broken one by the package checks.
        target_link_options(${name} PRIVATE LINKER:--no-as-needed,-lc,--as-needed)
    endif()
    mnemora_warnings(${name})
    install(TARGETS ${name} LIBRARY DESTINATION lib/mnemora/modules)
endfunction()
