// The INI access programs use: it owns the platform's implementation and forwards every
// operation to it. Without an implementation (its creation failed) every read gives 0,
// every write false, and Close does nothing.
#pragma once

#include <memory>

#include "VehicleApp/recording/DIniImpl.h"
#include "VehicleApp/recording/IIni.h"

namespace marl {

class DIni : public IIni {
public:
    // Opens `path` at once when one is given.
    explicit DIni(const wchar_t* path = nullptr);
    ~DIni() override;
    DIni(const DIni&) = delete;
    DIni& operator=(const DIni&) = delete;

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
    std::unique_ptr<IIni> impl_;
};

}  // namespace marl
