# Writes a delay-load import library for one system DLL, covering every function that the
# toolchain's own import library for that DLL names (so a new call needs no list kept here).
# Run in script mode:
#   cmake -DNM=... -DDLLTOOL=... -DIMPORT_LIBRARY=libNAME.a -DDLL=NAME.dll -DOUTPUT=... -P delay_import.cmake

cmake_minimum_required(VERSION 3.20)

execute_process(COMMAND ${NM} ${IMPORT_LIBRARY} OUTPUT_VARIABLE symbols ERROR_QUIET RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cannot list ${IMPORT_LIBRARY}")
endif()

# A function has both a thunk (T NAME) and an import slot (I __imp_NAME); data has only the slot,
# and some import libraries also carry small static helpers with a thunk only.
string(REGEX MATCHALL "[^\n]* T [^\n]*" thunk_lines "${symbols}")
string(REGEX MATCHALL "[^\n]* I __imp_[^\n]*" slot_lines "${symbols}")
set(thunks "")
foreach(line IN LISTS thunk_lines)
  string(REGEX REPLACE "^.* T " "" name "${line}")
  list(APPEND thunks "${name}")
endforeach()
set(functions "")
foreach(line IN LISTS slot_lines)
  string(REGEX REPLACE "^.* I __imp_" "" name "${line}")
  if(name IN_LIST thunks)
    list(APPEND functions "${name}")
  endif()
endforeach()
list(REMOVE_DUPLICATES functions)
if(NOT functions)
  message(FATAL_ERROR "no functions found in ${IMPORT_LIBRARY}")
endif()

get_filename_component(folder ${OUTPUT} DIRECTORY)
file(MAKE_DIRECTORY ${folder})
string(REPLACE ";" "\n" exports "${functions}")
set(definition ${OUTPUT}.def)
file(WRITE ${definition} "LIBRARY ${DLL}\nEXPORTS\n${exports}\n")
execute_process(COMMAND ${DLLTOOL} --input-def ${definition} --dllname ${DLL} --output-delaylib ${OUTPUT}
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "dlltool failed for ${DLL}")
endif()
