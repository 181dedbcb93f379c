# quillon_subsystem(NAME DIR dir [DEPS subsystem...])
#
# Makes the library quillon_NAME from the sources directly in `dir` (its
# subfolders are subsystems of their own), partitioned by file name as the
# top-level CMakeLists.txt describes. Its include root is a folder of the
# build tree holding links to the headers of `dir` alone, under the same
# relative path as in src/ ("config/script/..."), so a subsystem's headers can
# be included only by the subsystem itself and by those that link it. Its *_exports.cpp files
# become an object library, quillon_NAME_exports, compiled against the same
# include roots and linked into the DLL.
set(QUILLON_SUBSYSTEMS "")
set(QUILLON_EXPORT_OBJECTS "")

function(quillon_subsystem name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "DIR" "DEPS")
  set(target quillon_${name})
  set(dir ${CMAKE_SOURCE_DIR}/${arg_DIR})
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  set(core "")
  set(exports "")
  foreach(source IN LISTS sources)
    get_filename_component(file ${source} NAME)
    if(file MATCHES "_exports\\.cpp$")
      list(APPEND exports ${source})
    elseif(file MATCHES "_win\\.cpp$")
      if(WIN32)
        list(APPEND core ${source})
      endif()
    elseif(file MATCHES "_posix\\.cpp$")
      if(NOT WIN32)
        list(APPEND core ${source})
      endif()
    else()
      list(APPEND core ${source})
    endif()
  endforeach()

  # src/config/script/x.h -> <build>/include/script/config/script/x.h, one
  # link per header: the headers of a subfolder (a subsystem of its own) stay
  # out of the parent's root.
  set(root ${CMAKE_BINARY_DIR}/include/${name})
  string(REGEX REPLACE "^src/" "" relative ${arg_DIR})
  set(include_dir ${root}/${relative})
  if(IS_SYMLINK ${include_dir})
    file(REMOVE ${include_dir})  # a build tree that linked the whole folder
  endif()
  file(MAKE_DIRECTORY ${include_dir})
  file(GLOB headers CONFIGURE_DEPENDS ${dir}/*.h)
  foreach(header IN LISTS headers)
    get_filename_component(file ${header} NAME)
    if(NOT EXISTS ${include_dir}/${file})
      file(CREATE_LINK ${header} ${include_dir}/${file} SYMBOLIC)
    endif()
  endforeach()

  set(deps "")
  foreach(dep IN LISTS arg_DEPS)
    list(APPEND deps quillon_${dep})
  endforeach()

  if(core)
    add_library(${target} STATIC ${core})
    target_include_directories(${target} PUBLIC ${root})
    target_link_libraries(${target} PUBLIC ${deps})
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${root})
    target_link_libraries(${target} INTERFACE ${deps})
  endif()

  if(WIN32 AND exports)
    add_library(${target}_exports OBJECT ${exports})
    target_link_libraries(${target}_exports PRIVATE ${target})
    set(QUILLON_EXPORT_OBJECTS ${QUILLON_EXPORT_OBJECTS} ${target}_exports PARENT_SCOPE)
  endif()
  set(QUILLON_SUBSYSTEMS ${QUILLON_SUBSYSTEMS} ${target} PARENT_SCOPE)
endfunction()
