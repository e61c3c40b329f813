#pragma once
// Profile data of the headset: audio settings and the equaliser tables.

#include "profiles/basic_profiledata.h"

#include <string>
#include <vector>

namespace lumora {

class CHs6533Profiledata : public CBasicProfiledata {
public:
    // The equaliser type that means "custom": its bands live in `CustomEQHzValueInfo`.
    static constexpr int kCustomEqType = 13;
    // The panel keeps at most this many custom equalisers.
    static constexpr int kMaxCustomEqualisers = 20;

    HeadsetStages GetSystemSetStages();
    void SetSystemSetStages(const HeadsetStages& stages);

    // Ten band values of the preset row for the type (type 0, negative or above 13 mean
    // row 1); empty for type 13. A missing row reads as zeros and is written back as zeros.
    std::vector<std::int32_t> GetEqValues(int eqType);
    void SetEqValues(int eqType, const EqBands& values);

    std::vector<std::string> GetCustomEqNames();
    // Replaces `CustomEQNameInfo` by one object per name.
    void SetCustomEqNames(const std::vector<std::string>& names);
    // Bands of a custom equaliser; empty for an index outside 0 to kMaxCustomEqualisers-1.
    std::vector<std::int32_t> GetCustomEqValues(int index);
    void SetCustomEqValues(int index, const EqBands& values);

    // Row of `EQHzValueInfo` that an equaliser type selects, or -1 for none (type 13).
    static int EqRowForType(int eqType);

private:
    std::vector<std::int32_t> ReadBands(const char* table, int row);
    void WriteBands(const char* table, int row, const EqBands& values);

    HeadsetStages stages_{};
    std::vector<std::int32_t> eqValues_;
};

}  // namespace lumora
