# The window loads its pictures from images/ beside the executable. The
# pictures go in images/ at the top of the tree; the build copies them beside
# the program, and installing puts them beside the installed one.
set(VARNOLT_IMAGES_DIR ${PROJECT_SOURCE_DIR}/images)

# Installs the program into bin/, with the pictures beside it once they exist.
function(varnolt_install_program target)
  install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  if(NOT IS_DIRECTORY ${VARNOLT_IMAGES_DIR})
    return()
  endif()
  add_custom_target(${target}_images
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${VARNOLT_IMAGES_DIR} $<TARGET_FILE_DIR:${target}>/images
    COMMENT "Copying the pictures beside ${target}")
  add_dependencies(${target} ${target}_images)
  install(DIRECTORY ${VARNOLT_IMAGES_DIR}/ DESTINATION ${CMAKE_INSTALL_BINDIR}/images)
endfunction()
