#pragma once
// Share modes between the records of this process that open the same node: an
// exclusive opener lets others read but not write, and cannot open while another
// record writes (what the Windows share flags gave). The kernel offers nothing of the kind.

#include <map>
#include <mutex>
#include <string>

namespace lumora {

class HidShareTable {
public:
    static HidShareTable& Instance();
    // False when the requested access conflicts with the records already open.
    bool Acquire(const std::string& node, bool write, bool exclusive);
    void Release(const std::string& node, bool write, bool exclusive);

private:
    struct Use {
        int writers = 0;
        int exclusive = 0;
    };
    std::mutex mutex_;
    std::map<std::string, Use> uses_;
};

}  // namespace lumora
