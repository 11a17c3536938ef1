// The block buffers under rebound-cli's standard streams: many small
// fragments reach the system in a few large writes, and nothing is lost or
// reordered.
#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <string>

#include "cli/output_buffer.h"

namespace rebound::cli {
namespace {

std::string read_back(std::FILE* file) {
    std::rewind(file);
    std::string text;
    char chunk[4096];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) text.append(chunk, n);
    return text;
}

TEST(CliOutput, WarningsInFragmentsGoOutInBlocks) {
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    std::string expected;
    std::size_t writes = 0;
    {
        BlockBuffer buffer(file, 4096);
        std::ostream err(&buffer);
        // As evaluate warns: a line per component, written in six fragments.
        for (int i = 0; i < 2000; ++i) {
            err << "rebound-cli: " << "warning" << ": " << "component " << i << ": areas above the range\n";
            expected += "rebound-cli: warning: component " + std::to_string(i) + ": areas above the range\n";
        }
        // A block larger than the buffer passes in one piece, after what came before.
        const std::string large(10000, 'x');
        err << large << "\nend\n";
        expected += large + "\nend\n";
        err.flush();
        writes = buffer.writes();
    }
    EXPECT_EQ(read_back(file), expected);
    // One write per full block, plus the large one and the rest.
    EXPECT_LE(writes, expected.size() / 4096 + 3);
    std::fclose(file);
}

TEST(CliOutput, AFailedWriteMarksTheStream) {
    std::FILE* file = std::fopen("/dev/full", "w");
    if (file == nullptr) GTEST_SKIP() << "no /dev/full";
    BlockBuffer buffer(file, 64);
    std::ostream out(&buffer);
    out << std::string(10, 'a');
    EXPECT_TRUE(out.good());
    out.flush();
    EXPECT_TRUE(out.bad());
    std::fclose(file);
}

}  // namespace
}  // namespace rebound::cli
