# The real Windows programs, cross-built with MinGW-w64 (or built natively).
enable_language(RC)

# The icon and bitmap converter runs on the build machine. Building natively it is
# built here; cross-building, the host build provides it.
if(CMAKE_CROSSCOMPILING)
    set(DORVANE_MKICO "" CACHE FILEPATH "mkico built for the build machine")
    if(NOT DORVANE_MKICO)
        message(FATAL_ERROR "Cross-building needs -DDORVANE_MKICO=<host build>/mkico (see the Makefile)")
    endif()
    set(MKICO_COMMAND ${DORVANE_MKICO})
else()
    add_executable(mkico tools/mkico.cpp)
    set(MKICO_COMMAND mkico)
endif()

set(ICON_DIR ${CMAKE_CURRENT_BINARY_DIR}/icons)
set(ICON_SOURCE_DIR ${CMAKE_CURRENT_SOURCE_DIR}/src/res/icons)
set(ICON_FILES)
foreach(icon ${DORVANE_ICONS})
    set(sources ${ICON_SOURCE_DIR}/${icon}.xpm)
    foreach(size ${DORVANE_ICON_SIZES})
        if(size EQUAL 32)
            list(APPEND sources ${ICON_SOURCE_DIR}/${icon}.xpm)
        else()
            list(APPEND sources ${ICON_SOURCE_DIR}/${icon}_${size}.xpm)
        endif()
    endforeach()
    add_custom_command(
        OUTPUT ${ICON_DIR}/${icon}.ico
        COMMAND ${CMAKE_COMMAND} -E make_directory ${ICON_DIR}
        COMMAND ${MKICO_COMMAND} ico ${ICON_DIR}/${icon}.ico ${sources}
        DEPENDS ${sources} ${MKICO_COMMAND}
        COMMENT "Drawing ${icon}.ico")
    list(APPEND ICON_FILES ${ICON_DIR}/${icon}.ico)
endforeach()
add_custom_target(dorvane_icons DEPENDS ${ICON_FILES})

# The menu pictures: 4-bit bitmaps without transparency.
set(BITMAP_SOURCE_DIR ${CMAKE_CURRENT_SOURCE_DIR}/src/res/bitmaps)
set(BITMAP_DIR ${CMAKE_CURRENT_BINARY_DIR}/bitmaps)
set(BITMAP_FILES)
foreach(bitmap ${DORVANE_BITMAPS})
    add_custom_command(
        OUTPUT ${BITMAP_DIR}/${bitmap}.bmp
        COMMAND ${CMAKE_COMMAND} -E make_directory ${BITMAP_DIR}
        COMMAND ${MKICO_COMMAND} bmp ${BITMAP_SOURCE_DIR}/${bitmap}.xpm ${BITMAP_DIR}/${bitmap}.bmp
        DEPENDS ${BITMAP_SOURCE_DIR}/${bitmap}.xpm ${MKICO_COMMAND}
        COMMENT "Drawing ${bitmap}.bmp")
    list(APPEND BITMAP_FILES ${BITMAP_DIR}/${bitmap}.bmp)
endforeach()
add_custom_target(dorvane_bitmaps DEPENDS ${BITMAP_FILES})

# Small, self-contained executables that import only system DLLs. Each source includes the few
# headers beyond the core of <windows.h> it needs: the rest would only take time to compile.
set(WINDOWS_COMPILE_OPTIONS -Os -ffunction-sections -fdata-sections -DWIN32_LEAN_AND_MEAN ${DORVANE_WARNINGS})
set(WINDOWS_LINK_OPTIONS -static -s -Wl,--gc-sections)
# The same sources give the same bytes wherever and whenever they are built: no link time in the
# PE header, no folder names of this machine in the code.
list(APPEND WINDOWS_COMPILE_OPTIONS -ffile-prefix-map=${CMAKE_CURRENT_SOURCE_DIR}=. -ffile-prefix-map=${CMAKE_CURRENT_BINARY_DIR}=build)
list(APPEND WINDOWS_LINK_OPTIONS -Wl,--no-insert-timestamp)

add_executable(Dorvane WIN32 ${DORVANE_SOURCES} src/res/Dorvane.rc)
add_dependencies(Dorvane dorvane_icons dorvane_bitmaps)
target_include_directories(Dorvane PRIVATE src src/res ${ICON_DIR} ${BITMAP_DIR})
target_compile_options(Dorvane PRIVATE ${WINDOWS_COMPILE_OPTIONS} $<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions -fno-rtti>)
target_link_options(Dorvane PRIVATE ${WINDOWS_LINK_OPTIONS})
# The DLLs that only later work needs (the common controls of Options, MCI, the file-open dialog) are
# loaded at their first call, by the same name search as an import: the icon comes sooner, and a
# program that has not needed them yet does not hold them. Only in the 64-bit build: binutils 2.40's
# dlltool leaves a 32-bit delay-load table empty, so a first call there would jump to address 0.
if(CMAKE_SIZEOF_VOID_P EQUAL 8 AND CMAKE_DLLTOOL)
    set(DELAYED_CALLS "comctl32:InitCommonControls" "winmm:mciSendStringA,mciGetErrorStringA" "comdlg32:GetOpenFileNameW")
    set(DELAYED_LIBRARIES)
    foreach(entry ${DELAYED_CALLS})
        string(REPLACE ":" ";" parts ${entry})
        list(GET parts 0 dll)
        list(GET parts 1 calls)
        string(REPLACE "," "\n" calls ${calls})
        set(library ${CMAKE_CURRENT_BINARY_DIR}/delayed/lib${dll}_delayed.a)
        file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/delayed/${dll}.def "LIBRARY ${dll}.dll\nEXPORTS\n${calls}\n")
        add_custom_command(OUTPUT ${library}
            COMMAND ${CMAKE_DLLTOOL} --input-def ${CMAKE_CURRENT_BINARY_DIR}/delayed/${dll}.def --output-delaylib ${library}
            DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/delayed/${dll}.def
            COMMENT "Delay-load library for ${dll}.dll")
        list(APPEND DELAYED_LIBRARIES ${library})
    endforeach()
    add_custom_target(dorvane_delayed DEPENDS ${DELAYED_LIBRARIES})
    add_dependencies(Dorvane dorvane_delayed)
    target_link_libraries(Dorvane PRIVATE ${DELAYED_LIBRARIES} shell32 gdi32)
else()
    target_link_libraries(Dorvane PRIVATE comctl32 shell32 gdi32 winmm)
endif()
set_source_files_properties(src/res/Dorvane.rc PROPERTIES OBJECT_DEPENDS
    "${ICON_FILES};${BITMAP_FILES};${CMAKE_CURRENT_SOURCE_DIR}/src/res/Dorvane.manifest")

add_executable(Ambergate WIN32 companion/Ambergate.c)
target_compile_options(Ambergate PRIVATE ${WINDOWS_COMPILE_OPTIONS})
target_link_options(Ambergate PRIVATE ${WINDOWS_LINK_OPTIONS})

# The end-to-end checks' inspection tool runs inside the Wine prefix.
if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/e2e/driver/wininspect.c)
    add_executable(wininspect e2e/driver/wininspect.c e2e/driver/wininspect_windows.c e2e/driver/wininspect_reg.c
        e2e/driver/wininspect_res.c e2e/driver/wininspect_menu.c e2e/driver/wininspect_inject.c)
    target_compile_options(wininspect PRIVATE ${WINDOWS_COMPILE_OPTIONS})
    target_link_options(wininspect PRIVATE ${WINDOWS_LINK_OPTIONS})
    target_link_libraries(wininspect PRIVATE comctl32)
    # Hooked into a program, the tool's file is loaded there as a module, and Wine (8.0) does not
    # apply an .exe's relocations then. x64 code reaches its data relative to itself; 32-bit code by
    # absolute addresses, so the 32-bit tool asks for a base of its own, away from the programs'
    # (0x400000), and runs at it.
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        target_link_options(wininspect PRIVATE -Wl,--image-base,0x20000000)
    endif()
endif()

# The virtual CD drive of the end-to-end checks: an MCI cdaudio driver, a tool that sends MCI strings and one
# that tells the programs a disc came or went.
if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/e2e/vcd/vcdmci.c)
    add_library(vcdmci SHARED e2e/vcd/vcdmci.c e2e/vcd/vcdmove.c e2e/vcd/vcdstate.c)
    set_target_properties(vcdmci PROPERTIES PREFIX "")
    target_compile_options(vcdmci PRIVATE ${WINDOWS_COMPILE_OPTIONS})
    # winmm looks the entry point up as plain "DriverProc", without the x86 stdcall decoration.
    target_link_options(vcdmci PRIVATE ${WINDOWS_LINK_OPTIONS} -Wl,--kill-at)
    target_link_libraries(vcdmci PRIVATE winmm)
    add_executable(vcdsend e2e/vcd/vcdsend.c)
    target_compile_options(vcdsend PRIVATE ${WINDOWS_COMPILE_OPTIONS})
    target_link_options(vcdsend PRIVATE ${WINDOWS_LINK_OPTIONS})
    target_link_libraries(vcdsend PRIVATE winmm)
    add_executable(vcdnotify e2e/vcd/vcdnotify.c e2e/vcd/vcdstate.c)
    target_compile_options(vcdnotify PRIVATE ${WINDOWS_COMPILE_OPTIONS})
    target_link_options(vcdnotify PRIVATE ${WINDOWS_LINK_OPTIONS})
endif()
