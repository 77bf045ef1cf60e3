# strip_binaries.cmake -- run by CPack on its staging tree before packing:
# strips the programs as Debian does, debugging symbols and the compilers'
# .comment and .note sections included.
file(GLOB_RECURSE programs "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/bin/*")
foreach(program ${programs})
  execute_process(COMMAND strip --remove-section=.comment --remove-section=.note
                          --strip-unneeded "${program}" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "cannot strip ${program}")
  endif()
endforeach()
