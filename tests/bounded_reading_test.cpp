// Reading stays bounded whatever the source does: a source that delivers more
// or less than it announced, a file that grows or shrinks after it was opened,
// a FIFO, and a device that never ends. The count of remaining bytes never
// runs below zero, nothing beyond what was announced is taken, and a source
// without a size is refused once it passes kMaxUnsizedBytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "fileio/byte_io.h"
#include "fixtures.h"
#include "model/rebound_file.h"
#include "platform/input_file.h"
#include "scratch_folder.h"

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace rebound {
namespace {

namespace fs = std::filesystem;

std::string project_bytes(const ReboundFile& p) {
    ByteWriter w;
    p.write_to(w);
    return w.bytes();
}

// A source that announces `announced` bytes (none: no size) and delivers
// `bytes`, a few at a time, as a pipe does.
class ScriptedSource : public platform::ByteSource {
public:
    ScriptedSource(std::string bytes, std::optional<std::uint64_t> announced)
        : bytes_(std::move(bytes)), announced_(announced) {}
    std::size_t read(char* dst, std::size_t n) override {
        const std::size_t step = std::min({n, bytes_.size() - at_, std::size_t{7}});
        std::memcpy(dst, bytes_.data() + at_, step);
        at_ += step;
        return step;
    }
    std::optional<std::uint64_t> size() const override { return announced_; }
    std::size_t delivered() const { return at_; }

private:
    std::string bytes_;
    std::optional<std::uint64_t> announced_;
    std::size_t at_ = 0;
};

class BoundedReading : public test::ScratchFolderTest {
protected:
    BoundedReading() : ScratchFolderTest("rebound-bounded-") {}
};

TEST_F(BoundedReading, SourcesThatDeliverMoreOrLessThanTheyAnnounce) {
    const ReboundFile original = test::sample_project(2, 3);
    const std::string whole = project_bytes(original);
    const std::size_t half = whole.size() / 2;
    struct Case {
        const char* name;
        std::string delivered;
        std::optional<std::uint64_t> announced;
        bool reads;
        const char* message_part;  // when it fails
    };
    const std::vector<Case> cases = {
        {"exactly what it announces", whole, whole.size(), true, ""},
        {"more than it announces, the project within", whole + std::string(5000, 'x'), whole.size(), true,
         ""},
        {"more than it announces, the project beyond", whole, half, false, "byte"},
        {"less than it announces", whole.substr(0, half), whole.size(), false, "the data ends"},
        {"nothing although it announces bytes", std::string(), whole.size(), false, "the project name"},
        {"no size, then the whole project", whole, std::nullopt, true, ""},
        {"no size, then half the project", whole.substr(0, half), std::nullopt, false, "byte"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedSource source(c.delivered, c.announced);
        ReboundFile p;
        std::string error;
        std::uint64_t offset = 0;
        std::uint64_t remaining = 0;
        {
            ByteReader in(source);
            try {
                p.read_from(in, test::today());
            } catch (const FormatError& e) {
                error = e.what();
            }
            offset = in.offset();
            remaining = in.remaining();
        }
        EXPECT_EQ(error.empty(), c.reads) << error;
        if (c.reads) {
            EXPECT_TRUE(p == original);
        } else {
            EXPECT_NE(error.find(c.message_part), std::string::npos) << error;
        }
        // Never a byte beyond the announced size, never a count that wrapped.
        const std::uint64_t limit = c.announced.value_or(c.delivered.size());
        EXPECT_LE(offset, limit);
        EXPECT_LE(remaining, limit);
        if (c.announced) {
            EXPECT_LE(source.delivered(), *c.announced);
        }
    }
}

TEST_F(BoundedReading, AFileIsReadAsItWasWhenOpened) {
    const ReboundFile original = test::sample_project(3, 4);
    const std::string whole = project_bytes(original);
    struct Case {
        const char* name;
        std::string after_open;  // the file's content once it is open
        bool reads;
    };
    const std::vector<Case> cases = {
        {"grows", whole + project_bytes(test::sample_project(40, 100)), true},
        {"shrinks", whole.substr(0, whole.size() - 60), false},
        {"unchanged", whole, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path path = dir_ / "site.prj";
        test::write_file(path, whole);
        Result<platform::InputFile> file = platform::InputFile::open(path);
        ASSERT_TRUE(file);
        {
            // Written in place, the way another program would change it.
            std::fstream change(path, std::ios::binary | std::ios::in | std::ios::out);
            change.write(c.after_open.data(), static_cast<std::streamsize>(c.after_open.size()));
        }
        if (c.after_open.size() < whole.size()) fs::resize_file(path, c.after_open.size());
        ReboundFile p;
        ByteReader in(*file);
        if (c.reads) {
            ASSERT_NO_THROW(p.read_from(in, test::today()));
            EXPECT_TRUE(p == original);
        } else {
            try {
                p.read_from(in, test::today());
                ADD_FAILURE() << "no error";
            } catch (const FormatError& e) {
                EXPECT_NE(std::string(e.what()).find("the data ends"), std::string::npos) << e.what();
                EXPECT_EQ(e.error().offset, c.after_open.size());
            }
        }
        EXPECT_LE(in.offset(), whole.size());
    }
}

#ifndef _WIN32
// A writer on the other end of a FIFO: the bytes, then `endless` zero bytes
// until the reader goes away.
void feed_fifo(const fs::path& fifo, const std::string& bytes, bool endless) {
    const int fd = ::open(fifo.c_str(), O_WRONLY);
    if (fd < 0) return;
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n <= 0) break;
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    static const char zeros[1 << 16] = {};
    while (endless && ::write(fd, zeros, sizeof zeros) > 0) {
    }
    ::close(fd);
}

// Through ReboundFile::load, as the window and the command-line tool open a
// file: a FIFO that delivers a project reads like the file; one that never
// ends, and a name linked to an endless device, give a clear error once the
// limit is passed.
TEST_F(BoundedReading, FifosAndEndlessDevices) {
    ::signal(SIGPIPE, SIG_IGN);  // the endless writer learns of the end by a failed write
    const ReboundFile original = test::sample_project(2, 3);
    const std::string whole = project_bytes(original);
    struct Case {
        const char* name;
        bool endless;
        bool device;  // a link to /dev/urandom instead of a FIFO
        bool loads;
    };
    const Case cases[] = {
        {"FIFO holding a project", false, false, true},
        {"FIFO that never ends", true, false, false},
        {"link to /dev/urandom", true, true, false},
    };
    int number = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path path = dir_ / ("x" + std::to_string(++number) + ".prj");
        std::thread writer;
        if (c.device) {
            fs::create_symlink("/dev/urandom", path);
        } else {
            ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
            writer = std::thread(feed_fifo, path, whole, c.endless);
        }
        ReboundFile p;
        const Result<void> loaded = p.load(path, test::today());
        if (writer.joinable()) writer.join();
        EXPECT_EQ(loaded.ok(), c.loads) << test::error_message(loaded);
        if (c.loads) {
            EXPECT_TRUE(p == original);
        } else {
            EXPECT_EQ(loaded.error().kind, FileError::Kind::Malformed);
            EXPECT_EQ(loaded.error().file, path);
            EXPECT_NE(loaded.error().message.find("goes on beyond 67108864 bytes"), std::string::npos)
                << loaded.error().message;
        }
    }
}
#endif

}  // namespace
}  // namespace rebound
