#include "hostsim/database/JsonFields.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace hostsim::jsonfields {
namespace {

constexpr int kAutoBase = 0;
constexpr unsigned kNibbleBits = 4;
constexpr size_t kHexDigitsPerByte = 2;
constexpr int kFirstHexLetterValue = 10;

std::string Place(const std::string& where, const char* key) {
    return where.empty() ? std::string("'") + key + "'" : where + ": '" + key + "'";
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + kFirstHexLetterValue;
    if (c >= 'A' && c <= 'F') return c - 'A' + kFirstHexLetterValue;
    return -1;
}

}  // namespace

void Fail(const std::string& where, const std::string& problem) {
    throw FileError(where.empty() ? problem : where + ": " + problem);
}

bool Has(const nlohmann::json& object, const char* key) { return object.is_object() && object.contains(key); }

const nlohmann::json& Required(const nlohmann::json& object, const char* key, const std::string& where) {
    if (!object.is_object()) Fail(where, "expected an object");
    auto found = object.find(key);
    if (found == object.end()) Fail(where, std::string("'") + key + "' is missing");
    return *found;
}

uint64_t Unsigned(const nlohmann::json& value, uint64_t min, uint64_t max, const std::string& where,
                  const char* key) {
    uint64_t number = 0;
    if (value.is_number_unsigned()) {
        number = value.get<uint64_t>();
    } else if (value.is_number_integer()) {
        Fail(where, Place("", key) + " must not be negative");
    } else if (value.is_string()) {
        const std::string text = value.get<std::string>();
        char* end = nullptr;
        errno = 0;
        number = std::strtoull(text.c_str(), &end, kAutoBase);
        if (text.empty() || *end != '\0' || errno != 0 || text[0] == '-') {
            Fail(where, Place("", key) + " \"" + text + "\" is not a number");
        }
    } else {
        Fail(where, Place("", key) + " must be a whole number");
    }
    if (number < min || number > max) {
        Fail(where, Place("", key) + " is " + std::to_string(number) + ", not between " + std::to_string(min) +
                        " and " + std::to_string(max));
    }
    return number;
}

uint64_t UnsignedOr(const nlohmann::json& object, const char* key, uint64_t fallback, uint64_t min, uint64_t max,
                    const std::string& where) {
    if (!Has(object, key)) return fallback;
    return Unsigned(object.at(key), min, max, where, key);
}

int64_t SignedOr(const nlohmann::json& object, const char* key, int64_t fallback, int64_t min, int64_t max,
                 const std::string& where) {
    if (!Has(object, key)) return fallback;
    const nlohmann::json& value = object.at(key);
    if (!value.is_number_integer()) Fail(where, Place("", key) + " must be a whole number");
    int64_t number = value.get<int64_t>();
    if (number < min || number > max) {
        Fail(where, Place("", key) + " is " + std::to_string(number) + ", not between " + std::to_string(min) +
                        " and " + std::to_string(max));
    }
    return number;
}

double NumberOr(const nlohmann::json& object, const char* key, double fallback, const std::string& where) {
    if (!Has(object, key)) return fallback;
    const nlohmann::json& value = object.at(key);
    if (!value.is_number()) Fail(where, Place("", key) + " must be a number");
    return value.get<double>();
}

bool BoolOr(const nlohmann::json& object, const char* key, bool fallback, const std::string& where) {
    if (!Has(object, key)) return fallback;
    const nlohmann::json& value = object.at(key);
    if (!value.is_boolean()) Fail(where, Place("", key) + " must be true or false");
    return value.get<bool>();
}

std::string Text(const nlohmann::json& object, const char* key, const std::string& where) {
    const nlohmann::json& value = Required(object, key, where);
    if (!value.is_string()) Fail(where, Place("", key) + " must be a text");
    return value.get<std::string>();
}

std::string TextOr(const nlohmann::json& object, const char* key, const std::string& fallback,
                   const std::string& where) {
    if (!Has(object, key)) return fallback;
    return Text(object, key, where);
}

std::vector<std::string> TextList(const nlohmann::json& object, const char* key, const std::string& where) {
    std::vector<std::string> list;
    if (!Has(object, key)) return list;
    const nlohmann::json& value = object.at(key);
    if (!value.is_array()) Fail(where, Place("", key) + " must be a list of texts");
    for (const nlohmann::json& item : value) {
        if (!item.is_string()) Fail(where, Place("", key) + " must be a list of texts");
        list.push_back(item.get<std::string>());
    }
    return list;
}

const nlohmann::json& ArrayOf(const nlohmann::json& object, const char* key, const std::string& where) {
    const nlohmann::json& value = Required(object, key, where);
    if (!value.is_array()) Fail(where, Place("", key) + " must be a list");
    return value;
}

std::vector<uint8_t> HexBytes(const std::string& text, const std::string& where, const char* key) {
    std::string digits;
    for (char c : text) {
        if (c != ' ') digits += c;
    }
    if (digits.size() % kHexDigitsPerByte != 0) {
        Fail(where, Place("", key) + " \"" + text + "\" has an odd number of hex digits");
    }
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < digits.size(); i += kHexDigitsPerByte) {
        int high = HexDigit(digits[i]);
        int low = HexDigit(digits[i + 1]);
        if (high < 0 || low < 0) Fail(where, Place("", key) + " \"" + text + "\" is not hexadecimal");
        bytes.push_back(static_cast<uint8_t>((high << kNibbleBits) | low));
    }
    return bytes;
}

nlohmann::json ParseDocument(const std::string& text, const std::string& origin) {
    try {
        return nlohmann::json::parse(text);
    } catch (const nlohmann::json::parse_error& error) {
        throw FileError(origin + ": not valid JSON (" + error.what() + ")");
    }
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::in | std::ios::binary);
    if (!file) throw FileError(path + ": cannot open the file");
    std::ostringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

}  // namespace hostsim::jsonfields
