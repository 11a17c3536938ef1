#include "platform/input_file.h"

#include <vector>

#include <QFile>
#include <QFileInfo>

#include "platform/qt_bridge.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#endif

namespace rebound::platform {

namespace {

FileError cannot_open(const std::filesystem::path& path, std::string code, std::vector<std::string> args,
                      std::string message) {
    FileError error;
    error.kind = FileError::Kind::CannotOpen;
    error.file = path;
    error.say(std::move(code), std::move(args), std::move(message));
    return error;
}

}  // namespace

#ifdef _WIN32

struct InputFile::Impl {
    QFile file;
    std::optional<std::uint64_t> size;
    std::string failure;
};

Result<InputFile> InputFile::open(const std::filesystem::path& path) {
    const QString name = from_path(path);
    const QFileInfo info(name);
    if (info.isDir()) return cannot_open(path, "is_folder", {}, "is a folder, not a file");
    if (!info.exists()) return cannot_open(path, "cannot_open_missing", {}, "cannot be opened: the file does not exist");
    auto impl = std::make_unique<Impl>();
    impl->file.setFileName(name);
    // Unbuffered: the reader has its own buffer, and a second one would only
    // copy every byte once more.
    if (!impl->file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        const bool denied = impl->file.error() == QFileDevice::OpenError && info.exists() && !info.isReadable();
        if (denied) return cannot_open(path, "cannot_open_denied", {}, "cannot be opened: permission denied");
        const std::string reason = impl->file.errorString().toStdString();
        return cannot_open(path, "cannot_open_reason", {reason}, "cannot be opened: " + reason);
    }
    if (!impl->file.isSequential()) {
        impl->size = static_cast<std::uint64_t>(impl->file.size());
    }
    return InputFile(std::move(impl));
}

std::size_t InputFile::read(char* dst, std::size_t n) {
    if (!impl_->failure.empty()) return 0;
    const qint64 got = impl_->file.read(dst, static_cast<qint64>(n));
    if (got < 0) {
        impl_->failure = impl_->file.errorString().toStdString();
        return 0;
    }
    return static_cast<std::size_t>(got);
}

#else

// By the name's own bytes (Qt would replace those of a name that is not
// UTF-8), and with the system's reason when the file cannot be opened.
struct InputFile::Impl {
    int fd = -1;
    std::optional<std::uint64_t> size;
    std::string failure;
    ~Impl() {
        if (fd >= 0) ::close(fd);
    }
};

Result<InputFile> InputFile::open(const std::filesystem::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return cannot_open(path, "is_folder", {}, "is a folder, not a file");
        if (S_ISSOCK(st.st_mode)) return cannot_open(path, "cannot_open_socket", {}, "cannot be opened: not a regular file (a socket)");
    }
    auto impl = std::make_unique<Impl>();
    // A FIFO opens once a writer has it open, and is read once.
    impl->fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (impl->fd < 0) {
        const int code = errno;
        switch (code) {
            case ENOENT:
                return cannot_open(path, "cannot_open_missing", {}, "cannot be opened: the file does not exist");
            case EACCES:
            case EPERM:
                return cannot_open(path, "cannot_open_denied", {}, "cannot be opened: permission denied");
            case ENXIO:
            case ENODEV:
                return cannot_open(path, "cannot_open_irregular", {}, "cannot be opened: not a regular file");
            default:
                return cannot_open(path, "cannot_open_reason", {std::strerror(code)},
                                   std::string("cannot be opened: ") + std::strerror(code));
        }
    }
    if (::fstat(impl->fd, &st) == 0 && S_ISREG(st.st_mode)) {
        impl->size = static_cast<std::uint64_t>(st.st_size);
    }
    return InputFile(std::move(impl));
}

std::size_t InputFile::read(char* dst, std::size_t n) {
    if (!impl_->failure.empty()) return 0;
    for (;;) {
        const ssize_t got = ::read(impl_->fd, dst, std::min<std::size_t>(n, std::size_t{1} << 30));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            impl_->failure = std::strerror(errno);
            return 0;
        }
        return static_cast<std::size_t>(got);
    }
}

#endif

InputFile::InputFile(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
InputFile::InputFile(InputFile&&) noexcept = default;
InputFile& InputFile::operator=(InputFile&&) noexcept = default;
InputFile::~InputFile() = default;

std::optional<std::uint64_t> InputFile::size() const {
    return impl_->size;
}

std::string InputFile::failure() const {
    return impl_->failure;
}

Result<std::string> read_small_file(const std::filesystem::path& path, const char* what, std::size_t limit) {
    Result<InputFile> opened = InputFile::open(path);
    if (!opened) return opened.error();
    std::string bytes;
    char block[65536];
    while (const std::size_t n = opened->read(block, sizeof block)) {
        if (n > limit - bytes.size()) {
            FileError error;
            error.kind = FileError::Kind::Malformed;
            error.file = path;
            error.say("file_too_large", {std::to_string(limit), what},
                      "is larger than " + std::to_string(limit) + " bytes, the most " + what + " may hold");
            return error;
        }
        bytes.append(block, n);
    }
    if (const std::string failure = opened->failure(); !failure.empty()) {
        FileError error;
        error.kind = FileError::Kind::Malformed;
        error.file = path;
        error.say("system_reason", {failure}, failure);
        return error;
    }
    return bytes;
}

}  // namespace rebound::platform
