#include "app/user_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>
#include <algorithm>

namespace rebound::app {

namespace {

const QString kManifest = QStringLiteral(".shipped-files");

// Relative paths of every file below the shipped entries, sorted.
QStringList shipped_files(const QDir& shipped, const QStringList& entries) {
    QStringList files;
    for (const QString& entry : entries) {
        const QFileInfo info(shipped.filePath(entry));
        if (info.isFile()) {
            files << QDir::cleanPath(entry);
        } else if (info.isDir()) {
            QDirIterator it(info.filePath(), QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot,
                            QDirIterator::Subdirectories);
            while (it.hasNext()) files << shipped.relativeFilePath(it.next());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

QString user_application_folder() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("rebound"));
}

Result<void> prepare_user_folder(const QString& shipped, const QStringList& entries, const QString& folder) {
    // The messages are shown by the launcher, in the window's language.
    const auto error = [](FileError::Kind kind, const QString& file, const QString& what) {
        return FileError{kind, std::filesystem::path(file.toStdU16String()), std::nullopt, {}, what.toStdString()};
    };
    const auto cannot = [&error](const QString& file, const QString& what) {
        return error(FileError::Kind::CannotOpen, file, what);
    };
    const QDir source(shipped);
    if (!source.exists())
        return cannot(shipped,
                      QCoreApplication::translate("UserFolder", "The shipped folder %1 is missing.").arg(shipped));
    const QDir target(folder);
    if (!target.mkpath(QStringLiteral(".")))
        return error(FileError::Kind::WriteFailed, folder,
                     QCoreApplication::translate("UserFolder", "Cannot create %1.").arg(folder));

    QFile manifest(target.filePath(kManifest));
    QSet<QString> copied;
    if (manifest.exists()) {
        if (!manifest.open(QIODevice::ReadOnly))
            return cannot(manifest.fileName(),
                          QCoreApplication::translate("UserFolder", "Cannot read %1.").arg(manifest.fileName()));
        for (const QByteArray& line : manifest.readAll().split('\n')) {
            const QString path = QString::fromUtf8(line).trimmed();
            if (!path.isEmpty()) copied.insert(path);
        }
        manifest.close();
    }
    if (!manifest.open(QIODevice::WriteOnly | QIODevice::Append)) {
        return error(FileError::Kind::WriteFailed, manifest.fileName(),
                     QCoreApplication::translate("UserFolder", "Cannot write %1.").arg(manifest.fileName()));
    }

    for (const QString& file : shipped_files(source, entries)) {
        if (copied.contains(file)) continue;
        const QString to = target.filePath(file);
        if (!QFileInfo::exists(to)) {
            if (!target.mkpath(QFileInfo(file).path()) || !QFile::copy(source.filePath(file), to)) {
                return error(FileError::Kind::WriteFailed, to,
                             QCoreApplication::translate("UserFolder", "Cannot copy %1 into %2.").arg(file, folder));
            }
            // A copy of a read-only shipped file stays writable for its user.
            QFile(to).setPermissions(QFile(to).permissions() | QFileDevice::WriteOwner | QFileDevice::WriteUser);
        }
        const QByteArray line = file.toUtf8() + '\n';
        if (manifest.write(line) != line.size() || !manifest.flush()) {
            return error(FileError::Kind::WriteFailed, manifest.fileName(),
                         QCoreApplication::translate("UserFolder", "Cannot write %1.").arg(manifest.fileName()));
        }
    }
    return {};
}

}  // namespace rebound::app
