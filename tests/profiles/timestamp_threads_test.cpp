#include "profiles/json_file.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <thread>
#include <vector>

namespace lumora {
namespace {

// Profiles and macros are made from more than one thread (the UI and the recorder);
// their identifiers must still never meet.
TEST(TimestampIdThreads, IdsFromManyThreadsAreAllDifferent) {
    constexpr int kThreads = 4;
    constexpr int kEach = 2000;
    std::vector<std::vector<std::string>> ids(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&ids, t] {
            for (int i = 0; i < kEach; ++i) ids[t].push_back(CJsonFile::MakeTimestampId());
        });
    for (auto& th : threads) th.join();
    std::set<std::string> all;
    for (const auto& list : ids)
        for (std::size_t i = 0; i < list.size(); ++i) {
            EXPECT_TRUE(all.insert(list[i]).second) << list[i];
            if (i) { EXPECT_GT(list[i], list[i - 1]); }
        }
    EXPECT_EQ(all.size(), static_cast<std::size_t>(kThreads * kEach));
}

}  // namespace
}  // namespace lumora
