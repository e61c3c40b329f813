#pragma once
// Profile data of a mouse: DPI stages, system words (with the report-rate stage) and
// the angle-correction choices.

#include "profiles/basic_profiledata.h"

#include <vector>

namespace lumora {

class CMouseProfiledata : public CBasicProfiledata {
public:
    // Reads `StageActive` into the active stage and merges `StageDPIs` into the cached list:
    // stage j replaces cached stage j or is appended. The cached list, which is returned,
    // never gets shorter.
    std::vector<DpiStage> GetDpiStages();
    // Writes stages 0 to size-1 (surplus stages of the document stay) and merges them
    // into the cached list the same way.
    void SetDpiStages(const std::vector<DpiStage>& stages);
    int GetActiveDpiStage() const { return activeStage_; }
    // Also writes `StageActive` of `DPIStages`.
    void SetActiveDpiStage(int stage);

    // first = MouseSpeed << 16 | DoubleClickTime, second = ScorllPage << 16 | PointerPrecision,
    // third = ReportStages.StageActive << 16 | WheelScorlllinse.
    SystemWords GetSystemStages();
    void SetSystemStages(const SystemWords& words);

    std::vector<CorrectInfo> GetCorrectInfo();

private:
    void Merge(const std::vector<DpiStage>& stages);

    std::vector<DpiStage> dpiStages_;
    int activeStage_ = 0;
    SystemWords systemWords_{};
    std::vector<CorrectInfo> correctInfo_;
};

}  // namespace lumora
