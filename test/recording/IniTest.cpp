// The INI access, run against the implementation of the platform the test is built for
// (the profile functions on Windows, SimpleIni elsewhere): both must answer alike.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "VehicleApp/recording/DIni.h"

namespace marl::testing {
namespace {

constexpr uint32_t kSize = 64;

class IniTest : public ::testing::Test {
protected:
    const std::filesystem::path file_ = std::filesystem::temp_directory_path() / "marl-ini-test.ini";
    const std::filesystem::path other_ = std::filesystem::temp_directory_path() / "marl-ini-test-2.ini";
    wchar_t buffer_[kSize] = {};

    void SetUp() override { TearDown(); }
    void TearDown() override {
        std::filesystem::remove(file_);
        std::filesystem::remove(other_);
    }
    static void Write(const std::filesystem::path& file, const std::string& text) {
        std::ofstream(file, std::ios::binary) << text;
    }
    void Fill() { std::fill(std::begin(buffer_), std::end(buffer_), L'#'); }
    // The items of a list-form answer of `count` characters; the list must end in two
    // terminators.
    std::vector<std::wstring> List(uint32_t count) const {
        EXPECT_EQ(buffer_[count], L'\0');
        std::vector<std::wstring> items;
        for (uint32_t at = 0; at < count; at += static_cast<uint32_t>(items.back().size()) + 1) {
            items.emplace_back(buffer_ + at);
        }
        return items;
    }
    std::wstring Value(const IIni& ini, const wchar_t* section, const wchar_t* key, const wchar_t* fallback = nullptr,
                       uint32_t size = kSize) {
        Fill();
        const uint32_t count = ini.GetString(section, key, fallback, buffer_, size);
        EXPECT_EQ(count, std::wstring(buffer_).size());
        return buffer_;
    }
};

TEST_F(IniTest, ValuesNamesAndEntriesAreReadInTheProfileForms) {
    Write(file_, "[First]\r\nalpha = 1\r\nBeta=two words \r\n\r\n[Second]\r\nkey=first\r\nkey=later\r\n");
    DIni ini(file_.wstring().c_str());
    EXPECT_EQ(Value(ini, L"first", L"ALPHA"), L"1") << "names in any letter case, blanks around '=' dropped";
    EXPECT_EQ(Value(ini, L"First", L"Beta"), L"two words");
    EXPECT_EQ(Value(ini, L"Second", L"key"), L"first") << "the first of two equal keys";
    EXPECT_EQ(Value(ini, L"First", L"Beta", nullptr, 4), L"two") << "cut to the buffer";

    EXPECT_EQ(Value(ini, L"First", L"missing"), L"");
    EXPECT_EQ(buffer_[1], L'#') << "only the terminator is written";
    EXPECT_EQ(Value(ini, L"Nowhere", L"missing", L"fallback"), L"fallback");

    Fill();
    EXPECT_EQ(ini.GetSectionNames(buffer_, kSize), 13u);
    EXPECT_EQ(List(13), (std::vector<std::wstring>{L"First", L"Second"}));
    Fill();
    EXPECT_EQ(ini.GetKeyNames(L"FIRST", buffer_, kSize), 11u);
    EXPECT_EQ(List(11), (std::vector<std::wstring>{L"alpha", L"Beta"}));
    Fill();
    EXPECT_EQ(ini.GetKeyNames(L"First", buffer_, 7), 5u) << "cut where the first name filled all but one character";
    EXPECT_EQ(List(5), std::vector<std::wstring>{L"alpha"});
    EXPECT_EQ(buffer_[6], L'\0');
    EXPECT_EQ(buffer_[7], L'#') << "nothing written past the size given";
    Fill();
    EXPECT_EQ(ini.GetSection(L"First", buffer_, kSize), 23u);
    EXPECT_EQ(List(23), (std::vector<std::wstring>{L"alpha=1", L"Beta=two words"}));
}

TEST_F(IniTest, WithoutAPathNothingIsReadOrWrittenAndTheLastOpenedPathCounts) {
    Write(file_, "[S]\r\nk=from first\r\n");
    Write(other_, "[S]\r\nk=from second\r\n");
    DIni ini;
    Fill();
    EXPECT_EQ(ini.GetString(L"S", L"k", L"default", buffer_, kSize), 0u);
    EXPECT_EQ(ini.GetSectionNames(buffer_, kSize), 0u);
    EXPECT_EQ(ini.GetSection(L"S", buffer_, kSize), 0u);
    EXPECT_EQ(buffer_[0], L'#') << "the buffer is not touched";
    EXPECT_FALSE(ini.WriteString(L"S", L"k", L"v"));
    EXPECT_FALSE(ini.WriteSection(L"S", L"k=v\0"));

    EXPECT_TRUE(ini.Open(file_.wstring().c_str()));
    EXPECT_TRUE(ini.Open(other_.wstring().c_str()));
    EXPECT_EQ(Value(ini, L"S", L"k"), L"from second");
    ini.Close();
    Fill();
    EXPECT_EQ(ini.GetString(L"S", L"k", nullptr, buffer_, kSize), 0u);
}

TEST_F(IniTest, WritesReplaceEntriesAndRemoveKeysAndSections) {
    DIni ini(file_.wstring().c_str());
    EXPECT_TRUE(ini.WriteString(L"Section", L"key", L"one"));
    EXPECT_TRUE(ini.WriteString(L"section", L"KEY", L"two"));
    EXPECT_EQ(Value(ini, L"Section", L"key"), L"two");

    EXPECT_TRUE(ini.WriteSection(L"Section", L"a=1\0b=2\0"));
    Fill();
    EXPECT_EQ(List(ini.GetSection(L"Section", buffer_, kSize)), (std::vector<std::wstring>{L"a=1", L"b=2"}));
    EXPECT_EQ(Value(ini, L"Section", L"key", L"gone"), L"gone");

    EXPECT_TRUE(ini.WriteString(L"Section", L"a", nullptr));
    Fill();
    EXPECT_EQ(List(ini.GetKeyNames(L"Section", buffer_, kSize)), std::vector<std::wstring>{L"b"});
    EXPECT_TRUE(ini.WriteString(L"Other", L"x", L"y"));
    EXPECT_TRUE(ini.WriteString(L"Section", nullptr, nullptr));
    Fill();
    EXPECT_EQ(List(ini.GetSectionNames(buffer_, kSize)), std::vector<std::wstring>{L"Other"});

    // A file changed by someone else is read as it is now, even at the same length.
    Write(file_, "[S]\nk=1\n");
    EXPECT_EQ(Value(ini, L"S", L"k"), L"1");
    Write(file_, "[S]\nk=2\n");
    EXPECT_EQ(Value(ini, L"S", L"k"), L"2");
    std::filesystem::remove(file_);
    EXPECT_EQ(Value(ini, L"S", L"k", L"none"), L"none");
}

}  // namespace
}  // namespace marl::testing
