# Header-only third-party libraries come from Debian's packages. The cross compiler must
# never see /usr/include (it would pick up glibc headers), so for the Windows build the
# few headers we need are copied into a private include folder of the build tree.
set(MARL_HOST_INCLUDE /usr/include)

if(CMAKE_CROSSCOMPILING)
  set(MARL_XINCLUDE ${CMAKE_BINARY_DIR}/xinclude)
  file(MAKE_DIRECTORY ${MARL_XINCLUDE})
  foreach(item SimpleIni.h nlohmann CLI)
    if(EXISTS ${MARL_HOST_INCLUDE}/${item})
      file(COPY ${MARL_HOST_INCLUDE}/${item} DESTINATION ${MARL_XINCLUDE})
    endif()
  endforeach()
  add_library(marl_json INTERFACE)
  target_include_directories(marl_json SYSTEM INTERFACE ${MARL_XINCLUDE})
  add_library(marl_cli11 INTERFACE)
  target_include_directories(marl_cli11 SYSTEM INTERFACE ${MARL_XINCLUDE})
  # On Windows SimpleIni converts through the ANSI code page (SI_CONVERT_WIN32),
  # which is what the configuration file of the host is written in.
  add_library(marl_simpleini INTERFACE)
  target_include_directories(marl_simpleini SYSTEM INTERFACE ${MARL_XINCLUDE})
  target_compile_definitions(marl_simpleini INTERFACE SI_IMPLEMENTATION)
else()
  find_package(nlohmann_json 3 REQUIRED)
  add_library(marl_json INTERFACE)
  target_link_libraries(marl_json INTERFACE nlohmann_json::nlohmann_json)
  add_library(marl_cli11 INTERFACE)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(SIMPLEINI REQUIRED IMPORTED_TARGET simpleini)
  add_library(marl_simpleini INTERFACE)
  target_link_libraries(marl_simpleini INTERFACE PkgConfig::SIMPLEINI)
  target_compile_definitions(marl_simpleini INTERFACE SI_CONVERT_ICU SI_IMPLEMENTATION)
endif()
