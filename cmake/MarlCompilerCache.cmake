# ccache in front of every compiler, the MinGW-w64 cross compilers included, when the
# machine has it; a launcher given on the command line or in a preset wins.
find_program(MARL_CCACHE ccache)
if(MARL_CCACHE)
  foreach(lang C CXX)
    if(NOT DEFINED CMAKE_${lang}_COMPILER_LAUNCHER)
      set(CMAKE_${lang}_COMPILER_LAUNCHER ${MARL_CCACHE})
    endif()
  endforeach()
endif()
