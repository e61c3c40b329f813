#include "platform/paths.h"

#include "tests/platform/temp_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace lumora {
namespace {

using testing::ScopedEnv;
using testing::TempFolder;

TEST(PathsTest, ExecutableFolderHoldsThisTest) {
    std::filesystem::path folder = Paths::ExecutableFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_TRUE(std::filesystem::exists(folder / "lumora_platform_services_tests"));
}

TEST(PathsTest, XdgFoldersFollowTheVariablesAndFallBackUnderHome) {
    struct Case {
        const char* variable;
        std::optional<std::string> value;
        std::filesystem::path (*get)();
        std::string expected;
    };
    const Case cases[] = {
        {"XDG_DATA_HOME", "/srv/data", &Paths::DataHome, "/srv/data"},
        {"XDG_DATA_HOME", "relative/data", &Paths::DataHome, "/home/someone/.local/share"},
        {"XDG_DATA_HOME", "", &Paths::DataHome, "/home/someone/.local/share"},
        {"XDG_DATA_HOME", std::nullopt, &Paths::DataHome, "/home/someone/.local/share"},
        {"XDG_CONFIG_HOME", "/srv/config", &Paths::ConfigHome, "/srv/config"},
        {"XDG_CONFIG_HOME", "config", &Paths::ConfigHome, "/home/someone/.config"},
        {"XDG_CONFIG_HOME", std::nullopt, &Paths::ConfigHome, "/home/someone/.config"},
    };
    ScopedEnv home("HOME", "/home/someone");
    for (const Case& c : cases) {
        ScopedEnv env(c.variable, c.value);
        EXPECT_EQ(c.get().string(), c.expected) << c.variable << "=" << c.value.value_or("(unset)");
    }
}

TEST(PathsTest, ProductFoldersAreNamedAfterTheProduct) {
    ScopedEnv data("XDG_DATA_HOME", "/d");
    ScopedEnv config("XDG_CONFIG_HOME", "/c");
    EXPECT_EQ(Paths::ProductDataFolder().string(), "/d/Halvek Trine Keyboard");
    EXPECT_EQ(Paths::ProductConfigFolder().string(), "/c/Halvek Trine Keyboard");
}

class RuntimeFolderTest : public ::testing::Test {
protected:
    TempFolder temp_;
    ScopedEnv tmpdir_{"TMPDIR", temp_.Path().string()};
    std::filesystem::path fallback_ = temp_.Path() / ("lumora-" + std::to_string(geteuid()));

    static unsigned Mode(const std::filesystem::path& path) {
        struct stat st {};
        lstat(path.c_str(), &st);
        return st.st_mode & 0777;
    }
};

TEST_F(RuntimeFolderTest, UsesAPrivateXdgRuntimeDir) {
    std::filesystem::path runtime = temp_ / "run";
    ASSERT_EQ(mkdir(runtime.c_str(), 0700), 0);
    ScopedEnv env("XDG_RUNTIME_DIR", runtime.string());
    EXPECT_EQ(Paths::RuntimeFolder(), runtime);
    EXPECT_EQ(Paths::InstanceLockFile(), runtime / "Halvek Trine Keyboard.lock");
    EXPECT_EQ(Paths::BusSocketFile(), runtime / "Halvek Trine Keyboard.sock");
    EXPECT_FALSE(std::filesystem::exists(fallback_));
}

TEST_F(RuntimeFolderTest, FallsBackToAPrivateFolderWhenXdgRuntimeDirIsUnsuitable) {
    std::filesystem::path open = temp_ / "open";
    ASSERT_EQ(mkdir(open.c_str(), 0700), 0);
    ASSERT_EQ(chmod(open.c_str(), 0755), 0);
    for (std::optional<std::string> value :
         {std::optional<std::string>(), std::optional<std::string>("relative"), std::optional(open.string()),
          std::optional((temp_ / "missing").string())}) {
        ScopedEnv env("XDG_RUNTIME_DIR", value);
        EXPECT_EQ(Paths::RuntimeFolder(), fallback_) << value.value_or("(unset)");
        EXPECT_EQ(Mode(fallback_), 0700u);
    }
}

TEST_F(RuntimeFolderTest, RepairsTheModeOfItsOwnFallbackFolder) {
    ScopedEnv env("XDG_RUNTIME_DIR", std::nullopt);
    ASSERT_EQ(mkdir(fallback_.c_str(), 0700), 0);
    ASSERT_EQ(chmod(fallback_.c_str(), 0777), 0);
    EXPECT_EQ(Paths::RuntimeFolder(), fallback_);
    EXPECT_EQ(Mode(fallback_), 0700u);
}

TEST_F(RuntimeFolderTest, RefusesAFallbackThatIsASymlinkOrBelongsToSomeoneElse) {
    ScopedEnv env("XDG_RUNTIME_DIR", std::nullopt);
    std::filesystem::path elsewhere = temp_ / "elsewhere";
    ASSERT_EQ(mkdir(elsewhere.c_str(), 0700), 0);
    std::filesystem::create_directory_symlink(elsewhere, fallback_);
    EXPECT_TRUE(Paths::RuntimeFolder().empty());
    EXPECT_TRUE(Paths::InstanceLockFile().empty());
    std::filesystem::remove(fallback_);

    if (geteuid() != 0) GTEST_SKIP() << "giving a folder to another user needs root";
    ASSERT_EQ(mkdir(fallback_.c_str(), 0700), 0);
    ASSERT_EQ(chown(fallback_.c_str(), 65534, 65534), 0);
    EXPECT_TRUE(Paths::RuntimeFolder().empty());
}

}  // namespace
}  // namespace lumora
