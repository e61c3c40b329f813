#pragma once
// Profile data of a keyboard: system words and the custom per-key colour groups.

#include "profiles/basic_profiledata.h"

#include <vector>

namespace lumora {

class CKeyboardProfiledata : public CBasicProfiledata {
public:
    // Group numbers come from the profile and the panel; a number outside this range
    // would make the document grow to that many elements.
    static constexpr int kMaxCustomGroups = 256;
    // Light positions per group: more than any keyboard frame carries.
    static constexpr int kMaxCustomColorPositions = 512;

    // first = RepeatDelay << 16 | Repeat, second = PollingRate << 16 | Key6Flag,
    // third = WinFlag << 16 | WFlag.
    SystemWords GetSystemStages();
    void SetSystemStages(const SystemWords& words);

    // Colours of positions 0 to count-1 of a group; a missing group or position reads as
    // zero and is written back as zeros. An out-of-range group gives zeros and writes nothing.
    std::vector<RgbaColor> GetCustomColors(int group, int count);
    void SetCustomColors(const std::vector<RgbaColor>& colors, int group);
    int GetCustomGroupIndex();
    void SetCustomGroupIndex(int index);

private:
    SystemWords systemWords_{};
    std::vector<RgbaColor> customColors_;
    int customGroupIndex_ = 0;
};

}  // namespace lumora
