// The INI access on Windows: the system's profile functions, which read and write the
// file in the ANSI code page and keep no handle open between calls.
#ifdef _WIN32

#include <windows.h>

#include "VehicleApp/recording/DIniImpl.h"

namespace marl {
namespace {

constexpr const wchar_t* kEmptyDefault = L"";

// The profile functions write into the buffer even for a size of 0 on some systems.
bool Usable(const wchar_t* buffer, uint32_t size) { return buffer != nullptr && size > 0; }

}  // namespace

uint32_t DIniImpl::GetSectionNames(wchar_t* buffer, uint32_t size) const {
    if (!path_ || !Usable(buffer, size)) return 0;
    return GetPrivateProfileSectionNamesW(buffer, size, path_->c_str());
}

uint32_t DIniImpl::GetKeyNames(const wchar_t* section, wchar_t* buffer, uint32_t size) const {
    if (!path_ || !Usable(buffer, size) || section == nullptr) return 0;
    return GetPrivateProfileStringW(section, nullptr, kEmptyDefault, buffer, size, path_->c_str());
}

uint32_t DIniImpl::GetSection(const wchar_t* section, wchar_t* buffer, uint32_t size) const {
    if (!path_ || !Usable(buffer, size) || section == nullptr) return 0;
    return GetPrivateProfileSectionW(section, buffer, size, path_->c_str());
}

bool DIniImpl::WriteSection(const wchar_t* section, const wchar_t* entries) {
    if (!path_ || section == nullptr) return false;
    return WritePrivateProfileSectionW(section, entries, path_->c_str()) != FALSE;
}

uint32_t DIniImpl::GetString(const wchar_t* section, const wchar_t* key, const wchar_t* defaultValue, wchar_t* buffer,
                             uint32_t size) const {
    if (!path_ || !Usable(buffer, size) || section == nullptr) return 0;
    return GetPrivateProfileStringW(section, key, defaultValue != nullptr ? defaultValue : kEmptyDefault, buffer, size,
                                    path_->c_str());
}

bool DIniImpl::WriteString(const wchar_t* section, const wchar_t* key, const wchar_t* value) {
    if (!path_ || section == nullptr) return false;
    return WritePrivateProfileStringW(section, key, value, path_->c_str()) != FALSE;
}

}  // namespace marl

#endif  // _WIN32
