# Skin packages are Qt binary resource files made by Qt's rcc, a host tool in
# both trees.
find_program(NUDGELET_RCC rcc PATHS /usr/lib/qt5/bin /usr/lib/qt6/libexec NO_DEFAULT_PATH)
find_program(NUDGELET_RCC rcc)

# nudgelet_rcc_package(<output.rcc> <input.qrc> [RCC_OPTIONS ...] [DEPENDS files...])
# Builds a binary package at build time; the files the .qrc names go in DEPENDS.
function(nudgelet_rcc_package output qrc)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "" "RCC_OPTIONS;DEPENDS")
  if(NOT NUDGELET_RCC)
    message(FATAL_ERROR "Qt's rcc was not found (Debian package qtbase5-dev-tools)")
  endif()
  get_filename_component(_dir ${output} DIRECTORY)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_dir}
    COMMAND ${NUDGELET_RCC} -binary ${arg_RCC_OPTIONS} ${qrc} -o ${output}
    DEPENDS ${qrc} ${arg_DEPENDS}
    VERBATIM)
endfunction()
