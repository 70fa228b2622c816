# Copies the game's data files next to the executable: the sprite bitmaps and
# the delivered Hiscore.txt from assets/, and Liberation Sans from the system.
# The key pictures of the help window are built into the executable instead.
# An existing Hiscore.txt beside the executable is the player's table and is
# never overwritten by a rebuild.
file(GLOB bitmaps "${SRC}/*.bmp")
list(FILTER bitmaps EXCLUDE REGEX "/Key [A-Za-z]+\\.bmp$")
foreach(f ${bitmaps})
  file(COPY "${f}" DESTINATION "${DST}")
endforeach()
if(EXISTS "${SRC}/Hiscore.txt" AND NOT EXISTS "${DST}/Hiscore.txt")
  file(COPY "${SRC}/Hiscore.txt" DESTINATION "${DST}")
endif()
foreach(font LiberationSans-Regular.ttf LiberationSans-Bold.ttf)
  if(EXISTS "${FONTS}/${font}")
    file(COPY "${FONTS}/${font}" DESTINATION "${DST}")
  endif()
endforeach()
