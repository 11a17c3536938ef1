// The batch settings and the cores of a project, kept in the spare texts of
// the project file so that its layout stays as it is: reserved_text1 and
// reserved_text2 of the header, reserved_text of a component. The window
// never shows these texts, and a project without a batch leaves them empty.
//
// A spare text holds short ASCII `key=value` pairs separated by ";":
//
//     header:     batch=1;k=2.0;lot=40;method=coefficient
//     component:  cores=3:32.5,5:30.1,8:29.8      (area number from 1 : MPa)
//
// Keys are lower-case letters, digits and "_"; values are printable ASCII
// without ";". Numbers use "." whatever the locale. Keys this program does not
// know are kept as they are. The header settings go into reserved_text1, or
// into reserved_text2 when reserved_text1 holds something else. A text that
// does not parse (another program's note, a value out of range) is never
// changed: it is reported, and the settings it would have held keep their
// defaults. docs/spare-texts.md is the user's description.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "evaluation/batch.h"
#include "evaluation/evaluation.h"
#include "model/rebound_file.h"

namespace rebound {

// The pairs of a spare text in their order; nullopt when the text does not
// follow the syntax. An empty text has no pairs.
using SparePairs = std::vector<std::pair<std::string, std::string>>;
std::optional<SparePairs> parse_spare_text(std::string_view text);
std::string format_spare_text(const SparePairs& pairs);

// A spare text that does not parse, and where it is.
struct UnparsableSpareText {
    enum class Where { HeaderText1, HeaderText2, Component };
    Where where = Where::HeaderText1;
    std::size_t component = 0;  // for Component, from 0
    std::string text;           // as stored (8-bit)
    std::string reason;         // English, one phrase
    bool operator==(const UnparsableSpareText&) const = default;
};

// What the spare texts of a project hold.
struct ProjectBatchData {
    BatchSettings settings;
    std::vector<CoreSample> cores;  // in component order, then in stored order
    std::vector<UnparsableSpareText> unparsable;
};

ProjectBatchData read_batch_data(const ReboundFile& project);

// The cores of one component as its spare text holds them (area from 0);
// nullopt when the text does not parse.
std::optional<std::vector<CoreSample>> read_component_cores(const ComponentInfo& component, std::size_t index);

// The header texts with the settings written in (the defaults and a batch
// switched off write nothing); nullopt when neither header text parses.
struct HeaderSpareTexts {
    std::string text1;
    std::string text2;
};
std::optional<HeaderSpareTexts> header_texts_with(const ReboundFile& project, const BatchSettings& settings);

// The component's spare text with the cores (positions from 0; only the
// cores of this component) written in; nullopt when it does not parse.
std::optional<std::string> component_text_with(const ComponentInfo& component, std::size_t index,
                                               const std::vector<CoreSample>& cores);

// Writes settings and cores into the project's spare texts. Refuses (and
// changes nothing) when a text that would have to change does not parse;
// the result then names it.
std::optional<UnparsableSpareText> write_batch_data(ReboundFile& project, const BatchSettings& settings,
                                                    const std::vector<CoreSample>& cores);

// The batch a project describes: its ticked components, judged with the
// stored settings and corrected with the stored cores of those components.
struct ProjectBatch {
    ProjectBatchData data;
    std::vector<std::size_t> components;
    std::vector<CoreSample> cores;  // those of `components`
    BatchEvaluation evaluation;
};
ProjectBatch evaluate_project_batch(const ReboundFile& project);

// A component corrected by its own cores, when the project is not inspected
// by batch: its figures and correction as a batch of one.
struct ComponentCorrection {
    std::size_t component = 0;
    std::vector<CoreSample> cores;
    BatchEvaluation evaluation;
};
std::vector<ComponentCorrection> component_corrections(const ReboundFile& project, const ProjectBatchData& data);

// The text with `key` set to `value` (removed for an empty value), the other
// pairs kept in their order; nullopt when the text does not parse.
std::optional<std::string> spare_text_with(std::string_view text, std::string_view key, const std::string& value);

// The evaluation rules the header spare texts hold, beside the batch
// settings: "pumped=curve" and "arithmetic=standard"; the defaults (the
// correction, the hammer's arithmetic) write nothing, and a value this
// program does not know reads as the default.
EvaluationRules read_evaluation_rules(const ReboundFile& project);
// The header texts with the rules written in; nullopt when a rule other
// than the default is to be written and neither header text parses.
std::optional<HeaderSpareTexts> header_texts_with_rules(const ReboundFile& project, const EvaluationRules& rules);

// "the project's first spare text", "the spare text of component 3", with
// the reason: for messages.
std::string describe(const UnparsableSpareText& text);

}  // namespace rebound
