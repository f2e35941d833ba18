# Removes the files an install listed in its manifest, then every folder that
# removing them left empty, up to the install's prefix. The prefix and its own
# folders (bin, share and the like on its first level, and the manual's folder)
# stay even when empty, as they were there before.
#   [DESTDIR=...] cmake -D MANIFEST=... -D PROGRAM=bin/orbo -D MANDIR=share/man -P uninstall.cmake
# PROGRAM, the program's place below the prefix, tells the prefix the install
# used, whatever --prefix it was given. The manifest does not record DESTDIR:
# an install staged with one is removed with the same one in the environment.
if(NOT EXISTS "${MANIFEST}")
  message(FATAL_ERROR "${MANIFEST} not found: nothing was installed from this build folder")
endif()
file(STRINGS "${MANIFEST}" listed)
set(files "")
foreach(file IN LISTS listed)
  list(APPEND files "$ENV{DESTDIR}${file}")
endforeach()

set(prefix "")
string(LENGTH "/${PROGRAM}" tail)
foreach(file IN LISTS files)
  string(FIND "${file}" "/${PROGRAM}" at REVERSE)
  string(LENGTH "${file}" length)
  math(EXPR end "${at} + ${tail}")
  if(at GREATER 0 AND end EQUAL length)
    string(SUBSTRING "${file}" 0 ${at} prefix)
  endif()
endforeach()

foreach(file IN LISTS files)
  if(EXISTS "${file}" OR IS_SYMLINK "${file}")
    message(STATUS "Removing: ${file}")
    file(REMOVE "${file}")
  endif()
endforeach()

if(prefix STREQUAL "")
  message(STATUS "The manifest does not list ${PROGRAM}: folders are left as they are")
  return()
endif()
foreach(file IN LISTS files)
  get_filename_component(folder "${file}" DIRECTORY)
  while(IS_DIRECTORY "${folder}")
    get_filename_component(parent "${folder}" DIRECTORY)
    if(folder STREQUAL prefix OR parent STREQUAL prefix OR folder STREQUAL "${prefix}/${MANDIR}")
      break()
    endif()
    string(FIND "${folder}/" "${prefix}/" at)
    if(NOT at EQUAL 0)
      break()
    endif()
    file(GLOB entries LIST_DIRECTORIES true "${folder}/*") # hidden files too
    if(entries)
      break()
    endif()
    message(STATUS "Removing: ${folder}/")
    file(REMOVE_RECURSE "${folder}")
    set(folder "${parent}")
  endwhile()
endforeach()
