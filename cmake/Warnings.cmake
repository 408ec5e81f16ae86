# Warnings are errors everywhere in the project's own code.
function(pixlor_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror -Wshadow
                         -Wnon-virtual-dtor -Wcast-align -Wnull-dereference)
  if(WIN32)
    # The Windows builds, 32- and 64-bit: no value narrowed on the way, above
    # all a 64-bit host's handle, module number or pointer-sized integer kept
    # in an int or a DWORD. (Casting a pointer to a smaller integer is an
    # error in C++ already.)
    target_compile_options(${target} PRIVATE -Wconversion -Wint-to-pointer-cast)
  endif()
  if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    target_compile_options(${target} PRIVATE -Wshorten-64-to-32)
  endif()
endfunction()
