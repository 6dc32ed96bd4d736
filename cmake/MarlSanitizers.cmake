# MARL_SANITIZE=address;undefined  or  MARL_SANITIZE=thread
if(MARL_SANITIZE)
  string(REPLACE ";" "," _marl_san "${MARL_SANITIZE}")
  add_compile_options(-fsanitize=${_marl_san} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${_marl_san})
endif()
# The fuzz build instruments every library for coverage; only the fuzz programs link
# libFuzzer's driver (fuzz/CMakeLists.txt).
if(MARL_BUILD_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
  add_link_options(-fsanitize=fuzzer-no-link)
endif()
