# Lays out the program folder beside the built program:
#   DataBase/kelm.mdb   the default database, made only when absent
#   Config.ini          [Config] DBName=kelm, written only when absent
#   Reports/            the list reports (frx_goods.fr3, frx_cust.fr3, frx_project.fr3),
#                       each written only when absent
#   PactDoc/, PrjDoc/   where attached files are copied
# Run with -DBIN=<program folder> -DMKDB=<kelm-mkdb> -DMKREPORTS=<kelm-mkreports>. Safe to run
# again: what exists is kept as it is, so a database in use is never replaced by a rebuild.
if(NOT BIN OR NOT MKDB)
  message(FATAL_ERROR "BinLayout.cmake needs -DBIN=<folder> and -DMKDB=<kelm-mkdb>")
endif()

file(MAKE_DIRECTORY "${BIN}/DataBase" "${BIN}/Reports" "${BIN}/PactDoc" "${BIN}/PrjDoc")

if(NOT EXISTS "${BIN}/DataBase/kelm.mdb")
  execute_process(COMMAND "${MKDB}" "${BIN}/DataBase/kelm.mdb" RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "Making ${BIN}/DataBase/kelm.mdb failed")
  endif()
endif()

if(NOT EXISTS "${BIN}/Config.ini")
  file(WRITE "${BIN}/Config.ini" "[Config]\r\nDBName=kelm\r\n")
endif()

# The tool itself leaves a report file that exists as it is.
if(MKREPORTS)
  execute_process(COMMAND "${MKREPORTS}" "${BIN}" RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "Writing the reports into ${BIN}/Reports failed")
  endif()
endif()
