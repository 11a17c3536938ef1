#include "platform/files.h"

#include <QDateTime>
#include <QFileInfo>
#include <QSaveFile>
#include <optional>

#include "platform/dates.h"
#include "platform/qt_bridge.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#else
#include <unistd.h>
#endif

namespace rebound::platform {

namespace {

namespace fs = std::filesystem;

// The file a save writes: the target, or what the target links to, so that a
// save through a symbolic link updates the linked file and keeps the link.
fs::path save_destination(const fs::path& target) {
    std::error_code ec;
    if (fs::is_symlink(target, ec)) {
        fs::path real = fs::canonical(target, ec);
        if (!ec) return real;
    }
    // A full path: Windows' replace and move calls refuse a bare file name
    // relative to the current folder ("the directory name is invalid").
    fs::path full = fs::absolute(target, ec);
    return ec ? target : full;
}

// ".<name>.saving" beside the destination. Built from the path's own
// characters, so a name outside the ANSI code page survives.
fs::path staging_path(const fs::path& destination) {
    fs::path name(".");
    name += destination.filename();
    name += ".saving";
    return destination.parent_path() / name;
}

FileError failure(const fs::path& target, FileError::Kind kind, std::string message) {
    FileError error;
    error.kind = kind;
    error.file = target;
    error.message = std::move(message);
    return error;
}

// A sink that remembers a refused write and the system's reason for it.
class FailingSink : public ByteSink {
public:
    bool failed() const { return failed_; }

protected:
    bool failed_ = false;
};

// Runs the producer. Empty when every byte was produced and accepted;
// otherwise the error, where `sink_reason` gives the sink's own reason for a
// refused write.
template <typename Reason>
std::optional<FileError> run_producer(const fs::path& target, const std::function<bool(ByteSink&)>& produce,
                                      FailingSink& sink, Reason sink_reason) {
    try {
        if (produce(sink) && !sink.failed()) return std::nullopt;
    } catch (const FileFailure& e) {
        // A refused write or a content that cannot be stored: the target
        // stays as it was.
        FileError error = e.error();
        if (error.file.empty()) error.file = target;
        if (sink.failed()) error.message = sink_reason();
        return error;
    } catch (const std::exception& e) {
        // Running out of memory, or any other error of the producer.
        return failure(target, FileError::Kind::WriteFailed, e.what());
    }
    return failure(target, FileError::Kind::WriteFailed,
                   sink.failed() ? sink_reason() : std::string("write abandoned"));
}

}  // namespace

#ifdef _WIN32

namespace {

std::string system_message(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    QString text = n > 0 ? QString::fromWCharArray(buffer, int(n)).trimmed() : QString();
    if (buffer) LocalFree(buffer);
    if (text.isEmpty()) text = QStringLiteral("system error %1").arg(code);
    return text.toStdString();
}

class HandleSink final : public FailingSink {
public:
    explicit HandleSink(HANDLE file) : file_(file) {}
    bool write(const char* data, std::size_t size) override {
        if (failed_) return false;
        while (size > 0) {
            const DWORD chunk = DWORD(std::min<std::size_t>(size, 1u << 30));
            DWORD written = 0;
            if (!WriteFile(file_, data, chunk, &written, nullptr) || written == 0) {
                failed_ = true;
                error_ = GetLastError();
                return false;
            }
            data += written;
            size -= written;
        }
        return true;
    }
    DWORD error() const { return error_; }

private:
    HANDLE file_;
    DWORD error_ = 0;
};

}  // namespace

Result<void> write_file_atomically(const std::filesystem::path& target,
                                   const std::function<bool(ByteSink&)>& produce) {
    // The content goes to ".<name>.saving" beside the target, created with
    // the hidden attribute so that a save broken off (power loss, a killed
    // process) leaves nothing the user sees; the next save of the same target
    // reuses it. Once every byte is written and flushed to disk, the staging
    // file takes the target's place in one step: ReplaceFileW when the
    // target exists (it keeps the target's creation time, security and
    // attributes), MoveFileExW when it is new. A target that cannot be
    // replaced (read-only, held open by another program) stays untouched.
    const fs::path destination = save_destination(target);
    const fs::path staging = staging_path(destination);
    const std::wstring staging_name = staging.wstring();
    const std::wstring destination_name = destination.wstring();

    HANDLE file = CreateFileW(staging_name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return failure(target, FileError::Kind::CannotOpen, system_message(GetLastError()));
    }
    HandleSink sink(file);
    std::optional<FileError> error =
        run_producer(target, produce, sink, [&sink] { return system_message(sink.error()); });
    if (!error && !FlushFileBuffers(file)) {
        error = failure(target, FileError::Kind::WriteFailed, system_message(GetLastError()));
    }
    if (!CloseHandle(file) && !error) {
        error = failure(target, FileError::Kind::WriteFailed, system_message(GetLastError()));
    }
    if (!error) {
        SetFileAttributesW(staging_name.c_str(), FILE_ATTRIBUTE_NORMAL);
        const DWORD existing = GetFileAttributesW(destination_name.c_str());
        const bool replaced =
            existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_DIRECTORY) == 0
                ? ReplaceFileW(destination_name.c_str(), staging_name.c_str(), nullptr,
                               REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0
                : MoveFileExW(staging_name.c_str(), destination_name.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
        if (!replaced) error = failure(target, FileError::Kind::WriteFailed, system_message(GetLastError()));
    }
    if (error) {
        DeleteFileW(staging_name.c_str());
        return *error;
    }
    return {};
}

#else

namespace {

class SaveFileSink final : public FailingSink {
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

private:
    QSaveFile& file_;
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
    std::error_code ec;
    const fs::path destination = save_destination(target);
    const fs::path staging = staging_path(destination);
    QSaveFile file(from_path(staging));
    // Never fall back to writing the target in place: that is what could
    // leave a half-written file behind.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        return failure(target, FileError::Kind::CannotOpen, file.errorString().toStdString());
    }
    SaveFileSink sink(file);
    if (std::optional<FileError> error =
            run_producer(target, produce, sink, [&file] { return file.errorString().toStdString(); })) {
        file.cancelWriting();
        return *error;
    }
    // QSaveFile keeps small writes in a buffer, and commit() does not check
    // the flush that sends them: a refusal there (full disk, file size limit)
    // would rename a truncated file over the target and report success.
    if (!file.flush()) {
        std::string message = file.errorString().toStdString();
        file.cancelWriting();
        return failure(target, FileError::Kind::WriteFailed, std::move(message));
    }
    // commit() syncs to disk, closes and renames over the staging file.
    if (!file.commit()) {
        return failure(target, FileError::Kind::WriteFailed, file.errorString().toStdString());
    }
    // The new file takes over the permissions of the one it replaces.
    const fs::file_status previous = fs::status(destination, ec);
    if (!ec && fs::is_regular_file(previous)) fs::permissions(staging, previous.permissions(), ec);
    fs::rename(staging, destination, ec);
    if (ec) {
        std::string message = ec.message();
        fs::remove(staging, ec);
        return failure(target, FileError::Kind::WriteFailed, std::move(message));
    }
    return {};
}

#endif

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
