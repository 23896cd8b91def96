# Creates an empty best.dat in the program folder given as PROGRAM_DIR, unless one is there:
# the game records scores only into an existing file, and a player's scores are never replaced.
if(NOT EXISTS "${PROGRAM_DIR}/best.dat")
  file(MAKE_DIRECTORY "${PROGRAM_DIR}")
  file(TOUCH "${PROGRAM_DIR}/best.dat")
endif()
