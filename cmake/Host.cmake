# The host build: the simulated system, the program built against it, the
# tests, and the tools the cross builds use.
find_package(GTest REQUIRED)
include(GoogleTest)
enable_testing()

add_executable(mkico tools/mkico.cpp)

# winsim: the Win32 stand-in.
file(GLOB WINSIM_SOURCES CONFIGURE_DEPENDS winsim/src/*.cpp)
add_library(winsim SHARED ${WINSIM_SOURCES})
target_include_directories(winsim PUBLIC winsim/include)
target_compile_options(winsim PRIVATE ${DORVANE_WARNINGS})

# The program as a shared library, so that each test can start it from its
# load image as a new process would.
add_library(dorvane_program SHARED ${DORVANE_SOURCES})
target_include_directories(dorvane_program PUBLIC src src/res)
target_compile_options(dorvane_program PRIVATE ${DORVANE_WARNINGS})
target_link_libraries(dorvane_program PUBLIC winsim)
target_link_options(dorvane_program PRIVATE -Wl,-z,now -Wl,-z,relro)

file(GLOB TEST_SOURCES CONFIGURE_DEPENDS tests/host/*.cpp tests/support/*.cpp)
add_executable(dorvane_tests ${TEST_SOURCES})
target_include_directories(dorvane_tests PRIVATE tests/support)
# -fPIC: reach the program's globals through the GOT. A PIE would copy them into
# the executable, out of reach of the program image's restore.
target_compile_options(dorvane_tests PRIVATE ${DORVANE_WARNINGS} -fPIC)
target_link_libraries(dorvane_tests PRIVATE dorvane_program winsim GTest::gtest_main)
target_compile_definitions(dorvane_tests PRIVATE
    DORVANE_RC="${CMAKE_CURRENT_SOURCE_DIR}/src/res/Dorvane.rc"
    MKICO_PATH="$<TARGET_FILE:mkico>"
    ICON_SOURCE_DIR="${CMAKE_CURRENT_SOURCE_DIR}/src/res/icons")
add_dependencies(dorvane_tests mkico)
gtest_discover_tests(dorvane_tests PROPERTIES LABELS host DISCOVERY_TIMEOUT 30)

# End to end: the cross-built x64 program under Wine.
set(DORVANE_WINDOWS_BUILD "" CACHE PATH "build folder of the x64 Windows programs, for the end-to-end checks")
if(DORVANE_WINDOWS_BUILD)
    file(GLOB E2E_SCENARIOS CONFIGURE_DEPENDS e2e/scenarios/*.sh)
    foreach(scenario ${E2E_SCENARIOS})
        get_filename_component(name ${scenario} NAME_WE)
        add_test(NAME e2e.${name} COMMAND bash ${scenario})
        set_tests_properties(e2e.${name} PROPERTIES
            LABELS e2e
            TIMEOUT 180
            ENVIRONMENT "DORVANE_BIN=${DORVANE_WINDOWS_BUILD};E2E_WORK=${CMAKE_CURRENT_BINARY_DIR}/e2e;E2E_DRIVER=${CMAKE_CURRENT_SOURCE_DIR}/e2e/driver")
    endforeach()
endif()
