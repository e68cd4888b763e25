# Install rules: the shared library, its headers, a CMake package
# (find_package(Corvane) gives Corvane::corvane) and a pkg-config module.

install(TARGETS corvane corvane_headers EXPORT CorvaneTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/corvane
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

set(config_dir ${CMAKE_INSTALL_LIBDIR}/cmake/Corvane)
install(EXPORT CorvaneTargets NAMESPACE Corvane:: DESTINATION ${config_dir})
export(EXPORT CorvaneTargets NAMESPACE Corvane::
  FILE ${PROJECT_BINARY_DIR}/CorvaneTargets.cmake)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/CorvaneConfig.cmake.in
  ${PROJECT_BINARY_DIR}/CorvaneConfig.cmake INSTALL_DESTINATION ${config_dir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/CorvaneConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/CorvaneConfig.cmake
  ${PROJECT_BINARY_DIR}/CorvaneConfigVersion.cmake DESTINATION ${config_dir})

# Relocatable: the prefix is found from where the .pc file lies, so an
# install moved or made with `cmake --install --prefix` still works.
file(RELATIVE_PATH CORVANE_PC_TO_PREFIX
  "/prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/prefix")
set(CORVANE_PC_LIBDIR "\${prefix}/${CMAKE_INSTALL_LIBDIR}")
set(CORVANE_PC_INCLUDEDIR "\${prefix}/${CMAKE_INSTALL_INCLUDEDIR}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/corvane.pc.in
  ${PROJECT_BINARY_DIR}/corvane.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/corvane.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
