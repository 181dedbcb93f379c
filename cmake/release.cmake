# What a release carries besides the binaries themselves (Windows builds only):
# a version resource in each binary, and the import libraries of Quillon.dll.

# quillon_version_resource(TARGET DESCRIPTION text)
#
# Gives TARGET a VERSIONINFO resource with the version of quillon_version.h
# (the one set in project()), the product name "Quillon", the description and
# the target's own file name. One resource per binary: the subsystems' .rc
# files must not carry one.
function(quillon_version_resource target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "DESCRIPTION" "")
  get_target_property(type ${target} TYPE)
  get_target_property(output_name ${target} OUTPUT_NAME)
  if(NOT output_name)
    set(output_name ${target})
  endif()
  if(type STREQUAL "SHARED_LIBRARY")
    set(QUILLON_FILE_TYPE VFT_DLL)
    set(QUILLON_ORIGINAL_FILENAME ${output_name}.dll)
  else()
    set(QUILLON_FILE_TYPE VFT_APP)
    set(QUILLON_ORIGINAL_FILENAME ${output_name}.exe)
  endif()
  set(QUILLON_FILE_DESCRIPTION ${arg_DESCRIPTION})
  set(QUILLON_INTERNAL_NAME ${output_name})
  set(rc ${CMAKE_BINARY_DIR}/generated/version-${QUILLON_ORIGINAL_FILENAME}.rc)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/version_info.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  target_link_libraries(${target} PRIVATE quillon_version)
endfunction()

# quillon_import_libraries(DEF composed.def)
#
# Quillon.lib (Microsoft's linker) and libquillon.dll.a (MinGW's) in the build
# folder, from the composed export table. A C client compiled against
# include/quillon.h calls Init as `_Init@0` in the x86 build; both libraries
# map that symbol to the undecorated export `Init`. The decorations are taken
# from the header itself (cmake/import_libraries.cmake compiles a probe that
# names every export), so an export the header does not declare stops the
# build.
function(quillon_import_libraries)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "DEF" "")
  find_program(QUILLON_LLVM_DLLTOOL NAMES llvm-dlltool llvm-dlltool-14 REQUIRED)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(machine i386:x86-64)
  else()
    set(machine i386)
  endif()
  set(outputs ${CMAKE_BINARY_DIR}/Quillon.lib ${CMAKE_BINARY_DIR}/libquillon.dll.a)
  add_custom_command(
    OUTPUT ${outputs}
    COMMAND ${CMAKE_COMMAND}
            -DDEF=${arg_DEF} -DINCLUDE_DIR=${CMAKE_SOURCE_DIR}/include -DMACHINE=${machine}
            -DC_COMPILER=${CMAKE_C_COMPILER} -DNM=${CMAKE_NM} -DDLLTOOL=${CMAKE_DLLTOOL}
            -DLLVM_DLLTOOL=${QUILLON_LLVM_DLLTOOL} -DWORK_DIR=${CMAKE_BINARY_DIR}/import-libraries
            -DOUTPUT_DIR=${CMAKE_BINARY_DIR}
            -P ${CMAKE_SOURCE_DIR}/cmake/import_libraries.cmake
    DEPENDS ${arg_DEF} ${CMAKE_SOURCE_DIR}/include/quillon.h ${CMAKE_SOURCE_DIR}/cmake/import_libraries.cmake
    COMMENT "Import libraries of Quillon.dll (Quillon.lib, libquillon.dll.a)"
    VERBATIM)
  add_custom_target(quillon_import_libraries ALL DEPENDS ${outputs})
endfunction()
