// How the host loads a parameter file for a module. A file the test described by hand
// (SetBinFileComponents), or any file while a test describes the database by hand, gives
// the components asked for that the file holds and the described table: a test that
// describes its data points wants exactly those, whatever file the plug-in names.
// Otherwise the file is the JSON parameter database in the data folder whose name is the
// ".BIN" name with ".json" instead ("MARL_J1939.BIN" -> "MARL_J1939.json"): the module
// gets the named vehicle's components among those asked for, and a table of their data
// points and categories of its own.
#pragma once

#include <string>
#include <vector>

#include "hostsim/Host.h"

namespace hostsim {

ZResult LoadParameterFile(Host& host, ZModuleHandle handle, const std::wstring& fileName,
                          const std::wstring& vehicleName, const std::vector<std::string>& components);
void UnloadParameterFile(Host& host, ZModuleHandle handle);
// "MARL_J1939.BIN" -> "MARL_J1939.json".
std::string DatabaseFileNameOf(const std::wstring& binFileName);

}  // namespace hostsim
