# vyrd_add_idl(<target> <idl-file>)
# Compiles an IDL file with widl into <name>.h, <name>_i.c and <name>.tlb in the
# current binary directory and creates an INTERFACE library <target> that carries
# the include directory. <target>_TLB is set in the parent scope to the .tlb path,
# for linking it into a DLL as resource TYPELIB 1.
find_program(VYRD_WIDL NAMES x86_64-w64-mingw32-widl widl REQUIRED)

# The base IDL files (oaidl.idl, ocidl.idl, ...) come with Wine's development files.
find_path(VYRD_WINE_IDL_DIR oaidl.idl
    PATH_SUFFIXES wine/wine/windows wine/windows
    PATHS /usr/include /usr/local/include
    NO_CMAKE_FIND_ROOT_PATH REQUIRED)

# importlib("stdole2.tlb") is resolved against Wine's Windows library folder.
execute_process(COMMAND dpkg-architecture -qDEB_HOST_MULTIARCH
    OUTPUT_VARIABLE VYRD_HOST_MULTIARCH OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
find_file(VYRD_STDOLE2_TLB stdole2.tlb
    PATH_SUFFIXES ${VYRD_HOST_MULTIARCH}/wine/x86_64-windows wine/x86_64-windows
    PATHS /usr/lib /usr/lib64 /usr/local/lib
    NO_CMAKE_FIND_ROOT_PATH REQUIRED)
get_filename_component(VYRD_STDOLE2_DIR ${VYRD_STDOLE2_TLB} DIRECTORY)

function(vyrd_add_idl target idl)
    get_filename_component(name ${idl} NAME_WE)
    get_filename_component(idlAbs ${idl} ABSOLUTE)
    set(out ${CMAKE_CURRENT_BINARY_DIR})
    set(common -m64 -I ${VYRD_WINE_IDL_DIR} -L ${VYRD_STDOLE2_DIR})
    add_custom_command(
        OUTPUT ${out}/${name}.h ${out}/${name}_i.c ${out}/${name}.tlb
        COMMAND ${VYRD_WIDL} ${common} -h -o ${out}/${name}.h ${idlAbs}
        COMMAND ${VYRD_WIDL} ${common} -u -o ${out}/${name}_i.c ${idlAbs}
        COMMAND ${VYRD_WIDL} ${common} -t -o ${out}/${name}.tlb ${idlAbs}
        DEPENDS ${idlAbs}
        COMMENT "widl ${name}.idl"
        VERBATIM)
    add_custom_target(${target}_gen DEPENDS ${out}/${name}.h ${out}/${name}_i.c ${out}/${name}.tlb)
    add_library(${target} STATIC ${out}/${name}_i.c)
    add_dependencies(${target} ${target}_gen)
    target_include_directories(${target} PUBLIC ${out})
    set(${target}_TLB ${out}/${name}.tlb PARENT_SCOPE)
endfunction()
