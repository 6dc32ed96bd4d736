// Access to a Windows INI (profile) file: sections in square brackets, entries of a key,
// an equals sign and a value. Texts are wide; sizes and counts are in wide characters,
// a count being what was written to the buffer without the final terminator. The
// "list form" of names and entries is each one terminated, the list ending with an
// empty one.
#pragma once

#include <cstdint>

namespace marl {

class IIni {
public:
    virtual ~IIni() = default;

    // Works on the file at `path` from now on; true when the path was taken.
    virtual bool Open(const wchar_t* path) = 0;
    virtual void Close() = 0;
    // All section names of the file, in list form.
    virtual uint32_t GetSectionNames(wchar_t* buffer, uint32_t size) const = 0;
    // All key names of the section, in list form.
    virtual uint32_t GetKeyNames(const wchar_t* section, wchar_t* buffer, uint32_t size) const = 0;
    // All entries of the section as "key=value", in list form.
    virtual uint32_t GetSection(const wchar_t* section, wchar_t* buffer, uint32_t size) const = 0;
    // Replaces the section's entries by `entries` (list form of "key=value").
    virtual bool WriteSection(const wchar_t* section, const wchar_t* entries) = 0;
    // The key's value, or `defaultValue` (null: the empty text) when the key is absent.
    virtual uint32_t GetString(const wchar_t* section, const wchar_t* key, const wchar_t* defaultValue, wchar_t* buffer,
                               uint32_t size) const = 0;
    // Writes one entry; a null value removes the key, a null key the whole section.
    virtual bool WriteString(const wchar_t* section, const wchar_t* key, const wchar_t* value) = 0;
};

}  // namespace marl
