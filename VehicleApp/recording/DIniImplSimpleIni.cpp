// The INI access where the system has no profile functions: SimpleIni, made to behave as
// the profile functions do. The file's 8-bit text is taken as Latin-1 (the ANSI code page
// of these platforms), handed to the library in UTF-8 and written back the same way.
// Every operation reads the file anew, and a write rewrites it whole, as the profile
// functions do. The text is parsed again only when it differs from the text last read:
// a recording is read value by value, hundreds of values from one unchanged file.
//
// Matching the profile functions: section and key names are case-insensitive, blanks
// around the equals sign go, the first of two equal keys is the one read, names and
// entries are listed in file order, keys before the first section belong to none, and a
// default's trailing blanks are dropped.
#ifndef _WIN32

#include <SimpleIni.h>

#include <algorithm>
#include <string>
#include <vector>

#include "VehicleApp/recording/DIniImpl.h"
#include "VehicleApp/recording/FileAccess.h"
#include "VehicleApp/text/WideText.h"

namespace marl {
namespace {

using IniText = std::basic_string<UChar>;
constexpr unsigned char kLastLatin1 = 0xFF;
constexpr char kUnmappable = '?';

IniText ToIni(const std::wstring& text) {
    IniText out;
    for (wchar_t c : text) out.push_back(static_cast<UChar>(c));
    return out;
}

std::wstring FromIni(const UChar* text) {
    std::wstring out;
    for (const UChar* p = text; p != nullptr && *p != 0; ++p) out.push_back(static_cast<wchar_t>(*p));
    return out;
}

std::wstring Trimmed(std::wstring text) {
    const auto blank = [](wchar_t c) { return c == L' ' || c == L'\t'; };
    while (!text.empty() && blank(text.back())) text.pop_back();
    const auto first = std::find_if_not(text.begin(), text.end(), blank);
    return std::wstring(first, text.end());
}

void Configure(CSimpleIniW& ini) {
    ini.SetUnicode(true);
    ini.SetMultiKey(true);
    ini.SetSpaces(false);
}

// The file's text as SimpleIni should see it. A zero byte would end the library's reading
// early (files with recorded data before their text sections may hold them), so it
// counts as a blank.
bool Parse(std::string bytes, CSimpleIniW& ini) {
    Configure(ini);
    std::replace(bytes.begin(), bytes.end(), '\0', ' ');
    return ini.LoadData(WideToUtf8(text::Widen(bytes))) >= 0;
}

bool Load(const std::wstring& path, CSimpleIniW& ini) {
    Configure(ini);
    std::string bytes;
    return ReadWholeFile(path.c_str(), bytes) && Parse(std::move(bytes), ini);
}

bool Save(const std::wstring& path, const CSimpleIniW& ini) {
    std::string utf8;
    if (ini.Save(utf8) < 0) return false;
    std::string bytes;
    for (wchar_t c : Utf8ToWide(utf8)) {
        bytes += static_cast<unsigned long>(c) <= kLastLatin1 ? static_cast<char>(c) : kUnmappable;
    }
    return ReplaceFileContent(path.c_str(), bytes);
}

// Names in the order the file gives them; the nameless section holds keys that come
// before any section, which the profile functions do not see.
std::vector<std::wstring> InFileOrder(CSimpleIniW::TNamesDepend names) {
    names.sort(CSimpleIniW::Entry::LoadOrder());
    std::vector<std::wstring> out;
    for (const CSimpleIniW::Entry& name : names) {
        if (name.pItem != nullptr && name.pItem[0] != 0) out.push_back(FromIni(name.pItem));
    }
    return out;
}

// The list form: each item terminated, then one more terminator. When the buffer is too
// small the list is cut, ends with two terminators and the count is size - 2.
uint32_t WriteList(const std::vector<std::wstring>& items, wchar_t* buffer, uint32_t size) {
    if (size < 2) {
        buffer[0] = L'\0';
        return 0;
    }
    size_t at = 0;
    for (const std::wstring& item : items) {
        if (at + item.size() + 1 > size - 1) {
            // The items before may have filled the buffer up to its last character.
            const size_t room = at < size - 2 ? size - 2 - at : 0;
            std::copy_n(item.begin(), std::min(room, item.size()), buffer + at);
            buffer[size - 2] = L'\0';
            buffer[size - 1] = L'\0';
            return size - 2;
        }
        std::copy(item.begin(), item.end(), buffer + at);
        at += item.size();
        buffer[at++] = L'\0';
    }
    buffer[at] = L'\0';
    if (at == 0) buffer[1] = L'\0';
    return static_cast<uint32_t>(at);
}

uint32_t WriteText(const std::wstring& text, wchar_t* buffer, uint32_t size) {
    return static_cast<uint32_t>(text::CopyToBuffer(text, buffer, size));
}

bool Usable(const wchar_t* buffer, uint32_t size) { return buffer != nullptr && size > 0; }

}  // namespace

struct DIniImpl::Parsed {
    std::string bytes;
    CSimpleIniW ini;
};

// A file that cannot be read reads as empty and is not kept.
std::shared_ptr<const DIniImpl::Parsed> DIniImpl::Current() const {
    auto fresh = std::make_shared<Parsed>();
    if (!ReadWholeNativeFile(nativePath_, fresh->bytes)) return fresh;
    std::lock_guard<std::mutex> lock(parsedMutex_);
    if (parsed_ && parsed_->bytes == fresh->bytes) return parsed_;
    Parse(fresh->bytes, fresh->ini);
    parsed_ = fresh;
    return fresh;
}

uint32_t DIniImpl::GetSectionNames(wchar_t* buffer, uint32_t size) const {
    if (!path_ || !Usable(buffer, size)) return 0;
    const auto parsed = Current();
    CSimpleIniW::TNamesDepend names;
    parsed->ini.GetAllSections(names);
    return WriteList(InFileOrder(names), buffer, size);
}

uint32_t DIniImpl::GetKeyNames(const wchar_t* section, wchar_t* buffer, uint32_t size) const {
    if (!path_ || !Usable(buffer, size) || section == nullptr) return 0;
    const auto parsed = Current();
    CSimpleIniW::TNamesDepend names;
    parsed->ini.GetAllKeys(ToIni(section).c_str(), names);
    return WriteList(InFileOrder(names), buffer, size);
}

uint32_t DIniImpl::GetSection(const wchar_t* section, wchar_t* buffer, uint32_t size) const {
    if (!path_ || !Usable(buffer, size) || section == nullptr) return 0;
    const auto parsed = Current();
    std::vector<std::pair<CSimpleIniW::Entry, const UChar*>> entries;
    if (const CSimpleIniW::TKeyVal* keys = parsed->ini.GetSection(ToIni(section).c_str())) {
        entries.assign(keys->begin(), keys->end());
    }
    std::sort(entries.begin(), entries.end(),
              [](const auto& a, const auto& b) { return CSimpleIniW::Entry::LoadOrder()(a.first, b.first); });
    std::vector<std::wstring> lines;
    for (const auto& entry : entries) lines.push_back(FromIni(entry.first.pItem) + L"=" + FromIni(entry.second));
    return WriteList(lines, buffer, size);
}

bool DIniImpl::WriteSection(const wchar_t* section, const wchar_t* entries) {
    if (!path_ || section == nullptr) return false;
    CSimpleIniW ini;
    Load(*path_, ini);
    const IniText name = ToIni(section);
    ini.Delete(name.c_str(), nullptr);
    ini.SetValue(name.c_str(), nullptr, nullptr);
    // Entries without an equals sign are not entries and are left out.
    for (const wchar_t* entry = entries; entry != nullptr && *entry != L'\0'; entry += std::wcslen(entry) + 1) {
        const std::wstring line(entry);
        const size_t equals = line.find(L'=');
        if (equals == std::wstring::npos) continue;
        ini.SetValue(name.c_str(), ToIni(Trimmed(line.substr(0, equals))).c_str(),
                     ToIni(Trimmed(line.substr(equals + 1))).c_str(), nullptr, true);
    }
    return Save(*path_, ini);
}

uint32_t DIniImpl::GetString(const wchar_t* section, const wchar_t* key, const wchar_t* defaultValue, wchar_t* buffer,
                             uint32_t size) const {
    if (!path_ || !Usable(buffer, size)) return 0;
    if (section == nullptr) return GetSectionNames(buffer, size);
    if (key == nullptr) return GetKeyNames(section, buffer, size);
    const auto parsed = Current();
    const UChar* value = parsed->ini.GetValue(ToIni(section).c_str(), ToIni(key).c_str(), nullptr);
    if (value != nullptr) return WriteText(FromIni(value), buffer, size);
    std::wstring fallback = defaultValue != nullptr ? defaultValue : L"";
    while (!fallback.empty() && fallback.back() == L' ') fallback.pop_back();
    return WriteText(fallback, buffer, size);
}

bool DIniImpl::WriteString(const wchar_t* section, const wchar_t* key, const wchar_t* value) {
    if (!path_ || section == nullptr) return false;
    CSimpleIniW ini;
    Load(*path_, ini);
    const IniText name = ToIni(section);
    if (key == nullptr) {
        ini.Delete(name.c_str(), nullptr);
    } else if (value == nullptr) {
        ini.Delete(name.c_str(), ToIni(Trimmed(key)).c_str());
    } else {
        ini.SetValue(name.c_str(), ToIni(Trimmed(key)).c_str(), ToIni(Trimmed(value)).c_str(), nullptr, true);
    }
    return Save(*path_, ini);
}

}  // namespace marl

#endif  // _WIN32
