# The COM server's type library and its C++ declarations, compiled from
# src/com/quillon.idl by widl (Windows builds only). The IDL is kept in UTF-8;
# it is converted to Windows-1252 first, because widl stores the bytes of the
# help strings as they stand and the library's help strings are Windows-1252.
#
#   <build>/generated/com/quillon.tlb   embedded by src/com/quillon_com.rc as TYPELIB 1
#   <build>/generated/com/quillon_h.h   the interfaces ("com/quillon_h.h")
#   <build>/generated/com/quillon_i.c   their identifiers, compiled into quillon_com
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(QUILLON_WIDL x86_64-w64-mingw32-widl --win64)
else()
  set(QUILLON_WIDL i686-w64-mingw32-widl --win32)
endif()
set(com_source ${CMAKE_SOURCE_DIR}/src/com)
set(com_generated ${CMAKE_BINARY_DIR}/generated/com)
add_custom_command(
  OUTPUT ${com_generated}/quillon.tlb ${com_generated}/quillon_h.h ${com_generated}/quillon_i.c
  COMMAND ${CMAKE_COMMAND} -E make_directory ${com_generated}
  COMMAND iconv -f UTF-8 -t WINDOWS-1252 ${com_source}/quillon.idl -o ${com_generated}/quillon.idl
  COMMAND ${QUILLON_WIDL} -I /usr/include/wine/wine/windows -L /usr/lib/x86_64-linux-gnu/wine/x86_64-windows
          -t -o ${com_generated}/quillon.tlb ${com_generated}/quillon.idl
  COMMAND ${QUILLON_WIDL} -I /usr/include/wine/wine/windows -L /usr/lib/x86_64-linux-gnu/wine/x86_64-windows
          -h -H ${com_generated}/quillon_h.h -u -U ${com_generated}/quillon_i.c ${com_generated}/quillon.idl
  DEPENDS ${com_source}/quillon.idl
  COMMENT "widl: the QUILLONLib type library"
  VERBATIM)
target_sources(quillon_com PRIVATE ${com_generated}/quillon_i.c ${com_generated}/quillon_h.h)
target_include_directories(quillon_com PUBLIC ${CMAKE_BINARY_DIR}/generated)

# windres finds the type library and the registration scripts by name.
file(GLOB com_scripts CONFIGURE_DEPENDS ${com_source}/*.rgs)
set_source_files_properties(${com_source}/quillon_com.rc PROPERTIES
  OBJECT_DEPENDS "${com_generated}/quillon.tlb;${com_scripts}")
target_include_directories(Quillon PRIVATE ${com_generated} ${com_source})
