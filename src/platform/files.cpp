#include "platform/files.h"

#include <QDateTime>
#include <QFileInfo>
#include <QSaveFile>

#include "platform/dates.h"
#include "platform/qt_bridge.h"

#ifdef _WIN32
#include <io.h>

#include <cstdio>
#else
#include <unistd.h>
#endif

namespace rebound::platform {

namespace {

class SaveFileSink final : public ByteSink {
public:
    explicit SaveFileSink(QSaveFile& file) : file_(file) {}
    bool write(const char* data, std::size_t size) override {
        if (failed_) return false;
        while (size > 0) {
            const qint64 n = file_.write(data, qint64(size));
            if (n <= 0) {
                failed_ = true;
                return false;
            }
            data += n;
            size -= std::size_t(n);
        }
        return true;
    }
    bool failed() const { return failed_; }

private:
    QSaveFile& file_;
    bool failed_ = false;
};

}  // namespace

Result<void> write_file_atomically(const std::filesystem::path& target,
                                   const std::function<bool(ByteSink&)>& produce) {
    // The content goes first to a hidden file beside the target,
    // ".<name>.saving", which QSaveFile fills through an unnamed temporary
    // file: complete or not at all. A rename then puts it in place. QSaveFile
    // alone would link its temporary file under a visible name just before
    // its rename, and a process killed between the two would leave that name
    // behind; killed here, it leaves at most the hidden file, which the next
    // save of the same target reuses.
    namespace fs = std::filesystem;
    const auto failure = [&target](FileError::Kind kind, std::string message) {
        FileError error;
        error.kind = kind;
        error.file = target;
        error.message = std::move(message);
        return error;
    };
    std::error_code ec;
    fs::path destination = target;
    if (fs::is_symlink(target, ec)) {
        const fs::path real = fs::canonical(target, ec);
        if (!ec) destination = real;
    }
    fs::path staging = destination;
    fs::path staging_name = ".";
    staging_name += destination.filename();
    staging_name += ".saving";
    staging.replace_filename(staging_name);
    QSaveFile file(from_path(staging));
    // Never fall back to writing the target in place: that is what could
    // leave a half-written file behind.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        return failure(FileError::Kind::CannotOpen, file.errorString().toStdString());
    }
    SaveFileSink sink(file);
    bool ok = false;
    try {
        ok = produce(sink) && !sink.failed();
    } catch (const FileFailure& e) {
        // A refused write or a content that cannot be stored: the target
        // stays as it was.
        file.cancelWriting();
        FileError error = e.error();
        if (error.file.empty()) error.file = target;
        if (sink.failed()) error.message = file.errorString().toStdString();
        return error;
    } catch (const std::exception& e) {
        // Running out of memory, or any other error of the producer.
        file.cancelWriting();
        return failure(FileError::Kind::WriteFailed, e.what());
    }
    if (!ok) {
        std::string message =
            sink.failed() ? file.errorString().toStdString() : std::string("write abandoned");
        file.cancelWriting();
        return failure(FileError::Kind::WriteFailed, std::move(message));
    }
    // QSaveFile keeps small writes in a buffer, and commit() does not check
    // the flush that sends them: a refusal there (full disk, file size limit)
    // would rename a truncated file over the target and report success.
    if (!file.flush()) {
        std::string message = file.errorString().toStdString();
        file.cancelWriting();
        return failure(FileError::Kind::WriteFailed, std::move(message));
    }
    // commit() syncs to disk, closes and renames over the staging file.
    if (!file.commit()) {
        return failure(FileError::Kind::WriteFailed, file.errorString().toStdString());
    }
    // The new file takes over the permissions of the one it replaces.
    const fs::file_status previous = fs::status(destination, ec);
    if (!ec && fs::is_regular_file(previous)) fs::permissions(staging, previous.permissions(), ec);
    fs::rename(staging, destination, ec);
    if (ec) {
        std::string message = ec.message();
        fs::remove(staging, ec);
        return failure(FileError::Kind::WriteFailed, std::move(message));
    }
    return {};
}

std::string file_creation_date(const std::filesystem::path& path, const Clock& clock) {
    const QFileInfo info(from_path(path));
    const QDateTime born = info.exists() ? info.birthTime() : QDateTime();
    if (!born.isValid()) {
        return today_text(clock);
    }
    const QDate d = born.toLocalTime().date();
    return format_date(Date{d.year(), d.month(), d.day()});
}

std::filesystem::path current_folder() {
    std::error_code ec;
    std::filesystem::path folder = std::filesystem::current_path(ec);
    return ec ? std::filesystem::path() : folder;
}

std::string path_text(const std::filesystem::path& path) {
    return from_path(path).toStdString();
}

bool standard_output_is_terminal() {
#ifdef _WIN32
    return _isatty(_fileno(stdout)) != 0;
#else
    return isatty(STDOUT_FILENO) != 0;
#endif
}

}  // namespace rebound::platform
