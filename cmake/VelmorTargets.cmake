# Helpers that keep each CMakeLists to one call per library, test binary and
# model. Every source is listed by name.
#
# Include folders: a library in folder <dir> is reached as "<dir>/X.h". The
# build gives each library an include root of its own that holds only
# <dir> (a link to the source folder), so a target sees the headers of the
# libraries it depends on and no others: an include from outside its
# dependencies fails to compile.

# velmor_include_root(var dir): makes the include root that exposes folder
# dir as "<name of dir>/" and stores its path in var.
function(velmor_include_root var dir)
  get_filename_component(folder ${dir} NAME)
  set(root ${CMAKE_BINARY_DIR}/include/${folder})
  file(MAKE_DIRECTORY ${root})
  file(REMOVE ${root}/${folder})
  file(CREATE_LINK ${dir} ${root}/${folder} SYMBOLIC)
  set(${var} ${root} PARENT_SCOPE)
endfunction()

# velmor_library(NAME name [SOURCES file...] [DEPS target...]
#                [INCLUDE_ROOT dir]): a static library of the listed
# sources (header-only when there are none). Its headers are reached as
# "<folder>/X.h" unless INCLUDE_ROOT names the folder to put on the include
# path instead (for test support and apps, whose headers are reached by
# their bare names).
function(velmor_library)
  cmake_parse_arguments(ARG "" "NAME;INCLUDE_ROOT" "SOURCES;DEPS" ${ARGN})
  if(ARG_INCLUDE_ROOT)
    get_filename_component(root ${ARG_INCLUDE_ROOT} ABSOLUTE)
  else()
    velmor_include_root(root ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  # Installed, every library's headers sit under include/velmor/<folder>.
  if(ARG_SOURCES)
    add_library(${ARG_NAME} STATIC ${ARG_SOURCES})
    target_include_directories(${ARG_NAME} PUBLIC $<BUILD_INTERFACE:${root}>
                                                  $<INSTALL_INTERFACE:include/velmor>)
    target_link_libraries(${ARG_NAME} PUBLIC ${ARG_DEPS} PRIVATE velmor_warnings)
  else()
    add_library(${ARG_NAME} INTERFACE)
    target_include_directories(${ARG_NAME} INTERFACE $<BUILD_INTERFACE:${root}>
                                                     $<INSTALL_INTERFACE:include/velmor>)
    target_link_libraries(${ARG_NAME} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# velmor_test(NAME name SOURCES file... LIBS target... [LABEL label]): one
# GoogleTest binary in build/tests; each case becomes a CTest test with the
# label (default: unit).
function(velmor_test)
  cmake_parse_arguments(ARG "" "NAME;LABEL" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_LABEL)
    set(ARG_LABEL unit)
  endif()
  add_executable(${ARG_NAME} ${ARG_SOURCES})
  set_target_properties(${ARG_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${ARG_NAME} PRIVATE ${ARG_LIBS} velmor_test_support GTest::gtest
                        GTest::gtest_main velmor_warnings)
  gtest_discover_tests(${ARG_NAME} PROPERTIES LABELS ${ARG_LABEL} DISCOVERY_TIMEOUT 60)
endfunction()

# velmor_add_model (models from a model file or from sources) is in
# VelmorModel.cmake, shared with the installed package.
