# The window loads its pictures from images/ beside the executable. The
# pictures go in images/ at the top of the tree; the build copies them beside
# the program, and installing puts them beside the installed one.
set(VARNOLT_IMAGES_DIR ${PROJECT_SOURCE_DIR}/images)
set(VARNOLT_PICTURE_PATTERNS *.png *.jpg *.gif *.ico)
# The name desktops know the program by: its menu entry, icons and metadata.
set(VARNOLT_APP_ID example.varnolt.Varnolt)

# A package keeps the program and its pictures in a folder of their own
# (lib/varnolt), with bin/varnolt a link to it, rather than pictures in bin/.
set(VARNOLT_PROGRAM_DIR ${CMAKE_INSTALL_BINDIR} CACHE STRING
    "Where the program and its pictures are installed; bin/varnolt links there when it is not bin")

# Installs the program, with the pictures beside it once they exist.
function(varnolt_install_program target)
  install(TARGETS ${target} RUNTIME DESTINATION ${VARNOLT_PROGRAM_DIR})
  if(NOT VARNOLT_PROGRAM_DIR STREQUAL CMAKE_INSTALL_BINDIR)
    file(RELATIVE_PATH link_target /${CMAKE_INSTALL_BINDIR} /${VARNOLT_PROGRAM_DIR}/${target})
    install(CODE "
      file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
      file(CREATE_LINK \"${link_target}\" \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${target}\" SYMBOLIC)")
  endif()
  if(NOT IS_DIRECTORY ${VARNOLT_IMAGES_DIR})
    return()
  endif()
  add_custom_target(${target}_images
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${VARNOLT_IMAGES_DIR} $<TARGET_FILE_DIR:${target}>/images
    COMMENT "Copying the pictures beside ${target}")
  add_dependencies(${target} ${target}_images)
  set(patterns)
  foreach(pattern ${VARNOLT_PICTURE_PATTERNS})
    list(APPEND patterns PATTERN ${pattern})
  endforeach()
  install(DIRECTORY ${VARNOLT_IMAGES_DIR}/ DESTINATION ${VARNOLT_PROGRAM_DIR}/images FILES_MATCHING ${patterns})
endfunction()
