// The texts the record feeds print besides the project's own: the tested
// surface, yes and no, how the carbonation depth was taken, the "-.-" of a
// depth not measured, notes. They are written in English here and marked for
// the translation catalogue; a template in Chinese prints them from the
// Chinese catalogue (translations/rebound_zh_CN.ts, compiled into the report
// library), so that one output never mixes two languages, whatever the
// language of the window or the command line that makes it.
#pragma once

#include <QString>

#include "platform/message.h"

class QTranslator;

namespace rebound::report {

class ReportTexts {
public:
    // `language` as a template names it ("zh_CN", "en"); a language without
    // a catalogue prints the English texts.
    explicit ReportTexts(const QString& language);

    // A text marked with QT_TRANSLATE_NOOP("rebound::report::ReportTexts", ...),
    // in the output's language.
    QString text(const char* source) const;

    // The tested surface of a surface_index (side_text of the core).
    QString surface(int surface_index) const;
    // The carbonation depth of an index (depth_text of the core).
    QString depth(int carbonation_index) const;
    QString yes_no(bool yes) const;
    // How the component's carbonation depth was taken (carbonation_mode).
    QString carbonation_mode(int mode) const;
    // A coded message of the core in the output's language; the English
    // sentence for a code the catalogue does not know.
    QString message(const Message& m) const;

private:
    const QTranslator* catalogue_ = nullptr;
    // The texts of every index, made once: a feed asks for them per area.
    QString surfaces_[3];
    QString depths_[14];
    QString yes_, no_, own_depth_, representative_;
};

}  // namespace rebound::report
