# data_files.cmake: the show's eight data files by name, as assets/show_pictures.h
# defines them (the seven pictures, then the module), for the build rules that
# make, pack and install them. Sets show_data_files, and show_music_file to the
# module's; CMake runs again when the header changes.
set(show_pictures_header ${CMAKE_CURRENT_LIST_DIR}/show_pictures.h)
file(STRINGS ${show_pictures_header} name_lines REGEX "\"[A-Za-z0-9_.-]+[.](raw|xm)\"")
string(REGEX MATCHALL "[A-Za-z0-9_.-]+[.](raw|xm)" show_data_files "${name_lines}")
string(REGEX MATCH "[A-Za-z0-9_.-]+[.]xm" show_music_file "${name_lines}")
if(NOT show_data_files OR NOT show_music_file)
  message(FATAL_ERROR "No data file names found in ${show_pictures_header}")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${show_pictures_header})
