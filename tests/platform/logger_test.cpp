#include "platform/logger.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumora {
namespace {

struct Captured {
    LogLevel level;
    std::string tag;
    std::string text;
};

class LoggerTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = Logger::Level();
        Logger::SetSink([this](LogLevel l, std::string_view t, std::string_view s) {
            lines_.push_back({l, std::string(t), std::string(s)});
        });
    }
    void TearDown() override {
        Logger::SetSink(nullptr);
        Logger::SetLevel(saved_);
    }
    LogLevel saved_{};
    std::vector<Captured> lines_;
};

TEST_F(LoggerTest, DropsLinesBelowTheLevel) {
    Logger::SetLevel(LogLevel::Warning);
    LOG_DEBUG("hid", "hidden %d", 1);
    LOG_INFO("hid", "hidden %d", 2);
    LOG_WARNING("hid", "shown %d", 3);
    LOG_ERROR("hid", "shown %s", "four");
    ASSERT_EQ(lines_.size(), 2u);
    EXPECT_EQ(lines_[0].text, "shown 3");
    EXPECT_EQ(lines_[1].text, "shown four");
    EXPECT_EQ(lines_[1].tag, "hid");
}

TEST_F(LoggerTest, FormatsLongLinesWhole) {
    Logger::SetLevel(LogLevel::Debug);
    std::string big(2000, 'x');
    LOG_DEBUG("t", "%s|", big.c_str());
    ASSERT_EQ(lines_.size(), 1u);
    EXPECT_EQ(lines_[0].text, big + "|");
}

TEST(LoggerParse, Levels) {
    EXPECT_EQ(Logger::ParseLevel("debug", LogLevel::Warning), LogLevel::Debug);
    EXPECT_EQ(Logger::ParseLevel("off", LogLevel::Warning), LogLevel::Off);
    EXPECT_EQ(Logger::ParseLevel("loud", LogLevel::Warning), LogLevel::Warning);
    EXPECT_EQ(Logger::ParseLevel("", LogLevel::Error), LogLevel::Error);
}

}  // namespace
}  // namespace lumora
