# Copies the default settings file and tag database into DST unless they are there already.
foreach(name pageKiln.INI TagDB.TXT)
  if(NOT EXISTS "${DST}/${name}")
    file(COPY "${SRC}/${name}" DESTINATION "${DST}")
  endif()
endforeach()
