#include "platform/files.h"

#include <QDateTime>
#include <QFileInfo>
#include <QSaveFile>

#include "platform/dates.h"
#include "platform/qt_bridge.h"

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

bool write_file_atomically(const std::filesystem::path& target, const std::function<bool(ByteSink&)>& produce,
                           std::string* error) {
    // The content goes first to a hidden file beside the target,
    // ".<name>.saving", which QSaveFile fills through an unnamed temporary
    // file: complete or not at all. A rename then puts it in place. QSaveFile
    // alone would link its temporary file under a visible name just before
    // its rename, and a process killed between the two would leave that name
    // behind; killed here, it leaves at most the hidden file, which the next
    // save of the same target reuses.
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path destination = target;
    if (fs::is_symlink(target, ec)) {
        const fs::path real = fs::canonical(target, ec);
        if (!ec) destination = real;
    }
    fs::path staging = destination;
    std::string staging_name = ".";
    staging_name += destination.filename().string();
    staging_name += ".saving";
    staging.replace_filename(staging_name);
    QSaveFile file(from_path(staging));
    // Never fall back to writing the target in place: that is what could
    // leave a half-written file behind.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error) *error = file.errorString().toStdString();
        return false;
    }
    SaveFileSink sink(file);
    bool ok = false;
    try {
        ok = produce(sink) && !sink.failed();
    } catch (const std::exception& e) {
        // A full disk, a refused write or running out of memory: the target
        // stays as it was.
        file.cancelWriting();
        if (error) *error = e.what();
        return false;
    }
    if (!ok) {
        if (error && error->empty()) {
            *error = sink.failed() ? file.errorString().toStdString() : std::string("write abandoned");
        }
        file.cancelWriting();
        return false;
    }
    // QSaveFile keeps small writes in a buffer, and commit() does not check
    // the flush that sends them: a refusal there (full disk, file size limit)
    // would rename a truncated file over the target and report success.
    if (!file.flush()) {
        if (error) *error = file.errorString().toStdString();
        file.cancelWriting();
        return false;
    }
    // commit() syncs to disk, closes and renames over the staging file.
    if (!file.commit()) {
        if (error) *error = file.errorString().toStdString();
        return false;
    }
    // The new file takes over the permissions of the one it replaces.
    const fs::file_status previous = fs::status(destination, ec);
    if (!ec && fs::is_regular_file(previous)) fs::permissions(staging, previous.permissions(), ec);
    fs::rename(staging, destination, ec);
    if (ec) {
        if (error) *error = ec.message();
        fs::remove(staging, ec);
        return false;
    }
    return true;
}

std::string file_creation_date(const std::filesystem::path& path) {
    const QFileInfo info(from_path(path));
    const QDateTime born = info.exists() ? info.birthTime() : QDateTime();
    if (!born.isValid()) {
        return today_text();
    }
    const QDate d = born.toLocalTime().date();
    return format_date(Date{d.year(), d.month(), d.day()});
}

}  // namespace rebound::platform
