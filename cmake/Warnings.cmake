# Warnings are errors everywhere in the project's own code.
function(pixlor_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror -Wshadow
                         -Wnon-virtual-dtor -Wcast-align -Wnull-dereference)
endfunction()
