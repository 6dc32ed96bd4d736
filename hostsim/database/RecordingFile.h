// The host's part of a module's recording file: which ECU was recorded and the messages
// the plug-in handed to the recorder. The host writes it when a recording ends, before
// the plug-in appends its own sections; both parts are sections of one INI file, so the
// plug-in's profile reader and this reader can share the file.
//
//   [HostRecording]
//   Label = Engine #1
//   Address = 0
//   Channel = 1
//   Name = 00 00 ...            (the decoded NAME of its address claim, 24 bytes)
//   Messages = 2
//   Message[0] = 1000 CA FE 00 06 00 FF 04 FF 87 0E 10 03
//   Message[1] = 1400 ...        (time stamp, then the message in the host's layout)
#pragma once

#include <string>

#include "hostsim/HostSimTypes.h"

namespace hostsim {

// Creates or replaces the file with the host's section; empty when it was written, else
// what went wrong.
std::string WriteHostRecording(const std::string& path, const ModuleRecording& recording);
// The host's section of a recording file. Lines that cannot be read are counted in
// `skippedLines`, never fatal; a file without the section is an error.
std::string ReadHostRecording(const std::string& path, ModuleRecording& recording);

}  // namespace hostsim
