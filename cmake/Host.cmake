# The host build: the simulated system, the program built against it, the
# tests, and the tools the cross builds use.
find_package(GTest REQUIRED)
include(GoogleTest)
enable_testing()

# The icon sizes as one text, for the tests that draw the icons as the build does.
string(REPLACE ";" " " ICON_SIZE_TEXT "${DORVANE_ICON_SIZES}")

file(GLOB WINSIM_SOURCES CONFIGURE_DEPENDS winsim/src/*.cpp)
file(GLOB TEST_SOURCES CONFIGURE_DEPENDS tests/host/*.cpp tests/support/*.cpp)

# add_host_suite(SUFFIX LABEL PREFIX [FLAGS...]): mkico, winsim, the program
# and the tests, compiled and linked with FLAGS; the targets' names end in
# SUFFIX and the tests carry LABEL. With a PREFIX each test is its own CTest
# test named PREFIX + its name; without one the whole binary is one CTest test
# (a sanitized process takes a while to start, so 113 of them would too).
function(add_host_suite suffix label prefix)
    set(flags ${ARGN})

    add_executable(mkico${suffix} tools/mkico.cpp)
    target_compile_options(mkico${suffix} PRIVATE ${flags})
    target_link_options(mkico${suffix} PRIVATE ${flags})

    # winsim: the Win32 stand-in.
    add_library(winsim${suffix} SHARED ${WINSIM_SOURCES})
    target_include_directories(winsim${suffix} PUBLIC winsim/include)
    target_compile_options(winsim${suffix} PRIVATE ${DORVANE_WARNINGS} ${flags})
    target_link_options(winsim${suffix} PRIVATE ${flags})
    # Parsed once for all its sources: the world that nearly every one of them includes.
    target_precompile_headers(winsim${suffix} PRIVATE winsim/src/world.h)

    # The program as a shared library, so that each test can start it from its
    # load image as a new process would.
    add_library(dorvane_program${suffix} SHARED ${DORVANE_SOURCES})
    target_include_directories(dorvane_program${suffix} PUBLIC src src/res)
    target_compile_options(dorvane_program${suffix} PRIVATE ${DORVANE_WARNINGS} ${flags})
    target_link_libraries(dorvane_program${suffix} PUBLIC winsim${suffix})
    target_link_options(dorvane_program${suffix} PRIVATE -Wl,-z,now -Wl,-z,relro ${flags})

    add_executable(dorvane_tests${suffix} ${TEST_SOURCES})
    target_include_directories(dorvane_tests${suffix} PRIVATE tests/support)
    # -fPIC: reach the program's globals through the GOT. A PIE would copy them into
    # the executable, out of reach of the program image's restore.
    target_compile_options(dorvane_tests${suffix} PRIVATE ${DORVANE_WARNINGS} -fPIC ${flags})
    target_link_options(dorvane_tests${suffix} PRIVATE ${flags})
    target_link_libraries(dorvane_tests${suffix} PRIVATE dorvane_program${suffix} winsim${suffix} GTest::gtest_main)
    # GoogleTest, winsim's headers and the scenarios' base, parsed once for all the tests.
    target_precompile_headers(dorvane_tests${suffix} PRIVATE tests/support/DriveScenario.h)
    target_compile_definitions(dorvane_tests${suffix} PRIVATE
        DORVANE_RC="${CMAKE_CURRENT_SOURCE_DIR}/src/res/Dorvane.rc"
        DORVANE_PROGRAM_LIBRARY="$<TARGET_FILE_NAME:dorvane_program${suffix}>"
        MKICO_PATH="$<TARGET_FILE:mkico${suffix}>"
        ICON_SOURCE_DIR="${CMAKE_CURRENT_SOURCE_DIR}/src/res/icons"
        ICON_SIZES="${ICON_SIZE_TEXT}"
        HELP_DIR="${CMAKE_CURRENT_SOURCE_DIR}/help"
        EXPECT_DIR="${CMAKE_CURRENT_SOURCE_DIR}/tests/expect")
    add_dependencies(dorvane_tests${suffix} mkico${suffix})
    if(prefix)
        gtest_discover_tests(dorvane_tests${suffix} TEST_PREFIX "${prefix}" PROPERTIES LABELS ${label} DISCOVERY_TIMEOUT 30)
    else()
        add_test(NAME host-suite${suffix} COMMAND dorvane_tests${suffix})
        set_tests_properties(host-suite${suffix} PROPERTIES LABELS ${label} TIMEOUT 300)
    endif()
endfunction()

add_host_suite("" host "host.")
# The same suite under AddressSanitizer and UndefinedBehaviorSanitizer: the
# program fills fixed-size buffers, and an overrun that no assertion sees
# still fails its test. Every report ends the test (leak checking is set in
# tests/support/SanitizerOptions.cpp).
set(DORVANE_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
add_host_suite(_asan host-asan "" ${DORVANE_SANITIZE})

# The reliability checks: the fault sweep, the random user and the fuzz targets.
add_subdirectory(tests/reliability)

# The end-to-end checks, in a folder of their own (build/host/e2e), where CTest runs them alone too.
add_subdirectory(e2e)

# The shipped files built a second time in another folder must come out byte for byte the same.
if(DORVANE_WINDOWS_BUILD AND DORVANE_WINDOWS_BUILD_X86 AND DORVANE_SETUP AND DORVANE_SETUP_AMD64)
    add_test(NAME build.reproducible COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tools/check_reproducible.sh
        ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_BINARY_DIR}/reproducible $<TARGET_FILE:mkico>
        ${DORVANE_WINDOWS_BUILD} ${DORVANE_WINDOWS_BUILD_X86} ${DORVANE_SETUP} ${DORVANE_SETUP_AMD64})
    # The longest and busiest test: it starts first and, building with two jobs, takes two of CTest's slots.
    set_tests_properties(build.reproducible PROPERTIES LABELS build TIMEOUT 900 COST 300 PROCESSORS 2)
endif()
