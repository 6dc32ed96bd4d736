#include "VehicleApp/recording/DIni.h"

#include <new>

namespace marl {

DIni::DIni(const wchar_t* path) : impl_(new (std::nothrow) DIniImpl) {
    if (impl_ && path != nullptr) impl_->Open(path);
}

DIni::~DIni() = default;

bool DIni::Open(const wchar_t* path) { return impl_ && impl_->Open(path); }

void DIni::Close() {
    if (impl_) impl_->Close();
}

uint32_t DIni::GetSectionNames(wchar_t* buffer, uint32_t size) const {
    return impl_ ? impl_->GetSectionNames(buffer, size) : 0;
}

uint32_t DIni::GetKeyNames(const wchar_t* section, wchar_t* buffer, uint32_t size) const {
    return impl_ ? impl_->GetKeyNames(section, buffer, size) : 0;
}

uint32_t DIni::GetSection(const wchar_t* section, wchar_t* buffer, uint32_t size) const {
    return impl_ ? impl_->GetSection(section, buffer, size) : 0;
}

bool DIni::WriteSection(const wchar_t* section, const wchar_t* entries) {
    return impl_ && impl_->WriteSection(section, entries);
}

uint32_t DIni::GetString(const wchar_t* section, const wchar_t* key, const wchar_t* defaultValue, wchar_t* buffer,
                         uint32_t size) const {
    return impl_ ? impl_->GetString(section, key, defaultValue, buffer, size) : 0;
}

bool DIni::WriteString(const wchar_t* section, const wchar_t* key, const wchar_t* value) {
    return impl_ && impl_->WriteString(section, key, value);
}

}  // namespace marl
