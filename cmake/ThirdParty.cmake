# Third-party libraries: Debian's -dev packages natively; for Windows, the
# libraries scripts/build-thirdparty builds from Debian's sources into a cache.
if(WIN32)
  set(NUDGELET_THIRDPARTY "" CACHE PATH "Prefix of the Windows third-party build (default: run scripts/build-thirdparty)")
  if(NOT NUDGELET_THIRDPARTY)
    execute_process(
      COMMAND ${PROJECT_SOURCE_DIR}/scripts/build-thirdparty
      OUTPUT_VARIABLE _tp_out OUTPUT_STRIP_TRAILING_WHITESPACE
      RESULT_VARIABLE _tp_rc)
    if(NOT _tp_rc EQUAL 0)
      message(FATAL_ERROR "scripts/build-thirdparty failed (${_tp_rc})")
    endif()
    string(REGEX REPLACE ".*\n" "" _tp_out "${_tp_out}")
    set(NUDGELET_THIRDPARTY "${_tp_out}" CACHE PATH "" FORCE)
  endif()
  message(STATUS "Windows third-party libraries: ${NUDGELET_THIRDPARTY}")
  set(_tp ${NUDGELET_THIRDPARTY})

  add_library(nudgelet_zlib STATIC IMPORTED)
  set_target_properties(nudgelet_zlib PROPERTIES IMPORTED_LOCATION /usr/x86_64-w64-mingw32/lib/libz.a)

  add_library(nudgelet_png STATIC IMPORTED)
  set_target_properties(nudgelet_png PROPERTIES
    IMPORTED_LOCATION ${_tp}/lib/libpng16.a
    INTERFACE_INCLUDE_DIRECTORIES ${_tp}/include
    INTERFACE_LINK_LIBRARIES nudgelet_zlib)

  foreach(_lib gtest gtest_main gmock)
    add_library(nudgelet_${_lib} STATIC IMPORTED)
    set_target_properties(nudgelet_${_lib} PROPERTIES
      IMPORTED_LOCATION ${_tp}/lib/lib${_lib}.a
      INTERFACE_INCLUDE_DIRECTORIES ${_tp}/include)
  endforeach()
  set_target_properties(nudgelet_gtest_main PROPERTIES INTERFACE_LINK_LIBRARIES nudgelet_gtest)
  set_target_properties(nudgelet_gmock PROPERTIES INTERFACE_LINK_LIBRARIES nudgelet_gtest)

  set(NUDGELET_SQLITE_DLL ${_tp}/bin/sqlite3.dll)
else()
  find_package(GTest REQUIRED)
  find_package(PNG REQUIRED)
  find_package(ZLIB REQUIRED)
  add_library(nudgelet_zlib INTERFACE)
  target_link_libraries(nudgelet_zlib INTERFACE ZLIB::ZLIB)
  add_library(nudgelet_png INTERFACE)
  target_link_libraries(nudgelet_png INTERFACE PNG::PNG)
  add_library(nudgelet_gtest INTERFACE)
  target_link_libraries(nudgelet_gtest INTERFACE GTest::gtest)
  add_library(nudgelet_gtest_main INTERFACE)
  target_link_libraries(nudgelet_gtest_main INTERFACE GTest::gtest_main)
  add_library(nudgelet_gmock INTERFACE)
  target_link_libraries(nudgelet_gmock INTERFACE GTest::gmock)
endif()
