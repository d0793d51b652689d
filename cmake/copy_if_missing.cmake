# cmake -DSOURCE=<file> -DDESTINATION=<file> -P copy_if_missing.cmake
# Puts a default file in place without ever overwriting one the user has changed.
if(NOT EXISTS "${DESTINATION}")
  configure_file("${SOURCE}" "${DESTINATION}" COPYONLY)
endif()
