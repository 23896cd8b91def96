# Copies the six sound folders of the program folder FROM into the program folder TO.
foreach(folder score game level1 menu learn TestSpk)
  if(NOT IS_DIRECTORY "${FROM}/${folder}")
    message(FATAL_ERROR "No sound folder ${FROM}/${folder}: make the pack with the Linux build first")
  endif()
  file(REMOVE_RECURSE "${TO}/${folder}")
  file(COPY "${FROM}/${folder}" DESTINATION "${TO}")
endforeach()
