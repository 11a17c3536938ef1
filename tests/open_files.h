// Whether this process still holds a file open after the call that used it
// returned. On Windows a file that is open (without sharing delete access,
// as Qt and the C library open files) can be neither renamed nor deleted,
// and the next save over it fails; on Linux the process's open descriptors
// are listed in /proc/self/fd, and none may lead to the file.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace rebound::test {

// Checks that no descriptor or handle of this process holds `path`, then
// renames the file and deletes it, as a user would while the program still
// runs; both must succeed.
inline void expect_renamed_and_deleted(const std::filesystem::path& path) {
    namespace fs = std::filesystem;
    SCOPED_TRACE(path.u8string().size());  // the path itself may not print
    ASSERT_TRUE(fs::is_regular_file(path));
#ifdef __linux__
    std::error_code ec;
    const fs::path file = fs::canonical(path, ec);
    ASSERT_FALSE(ec) << ec.message();
    for (const auto& entry : fs::directory_iterator("/proc/self/fd", ec)) {
        std::error_code link_ec;
        const fs::path target = fs::read_symlink(entry.path(), link_ec);
        EXPECT_TRUE(link_ec || target != file) << "descriptor " << entry.path().filename() << " is still open";
    }
#endif
    fs::path renamed = path;
    renamed += ".renamed";
    std::error_code rename_ec;
    fs::rename(path, renamed, rename_ec);
    ASSERT_FALSE(rename_ec) << "cannot rename the file: " << rename_ec.message();
    std::error_code remove_ec;
    EXPECT_TRUE(fs::remove(renamed, remove_ec)) << "cannot delete the file: " << remove_ec.message();
    EXPECT_FALSE(fs::exists(renamed));
}

}  // namespace rebound::test
