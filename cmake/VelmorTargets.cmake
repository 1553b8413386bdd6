# Helpers that keep the per-folder CMakeLists to one line each.

# velmor_library(name DEPS dep...): a static library of every .cpp in the
# current folder (and its subfolders), include root src/.
function(velmor_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(srcs)
    add_library(${name} STATIC ${srcs})
    target_include_directories(${name} PUBLIC $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/src>
                                              $<INSTALL_INTERFACE:include/velmor>)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS} PRIVATE velmor_warnings)
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/src>
                                                 $<INSTALL_INTERFACE:include/velmor>)
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# velmor_unit_tests(name [DIR dir] LIBS lib... [LABEL label]): one GoogleTest
# binary of every .cpp in dir (default: the current folder); each case
# becomes a CTest test.
function(velmor_unit_tests name)
  cmake_parse_arguments(ARG "" "LABEL;DIR" "LIBS" ${ARGN})
  if(NOT ARG_DIR)
    set(ARG_DIR .)
  endif()
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${ARG_DIR}/*.cpp)
  if(NOT srcs)
    return()
  endif()
  if(NOT ARG_LABEL)
    set(ARG_LABEL unit)
  endif()
  add_executable(${name} ${srcs})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} velmor_test_support GTest::gtest GTest::gtest_main velmor_warnings)
  gtest_discover_tests(${name} PROPERTIES LABELS ${ARG_LABEL} DISCOVERY_TIMEOUT 60)
endfunction()

# add_velmor_model(model): the model's library lives in models/<model>;
# this adds the executable bin/<model>_sim from the shared main.
function(add_velmor_model model)
  add_executable(${model}_sim ${PROJECT_SOURCE_DIR}/apps/sim_main.cpp)
  target_link_libraries(${model}_sim PRIVATE simulator ${model} velmor_warnings)
  add_executable(${model}_pvtypes ${PROJECT_SOURCE_DIR}/apps/pvtypes_main.cpp)
  target_link_libraries(${model}_pvtypes PRIVATE ${model} velmor_warnings)
endfunction()
