# A big-endian 64-bit host, to prove the byte order of the stream.
set(TAVLO_CROSS_TRIPLET s390x-linux-gnu)
set(CMAKE_SYSTEM_PROCESSOR s390x)
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-s390x -L /usr/s390x-linux-gnu)
set(TAVLO_DEB_ARCHITECTURE s390x)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
