# Cross build for 64-bit Windows with clang, against the mingw-w64 headers,
# libraries and C++ runtime (gcc's, posix thread model), linked by the mingw
# linker.  Clang does not find Debian's gcc folder by itself (its version
# reads "12-posix"), so it is named here.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER clang)
set(CMAKE_C_COMPILER_TARGET x86_64-w64-mingw32)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_CXX_COMPILER_TARGET x86_64-w64-mingw32)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

execute_process(COMMAND x86_64-w64-mingw32-g++-posix -print-libgcc-file-name
                OUTPUT_VARIABLE libgcc OUTPUT_STRIP_TRAILING_WHITESPACE)
get_filename_component(gcc_dir "${libgcc}" DIRECTORY)
set(cxx_include "${gcc_dir}/include/c++")
set(CMAKE_CXX_FLAGS_INIT
    "-isystem ${cxx_include} -isystem ${cxx_include}/x86_64-w64-mingw32 -isystem ${cxx_include}/backward")
# gcc's C++ runtime locks through winpthread: -pthread has clang's driver
# link it beside libgcc.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-L${gcc_dir} -pthread")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-L${gcc_dir} -pthread")

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
