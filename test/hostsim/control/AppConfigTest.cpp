// The host's configuration file where the plug-in opens it.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/Platform.h"
#include "test/hostsim/HostSimFixture.h"

namespace {

constexpr const char* kDevicePath = "\\Hard Disk\\Brakk\\Zorv\\Ini\\AppConfig.ini";

std::string ReadAll(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return file ? std::string(std::istreambuf_iterator<char>(file), {}) : "(missing)";
}

std::string Root() {
    const char* root = std::getenv("MARL_HOST_ROOT");
    return root != nullptr ? root : "";
}

}  // namespace

TEST_F(HostSimTest, ConfigurationFileAppearsAtTheDevicePath) {
    std::string before = Root();
    const std::string ini = "[testing]\r\nMarlJ1939PromptShowAllParameters=1\r\n";
    ASSERT_EQ(hostsim::SetAppConfigText(ini), "");
    std::string placed = marl::platform::HostPath(kDevicePath);
    EXPECT_EQ(ReadAll(placed), ini) << "bytes as given, line ends included";
    EXPECT_NE(Root(), before);

    std::string copy = (std::filesystem::temp_directory_path() / "marl-appconfig-source.ini").string();
    std::ofstream(copy, std::ios::binary) << "[Testing]\nMarlJ1939PromptShowAllParameters=0x0\n";
    ASSERT_EQ(hostsim::SetAppConfigFile(copy), "");
    EXPECT_FALSE(std::filesystem::exists(placed)) << "the earlier copy is gone";
    EXPECT_EQ(ReadAll(marl::platform::HostPath(kDevicePath)), ReadAll(copy));
    std::filesystem::remove(copy);

    std::string root = Root();
    hostsim::Reset();
    EXPECT_EQ(Root(), before) << "the variable has its earlier value again";
    EXPECT_FALSE(std::filesystem::exists(root));
    EXPECT_NE(hostsim::SetAppConfigFile("no-such.ini").find("no-such.ini"), std::string::npos);
    EXPECT_EQ(Root(), before);
}
