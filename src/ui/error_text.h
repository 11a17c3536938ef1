// A file error as the window shows it: the reader's sentences in the
// window's language, from their codes and arguments (the English message of
// the error is for the command-line tool). An error without coded sentences
// is told by its kind.
#pragma once

#include <QCoreApplication>
#include <QString>

#include "platform/file_error.h"
#include "platform/message.h"

namespace rebound {

class ErrorText {
    Q_DECLARE_TR_FUNCTIONS(ErrorText)
public:
    // The sentences joined, without the file's name.
    static QString Of(const FileError& error);
    // A coded message of the core in the window's language; a code the
    // catalogue does not know reads as the message's English.
    static QString Of(const Message& message);
    // A message's headline ("Save File Fail!") with the reason on a second
    // line: the file's name, when the error has one, and Of(error).
    static QString WithReason(const QString& headline, const FileError& error);
    // One field label of the readers ("the project name"), translated; an
    // unknown text as it is.
    static QString Label(const std::string& label);
};

}  // namespace rebound
