// The INI access of the platform: the system's profile functions on Windows, SimpleIni
// elsewhere, with the same observable behaviour. The file is not held open: every
// operation reads or writes it whole, so changes made by others in between are seen.
// While no path is held, reads give 0 without touching the buffer and writes give false.
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "VehicleApp/recording/IIni.h"

namespace marl {

class DIniImpl : public IIni {
public:
    DIniImpl() = default;
    ~DIniImpl() override = default;
    DIniImpl(const DIniImpl&) = delete;
    DIniImpl& operator=(const DIniImpl&) = delete;

    bool Open(const wchar_t* path) override;
    void Close() override;
    uint32_t GetSectionNames(wchar_t* buffer, uint32_t size) const override;
    uint32_t GetKeyNames(const wchar_t* section, wchar_t* buffer, uint32_t size) const override;
    uint32_t GetSection(const wchar_t* section, wchar_t* buffer, uint32_t size) const override;
    bool WriteSection(const wchar_t* section, const wchar_t* entries) override;
    uint32_t GetString(const wchar_t* section, const wchar_t* key, const wchar_t* defaultValue, wchar_t* buffer,
                       uint32_t size) const override;
    bool WriteString(const wchar_t* section, const wchar_t* key, const wchar_t* value) override;

private:
    // Where the system has no profile functions: the file's text as last read and what it
    // parsed to, so that a file read value by value is parsed once while it stays the same.
    struct Parsed;
    std::shared_ptr<const Parsed> Current() const;

    // Null while closed.
    std::unique_ptr<std::wstring> path_;
    // The path as the file system takes it, where that is not the wide path.
    std::string nativePath_;
    mutable std::mutex parsedMutex_;
    mutable std::shared_ptr<const Parsed> parsed_;
};

}  // namespace marl
