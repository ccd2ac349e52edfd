# Copies the delivered files into a program directory without ever replacing one that is
# there: a database holding an office's customers, or a report template changed in the
# designer, stays as it is; only files that are missing are written.
#
#   cmake -DSOURCE=FILE_OR_FOLDER -DDESTINATION=FILE_OR_FOLDER -P CopyMissing.cmake
#
# A SOURCE file is copied to the file DESTINATION; a SOURCE folder's files, sub-folders
# included, to the same relative paths under the folder DESTINATION.
if(NOT DEFINED SOURCE OR NOT DEFINED DESTINATION)
  message(FATAL_ERROR "CopyMissing.cmake needs -DSOURCE=... and -DDESTINATION=...")
endif()
if(NOT EXISTS "${SOURCE}")
  message(FATAL_ERROR "CopyMissing.cmake: ${SOURCE} does not exist")
endif()

function(copy_one_missing from to)
  if(EXISTS "${to}")
    return()
  endif()
  get_filename_component(folder "${to}" DIRECTORY)
  file(MAKE_DIRECTORY "${folder}")
  # A temporary name renamed into place: a copy cut short never looks like a delivered file.
  file(COPY_FILE "${from}" "${to}.part" ONLY_IF_DIFFERENT)
  file(RENAME "${to}.part" "${to}")
  message(STATUS "Delivered ${to}")
endfunction()

if(IS_DIRECTORY "${SOURCE}")
  file(GLOB_RECURSE files RELATIVE "${SOURCE}" "${SOURCE}/*")
  foreach(relative IN LISTS files)
    copy_one_missing("${SOURCE}/${relative}" "${DESTINATION}/${relative}")
  endforeach()
else()
  copy_one_missing("${SOURCE}" "${DESTINATION}")
endif()
