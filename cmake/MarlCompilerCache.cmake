# ccache in front of every compiler, the MinGW-w64 cross compilers included, when the
# machine has it; a launcher given on the command line or in a preset wins. Paths under
# the source tree are hashed relative to it (CCACHE_BASEDIR, CCACHE_NOHASHDIR), so a
# fresh clone in another folder, as CI makes, reuses what an earlier build compiled.
find_program(MARL_CCACHE ccache)
if(MARL_CCACHE)
  foreach(lang C CXX)
    if(NOT DEFINED CMAKE_${lang}_COMPILER_LAUNCHER)
      set(CMAKE_${lang}_COMPILER_LAUNCHER
          ${CMAKE_COMMAND} -E env CCACHE_BASEDIR=${CMAKE_SOURCE_DIR} CCACHE_NOHASHDIR=true ${MARL_CCACHE})
    endif()
  endforeach()
endif()
