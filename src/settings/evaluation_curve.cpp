#include "settings/evaluation_curve.h"

#include <utility>

#include "platform/text_codec.h"
#include "settings/app_context.h"
#include "settings/setting.h"

namespace rebound {

EvaluationCurve::EvaluationCurve(const AppContext& context)
    : settings_(&context.get_setting()), folder_(context.curve_folder()) {}

EvaluationCurve::EvaluationCurve(std::filesystem::path file) : fixed_file_(std::move(file)) {}

const Strength_Curve* EvaluationCurve::get(CurveProblem* problem) {
    CurveProblem found;
    if (settings_ != nullptr) {
        found.name = settings_->evaluation_curve_file();
        const std::filesystem::path file = platform::path_from_ansi(found.name);
        found.path = folder_ / file;
        // A name with a folder part is not looked for outside the curve
        // folder: it is a curve the folder does not hold.
        if (!is_plain_file_name(file)) {
            found.outside_folder = true;
            if (problem != nullptr) *problem = std::move(found);
            return nullptr;
        }
    } else {
        found.path = fixed_file_;
        found.name = platform::utf8_to_ansi(platform::path_text(fixed_file_.filename()));
    }
    // A name with a folder part (an edited settings file) counts by its file name.
    const std::string file_name = platform::utf8_to_ansi(platform::path_text(found.path.filename()));

    const platform::FileIdentity now = platform::file_identity(found.path, false);
    if (!read_once_ || found.path != read_path_ || now.differs_from(read_identity_)) {
        Strength_Curve fresh;
        read_defect_ = read_curve_for_evaluation(found.path, fresh);
        if (!read_defect_) curve_ = std::move(fresh);
        read_path_ = found.path;
        read_identity_ = now;
        // A file that could not be looked at is looked at again next time,
        // and so is one changed so lately that a change to come might keep
        // its size and time.
        read_once_ = now.exists && !platform::modified_lately(now);
    }
    if (read_defect_) {
        found.defect = *read_defect_;
        if (problem != nullptr) *problem = std::move(found);
        return nullptr;
    }
    name_ = file_name;
    return &curve_;
}

}  // namespace rebound
