# Sanitizer and fuzzer flags, applied to every target of the tree.
if(KESTREL_SANITIZE OR KESTREL_FUZZ)
    set(_kestrel_san -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_compile_options(${_kestrel_san})
    add_link_options(${_kestrel_san})
endif()
if(KESTREL_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "KESTREL_FUZZ needs clang (CXX=clang++-14)")
    endif()
    # Instrument the libraries for coverage; only the harness executables link libFuzzer's main.
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()
