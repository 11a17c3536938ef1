#include "platform/input_file.h"

#include <QFile>
#include <QFileInfo>

#include "platform/qt_bridge.h"

namespace rebound::platform {

struct InputFile::Impl {
    QFile file;
    std::optional<std::uint64_t> size;
    std::string failure;
};

InputFile::InputFile(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
InputFile::InputFile(InputFile&&) noexcept = default;
InputFile& InputFile::operator=(InputFile&&) noexcept = default;
InputFile::~InputFile() = default;

Result<InputFile> InputFile::open(const std::filesystem::path& path) {
    FileError error;
    error.kind = FileError::Kind::CannotOpen;
    error.file = path;
    const QString name = from_path(path);
    if (QFileInfo(name).isDir()) {
        error.message = "is a folder, not a file";
        return error;
    }
    auto impl = std::make_unique<Impl>();
    impl->file.setFileName(name);
    // Unbuffered: the reader has its own buffer, and a second one would only
    // copy every byte once more.
    if (!impl->file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        error.message = "cannot be opened";
        return error;
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

std::optional<std::uint64_t> InputFile::size() const {
    return impl_->size;
}

std::string InputFile::failure() const {
    return impl_->failure;
}

}  // namespace rebound::platform
