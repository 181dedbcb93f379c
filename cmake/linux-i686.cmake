# Cross build for 32-bit Linux (i686): the portable core with 32-bit pointers,
# size_t and long, as in the x86 DLL. This machine runs no 32-bit programs
# natively, so every built program (tests, test discovery, the tool started by
# the tests) runs under the user-mode emulator.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER i686-linux-gnu-g++)
set(CMAKE_FIND_ROOT_PATH /usr/i686-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# -L gives the cross toolchain's loader, but the loader still reads the host's
# /etc/ld.so.cache, which names the host's 32-bit libraries in /lib32 when
# libc6-i386 is installed: a libc of another build than the loader, under
# which fork() never returns in the child. The library path keeps the loader
# on the libraries the programs were linked against.
set(CMAKE_CROSSCOMPILING_EMULATOR
    qemu-i386 -L /usr/i686-linux-gnu -E LD_LIBRARY_PATH=/usr/i686-linux-gnu/lib)
