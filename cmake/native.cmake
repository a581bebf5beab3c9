# The portable core on Linux: GoogleTest under ASan and UBSan, and libFuzzer targets when the
# compiler is clang.
add_compile_options(-g -fsanitize=address,undefined -fno-sanitize-recover=all)
add_link_options(-fsanitize=address,undefined)

add_library(launcher_core STATIC ${CORE_SOURCES})
target_compile_options(launcher_core PRIVATE ${PRODUCT_FLAGS})
target_include_directories(launcher_core PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/src)
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    # Coverage feedback for the fuzzers; harmless for the unit tests.
    target_compile_options(launcher_core PRIVATE -fsanitize=fuzzer-no-link)
endif()

set(GTEST_ROOT /usr/src/googletest CACHE PATH "GoogleTest sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${GTEST_ROOT} googletest EXCLUDE_FROM_ALL)

add_subdirectory(tests/native)
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    add_subdirectory(tests/fuzz)
endif()
