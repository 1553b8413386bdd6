# velmor_add_model(NAME name MODEL file): generates the C++ of the model
# file at build time (velmor generate) and builds the library <name>, the
# simulator <name>_sim and the type-file writer <name>_pvtypes. The same
# function serves the models in this tree and, through find_package(Velmor),
# a user's own project. In this tree, velmor_add_model(NAME name SOURCES
# file...) builds a model written in C++ instead (its headers reached as
# "<folder>/X.h"). It reads:
#   VELMOR_TOOL         the velmor executable (a target or a path)
#   VELMOR_SIM_MAIN     sim_main.cpp
#   VELMOR_PVTYPES_MAIN the type-file writer's sources (pvtypes/main.cpp first)
#   VELMOR_MODEL_LIBS   what a model library links (modelkit and below)
#   VELMOR_SIM_LIBS     what a simulator links besides the model
function(velmor_add_model)
  cmake_parse_arguments(ARG "" "NAME;MODEL" "SOURCES" ${ARGN})
  if(NOT ARG_NAME OR (NOT ARG_MODEL AND NOT ARG_SOURCES))
    message(FATAL_ERROR "velmor_add_model needs NAME and MODEL (or SOURCES)")
  endif()
  if(ARG_SOURCES)
    velmor_library(NAME ${ARG_NAME} SOURCES ${ARG_SOURCES} DEPS ${VELMOR_MODEL_LIBS})
    velmor_model_executables(${ARG_NAME})
    return()
  endif()
  get_filename_component(model_file "${ARG_MODEL}" ABSOLUTE)
  set(out_dir "${CMAKE_CURRENT_BINARY_DIR}/${ARG_NAME}_generated")
  set(base "${ARG_NAME}_model")
  add_custom_command(
    OUTPUT "${out_dir}/${base}.h" "${out_dir}/${base}.cpp"
    COMMAND ${VELMOR_TOOL} generate "${model_file}" "${out_dir}" --basename ${base}
    DEPENDS "${model_file}" ${VELMOR_TOOL}
    COMMENT "Generating the C++ of ${ARG_NAME} from ${ARG_MODEL}"
    VERBATIM)
  add_library(${ARG_NAME} STATIC "${out_dir}/${base}.cpp")
  target_compile_features(${ARG_NAME} PUBLIC cxx_std_17)
  target_include_directories(${ARG_NAME} PUBLIC "${out_dir}")
  target_link_libraries(${ARG_NAME} PUBLIC ${VELMOR_MODEL_LIBS})
  if(TARGET velmor_warnings)
    target_link_libraries(${ARG_NAME} PRIVATE velmor_warnings)
  endif()
  velmor_model_executables(${ARG_NAME})
endfunction()

# The simulator and the type-file writer of model library name.
function(velmor_model_executables name)
  add_executable(${name}_sim ${VELMOR_SIM_MAIN})
  target_link_libraries(${name}_sim PRIVATE ${VELMOR_SIM_LIBS} ${name})
  add_executable(${name}_pvtypes ${VELMOR_PVTYPES_MAIN})
  list(GET VELMOR_PVTYPES_MAIN 0 pvtypes_main)
  get_filename_component(pvtypes_dir "${pvtypes_main}" DIRECTORY)
  target_include_directories(${name}_pvtypes PRIVATE "${pvtypes_dir}")
  target_link_libraries(${name}_pvtypes PRIVATE ${name} nlohmann_json::nlohmann_json)
  if(TARGET velmor_warnings)
    target_link_libraries(${name}_pvtypes PRIVATE velmor_warnings)
  endif()
endfunction()
