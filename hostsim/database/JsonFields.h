// Reading the fields of the stand-in host's JSON files (parameter databases, scenarios)
// with errors that name the file, the place and the problem.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace hostsim::jsonfields {

// A problem in a file; its text names the place ("dataPoints[3] (SPN_190): ...").
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

[[noreturn]] void Fail(const std::string& where, const std::string& problem);

const nlohmann::json& Required(const nlohmann::json& object, const char* key, const std::string& where);
bool Has(const nlohmann::json& object, const char* key);

// Whole numbers given as JSON numbers or as texts "0x1F"/"31", within [min, max].
uint64_t Unsigned(const nlohmann::json& value, uint64_t min, uint64_t max, const std::string& where, const char* key);
uint64_t UnsignedOr(const nlohmann::json& object, const char* key, uint64_t fallback, uint64_t min, uint64_t max,
                    const std::string& where);
int64_t SignedOr(const nlohmann::json& object, const char* key, int64_t fallback, int64_t min, int64_t max,
                 const std::string& where);
double NumberOr(const nlohmann::json& object, const char* key, double fallback, const std::string& where);
bool BoolOr(const nlohmann::json& object, const char* key, bool fallback, const std::string& where);
std::string Text(const nlohmann::json& object, const char* key, const std::string& where);
std::string TextOr(const nlohmann::json& object, const char* key, const std::string& fallback,
                   const std::string& where);
std::vector<std::string> TextList(const nlohmann::json& object, const char* key, const std::string& where);
const nlohmann::json& ArrayOf(const nlohmann::json& object, const char* key, const std::string& where);
// Hex bytes with optional blanks between pairs ("F0 7D" or "F07D").
std::vector<uint8_t> HexBytes(const std::string& text, const std::string& where, const char* key);

// The whole document of a file or a text; syntax errors name the origin and the byte.
nlohmann::json ParseDocument(const std::string& text, const std::string& origin);
// The file's contents; the error names the path.
std::string ReadWholeFile(const std::string& path);

// A JSON file of the data folder turned into its contents by `build`, which throws
// FileError for what it refuses: the result holds the contents (in its member `into`)
// or the one line that says what is wrong (`error`).
template <typename Result, typename Contents, typename Build>
Result ParseJsonText(const std::string& text, const std::string& origin, std::optional<Contents> Result::*into,
                     Build build) {
    Result result;
    try {
        result.*into = build(ParseDocument(text, origin), origin);
    } catch (const FileError& error) {
        result.error = error.what();
    } catch (const nlohmann::json::exception& error) {
        result.error = origin + ": " + error.what();
    }
    return result;
}

template <typename Result, typename Contents, typename Build>
Result ReadJsonFile(const std::string& path, std::optional<Contents> Result::*into, Build build) {
    std::string text;
    try {
        text = ReadWholeFile(path);
    } catch (const FileError& error) {
        Result result;
        result.error = error.what();
        return result;
    }
    return ParseJsonText(text, path, into, build);
}

}  // namespace hostsim::jsonfields
