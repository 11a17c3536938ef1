// A GoogleTest fixture with a fresh folder of its own under the system's
// temporary folder, named after the running test, and removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace rebound::test {

// An empty folder below the temporary folder, named `stem` followed by the
// running test's name, for a test's files; `stem` may hold any characters.
inline std::filesystem::path fresh_test_folder(const std::u8string& stem) {
    const char* test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() /
        std::filesystem::path(stem + std::u8string(test, test + std::char_traits<char>::length(test)));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

class ScratchFolderTest : public ::testing::Test {
protected:
    // `prefix` starts the folder's name ("rebound-malformed-").
    explicit ScratchFolderTest(std::string prefix) : prefix_(std::move(prefix)) {}

    void SetUp() override {
        const ::testing::UnitTest& run = *::testing::UnitTest::GetInstance();
        dir_ = std::filesystem::temp_directory_path() /
               (prefix_ + std::to_string(run.random_seed()) + "-" + run.current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }

    std::filesystem::path dir_;

private:
    std::string prefix_;
};

}  // namespace rebound::test
