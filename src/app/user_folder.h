// The user's own application folder. The window keeps its folders (curve,
// report, Setting) below the folder it is started in, and a user cannot
// write below a shared install folder (Program Files), so every user works
// in a folder of their own that is filled from the shipped one.
#pragma once

#include <QString>
#include <QStringList>

#include "platform/file_error.h"

namespace rebound::app {

// The user's application folder: "rebound" in the user's local application
// data (%LOCALAPPDATA%\rebound on Windows).
QString user_application_folder();

// Copies into `folder` every file below the `entries` (files or folders,
// relative to `shipped`) that has never been copied before and does not exist
// in `folder`. A file copied once is never copied again, so files the user
// changed or deleted stay as the user left them, while files that a newer
// version ships are added. The relative paths copied so far are kept, one a
// line in UTF-8 with "/" separators, in ".shipped-files" in `folder`.
// Fails, naming the file or folder and saying what went wrong in the
// window's language, when the folder cannot be prepared; files copied until
// then stay recorded.
Result<void> prepare_user_folder(const QString& shipped, const QStringList& entries, const QString& folder);

}  // namespace rebound::app
