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

# dlltool's thunk keeps only the integer argument registers while it binds a function: put ours,
# which keeps the floating-point ones too, in its place (the head member's thunk is renamed out of
# the way; the function stubs jump to ours by the same name).
execute_process(COMMAND ${NM} ${OUTPUT} OUTPUT_VARIABLE delay_symbols ERROR_QUIET)
string(REGEX MATCH " T (__tailMerge_[A-Za-z0-9_]+)" found "${delay_symbols}")
set(tail_merge ${CMAKE_MATCH_1})
string(REGEX MATCH " D (__DELAY_IMPORT_DESCRIPTOR_[A-Za-z0-9_]+)" found "${delay_symbols}")
set(descriptor ${CMAKE_MATCH_1})
if(NOT tail_merge OR NOT descriptor)
  message(FATAL_ERROR "no delay-load thunk or descriptor in ${OUTPUT}")
endif()
execute_process(COMMAND ${AR} t ${OUTPUT} OUTPUT_VARIABLE members)
string(REGEX MATCH "[^\n]*_h\\.o" head_member "${members}")
set(work ${OUTPUT}.parts)
file(REMOVE_RECURSE ${work})
file(MAKE_DIRECTORY ${work})
execute_process(COMMAND ${AR} x ${OUTPUT} ${head_member} WORKING_DIRECTORY ${work} RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT head_member)
  message(FATAL_ERROR "cannot take the head member out of ${OUTPUT}")
endif()
execute_process(COMMAND ${OBJCOPY} --redefine-sym ${tail_merge}=${tail_merge}_replaced ${work}/${head_member}
                RESULT_VARIABLE status)
set(TAIL_MERGE ${tail_merge})
set(DESCRIPTOR ${descriptor})
configure_file(${CMAKE_CURRENT_LIST_DIR}/delay_tail_merge.S.in ${work}/tail_merge.S @ONLY)
execute_process(COMMAND ${CC} -c ${work}/tail_merge.S -o ${work}/tail_merge.o RESULT_VARIABLE assembled)
if(NOT status EQUAL 0 OR NOT assembled EQUAL 0)
  message(FATAL_ERROR "cannot replace the delay-load thunk of ${DLL}")
endif()
execute_process(COMMAND ${AR} r ${OUTPUT} ${head_member} tail_merge.o WORKING_DIRECTORY ${work} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cannot write ${OUTPUT}")
endif()
