// Loads the plug-in once per test program, as the host does.
#pragma once

#include <gtest/gtest.h>

#include "tools/PluginLoader.h"

namespace marl::test {

inline tools::PluginLoader& Plugin() {
    static tools::PluginLoader* loader = [] {
        auto* l = new tools::PluginLoader;
        if (!l->Load(tools::DefaultPluginPath())) {
            ADD_FAILURE() << l->Error();
        }
        return l;
    }();
    return *loader;
}

template <typename Fn>
Fn EntryOf(uint32_t id) {
    Fn fn = Plugin().Entry<Fn>(id);
    EXPECT_NE(fn, nullptr) << "no entry 0x" << std::hex << id;
    return fn;
}

}  // namespace marl::test
