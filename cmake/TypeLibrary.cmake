# compile_type_library(<idl> TLB <file> [HEADER <file>] [IIDS <file>])
# Compiles an IDL file with widl for the bitness of the build: the type
# library, and optionally the C++ declarations and the interface ids.
function(compile_type_library idl)
  cmake_parse_arguments(ARG "" "TLB;HEADER;IIDS" "" ${ARGN})
  set(outputs ${ARG_TLB})
  set(widl ${WIDL} ${WIDL_TARGET} -I${WIDL_IDL_DIR} -L${WIDL_TLB_DIR})
  # widl names a type library after the IDL file, in its working folder,
  # whenever it writes more than one kind of output: the library gets a run
  # of its own, so that it lands where the build expects it.
  set(commands COMMAND ${widl} -t -o ${ARG_TLB} ${idl})
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
    list(APPEND commands COMMAND ${widl} ${options} ${idl})
  endif()
  get_filename_component(name ${idl} NAME)
  add_custom_command(
    OUTPUT ${outputs}
    ${commands}
    DEPENDS ${idl}
    COMMENT "Compiling ${name} (${WIDL_TARGET})"
    VERBATIM)
endfunction()
