# The Windows screensaver ladoslov.scr: the core with the Win32 services and view, linked statically so
# that it needs no DLL beyond the system's.
enable_language(RC)
add_compile_definitions(UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0A00)
add_link_options(-static -static-libgcc -static-libstdc++)
target_link_options(ladoslov-cells PRIVATE -static -static-libgcc -static-libstdc++)
find_program(LADOSLOV_IMAGEMAGICK convert PATHS /usr/bin NO_DEFAULT_PATH REQUIRED)
find_package(Python3 REQUIRED COMPONENTS Interpreter)

# Cursors and the icon as Windows resources, made from the shared PNG pictures.
set(LADOSLOV_WIN_RES ${CMAKE_BINARY_DIR}/res)
set(LADOSLOV_WIN_RES_FILES)
foreach(cursor cursor_a cursor_b)
  add_custom_command(OUTPUT ${LADOSLOV_WIN_RES}/${cursor}.cur
    COMMAND ${CMAKE_COMMAND} -E make_directory ${LADOSLOV_WIN_RES}
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/cmake/png_to_cur.py ${LADOSLOV_IMAGEMAGICK}
            ${CMAKE_SOURCE_DIR}/res/cursors/${cursor}.png ${LADOSLOV_WIN_RES}/${cursor}.cur 16 16
    DEPENDS ${CMAKE_SOURCE_DIR}/res/cursors/${cursor}.png ${CMAKE_SOURCE_DIR}/cmake/png_to_cur.py)
  list(APPEND LADOSLOV_WIN_RES_FILES ${LADOSLOV_WIN_RES}/${cursor}.cur)
endforeach()
add_custom_command(OUTPUT ${LADOSLOV_WIN_RES}/ladoslov.ico
  COMMAND ${CMAKE_COMMAND} -E make_directory ${LADOSLOV_WIN_RES}
  COMMAND ${LADOSLOV_IMAGEMAGICK} ${CMAKE_SOURCE_DIR}/res/icons/ladoslov-32.png
          ${CMAKE_SOURCE_DIR}/res/icons/ladoslov-16.png ICO:${LADOSLOV_WIN_RES}/ladoslov.ico
  DEPENDS ${CMAKE_SOURCE_DIR}/res/icons/ladoslov-32.png ${CMAKE_SOURCE_DIR}/res/icons/ladoslov-16.png)
list(APPEND LADOSLOV_WIN_RES_FILES ${LADOSLOV_WIN_RES}/ladoslov.ico)
set_source_files_properties(src/win32/ladoslov.rc PROPERTIES
  OBJECT_DEPENDS "${LADOSLOV_WIN_RES_FILES};${CMAKE_SOURCE_DIR}/src/win32/ladoslov.manifest")

file(GLOB LADOSLOV_WIN32_SOURCES CONFIGURE_DEPENDS src/win32/*.cpp)
list(REMOVE_ITEM LADOSLOV_WIN32_SOURCES ${CMAKE_SOURCE_DIR}/src/win32/main.cpp)
add_library(ladoslov_win32 STATIC ${LADOSLOV_WIN32_SOURCES})
target_link_libraries(ladoslov_win32 PUBLIC ladoslov_core gdiplus comctl32 winmm shlwapi ole32 PRIVATE ladoslov_warnings)

add_executable(ladoslov WIN32 src/win32/main.cpp src/win32/ladoslov.rc)
target_include_directories(ladoslov PRIVATE ${LADOSLOV_WIN_RES} ${CMAKE_SOURCE_DIR})
target_link_libraries(ladoslov PRIVATE ladoslov_win32 ladoslov_warnings)
set_target_properties(ladoslov PROPERTIES SUFFIX .scr)

foreach(folder Data muz)
  list(APPEND LADOSLOV_WIN_COPIES COMMAND ${CMAKE_COMMAND} -E rm -rf ${CMAKE_BINARY_DIR}/${folder}
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/${folder} ${CMAKE_BINARY_DIR}/${folder})
endforeach()
add_custom_target(ladoslov_runtime_data ALL ${LADOSLOV_WIN_COPIES})

# The core's unit tests on fakes, as a Windows program (run under wine by scripts/test-windows.sh).
if(LADOSLOV_TESTS)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  file(GLOB LADOSLOV_CORE_TESTS CONFIGURE_DEPENDS tests/fakes/*.cpp tests/shell/*_test.cpp tests/calendar/*_test.cpp
    tests/church/*_test.cpp tests/namedays/*_test.cpp tests/screen/*_test.cpp tests/music/*_test.cpp)
  file(GLOB LADOSLOV_WIN32_TESTS CONFIGURE_DEPENDS tests/win32/*_test.cpp)
  add_executable(ladoslov_tests ${LADOSLOV_CORE_TESTS})
  target_include_directories(ladoslov_tests PRIVATE tests)
  target_compile_definitions(ladoslov_tests PRIVATE LADOSLOV_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  target_link_libraries(ladoslov_tests PRIVATE ladoslov_core ladoslov_warnings gtest gtest_main)
  if(LADOSLOV_WIN32_TESTS)
    add_executable(ladoslov_win32_tests ${LADOSLOV_WIN32_TESTS} src/win32/ladoslov.rc)
    target_include_directories(ladoslov_win32_tests PRIVATE tests ${LADOSLOV_WIN_RES} ${CMAKE_SOURCE_DIR})
    target_compile_definitions(ladoslov_win32_tests PRIVATE LADOSLOV_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
    target_link_libraries(ladoslov_win32_tests PRIVATE ladoslov_win32 ladoslov_warnings gtest gtest_main)
  endif()
  # The system's screensaver dialog, which wine lacks: the preview pane and the Settings button's owner.
  add_executable(ladoslov_preview_host tests/win32/preview_host.cpp)
  set_target_properties(ladoslov_preview_host PROPERTIES OUTPUT_NAME preview_host)
  target_link_options(ladoslov_preview_host PRIVATE -municode)
  target_link_libraries(ladoslov_preview_host PRIVATE gdi32 ladoslov_warnings)
endif()

# The baseline of the start-up benchmark under wine (bench/wine_startup_bench.sh).
if(LADOSLOV_BENCHMARKS)
  add_executable(win32_minimal_window WIN32 bench/win32_minimal_window.cpp)
  target_link_libraries(win32_minimal_window PRIVATE ladoslov_warnings)
endif()
