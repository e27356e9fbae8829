# cmake -DBUILD_DIR=... -DPREFIX=... -DIMAGES_DIR=... -DVERSION=... -P InstallTest.cmake
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX} RESULT_VARIABLE status
                OUTPUT_VARIABLE log ERROR_VARIABLE log)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${status}):\n${log}")
endif()

set(program ${PREFIX}/bin/varnolt)
execute_process(COMMAND ${program} --version RESULT_VARIABLE status OUTPUT_VARIABLE version ERROR_VARIABLE error)
if(NOT status EQUAL 0 OR NOT version STREQUAL "varnolt ${VERSION}\n")
  message(FATAL_ERROR "installed ${program} --version gave status ${status}, output '${version}', errors '${error}'")
endif()

# The window's pictures go beside the installed program, as beside the built one.
if(IS_DIRECTORY ${IMAGES_DIR})
  file(GLOB pictures RELATIVE ${IMAGES_DIR} ${IMAGES_DIR}/*.png ${IMAGES_DIR}/*.jpg ${IMAGES_DIR}/*.gif
       ${IMAGES_DIR}/*.ico)
  foreach(picture ${pictures})
    if(NOT EXISTS ${PREFIX}/bin/images/${picture})
      message(FATAL_ERROR "images/${picture} is not installed beside ${program}")
    endif()
  endforeach()
endif()
