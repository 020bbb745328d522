# kestrel_headers(<target> <PUBLIC|PRIVATE|INTERFACE> <folder>... [FILES <header>...])
#
# Headers are included from their folder, as in #include "accounts/account.h". Instead of putting
# the whole source tree on the include path, which would let any library include a header of a
# layer above it, each target gets a directory of its own under the build tree holding links to
# just the folders (or, with FILES, just the headers) it exports. An include of a folder the
# target neither owns nor links then fails to compile.
function(kestrel_headers target scope)
    cmake_parse_arguments(H "" "" "FILES" ${ARGN})
    set(root "${CMAKE_BINARY_DIR}/include/${target}")
    file(MAKE_DIRECTORY "${root}")
    foreach(folder IN LISTS H_UNPARSED_ARGUMENTS)
        get_filename_component(parent "${root}/${folder}" DIRECTORY)
        file(MAKE_DIRECTORY "${parent}")
        file(CREATE_LINK "${PROJECT_SOURCE_DIR}/${folder}" "${root}/${folder}" SYMBOLIC)
    endforeach()
    foreach(header IN LISTS H_FILES)
        get_filename_component(name "${header}" NAME)
        file(CREATE_LINK "${PROJECT_SOURCE_DIR}/${header}" "${root}/${name}" SYMBOLIC)
    endforeach()
    target_include_directories(${target} ${scope} "${root}")
endfunction()
