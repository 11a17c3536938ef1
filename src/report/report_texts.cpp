#include "report/report_texts.h"

#include <QTranslator>
#include <algorithm>

#include "evaluation/area_texts.h"

// The compiled catalogue is a resource of this static library.
static void init_report_catalogue() {
    Q_INIT_RESOURCE(report_catalogue);
}

namespace rebound::report {

namespace {

const char* const kContext = "rebound::report::ReportTexts";

// Every text the feeds print, for the catalogue. The tested surfaces are
// named as the testing standard names the three faces of a cast member.
[[maybe_unused]] const char* const kTexts[] = {
    //: The tested surface: a side face, struck with the hammer held level.
    QT_TRANSLATE_NOOP("rebound::report::ReportTexts", "Horizontal"),
    //: The tested surface: the cast top face, struck from above.
    QT_TRANSLATE_NOOP("rebound::report::ReportTexts", "Downwards"),
    //: The tested surface: the bottom face, struck from below.
    QT_TRANSLATE_NOOP("rebound::report::ReportTexts", "Upwards"),
    QT_TRANSLATE_NOOP("rebound::report::ReportTexts", "Yes"),
    QT_TRANSLATE_NOOP("rebound::report::ReportTexts", "No"),
    //: How the carbonation depth was taken: each area's own measured depth.
    QT_TRANSLATE_NOOP("rebound::report::ReportTexts", "each area's own depth"),
    //: How the carbonation depth was taken: the component's representative depth.
    QT_TRANSLATE_NOOP("rebound::report::ReportTexts", "representative depth"),
    //: A carbonation depth that was not measured.
    QT_TRANSLATE_NOOP("rebound::report::ReportTexts", "-.-"),
    //: A carbonation depth above 6 mm.
    QT_TRANSLATE_NOOP("rebound::report::ReportTexts", "> 6.0"),
    //: Note on a component whose area strengths the instrument supplied: the
    //: pumped-concrete correction is listed but not added to them.
    QT_TRANSLATE_NOOP("rebound::report::ReportTexts",
                      "area strength taken from the instrument; pump correction not added"),
    //: Under the test record sheet's table: the areas marked * hold readings typed by hand.
    QT_TRANSLATE_NOOP("rebound::report::ReportTexts",
                      "Note: the rebound readings of areas marked * were entered or changed by hand"),
    //: The project's rule for pumped concrete: the correction added to the curve.
    QT_TRANSLATE_NOOP("rebound::report::ReportTexts", "by correction"),
    //: The project's rule for pumped concrete: the curve of pumped concrete.
    QT_TRANSLATE_NOOP("rebound::report::ReportTexts", "by pumped-concrete curve"),
    //: The project's arithmetic: as the hammer computes.
    QT_TRANSLATE_NOOP("rebound::report::ReportTexts", "as the hammer"),
    //: The project's arithmetic: exact decimals as the standard writes them.
    QT_TRANSLATE_NOOP("rebound::report::ReportTexts", "as the standard"),
};

// The core's messages a report prints, by code; %1, %2, ... are the
// message's arguments in order.
struct MessagePattern {
    const char* code;
    const char* text;
};
const MessagePattern kMessages[] = {
    {"estimate_below_curve",
     QT_TRANSLATE_NOOP("rebound::report::ReportTexts",
                       "areas %1 lie below the range of the curve: the estimate is below its lowest strength")},
    {"estimate_above_curve",
     QT_TRANSLATE_NOOP("rebound::report::ReportTexts",
                       "every area lies above the range of the curve: the estimate is above its highest strength")},
    {"estimate_blank",
     QT_TRANSLATE_NOOP("rebound::report::ReportTexts",
                       "areas %1 lie above the range of the curve and have no strength: no estimate")},
};

const QTranslator* chinese_catalogue() {
    static const QTranslator* const catalogue = [] {
        init_report_catalogue();
        auto* t = new QTranslator;  // lives as long as the process
        if (!t->load(QStringLiteral(":/rebound/report/rebound_zh_CN.qm"))) {
            delete t;
            return static_cast<QTranslator*>(nullptr);
        }
        return t;
    }();
    return catalogue;
}

}  // namespace

ReportTexts::ReportTexts(const QString& language) {
    if (language.startsWith(QLatin1String("zh"))) catalogue_ = chinese_catalogue();
    for (int i = 0; i < 3; ++i) surfaces_[i] = text(side_text(i).c_str());
    for (int i = 0; i < 14; ++i) {
        const std::string d = depth_text(i);
        // Only the two texts that are not numbers are words of a language.
        depths_[i] = d == "-.-" || d == "> 6.0" ? text(d.c_str()) : QString::fromStdString(d);
    }
    yes_ = text("Yes");
    no_ = text("No");
    own_depth_ = text("each area's own depth");
    representative_ = text("representative depth");
}

QString ReportTexts::text(const char* source) const {
    if (catalogue_ != nullptr) {
        const QString translated = catalogue_->translate(kContext, source);
        if (!translated.isEmpty()) return translated;
    }
    return QString::fromUtf8(source);
}

QString ReportTexts::message(const Message& m) const {
    for (const MessagePattern& p : kMessages) {
        if (m.code != p.code) continue;
        QString out = text(p.text);
        for (const std::string& arg : m.args) out = out.arg(QString::fromStdString(arg));
        return out;
    }
    return QString::fromStdString(m.english);
}

QString ReportTexts::surface(int surface_index) const {
    // Every index above 2 reads as the last surface, as side_text has it.
    return surfaces_[std::clamp(surface_index, 0, 2)];
}

QString ReportTexts::depth(int carbonation_index) const {
    // 13 and above read "> 6.0", as depth_text has it.
    return depths_[std::clamp(carbonation_index, 0, 13)];
}

QString ReportTexts::yes_no(bool yes) const {
    return yes ? yes_ : no_;
}

QString ReportTexts::carbonation_mode(int mode) const {
    return mode == 1 ? own_depth_ : representative_;
}

}  // namespace rebound::report
