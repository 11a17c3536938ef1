#include "ui/error_text.h"

#include <QDir>
#include <QHash>
#include <QStringList>
#include <iterator>

#include "platform/qt_bridge.h"

namespace rebound {

namespace {

struct Pattern {
    const char* code;
    const char* text;
};

// The readers' and writers' sentences, by code; %1, %2, ... are the error's
// arguments in order.
const Pattern kSentences[] = {
    {"data_beyond_limit",
     QT_TRANSLATE_NOOP("ErrorText", "the data goes on beyond %1 bytes, the most read from a pipe or device")},
    {"read_failed_at", QT_TRANSLATE_NOOP("ErrorText", "the data could not be read at byte %1: %2")},
    {"data_ends_inside",
     QT_TRANSLATE_NOOP("ErrorText", "the data ends inside %1 at byte %2 (%3 bytes expected, %4 found)")},
    {"data_ends_inside_length",
     QT_TRANSLATE_NOOP("ErrorText",
                       "the data ends inside the length of %1 at byte %2 (%3 bytes expected, %4 found)")},
    {"data_ends_announced",
     QT_TRANSLATE_NOOP("ErrorText",
                       "the data ends at byte %1, inside %2 (%3 x %4 bytes announced at byte %5, %6 remain)")},
    {"text_length_negative", QT_TRANSLATE_NOOP("ErrorText", "the length of %1 at byte %2 is negative (%3)")},
    {"text_length_beyond_end",
     QT_TRANSLATE_NOOP("ErrorText", "the length of %1 at byte %2 is %3, but only %4 bytes remain")},
    {"text_too_long", QT_TRANSLATE_NOOP("ErrorText", "%1 is too long to be stored (%2 bytes)")},
    {"write_failed", QT_TRANSLATE_NOOP("ErrorText", "the file could not be written")},
    {"out_of_memory", QT_TRANSLATE_NOOP("ErrorText", "there is not enough memory to hold it")},
    {"component_of", QT_TRANSLATE_NOOP("ErrorText", "component %1 of %2")},
    {"area_record_of", QT_TRANSLATE_NOOP("ErrorText", "area record %1 of %2")},
    {"too_many_areas", QT_TRANSLATE_NOOP("ErrorText", "a component has too many areas to be stored")},
    {"too_many_components", QT_TRANSLATE_NOOP("ErrorText", "the project has too many components to be stored")},
    {"device_too_many_areas",
     QT_TRANSLATE_NOOP("ErrorText", "the device header announces %1 test areas; a device record holds at most 100")},
    {"device_record_too_many_areas",
     QT_TRANSLATE_NOOP("ErrorText", "a device record holds at most 100 test areas, not %1")},
    {"area_count_too_large", QT_TRANSLATE_NOOP("ErrorText", "the area count %1 does not fit its field")},
    {"not_component_file", QT_TRANSLATE_NOOP("ErrorText", "not a component file (expected .cmp, .tmp or .xcmp)")},
    {"is_folder", QT_TRANSLATE_NOOP("ErrorText", "is a folder, not a file")},
    {"cannot_open", QT_TRANSLATE_NOOP("ErrorText", "cannot be opened")},
    {"cannot_open_missing", QT_TRANSLATE_NOOP("ErrorText", "cannot be opened: the file does not exist")},
    {"cannot_open_denied", QT_TRANSLATE_NOOP("ErrorText", "cannot be opened: permission denied")},
    {"cannot_open_reason", QT_TRANSLATE_NOOP("ErrorText", "cannot be opened: %1")},
    {"cannot_open_socket", QT_TRANSLATE_NOOP("ErrorText", "cannot be opened: not a regular file (a socket)")},
    {"cannot_open_irregular", QT_TRANSLATE_NOOP("ErrorText", "cannot be opened: not a regular file")},
    // The English message goes on with what was expected there; the window
    // names the place.
    {"byte_follows", QT_TRANSLATE_NOOP("ErrorText", "%1 byte follows %2 at byte %3")},
    {"bytes_follow", QT_TRANSLATE_NOOP("ErrorText", "%1 bytes follow %2 at byte %3")},
    {"folder_missing_named", QT_TRANSLATE_NOOP("ErrorText", "the folder %1 does not exist")},
    {"link_of_another_user",
     QT_TRANSLATE_NOOP("ErrorText",
                       "the link %1 belongs to %2, not to you or the owner of its folder, and is not followed")},
    {"lock_file_unusable",
     QT_TRANSLATE_NOOP("ErrorText",
                       "cannot be locked for the change: its hidden lock file %1 is %2, owned by %3, and cannot be "
                       "used; its owner or an administrator can remove it with %4")},
    {"output_is_input",
     QT_TRANSLATE_NOOP("ErrorText", "is the same file as the input %1; it is not replaced and nothing was written")},
    {"file_too_large", QT_TRANSLATE_NOOP("ErrorText", "is larger than %1 bytes, the most %2 may hold")},
    {"system_reason", QT_TRANSLATE_NOOP("ErrorText", "the system reports: %1")},
    // System errors worded for the operator (the English message keeps the
    // system's own words).
    {"permission_denied", QT_TRANSLATE_NOOP("ErrorText", "permission denied")},
    {"file_read_only", QT_TRANSLATE_NOOP("ErrorText", "the file is read-only")},
    {"no_space", QT_TRANSLATE_NOOP("ErrorText", "there is no space left on the disk")},
    {"quota_exceeded", QT_TRANSLATE_NOOP("ErrorText", "the disk quota is used up")},
    {"read_only_disk", QT_TRANSLATE_NOOP("ErrorText", "the disk or share is read-only")},
    {"folder_missing", QT_TRANSLATE_NOOP("ErrorText", "the folder does not exist")},
    {"name_too_long", QT_TRANSLATE_NOOP("ErrorText", "the file name is too long")},
    {"io_error", QT_TRANSLATE_NOOP("ErrorText", "the disk reported an input/output error")},
    {"not_regular_kept", QT_TRANSLATE_NOOP("ErrorText", "is not a regular file; it is left as it is")},
    {"staging_replaced",
     QT_TRANSLATE_NOOP("ErrorText", "the staging file was replaced by another program while it was written")},
    {"write_abandoned", QT_TRANSLATE_NOOP("ErrorText", "the write was abandoned")},
    // Why a component's estimate is not a figure.
    {"estimate_below_curve",
     QT_TRANSLATE_NOOP("ErrorText",
                       "areas %1 lie below the range of the curve: the estimate is below its lowest strength")},
    {"estimate_above_curve",
     QT_TRANSLATE_NOOP("ErrorText",
                       "every area lies above the range of the curve: the estimate is above its highest strength")},
    {"estimate_blank",
     QT_TRANSLATE_NOOP("ErrorText", "areas %1 lie above the range of the curve and have no strength: no estimate")},
};

// The field labels the readers and writers name in their sentences.
const char* const kLabels[] = {
    QT_TRANSLATE_NOOP("ErrorText", "the data"),
    QT_TRANSLATE_NOOP("ErrorText", "an area record"),
    QT_TRANSLATE_NOOP("ErrorText", "a device area record"),
    QT_TRANSLATE_NOOP("ErrorText", "the area count"),
    QT_TRANSLATE_NOOP("ErrorText", "the area records of the component"),
    QT_TRANSLATE_NOOP("ErrorText", "the area records of the device file"),
    QT_TRANSLATE_NOOP("ErrorText", "the fixed block of the component"),
    QT_TRANSLATE_NOOP("ErrorText", "the component count"),
    QT_TRANSLATE_NOOP("ErrorText", "the project name"),
    QT_TRANSLATE_NOOP("ErrorText", "the project address"),
    QT_TRANSLATE_NOOP("ErrorText", "the construction date"),
    QT_TRANSLATE_NOOP("ErrorText", "the constructor"),
    QT_TRANSLATE_NOOP("ErrorText", "the design organisation"),
    QT_TRANSLATE_NOOP("ErrorText", "the supervising organisation"),
    QT_TRANSLATE_NOOP("ErrorText", "the reserved text"),
    QT_TRANSLATE_NOOP("ErrorText", "the concrete producer"),
    QT_TRANSLATE_NOOP("ErrorText", "the commissioning company"),
    QT_TRANSLATE_NOOP("ErrorText", "the measurement date"),
    QT_TRANSLATE_NOOP("ErrorText", "the report number"),
    QT_TRANSLATE_NOOP("ErrorText", "the measurement number"),
    QT_TRANSLATE_NOOP("ErrorText", "the standard"),
    QT_TRANSLATE_NOOP("ErrorText", "the project description"),
    QT_TRANSLATE_NOOP("ErrorText", "the component name"),
    QT_TRANSLATE_NOOP("ErrorText", "the device serial"),
    QT_TRANSLATE_NOOP("ErrorText", "the examination date"),
    QT_TRANSLATE_NOOP("ErrorText", "the second date"),
    QT_TRANSLATE_NOOP("ErrorText", "the curve file name"),
    QT_TRANSLATE_NOOP("ErrorText", "the component description"),
    QT_TRANSLATE_NOOP("ErrorText", "the end of the component record"),
    QT_TRANSLATE_NOOP("ErrorText", "the end of the project"),
};

// Failures without a coded sentence, by kind.
const char* const kKinds[] = {
    QT_TRANSLATE_NOOP("ErrorText", "the file cannot be opened"),
    QT_TRANSLATE_NOOP("ErrorText", "the file's content is damaged or not of this kind"),
    QT_TRANSLATE_NOOP("ErrorText", "this kind of file is not supported here"),
    QT_TRANSLATE_NOOP("ErrorText", "the file could not be written"),
    QT_TRANSLATE_NOOP("ErrorText", "another program is changing the file"),
};

}  // namespace

QString ErrorText::Label(const std::string& label) {
    for (const char* known : kLabels) {
        if (label == known) return tr(known);
    }
    return QString::fromStdString(label);
}

namespace {

const Pattern* find_pattern(const std::string& code) {
    for (const Pattern& p : kSentences) {
        if (code == p.code) return &p;
    }
    return nullptr;
}

}  // namespace

QString ErrorText::Of(const Message& message) {
    const Pattern* pattern = find_pattern(message.code);
    if (pattern == nullptr) return QString::fromStdString(message.english);
    QString text = tr(pattern->text);
    for (const std::string& arg : message.args) text = text.arg(Label(arg));
    return text;
}

QString ErrorText::Of(const FileError& error) {
    QStringList parts;
    for (const FileError::Sentence& sentence : error.sentences) {
        const Pattern* pattern = find_pattern(sentence.code);
        if (pattern == nullptr) {
            parts.clear();
            break;
        }
        QString text = tr(pattern->text);
        for (const std::string& arg : sentence.args) text = text.arg(Label(arg));
        parts << text;
    }
    if (!parts.isEmpty()) return parts.join(tr(": "));
    // No coded sentence: the kind in the window's language. A window in the
    // language of the messages shows the message itself, which says more.
    const auto kind = static_cast<std::size_t>(error.kind);
    const char* general = kind < std::size(kKinds) ? kKinds[kind] : kKinds[1];
    const QString translated = tr(general);
    if (translated == QLatin1String(general) && !error.message.empty()) return QString::fromStdString(error.message);
    return translated;
}

QString ErrorText::WithReason(const QString& headline, const FileError& error) {
    const QString reason = Of(error);
    if (error.file.empty()) return headline + QLatin1Char('\n') + reason;
    return headline + QLatin1Char('\n') +
           tr("%1: %2").arg(QDir::toNativeSeparators(platform::from_path(error.file)), reason);
}

}  // namespace rebound
