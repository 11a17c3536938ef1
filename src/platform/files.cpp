#include "platform/files.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFileInfo>
#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
#include <optional>
#include <random>
#include <vector>

#include "platform/dates.h"
#include "platform/input_file.h"
#include "platform/qt_bridge.h"
#include "platform/text_codec.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#endif

namespace rebound::platform {

const char* system_error_sentence(int code) {
    switch (code) {
        case EACCES:
        case EPERM:
            return "permission_denied";
        case ENOSPC:
            return "no_space";
#ifdef EDQUOT
        case EDQUOT:
            return "quota_exceeded";
#endif
        case EROFS:
            return "read_only_disk";
        case ENOENT:
        case ENOTDIR:
            return "folder_missing";
        case ENAMETOOLONG:
            return "name_too_long";
        case EIO:
            return "io_error";
        default:
            return nullptr;
    }
}

namespace {

namespace fs = std::filesystem;

std::atomic<SaveStepHook> g_save_step_hook{nullptr};

void reached(SaveStep step) {
    if (const SaveStepHook hook = g_save_step_hook.load()) hook(step);
}

// Six letters or digits, different for every staging file.
std::string random_suffix() {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    static std::mutex mutex;
    static std::mt19937_64 engine{std::random_device{}() ^
                                  static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count())};
    const std::lock_guard guard(mutex);
    std::string out(6, 'a');
    for (char& c : out) c = letters[engine() % 36];
    return out;
}

constexpr std::size_t kSuffixLength = 6;

// ".~<hash>.<six>" beside the destination: short, so that any name the
// system accepts for the target leaves room for it, and unique, so that a
// save never reuses a name somebody else prepared.
fs::path staging_name(const fs::path& destination) {
    fs::path name(hidden_name_stem(destination));
    name += ".";
    name += random_suffix();
    return destination.parent_path() / name;
}

// Removes what killed saves of the same destination left: staging files of
// the present form and the ".<name>.saving" of earlier versions. Only names,
// never what a link planted under such a name leads to, and only while the
// destination's lock is held.
void remove_leftovers(const fs::path& destination) {
    std::error_code ec;
    const fs::path::string_type stem = hidden_name_stem(destination) + fs::path(".").native();
    fs::path legacy(".");
    legacy += destination.filename();
    legacy += ".saving";
    fs::directory_iterator it(destination.parent_path().empty() ? fs::path(".") : destination.parent_path(), ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const fs::path::string_type name = it->path().filename().native();
        const bool staging = name.size() == stem.size() + kSuffixLength && name.compare(0, stem.size(), stem) == 0;
        if (!staging && name != legacy.native()) continue;
        std::error_code status_ec;
        const fs::file_status status = fs::symlink_status(it->path(), status_ec);
        if (status_ec || !(fs::is_regular_file(status) || fs::is_symlink(status))) continue;
        std::error_code remove_ec;
        fs::remove(it->path(), remove_ec);
    }
}

FileError failure(const fs::path& target, FileError::Kind kind, const std::string& message) {
    FileError error;
    error.kind = kind;
    error.file = target;
    // The system's own words about the failure.
    error.say("system_reason", {message}, message);
    return error;
}

// A failure in a sentence of our own, which the window words in its language.
FileError failure(const fs::path& target, FileError::Kind kind, const char* code, const std::string& message) {
    FileError error = failure(target, kind, message);
    error.say(code, {}, message);
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
        if (sink.failed()) {
            const std::string reason = sink_reason();
            error.say("system_reason", {reason}, reason);
        }
        return error;
    } catch (const std::exception& e) {
        // Running out of memory, or any other error of the producer.
        return failure(target, FileError::Kind::WriteFailed, e.what());
    }
    if (sink.failed()) return failure(target, FileError::Kind::WriteFailed, sink_reason());
    return failure(target, FileError::Kind::WriteFailed, "write_abandoned", "write abandoned");
}

// The target's lock for the save, unless the caller holds it already.
Result<std::optional<FileLock>> lock_for_save(const fs::path& target) {
    if (FileLock::held(target)) return std::optional<FileLock>();
    Result<FileLock> lock = FileLock::acquire(target);
    if (!lock) return lock.error();
    return std::optional<FileLock>(std::move(*lock));
}

}  // namespace

void set_save_step_hook(SaveStepHook hook) {
    g_save_step_hook.store(hook);
}

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
    // The content goes to a new hidden file beside the target, created under
    // a unique name (CREATE_NEW never opens what is already there). Once
    // every byte is written and flushed to disk, the staging file takes the
    // target's place in one step: ReplaceFileW when the target exists (it
    // keeps the target's creation time, security and attributes), MoveFileExW
    // when it is new. A read-only target is refused before anything is
    // written.
    const Result<fs::path> trusted = trusted_save_destination(target);
    if (!trusted) return trusted.error();
    const fs::path& destination = *trusted;
    Result<std::optional<FileLock>> lock = lock_for_save(target);
    if (!lock) return lock.error();
    remove_leftovers(destination);
    reached(SaveStep::Locked);

    const std::wstring destination_name = destination.wstring();
    const DWORD existing = GetFileAttributesW(destination_name.c_str());
    if (existing != INVALID_FILE_ATTRIBUTES) {
        if (existing & FILE_ATTRIBUTE_DIRECTORY) {
            return failure(target, FileError::Kind::CannotOpen, "is a folder, not a file");
        }
        if (existing & FILE_ATTRIBUTE_READONLY) {
            return failure(target, FileError::Kind::CannotOpen, system_message(ERROR_ACCESS_DENIED));
        }
    }

    fs::path staging;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
        staging = staging_name(destination);
        file = CreateFileW(staging.wstring().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) break;
    }
    if (file == INVALID_HANDLE_VALUE) {
        return failure(target, FileError::Kind::CannotOpen, system_message(GetLastError()));
    }
    const std::wstring staging_wname = staging.wstring();
    reached(SaveStep::StagingCreated);
    HandleSink sink(file);
    std::optional<FileError> error =
        run_producer(target, produce, sink, [&sink] { return system_message(sink.error()); });
    if (!error) reached(SaveStep::ContentWritten);
    if (!error && !FlushFileBuffers(file)) {
        error = failure(target, FileError::Kind::WriteFailed, system_message(GetLastError()));
    }
    if (!CloseHandle(file) && !error) {
        error = failure(target, FileError::Kind::WriteFailed, system_message(GetLastError()));
    }
    if (!error) {
        reached(SaveStep::StagingClosed);
        SetFileAttributesW(staging_wname.c_str(), FILE_ATTRIBUTE_NORMAL);
        const bool replaced =
            existing != INVALID_FILE_ATTRIBUTES
                ? ReplaceFileW(destination_name.c_str(), staging_wname.c_str(), nullptr,
                               REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0
                : MoveFileExW(staging_wname.c_str(), destination_name.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
        if (!replaced) error = failure(target, FileError::Kind::WriteFailed, system_message(GetLastError()));
    }
    if (error) {
        DeleteFileW(staging_wname.c_str());
        return *error;
    }
    reached(SaveStep::Replaced);
    return {};
}

#else

namespace {

class FdSink final : public FailingSink {
public:
    explicit FdSink(int fd) : fd_(fd) {}
    bool write(const char* data, std::size_t size) override {
        if (failed_) return false;
        while (size > 0) {
            const ssize_t n = ::write(fd_, data, std::min<std::size_t>(size, std::size_t{1} << 30));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                failed_ = true;
                error_ = n < 0 ? errno : ENOSPC;
                return false;
            }
            data += n;
            size -= static_cast<std::size_t>(n);
        }
        return true;
    }
    std::string reason() const { return std::strerror(error_); }
    int code() const { return error_; }

private:
    int fd_;
    int error_ = 0;
};

// The process's file creation mask, without changing it for other threads
// when the system can tell it.
mode_t current_umask() {
#ifdef __linux__
    if (std::FILE* status = std::fopen("/proc/self/status", "re")) {
        char line[256];
        unsigned mask = 0;
        bool found = false;
        while (std::fgets(line, sizeof line, status)) {
            if (std::sscanf(line, "Umask: %o", &mask) == 1) {
                found = true;
                break;
            }
        }
        std::fclose(status);
        if (found) return static_cast<mode_t>(mask);
    }
#endif
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

std::string reason(int code) {
    return std::strerror(code);
}


// A failure the system reported with `code`: its own words in the message,
// our sentence for the window where there is one.
FileError system_failure(const fs::path& target, FileError::Kind kind, int code) {
    FileError error = failure(target, kind, reason(code));
    if (const char* sentence = system_error_sentence(code)) error.sentences = {FileError::Sentence{sentence, {}}};
    return error;
}

}  // namespace

Result<void> write_file_atomically(const std::filesystem::path& target,
                                   const std::function<bool(ByteSink&)>& produce) {
    // The content goes to a new hidden file beside the target, created with
    // O_EXCL and O_NOFOLLOW under a unique name, so that nobody else's file
    // and no planted link is ever written. It is flushed to disk, given the
    // old file's permissions, closed and renamed over the target; the folder
    // is then synced so that the new name survives a power loss. Killed
    // before the rename, the save leaves only that hidden file, which the
    // next save of the same target removes.
    const Result<fs::path> trusted = trusted_save_destination(target);
    if (!trusted) return trusted.error();
    const fs::path& destination = *trusted;
    Result<std::optional<FileLock>> lock = lock_for_save(target);
    if (!lock) return lock.error();
    remove_leftovers(destination);
    reached(SaveStep::Locked);

    struct stat old {};
    const bool exists = ::lstat(destination.c_str(), &old) == 0;
    if (!exists && errno != ENOENT) return system_failure(target, FileError::Kind::CannotOpen, errno);
    if (exists) {
        if (S_ISDIR(old.st_mode)) return failure(target, FileError::Kind::CannotOpen, "is_folder", "is a folder, not a file");
        if (!S_ISREG(old.st_mode)) {
            return failure(target, FileError::Kind::CannotOpen, "not_regular_kept",
                           "is not a regular file; it is left as it is");
        }
        // A file the user made read-only stays as it is, also for root, whom
        // permission bits do not stop.
        if (::faccessat(AT_FDCWD, destination.c_str(), W_OK, AT_EACCESS) != 0) {
            return system_failure(target, FileError::Kind::CannotOpen, errno);
        }
        if ((old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
            return failure(target, FileError::Kind::CannotOpen, "file_read_only",
                           reason(EACCES) + " (the file is read-only)");
        }
    }

    fs::path staging;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        staging = staging_name(destination);
        fd = ::open(staging.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) return system_failure(target, FileError::Kind::CannotOpen, errno);
    reached(SaveStep::StagingCreated);

    FdSink sink(fd);
    std::optional<FileError> error = run_producer(target, produce, sink, [&sink] { return sink.reason(); });
    if (error && sink.failed()) {
        if (const char* sentence = system_error_sentence(sink.code())) error->sentences = {FileError::Sentence{sentence, {}}};
    }
    if (!error) {
        reached(SaveStep::ContentWritten);
        // The old file's owner (where the system lets us) and permissions;
        // a new file gets what the process's mask allows.
        if (exists) {
            if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) {
                [[maybe_unused]] const int ignored = ::fchown(fd, old.st_uid, old.st_gid);
            }
            if (::fchmod(fd, old.st_mode & 07777) != 0) {
                error = system_failure(target, FileError::Kind::WriteFailed, errno);
            }
        } else if (::fchmod(fd, 0666 & ~current_umask()) != 0) {
            error = system_failure(target, FileError::Kind::WriteFailed, errno);
        }
    }
    if (!error && ::fsync(fd) != 0) error = system_failure(target, FileError::Kind::WriteFailed, errno);
    if (!error) {
        // The name must still be the file written: one swapped for a link or
        // another file meanwhile is not put in the target's place.
        struct stat written {};
        struct stat named {};
        if (::fstat(fd, &written) != 0 || ::lstat(staging.c_str(), &named) != 0 ||
            written.st_dev != named.st_dev || written.st_ino != named.st_ino) {
            ::close(fd);
            return failure(target, FileError::Kind::WriteFailed, "staging_replaced",
                           "the staging file was replaced by another program while it was written");
        }
    }
    if (::close(fd) != 0 && !error) error = system_failure(target, FileError::Kind::WriteFailed, errno);
    if (!error) {
        reached(SaveStep::StagingClosed);
        if (::rename(staging.c_str(), destination.c_str()) != 0) {
            error = system_failure(target, FileError::Kind::WriteFailed, errno);
        }
    }
    if (error) {
        ::unlink(staging.c_str());
        return *error;
    }
    reached(SaveStep::Replaced);
    const fs::path folder = destination.parent_path();
    const int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return {};
}

#endif

std::optional<FileId> file_id(const std::filesystem::path& path) {
#ifdef _WIN32
    // The volume's serial number and the file's index on it: the same for
    // every name (and link) of one file.
    const HANDLE h = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool ok = GetFileInformationByHandle(h, &info) != 0;
    CloseHandle(h);
    if (!ok) return std::nullopt;
    return FileId{info.dwVolumeSerialNumber,
                  (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
#else
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return FileId{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
#endif
}

Result<void> refuse_output_over_inputs(const std::filesystem::path& output,
                                       std::span<const std::filesystem::path> inputs) {
    const std::optional<FileId> out = file_id(output);
    if (!out) return {};  // a new file is nobody's input
    for (const fs::path& input : inputs) {
        if (input.empty() || file_id(input) != out) continue;
        FileError error;
        error.kind = FileError::Kind::CannotOpen;
        error.file = output;
        const std::string name = path_text(input);
        error.say("output_is_input", {name},
                  "is the same file as the input " + name + "; it is not replaced and nothing was written");
        return error;
    }
    return {};
}

bool FileIdentity::differs_from(const FileIdentity& other) const {
    if (exists != other.exists) return true;
    if (!exists) return false;
    if (size != other.size || modified_ns != other.modified_ns) return true;
    return !digest.empty() && !other.digest.empty() && digest != other.digest;
}

bool modified_lately(const FileIdentity& identity) {
    // The clock whose epoch file_identity's times count from.
#ifdef _WIN32
    const auto now = fs::file_time_type::clock::now().time_since_epoch();
#else
    const auto now = std::chrono::system_clock::now().time_since_epoch();
#endif
    const std::int64_t age = std::chrono::duration_cast<std::chrono::nanoseconds>(now).count() - identity.modified_ns;
    return age < 2'000'000'000;
}

FileIdentity file_identity(const std::filesystem::path& path, bool with_digest) {
    FileIdentity id;
#ifdef _WIN32
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (ec || !fs::is_regular_file(status)) return id;
    id.size = fs::file_size(path, ec);
    const auto time = fs::last_write_time(path, ec);
    id.modified_ns = std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch()).count();
#else
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return id;
    id.size = static_cast<std::uint64_t>(st.st_size);
    id.modified_ns = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
#endif
    id.exists = true;
    if (with_digest) {
        Result<InputFile> file = InputFile::open(path);
        if (file) {
            QCryptographicHash hash(QCryptographicHash::Sha256);
            std::vector<char> block(std::size_t{1} << 20);
            std::uint64_t left = file->size().value_or(0);
            while (left > 0) {
                const std::size_t got = file->read(block.data(), std::min<std::uint64_t>(left, block.size()));
                if (got == 0) break;
                hash.addData(QByteArrayView(block.data(), static_cast<qsizetype>(got)));
                left -= got;
            }
            if (left == 0 && file->failure().empty()) id.digest = hash.result().toHex().toStdString();
        }
    }
    return id;
}

std::string file_creation_date(const std::filesystem::path& path, const Clock& clock) {
#ifdef __linux__
    // By the name's own bytes: Qt would pass a name that is not UTF-8 on
    // with its bytes replaced.
    QDateTime born;
    struct statx info {};
    if (::statx(AT_FDCWD, path.c_str(), 0, STATX_BTIME, &info) == 0 && (info.stx_mask & STATX_BTIME) != 0) {
        born = QDateTime::fromSecsSinceEpoch(static_cast<qint64>(info.stx_btime.tv_sec));
    }
#else
    const QFileInfo info(from_path(path));
    const QDateTime born = info.exists() ? info.birthTime() : QDateTime();
#endif
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
    return path_bytes_text(path);
}

bool standard_output_is_terminal() {
#ifdef _WIN32
    return _isatty(_fileno(stdout)) != 0;
#else
    return isatty(STDOUT_FILENO) != 0;
#endif
}

}  // namespace rebound::platform
