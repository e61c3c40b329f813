#pragma once
// Shared by the emulator suites: a rig of all six devices without link pacing, and the
// paths of their interfaces.

#include <gtest/gtest.h>

#include <string>

#include "sim/sim_rig.h"

namespace lumora {

class SimRigTest : public ::testing::Test {
protected:
    SimRigTest() : rig_(false) { rig_.CreateAll(); }

    // The command (collection 4) or event (collection 3) path of a 0x320F device.
    static std::string Path(const std::string& name, int collection = 4) {
        static const std::pair<const char*, const char*> kIds[] = {
            {"keyboard", "5055"}, {"keyboard-receiver", "5001"}, {"mouse", "221c"},
            {"mouse-receiver", "221d"}, {"mousepad", "1004"}};
        for (const auto& [n, pid] : kIds)
            if (name == n) return "sim:" + name + "#vid_320f&pid_" + pid + "&mi_01&col0" + std::to_string(collection);
        return "sim:headset#vid_0c76&pid_1630&mi_03";
    }

    SimRig rig_;
};

}  // namespace lumora
