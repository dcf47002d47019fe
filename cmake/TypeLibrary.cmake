# compile_type_library(<idl> TLB <file> [HEADER <file>] [IIDS <file>])
# Compiles an IDL file with widl for the bitness of the build: the type
# library, and optionally the C++ declarations and the interface ids. The
# library carries the commit's time where widl writes the current one
# (ReproducibleBuild.cmake) and is made again when that time changes; the
# declarations do not depend on it, so a new commit compiles nothing again.
function(compile_type_library idl)
  cmake_parse_arguments(ARG "" "TLB;HEADER;IIDS" "" ${ARGN})
  set(widl ${WIDL} ${WIDL_TARGET} -I${WIDL_IDL_DIR} -L${WIDL_TLB_DIR})
  get_filename_component(name ${idl} NAME)
  # widl names a type library after the IDL file, in its working folder,
  # whenever it writes more than one kind of output: the library gets a run
  # of its own, so that it lands where the build expects it.
  add_custom_command(
    OUTPUT ${ARG_TLB}
    COMMAND ${widl} -t -o ${ARG_TLB} ${idl}
    COMMAND ${QUILLBAR_WITH_COMMIT_TIME} ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/stamp-type-library ${ARG_TLB}
    DEPENDS ${idl} ${QUILLBAR_COMMIT_TIME_FILE} commit_time
    COMMENT "Compiling ${name} into a type library (${WIDL_TARGET})"
    VERBATIM)
  set(outputs)
  set(options)
  if(ARG_HEADER)
    list(APPEND outputs ${ARG_HEADER})
    list(APPEND options -h -H ${ARG_HEADER})
  endif()
  if(ARG_IIDS)
    list(APPEND outputs ${ARG_IIDS})
    list(APPEND options -u -U ${ARG_IIDS})
  endif()
  if(options)
    add_custom_command(
      OUTPUT ${outputs}
      COMMAND ${widl} ${options} ${idl}
      DEPENDS ${idl}
      COMMENT "Compiling ${name} (${WIDL_TARGET})"
      VERBATIM)
  endif()
endfunction()
