# MinGW-w64 for x86_64: the same sources, for the tests under Wine (this kernel runs no
# 32-bit programs).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
