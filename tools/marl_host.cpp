// The command-line host: loads the plug-in the way the host platform does and shows
// what it offers.
#include <cstdio>
#include <string>

#include <CLI/CLI.hpp>

#include "tools/PluginLoader.h"

namespace {

void PrintDescriptor(const marl::tools::PluginLoader& plugin) {
    const zorv::PluginDescriptor* d = plugin.Descriptor();
    std::printf("Plug-in descriptor at %p\n", static_cast<const void*>(d));
    std::printf("  interface number       0x%08X\n", static_cast<unsigned>(d->interfaceVersion));
    std::printf("  dispatch table         %p\n", static_cast<const void*>(d->table));
    std::printf("  second interface no.   0x%08X\n", static_cast<unsigned>(d->secondInterfaceVersion));
    std::printf("  field 12               %u\n", static_cast<unsigned>(d->reserved12));
    std::printf("  field 16               %u\n", static_cast<unsigned>(d->reserved16));
    std::printf("  field 20               %u\n", static_cast<unsigned>(d->field20));
}

void PrintEntries(const marl::tools::PluginLoader& plugin) {
    const auto rows = plugin.Entries();
    std::printf("\nEntry table (%zu entries)\n", rows.size());
    std::printf("   #  id       decimal  entry\n");
    int n = 0;
    for (const auto& row : rows) {
        std::printf("  %2d  0x%05X  %-7u  %s\n", ++n, static_cast<unsigned>(row.id), static_cast<unsigned>(row.id),
                    marl::tools::EntryName(row.id));
    }
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Marl J1939 command-line host: loads the plug-in as the host platform does"};
    std::string pluginPath = marl::tools::DefaultPluginPath();
    app.add_option("--plugin", pluginPath, "path of the plug-in library")->capture_default_str();
    CLI11_PARSE(app, argc, argv);

    marl::tools::PluginLoader plugin;
    if (!plugin.Load(pluginPath)) {
        std::fprintf(stderr, "marl-host: %s\n", plugin.Error().c_str());
        return 1;
    }
    std::printf("Loaded %s\n\n", pluginPath.c_str());
    PrintDescriptor(plugin);
    PrintEntries(plugin);
    return 0;
}
