# widl: IDL -> C header, _i.c identifiers and (optionally) a type library.
# The target's widl, and its type library kind (--win64 or --win32).
find_program(WIDL_EXECUTABLE NAMES ${QRC_ARCH}-w64-mingw32-widl REQUIRED)
set(WIDL_PLATFORM_IDL_DIR /usr/include/wine/wine/windows)
if(QRC_ARCH STREQUAL i686)
  set(WIDL_TARGET --win32)
  # stdole2.tlb, which type libraries import
  set(WIDL_STDOLE_DIR /usr/lib/i386-linux-gnu/wine/i386-windows)
else()
  set(WIDL_TARGET --win64)
  set(WIDL_STDOLE_DIR /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)
endif()

# qrc_widl(<name> IDL <file> [TLB] [INCLUDES dirs...])
# Produces ${QRC_GENERATED_DIR}/<name>.h, <name>_i.c and, with TLB, <name>.tlb.
# widl's warnings fail the build.
function(qrc_widl name)
  cmake_parse_arguments(W "TLB" "IDL" "INCLUDES" ${ARGN})
  get_filename_component(idl ${W_IDL} ABSOLUTE)
  set(out_h ${QRC_GENERATED_DIR}/${name}.h)
  set(out_i ${QRC_GENERATED_DIR}/${name}_i.c)
  set(outputs ${out_h} ${out_i})
  set(tlb_args)
  if(W_TLB)
    set(out_tlb ${QRC_GENERATED_DIR}/${name}.tlb)
    list(APPEND outputs ${out_tlb})
    set(tlb_args -t -T ${out_tlb})
  endif()
  set(inc_args -I${WIDL_PLATFORM_IDL_DIR} -I${QRC_GENERATED_DIR} -L${WIDL_STDOLE_DIR})
  foreach(d ${W_INCLUDES})
    list(APPEND inc_args -I${d})
  endforeach()
  add_custom_command(
    OUTPUT ${outputs}
    COMMAND ${CMAKE_COMMAND} -DWIDL=${WIDL_EXECUTABLE}
            "-DARGS=${WIDL_TARGET};${inc_args};-h;-H;${out_h};-u;-U;${out_i};${tlb_args};${idl}"
            -P ${CMAKE_SOURCE_DIR}/cmake/widl-strict.cmake
    DEPENDS ${idl} ${CMAKE_SOURCE_DIR}/cmake/widl-strict.cmake
    COMMENT "widl ${name}"
    VERBATIM)
  add_custom_target(${name}_idl DEPENDS ${outputs})
endfunction()
