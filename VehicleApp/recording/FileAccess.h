// Files named by the host's wide paths. On Windows the path goes to the system as it
// is; elsewhere it is handed to the file system in UTF-8.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

namespace marl {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// fopen with a wide path; null when the path is null or the file cannot be opened.
FilePtr OpenFile(const wchar_t* path, const char* mode);
// The file's bytes; false (and no bytes) when it cannot be read.
bool ReadWholeFile(const wchar_t* path, std::string& bytes);
#ifndef _WIN32
// The same for a path in the file system's own (UTF-8) form.
bool ReadWholeNativeFile(const std::string& path, std::string& bytes);
#endif
// Writes `bytes` as the file's whole content; false when that failed.
bool ReplaceFileContent(const wchar_t* path, const std::string& bytes);

// UTF-8 and back, for the platforms whose file names and INI library speak it. A
// character the other side cannot hold becomes '?'.
std::string WideToUtf8(const std::wstring& text);
std::wstring Utf8ToWide(const std::string& text);

}  // namespace marl
