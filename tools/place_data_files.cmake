# place_data_files.cmake: puts the data files the build made (in its own
# folder) into the folder the show runs from, never over a file someone put
# there. A file is placed where none of its name is there yet, or where the
# one there is the build's own earlier copy, as the checksums it recorded
# then tell. Any other file is left as it is, and said to be kept.
# Usage: cmake -DFROM=DIR -DTO=DIR -DRECORD=FILE "-DFILES=a;b;..." -P place_data_files.cmake
cmake_minimum_required(VERSION 3.25)
set(placed_before "")
if(EXISTS ${RECORD})
  file(STRINGS ${RECORD} placed_before)
endif()

set(placed_now "")
foreach(name IN LISTS FILES)
  file(SHA256 ${FROM}/${name} made)
  set(target ${TO}/${name})
  set(there "")
  if(EXISTS ${target})
    file(SHA256 ${target} there)
  endif()
  if(there STREQUAL "" OR there STREQUAL made OR "${name} ${there}" IN_LIST placed_before)
    file(COPY_FILE ${FROM}/${name} ${target} ONLY_IF_DIFFERENT)
    list(APPEND placed_now "${name} ${made}")
  else()
    message(STATUS "Keeping your own ${target}; the build's is ${FROM}/${name}")
  endif()
endforeach()

list(JOIN placed_now "\n" record_text)
file(WRITE ${RECORD} "${record_text}\n")
