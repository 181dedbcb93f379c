# Writes Quillon.lib and libquillon.dll.a from the composed export table
# (cmake -P; quillon_import_libraries in cmake/release.cmake passes the
# variables DEF, INCLUDE_DIR, MACHINE, C_COMPILER, NM, DLLTOOL, LLVM_DLLTOOL,
# WORK_DIR and OUTPUT_DIR).
#
# The export table names every function plainly ("Init @100"). A client's
# symbol for it is whatever the header makes the compiler emit: `_Init@0` for
# stdcall on x86, `Init` on x64. So a probe that takes the address of every
# export is compiled against include/quillon.h, and its undefined symbols give
# each name's decoration; a name the header does not declare fails the probe.
# The import libraries then list the decorated names with --kill-at: the
# client links against `Init@0`, the DLL is asked for `Init`.

file(STRINGS ${DEF} lines)
set(names "")
set(ordinals "")
set(in_exports FALSE)
foreach(line IN LISTS lines)
  string(REGEX REPLACE ";.*" "" line "${line}")
  string(STRIP "${line}" line)
  if(line STREQUAL "EXPORTS")
    set(in_exports TRUE)
  elseif(in_exports AND line MATCHES "^([A-Za-z_][A-Za-z0-9_]*)[ \t]+@([0-9]+)")
    list(APPEND names ${CMAKE_MATCH_1})
    list(APPEND ordinals ${CMAKE_MATCH_2})
  endif()
endforeach()
list(LENGTH names count)
if(count EQUAL 0)
  message(FATAL_ERROR "${DEF} lists no exports")
endif()

file(MAKE_DIRECTORY ${WORK_DIR})
set(probe "/* Names every export of Quillon.dll, to read their decorations. */\n")
string(APPEND probe "#include \"quillon.h\"\n\ntypedef void (*AnyFunction)(void);\n")
string(APPEND probe "const AnyFunction quillon_exports[] = {\n")
foreach(name IN LISTS names)
  string(APPEND probe "    (AnyFunction)&${name},\n")
endforeach()
string(APPEND probe "};\n")
file(WRITE ${WORK_DIR}/probe.c "${probe}")

execute_process(
  COMMAND ${C_COMPILER} -std=c99 -Werror=implicit-function-declaration -I ${INCLUDE_DIR}
          -c ${WORK_DIR}/probe.c -o ${WORK_DIR}/probe.o
  RESULT_VARIABLE status ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "include/quillon.h does not declare every export of ${DEF}:\n${errors}")
endif()
execute_process(COMMAND ${NM} -u ${WORK_DIR}/probe.o OUTPUT_VARIABLE undefined RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${NM} failed on the probe")
endif()

set(import_def "; Quillon.dll as its clients' compilers name its exports\nLIBRARY Quillon.dll\nEXPORTS\n")
foreach(name ordinal IN ZIP_LISTS names ordinals)
  # "U _Init@0" (x86) or "U Init" (x64).
  if(NOT undefined MATCHES "U _?(${name}(@[0-9]+)?)\n")
    message(FATAL_ERROR "the probe does not refer to ${name}:\n${undefined}")
  endif()
  string(APPEND import_def "    ${CMAKE_MATCH_1} @${ordinal}\n")
endforeach()
file(WRITE ${WORK_DIR}/quillon-import.def "${import_def}")

# dlltool names its helper symbols after the output path: keep that relative.
execute_process(
  COMMAND ${DLLTOOL} --kill-at -d ${WORK_DIR}/quillon-import.def -D Quillon.dll -l libquillon.dll.a
  WORKING_DIRECTORY ${OUTPUT_DIR}
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${DLLTOOL} failed")
endif()
execute_process(
  COMMAND ${LLVM_DLLTOOL} -k -m ${MACHINE} -d ${WORK_DIR}/quillon-import.def -D Quillon.dll -l ${OUTPUT_DIR}/Quillon.lib
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${LLVM_DLLTOOL} failed")
endif()
