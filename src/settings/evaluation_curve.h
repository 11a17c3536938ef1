// The curve evaluations use, as one object that the window's document and the
// command-line tool both ask: the curve chosen in the selection dialog (the
// settings store's name) or the standard curve when none was chosen, looked
// for in the curve folder; or one given file.
//
// The file is read again only when the chosen name or the file on disk
// changed (its size or modification time, as the outside-change check of a
// project compares them), so that a curve replaced on disk is the one used
// without every typed reading reading the file.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "evaluation/strength_curve.h"
#include "platform/files.h"

namespace rebound {

class AppContext;
class setting;

// Why there is no curve to evaluate with.
struct CurveProblem {
    std::filesystem::path path;  // the file looked at
    std::string name;            // the chosen name as the settings hold it (raw bytes)
    // The settings name a file outside the curve folder (a name with a folder
    // part, from an edited settings file); `defect` is then not looked at.
    bool outside_folder = false;
    CurveDefect defect;
};

class EvaluationCurve {
public:
    // The curve the settings of `context` choose, in its curve folder. The
    // context outlives the object.
    explicit EvaluationCurve(const AppContext& context);
    // Always the curve in `file`.
    explicit EvaluationCurve(std::filesystem::path file);

    // The usable curve to evaluate with, or nullptr and `problem` (when
    // given) saying why there is none. The pointer stays valid until the
    // next call.
    const Strength_Curve* get(CurveProblem* problem = nullptr);

    // The curve read last that could evaluate; empty until then.
    const Strength_Curve& last_usable() const { return curve_; }
    // The file name of the curve get() returned last (raw bytes, as the
    // settings hold it), which an evaluation writes into its components.
    const std::string& name() const { return name_; }

private:
    const setting* settings_ = nullptr;
    std::filesystem::path folder_;
    std::filesystem::path fixed_file_;
    // What the last look found: the file, its identity, and the defect of
    // its content (nullopt: `curve_` holds it).
    std::filesystem::path read_path_;
    platform::FileIdentity read_identity_;
    bool read_once_ = false;
    std::optional<CurveDefect> read_defect_;
    Strength_Curve curve_;
    std::string name_;
};

}  // namespace rebound
