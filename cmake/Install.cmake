# Installation and the CMake package: `cmake --install build --prefix P`
# puts the libraries, headers, velmor, velmor-results and the package files
# under P; a project then uses find_package(Velmor) and velmor_add_model.
# The build tree carries the same package (build/VelmorConfig.cmake), which
# `velmor build` uses when it runs from the build tree.
include(GNUInstallDirs)
set(velmor_dirs base random framework composer reward study platform eventlist output trace
    simulator modelkit)
set(velmor_libs ${velmor_dirs} velmor_warnings)
install(TARGETS ${velmor_libs} EXPORT VelmorTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(TARGETS velmor EXPORT VelmorTargets RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS velmor-results RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
foreach(dir ${velmor_dirs})
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/src/${dir} DESTINATION include/velmor
          FILES_MATCHING PATTERN "*.h")
endforeach()
set(pkg_dir ${CMAKE_INSTALL_LIBDIR}/cmake/Velmor)
install(EXPORT VelmorTargets NAMESPACE Velmor:: DESTINATION ${pkg_dir})
install(FILES ${PROJECT_SOURCE_DIR}/apps/sim_main.cpp DESTINATION ${CMAKE_INSTALL_DATADIR}/velmor)
install(FILES ${PROJECT_SOURCE_DIR}/apps/pvtypes/main.cpp ${PROJECT_SOURCE_DIR}/apps/pvtypes/StudyDescription.cpp
              ${PROJECT_SOURCE_DIR}/apps/pvtypes/StudyDescription.h
        DESTINATION ${CMAKE_INSTALL_DATADIR}/velmor/pvtypes)
install(FILES ${PROJECT_SOURCE_DIR}/cmake/VelmorModel.cmake DESTINATION ${pkg_dir})

# Installed config: paths relative to the config file's folder.
file(RELATIVE_PATH main_rel ${CMAKE_INSTALL_PREFIX}/${pkg_dir}
     ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/velmor)
set(VELMOR_CONFIG_MAIN_DIR "\${CMAKE_CURRENT_LIST_DIR}/${main_rel}")
set(VELMOR_CONFIG_CMAKE_DIR "\${CMAKE_CURRENT_LIST_DIR}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/package/VelmorConfig.cmake.in
               ${CMAKE_BINARY_DIR}/package/VelmorConfig.cmake @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/package/VelmorConfig.cmake DESTINATION ${pkg_dir})

# Build-tree config.
export(EXPORT VelmorTargets NAMESPACE Velmor:: FILE ${CMAKE_BINARY_DIR}/VelmorTargets.cmake)
set(VELMOR_CONFIG_MAIN_DIR ${PROJECT_SOURCE_DIR}/apps)
set(VELMOR_CONFIG_CMAKE_DIR ${PROJECT_SOURCE_DIR}/cmake)
configure_file(${PROJECT_SOURCE_DIR}/cmake/package/VelmorConfig.cmake.in
               ${CMAKE_BINARY_DIR}/VelmorConfig.cmake @ONLY)
