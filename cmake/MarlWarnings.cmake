# Warnings are errors on our own code; third-party code (googletest) is left alone.
function(marl_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror -Wshadow -Wnon-virtual-dtor)
endfunction()
