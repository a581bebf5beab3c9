# launcher.exe for Windows: GUI subsystem, statically linked, importing only the system DLLs.
enable_language(RC)

set(SHELL_SOURCES
    src/startup/ansi_path.cpp
    src/startup/surroundings.cpp
    src/startup/system_function.cpp
    src/startup/launch_worker.cpp
    src/startup/log_file.cpp
    src/launch/child_process.cpp
    src/launch/child_watch.cpp
    src/launch/folder_identity.cpp
    src/launch/java_home_variable.cpp
    src/launch/path_exists.cpp
    src/launch/post_status.cpp
    src/launch/registry_scan.cpp
    src/launch/unregistered_runtimes.cpp
    src/launch/windows_platform.cpp
    src/ui/backdrop.cpp
    src/ui/display_dpi.cpp
    src/ui/error_message.cpp
    src/ui/install_offer.cpp
    src/ui/splash_window.cpp)
list(TRANSFORM SHELL_SOURCES PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/)

find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(ICON_FILE ${CMAKE_CURRENT_BINARY_DIR}/res/quarvel.ico)
add_custom_command(OUTPUT ${ICON_FILE}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/res
    COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/scripts/make_icon.py ${ICON_FILE}
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/scripts/make_icon.py
    COMMENT "Drawing the launcher icon")
execute_process(COMMAND git -C ${CMAKE_CURRENT_SOURCE_DIR} rev-parse --short=12 HEAD
    OUTPUT_VARIABLE LAUNCHER_COMMIT OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE commit_found ERROR_QUIET)
if(NOT commit_found EQUAL 0 OR LAUNCHER_COMMIT STREQUAL "")
    set(LAUNCHER_COMMIT unknown)
endif()
configure_file(res/version.h.in ${CMAKE_CURRENT_BINARY_DIR}/res/version.h @ONLY)
# The manifest goes into the file without its comments, indentation and XML declaration, which the
# system's reader does without and which would cost the file a block of its size budget. Its lines
# stay, so that the resource still reads as text.
set(MANIFEST_SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/res/launcher.manifest)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${MANIFEST_SOURCE})
file(READ ${MANIFEST_SOURCE} manifest)
string(REGEX REPLACE "<\\?xml[^>]*\\?>" "" manifest "${manifest}")
string(REGEX REPLACE "<!--[^>]*-->" "" manifest "${manifest}")
string(REGEX REPLACE "[ \t]*\n[ \t\n]*" "\n" manifest "${manifest}")
string(STRIP "${manifest}" manifest)
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/res/compact.manifest "${manifest}")
set(RESOURCE_FILE ${CMAKE_CURRENT_SOURCE_DIR}/res/launcher.rc)
set_source_files_properties(${RESOURCE_FILE} PROPERTIES OBJECT_DEPENDS
    "${ICON_FILE};${CMAKE_CURRENT_BINARY_DIR}/res/compact.manifest;${CMAKE_CURRENT_BINARY_DIR}/res/version.h")

# Two builds of one commit give the same bytes: the only time the file holds, the PE header's time
# stamp, is the last commit's (or SOURCE_DATE_EPOCH's when it is set), which the linker takes from
# SOURCE_DATE_EPOCH; the resources carry no time stamps, and nothing depends on the build folder.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(LAUNCHER_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
else()
    execute_process(COMMAND git -C ${CMAKE_CURRENT_SOURCE_DIR} log -1 --format=%ct
        OUTPUT_VARIABLE LAUNCHER_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
        RESULT_VARIABLE commit_date_found ERROR_QUIET)
    if(NOT commit_date_found EQUAL 0 OR LAUNCHER_SOURCE_DATE_EPOCH STREQUAL "")
        message(STATUS "No commit and no SOURCE_DATE_EPOCH: launcher.exe is stamped 1970-01-01")
        set(LAUNCHER_SOURCE_DATE_EPOCH 0)
    endif()
endif()

# No -fdata-sections: with it, zero-initialised buffers land in .data$ sections, which take room
# in the file, instead of in .bss, which takes none.
# The frame pointer is kept by default on i686 Windows; nothing here walks the stack. Windows calls
# 32-bit code with 4-byte stack alignment only, so keeping 16 is dead weight there.
# No frame may reach a page (4096 bytes): the stack grows page by page through its guard page, and
# a frame that large must touch each page in turn (a stack probe). With none that large, i686 needs
# no probes, and without them GCC pushes a call's arguments instead of storing each into a frame
# reserved for them, which takes a sixth of the code. The compiler refuses a frame that comes near.
set(SIZE_FLAGS -Oz -ffunction-sections -fno-asynchronous-unwind-tables -fno-unwind-tables
    -fno-threadsafe-statics -fomit-frame-pointer -fno-jump-tables -Wframe-larger-than=4000)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    list(APPEND SIZE_FLAGS -mpreferred-stack-boundary=2 -mno-stack-arg-probe
        -mno-accumulate-outgoing-args)
endif()
set(SYSTEM_LIBRARIES user32 gdi32 advapi32 shell32 kernel32)

# Everything but the entry, so that the Windows-side tests can link the same code.
add_library(launcher_code STATIC ${CORE_SOURCES} ${SHELL_SOURCES})
target_compile_options(launcher_code PRIVATE ${PRODUCT_FLAGS} ${SIZE_FLAGS})
target_include_directories(launcher_code PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/src)
target_include_directories(launcher_code PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/res)
target_link_libraries(launcher_code PUBLIC ${SYSTEM_LIBRARIES})

add_executable(launcher WIN32 src/startup/main.cpp ${RESOURCE_FILE})
target_compile_options(launcher PRIVATE
    $<$<COMPILE_LANGUAGE:CXX>:${PRODUCT_FLAGS} ${SIZE_FLAGS}>)
target_include_directories(launcher PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/res)
set_property(SOURCE ${RESOURCE_FILE} APPEND PROPERTY COMPILE_OPTIONS
    -I${CMAKE_CURRENT_BINARY_DIR}/res -I${CMAKE_CURRENT_SOURCE_DIR}/res)
# The same resources once more, for the bench's floor, which must pay for them as the launcher does.
add_library(launcher_resources OBJECT ${RESOURCE_FILE})
target_link_libraries(launcher PRIVATE launcher_code)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(C_SYMBOL_PREFIX _)  # i686 C symbols carry a leading underscore
else()
    set(C_SYMBOL_PREFIX "")
endif()
# How launcher.exe is linked: its own entry instead of the C runtime's start-up, nothing unused.
function(link_without_crt_startup target entry)
    target_link_options(${target} PRIVATE -static -s -nostartfiles
        -Wl,-e,${C_SYMBOL_PREFIX}${entry} -Wl,--gc-sections)
endfunction()
link_without_crt_startup(launcher launcherEntry)
set_property(TARGET launcher PROPERTY RULE_LAUNCH_LINK
    "${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${LAUNCHER_SOURCE_DATE_EPOCH}")

option(LAUNCHER_WINDOWS_TESTS "Build the tests that run under Wine" OFF)
option(LAUNCHER_RUN_WINDOWS_TESTS "Register them with CTest (off where Wine cannot run this build)"
    ON)
if(LAUNCHER_WINDOWS_TESTS)
    add_subdirectory(tests/windows)
endif()
add_subdirectory(tests/artifact)
add_subdirectory(tests/programs)
