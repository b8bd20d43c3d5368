# ARMv5TE soft-float boards (ARM926EJ-S), Debian armel. The tests run on an
# emulated ARM926, so any instruction newer than ARMv5TE traps.
set(TAVLO_CROSS_TRIPLET arm-linux-gnueabi)
set(CMAKE_SYSTEM_PROCESSOR arm)
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-arm -cpu arm926 -L /usr/arm-linux-gnueabi)
set(TAVLO_DEB_ARCHITECTURE armel)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
