# ardeno_add_module(name SOURCES ... LIBS ...): a part of the program that
# pulls in large libraries, built as lib<name>.so and loaded on first use by
# ModuleLoader. It goes next to the executables in the build and to
# lib/ardeno-creator/ when installed (where ModuleLoader looks for it).
function(ardeno_add_module name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} MODULE ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ardeno_compile_options ${ARG_LIBS})
  # Nothing undefined, so it cannot lean on code in the program; the
  # sanitizer builds of the fuzzers leave the sanitizer runtime to the
  # executable.
  if(NOT ARDENO_FUZZ)
    target_link_options(${name} PRIVATE -Wl,--no-undefined)
  endif()
  # Debian wants every shared object to name libc, even one that calls
  # nothing in it itself (its libraries and libstdc++ do), so --as-needed
  # must not drop it.
  target_link_options(${name} PRIVATE LINKER:--no-as-needed)
  set_target_properties(${name} PROPERTIES
      LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin
      CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  install(TARGETS ${name} LIBRARY DESTINATION lib/ardeno-creator)
endfunction()
