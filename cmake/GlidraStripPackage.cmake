# Run by CPack in its staging folder before it packs (CPACK_PRE_BUILD_SCRIPTS):
# strips the executables as Debian's dh_strip does, the symbols and the
# .comment and .note sections a package has no use for.

file(GLOB executables LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/usr/bin/*"
     "${CPACK_TEMPORARY_DIRECTORY}/usr/libexec/glidra/*")
if(NOT executables)
  message(FATAL_ERROR "no executables to strip under ${CPACK_TEMPORARY_DIRECTORY}/usr/bin")
endif()
foreach(executable IN LISTS executables)
  execute_process(COMMAND "${CPACK_GLIDRA_STRIP}" --remove-section=.comment --remove-section=.note "${executable}"
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "cannot strip ${executable}")
  endif()
endforeach()
