# Build-time steps of the sample deployment, run with cmake -P.
cmake_minimum_required(VERSION 3.25)
#
#   -DMODE=executable -DSOURCE=<file> -DTARGET=<file>
#       copy a script byte for byte and make it executable.
#   -DMODE=prune -DROOT=<deployment root> -DMANIFEST=<file> -DSTAMP=<file>
#       delete every file in the deployment folders (the first path part of
#       each manifest entry: dat/, status/, chk_verup/) that the manifest does
#       not list, then touch the stamp.

if(MODE STREQUAL "executable")
  get_filename_component(folder "${TARGET}" DIRECTORY)
  file(MAKE_DIRECTORY "${folder}")
  file(COPY_FILE "${SOURCE}" "${TARGET}")
  file(CHMOD "${TARGET}" PERMISSIONS
       OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
elseif(MODE STREQUAL "prune")
  file(STRINGS "${MANIFEST}" wanted)
  set(folders)
  foreach(entry IN LISTS wanted)
    string(REGEX REPLACE "/.*" "" folder "${entry}")
    list(APPEND folders "${folder}")
  endforeach()
  list(REMOVE_DUPLICATES folders)
  foreach(folder IN LISTS folders)
    file(GLOB_RECURSE present LIST_DIRECTORIES false RELATIVE "${ROOT}" "${ROOT}/${folder}/*")
    foreach(file IN LISTS present)
      if(NOT file IN_LIST wanted)
        message(STATUS "Deployment: removing ${file}")
        file(REMOVE "${ROOT}/${file}")
      endif()
    endforeach()
  endforeach()
  file(TOUCH "${STAMP}")
else()
  message(FATAL_ERROR "Deployment.cmake: unknown MODE '${MODE}'")
endif()
