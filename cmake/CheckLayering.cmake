# Run as a script (cmake -DLIBRARY=... -DALLOWED=... -DFILES=... -DSTAMP=... -P CheckLayering.cmake):
# fails when one of FILES includes a header of a folder that is not in ALLOWED, the library's
# own folder and those of the libraries it links. So a library including one above it (the
# grid including the program, the data layer including the GUI) stops the build with the file
# and line, and the layering is kept by the build rather than by review.
#
# An include names its library folder ("core/SysUtils.h", "report/designer/frxDesgn.h"); an
# include without a folder is a header beside the file. Angle-bracket includes are outside
# libraries (the standard library, SQLite) and are not looked at: Qt is kept out of the upper
# libraries by their link lines. A header named ...Impl.h holds a class's private state and
# may be included only from its own folder, the first of ALLOWED.
cmake_minimum_required(VERSION 3.25)
set(failures "")
foreach(file IN LISTS FILES)
  if(file STREQUAL "")
    continue()
  endif()
  file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*$" "\\1" header "${line}")
    string(FIND "${header}" "/" slash REVERSE)
    if(slash LESS 0)
      continue()
    endif()
    string(SUBSTRING "${header}" 0 ${slash} folder)
    # A class's private state ("grid/DBGridEhImpl.h") is for its own library's files: another
    # library including it would rebuild with every change to that state and reach past the
    # class's interface.
    list(GET ALLOWED 0 own)
    if(header MATCHES "Impl\\.h$" AND NOT folder STREQUAL own)
      file(STRINGS "${file}" all)
      list(FIND all "${line}" index)
      math(EXPR number "${index} + 1")
      list(APPEND failures "${file}:${number}: includes \"${header}\", private to ${folder}")
    elseif(NOT folder IN_LIST ALLOWED)
      file(STRINGS "${file}" all)  # read whole only to name the line
      list(FIND all "${line}" index)
      math(EXPR number "${index} + 1")
      list(APPEND failures "${file}:${number}: includes \"${header}\", of a library ${LIBRARY} does not link")
    endif()
  endforeach()
endforeach()
if(failures)
  list(JOIN ALLOWED ", " allowed)
  list(JOIN failures "\n" text)
  message(NOTICE "${text}")  # one line each, unwrapped, for editors to jump to
  message(FATAL_ERROR "${LIBRARY} may include only: ${allowed}")
endif()
if(STAMP)
  file(TOUCH ${STAMP})
endif()
