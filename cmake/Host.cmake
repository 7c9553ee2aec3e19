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

# The harness calls Wine's loaders by name (e2e/driver/wine_halves.sh), never the scripts that pick
# a half by what is installed; this finds such calls without running anything.
add_test(NAME e2e.named_loaders COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/driver/check_loaders.sh
    ${CMAKE_CURRENT_SOURCE_DIR})
set_tests_properties(e2e.named_loaders PROPERTIES LABELS e2e TIMEOUT 30)

# End to end: the cross-built programs under Wine. Every scenario runs the x64 build; one that carries
# a line "# builds: x64 x86" runs the x86 build too (e2e.x86.<name>), which reports itself skipped
# where this machine cannot run 32-bit Windows programs. One with a line "# arguments: A B" runs once
# for each argument (e2e.<name>_A ...). CTest may run them side by side (ctest -j): each has its own
# X display and Wine prefix.
set(DORVANE_WINDOWS_BUILD "" CACHE PATH "build folder of the x64 Windows programs, for the end-to-end checks")
set(DORVANE_WINDOWS_BUILD_X86 "" CACHE PATH "build folder of the x86 Windows programs, for the end-to-end checks")
set(DORVANE_SETUP "" CACHE FILEPATH "the setup program, for the installer checks")
set(DORVANE_SETUP_AMD64 "" CACHE FILEPATH "the same setup built as a 64-bit program, for a Wine without its 32-bit half")
if(DORVANE_WINDOWS_BUILD)
    set(E2E_ENVIRONMENT "E2E_WORK=${CMAKE_CURRENT_BINARY_DIR}/e2e;E2E_DRIVER=${CMAKE_CURRENT_SOURCE_DIR}/e2e/driver;DORVANE_SETUP=${DORVANE_SETUP};DORVANE_SETUP_AMD64=${DORVANE_SETUP_AMD64}")
    file(GLOB E2E_SCENARIOS CONFIGURE_DEPENDS e2e/scenarios/*.sh)
    foreach(scenario ${E2E_SCENARIOS})
        get_filename_component(name ${scenario} NAME_WE)
        set(builds "x64;${DORVANE_WINDOWS_BUILD}")
        file(STRINGS ${scenario} both REGEX "^# builds:.*x86")
        if(both AND DORVANE_WINDOWS_BUILD_X86)
            list(APPEND builds "x86;${DORVANE_WINDOWS_BUILD_X86}")
        endif()
        file(STRINGS ${scenario} arguments REGEX "^# arguments: ")
        string(REGEX REPLACE "^# arguments: " "" arguments "${arguments}")
        separate_arguments(arguments)
        if(NOT arguments)
            set(arguments "-")
        endif()
        while(builds)
            list(POP_FRONT builds arch folder)
            foreach(argument ${arguments})
                set(test e2e.${name})
                if(arch STREQUAL "x86")
                    set(test e2e.x86.${name})
                endif()
                if(argument STREQUAL "-")
                    add_test(NAME ${test} COMMAND bash ${scenario})
                else()
                    set(test ${test}_${argument})
                    add_test(NAME ${test} COMMAND bash ${scenario} ${argument})
                endif()
                # COST: the scenarios start before the quick host tests when CTest runs several at once.
                set_tests_properties(${test} PROPERTIES LABELS e2e TIMEOUT 180 SKIP_RETURN_CODE 77 COST 30
                    ENVIRONMENT "DORVANE_BIN=${folder};DORVANE_ARCH=${arch};${E2E_ENVIRONMENT}")
            endforeach()
        endwhile()
    endforeach()
endif()

# The shipped files built a second time in another folder must come out byte for byte the same.
if(DORVANE_WINDOWS_BUILD AND DORVANE_WINDOWS_BUILD_X86 AND DORVANE_SETUP AND DORVANE_SETUP_AMD64)
    add_test(NAME build.reproducible COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tools/check_reproducible.sh
        ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_BINARY_DIR}/reproducible $<TARGET_FILE:mkico>
        ${DORVANE_WINDOWS_BUILD} ${DORVANE_WINDOWS_BUILD_X86} ${DORVANE_SETUP} ${DORVANE_SETUP_AMD64})
    # The longest and busiest test: it starts first and, building with two jobs, takes two of CTest's slots.
    set_tests_properties(build.reproducible PROPERTIES LABELS build TIMEOUT 900 COST 300 PROCESSORS 2)
endif()
