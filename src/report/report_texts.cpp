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
