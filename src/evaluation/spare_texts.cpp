#include "evaluation/spare_texts.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

namespace rebound {

namespace {

constexpr std::string_view kBatchKey = "batch";
constexpr std::string_view kKKey = "k";
constexpr std::string_view kLotKey = "lot";
constexpr std::string_view kMethodKey = "method";
constexpr std::string_view kCoresKey = "cores";
constexpr std::string_view kPumpedKey = "pumped";
constexpr std::string_view kArithmeticKey = "arithmetic";

bool is_key_char(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

bool is_value_char(char c) {
    return c >= 0x20 && c <= 0x7e && c != ';';
}

bool is_header_key(std::string_view key) {
    return key == kBatchKey || key == kKKey || key == kLotKey || key == kMethodKey;
}

// A number as the spare texts write it: plain decimal with ".", no sign
// other than "-", no spaces.
std::optional<double> parse_number(std::string_view text) {
    double value = 0.0;
    if (text.empty()) return std::nullopt;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<std::uint64_t> parse_count(std::string_view text) {
    std::uint64_t value = 0;
    if (text.empty()) return std::nullopt;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

std::string number_text(double value) {
    // Fixed notation: the smallest positive double takes over 300 digits.
    char buffer[512];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return r.ec == std::errc() ? std::string(buffer, r.ptr) : std::string("0");
}

// The settings of one header text's pairs laid over `settings`; an error
// phrase when a known key holds a value out of its range.
std::optional<std::string> apply_header_pairs(const SparePairs& pairs, BatchSettings& settings) {
    for (const auto& [key, value] : pairs) {
        if (key == kBatchKey) {
            if (value != "0" && value != "1") return "batch must be 0 or 1";
            settings.enabled = value == "1";
        } else if (key == kKKey) {
            const auto k = parse_number(value);
            if (!k || *k <= batch_rules::kMinK || *k > batch_rules::kMaxK) return "k must be a number above 0, at most 10";
            settings.k = *k;
        } else if (key == kLotKey) {
            const auto lot = parse_count(value);
            if (!lot || *lot == 0 || *lot > batch_rules::kMaxLotSize) return "lot must be a whole number from 1";
            settings.lot_size = static_cast<std::uint32_t>(*lot);
        } else if (key == kMethodKey) {
            const auto method = method_from_name(value);
            if (!method) return "method must be amount or coefficient";
            settings.method = *method;
        }
    }
    return std::nullopt;
}

// The cores of a "cores" value: "3:32.5,5:30.1"; nullopt when malformed.
std::optional<std::vector<CoreSample>> parse_cores(std::string_view value, std::size_t component) {
    std::vector<CoreSample> cores;
    while (!value.empty()) {
        const std::size_t comma = value.find(',');
        const std::string_view item = value.substr(0, comma);
        const std::size_t colon = item.find(':');
        if (colon == std::string_view::npos) return std::nullopt;
        const auto area = parse_count(item.substr(0, colon));
        const auto strength = parse_number(item.substr(colon + 1));
        if (!area || *area == 0 || !strength || !(*strength > 0.0) || *strength > batch_rules::kMaxCoreStrength) {
            return std::nullopt;
        }
        cores.push_back({component, static_cast<std::size_t>(*area - 1), *strength});
        if (comma == std::string_view::npos) break;
        value.remove_prefix(comma + 1);
        if (value.empty()) return std::nullopt;  // a trailing comma
    }
    return cores;
}

std::string cores_value(const std::vector<CoreSample>& cores, std::size_t component) {
    std::string value;
    for (const CoreSample& core : cores) {
        if (core.component != component) continue;
        if (!value.empty()) value += ',';
        value += std::to_string(core.area + 1) + ':' + number_text(core.strength);
    }
    return value;
}

// Sets, replaces or (for an empty value) removes a key, keeping the order of
// the others; a new key goes to the end.
void set_pair(SparePairs& pairs, std::string_view key, const std::string& value) {
    const auto it = std::find_if(pairs.begin(), pairs.end(), [&](const auto& p) { return p.first == key; });
    if (value.empty()) {
        if (it != pairs.end()) pairs.erase(it);
    } else if (it != pairs.end()) {
        it->second = value;
    } else {
        pairs.emplace_back(std::string(key), value);
    }
}

std::optional<std::string> header_problem(const std::string& text) {
    const auto pairs = parse_spare_text(text);
    if (!pairs) return std::string("not key=value pairs");
    BatchSettings scratch;
    return apply_header_pairs(*pairs, scratch);
}

}  // namespace

std::optional<SparePairs> parse_spare_text(std::string_view text) {
    SparePairs pairs;
    if (text.empty()) return pairs;
    while (true) {
        const std::size_t semicolon = text.find(';');
        const std::string_view item = text.substr(0, semicolon);
        const std::size_t equals = item.find('=');
        if (equals == 0 || equals == std::string_view::npos) return std::nullopt;
        const std::string_view key = item.substr(0, equals);
        const std::string_view value = item.substr(equals + 1);
        if (!std::all_of(key.begin(), key.end(), is_key_char)) return std::nullopt;
        if (!std::all_of(value.begin(), value.end(), is_value_char)) return std::nullopt;
        if (std::any_of(pairs.begin(), pairs.end(), [&](const auto& p) { return p.first == key; })) {
            return std::nullopt;  // a key twice: which one holds is not clear
        }
        pairs.emplace_back(std::string(key), std::string(value));
        if (semicolon == std::string_view::npos) break;
        text.remove_prefix(semicolon + 1);
    }
    return pairs;
}

std::string format_spare_text(const SparePairs& pairs) {
    std::string text;
    for (const auto& [key, value] : pairs) {
        if (!text.empty()) text += ';';
        text += key;
        text += '=';
        text += value;
    }
    return text;
}

std::optional<std::vector<CoreSample>> read_component_cores(const ComponentInfo& component, std::size_t index) {
    const auto pairs = parse_spare_text(component.reserved_text);
    if (!pairs) return std::nullopt;
    for (const auto& [key, value] : *pairs) {
        if (key == kCoresKey) return parse_cores(value, index);
    }
    return std::vector<CoreSample>{};
}

ProjectBatchData read_batch_data(const ReboundFile& project) {
    ProjectBatchData data;
    // reserved_text2 first, so that reserved_text1 wins where both hold a key.
    const std::pair<const std::string*, UnparsableSpareText::Where> header[] = {
        {&project.reserved_text2, UnparsableSpareText::Where::HeaderText2},
        {&project.reserved_text1, UnparsableSpareText::Where::HeaderText1},
    };
    std::vector<UnparsableSpareText> header_problems;
    for (const auto& [text, where] : header) {
        const auto pairs = parse_spare_text(*text);
        std::optional<std::string> problem;
        BatchSettings settings = data.settings;
        if (!pairs) {
            problem = "not key=value pairs";
        } else {
            problem = apply_header_pairs(*pairs, settings);
        }
        if (problem) {
            header_problems.push_back({where, 0, *text, *problem});
        } else {
            data.settings = settings;
        }
    }
    std::reverse(header_problems.begin(), header_problems.end());
    data.unparsable = std::move(header_problems);
    for (std::size_t i = 0; i < project.components.size(); ++i) {
        const ComponentInfo& c = project.components[i];
        if (c.reserved_text.empty()) continue;
        const auto cores = read_component_cores(c, i);
        if (!cores) {
            data.unparsable.push_back({UnparsableSpareText::Where::Component, i, c.reserved_text,
                                       "not key=value pairs, or cores not AREA:MPa from area 1 and above 0 MPa"});
            continue;
        }
        data.cores.insert(data.cores.end(), cores->begin(), cores->end());
    }
    return data;
}

std::optional<HeaderSpareTexts> header_texts_with(const ReboundFile& project, const BatchSettings& settings) {
    HeaderSpareTexts out{project.reserved_text1, project.reserved_text2};
    const bool usable1 = !header_problem(project.reserved_text1);
    const bool usable2 = !header_problem(project.reserved_text2);
    // Take the settings out of every text that parses ...
    for (auto [text, usable] : {std::pair{&out.text1, usable1}, std::pair{&out.text2, usable2}}) {
        if (!usable) continue;
        SparePairs pairs = *parse_spare_text(*text);
        std::erase_if(pairs, [](const auto& p) { return is_header_key(p.first); });
        *text = format_spare_text(pairs);
    }
    // ... and put what differs from the defaults into the first one.
    SparePairs ours;
    const BatchSettings defaults;
    if (settings.enabled) ours.emplace_back(kBatchKey, "1");
    if (settings.k != defaults.k) ours.emplace_back(kKKey, number_text(settings.k));
    if (settings.lot_size != 0) ours.emplace_back(kLotKey, std::to_string(settings.lot_size));
    if (settings.method != defaults.method) ours.emplace_back(kMethodKey, method_name(settings.method));
    if (ours.empty()) {
        // Nothing to keep: a text that does not parse is no obstacle.
        return out;
    }
    std::string* target = usable1 ? &out.text1 : usable2 ? &out.text2 : nullptr;
    if (!target) return std::nullopt;
    SparePairs pairs = *parse_spare_text(*target);
    for (auto& [key, value] : ours) set_pair(pairs, key, value);
    *target = format_spare_text(pairs);
    return out;
}

std::optional<std::string> component_text_with(const ComponentInfo& component, std::size_t index,
                                               const std::vector<CoreSample>& cores) {
    if (!read_component_cores(component, index)) return std::nullopt;
    auto pairs = parse_spare_text(component.reserved_text);
    set_pair(*pairs, kCoresKey, cores_value(cores, index));
    return format_spare_text(*pairs);
}

std::optional<UnparsableSpareText> write_batch_data(ReboundFile& project, const BatchSettings& settings,
                                                    const std::vector<CoreSample>& cores) {
    const auto header = header_texts_with(project, settings);
    if (!header) {
        return UnparsableSpareText{UnparsableSpareText::Where::HeaderText1, 0, project.reserved_text1,
                                   "neither header spare text can take the batch settings"};
    }
    std::vector<std::string> component_texts(project.components.size());
    for (std::size_t i = 0; i < project.components.size(); ++i) {
        const ComponentInfo& c = project.components[i];
        const bool has_cores =
            std::any_of(cores.begin(), cores.end(), [i](const CoreSample& s) { return s.component == i; });
        const auto text = component_text_with(c, i, cores);
        if (!text) {
            // A text that does not parse stays as it is; it is an obstacle
            // only when cores are to go there.
            if (has_cores) {
                return UnparsableSpareText{UnparsableSpareText::Where::Component, i, c.reserved_text,
                                           "it cannot take the cores"};
            }
            component_texts[i] = c.reserved_text;
        } else {
            component_texts[i] = *text;
        }
    }
    project.reserved_text1 = header->text1;
    project.reserved_text2 = header->text2;
    for (std::size_t i = 0; i < project.components.size(); ++i) {
        project.components[i].reserved_text = std::move(component_texts[i]);
    }
    return std::nullopt;
}

ProjectBatch evaluate_project_batch(const ReboundFile& project) {
    ProjectBatch batch;
    batch.data = read_batch_data(project);
    batch.components = ticked_components(project);
    for (const CoreSample& core : batch.data.cores) {
        if (std::binary_search(batch.components.begin(), batch.components.end(), core.component)) {
            batch.cores.push_back(core);
        }
    }
    batch.evaluation = evaluate_batch(project, batch.components, batch.data.settings, batch.cores);
    return batch;
}

std::vector<ComponentCorrection> component_corrections(const ReboundFile& project, const ProjectBatchData& data) {
    std::vector<ComponentCorrection> out;
    for (const CoreSample& core : data.cores) {
        if (core.component >= project.components.size()) continue;
        if (out.empty() || out.back().component != core.component) out.push_back({core.component, {}, {}});
        out.back().cores.push_back(core);
    }
    for (ComponentCorrection& c : out) {
        const std::size_t only[] = {c.component};
        c.evaluation = evaluate_batch(project, only, data.settings, c.cores);
    }
    return out;
}

std::optional<std::string> spare_text_with(std::string_view text, std::string_view key, const std::string& value) {
    auto pairs = parse_spare_text(text);
    if (!pairs) return std::nullopt;
    set_pair(*pairs, key, value);
    return format_spare_text(*pairs);
}

EvaluationRules read_evaluation_rules(const ReboundFile& project) {
    EvaluationRules rules;
    // reserved_text2 first, so that reserved_text1 wins where both hold a key.
    for (const std::string* text : {&project.reserved_text2, &project.reserved_text1}) {
        const auto pairs = parse_spare_text(*text);
        if (!pairs) continue;
        for (const auto& [key, value] : *pairs) {
            if (key == kPumpedKey) rules.pumped = value == "curve" ? PumpedRule::Curve : PumpedRule::Correction;
            if (key == kArithmeticKey) {
                rules.arithmetic = value == "standard" ? Arithmetic::Standard : Arithmetic::Device;
            }
        }
    }
    return rules;
}

std::optional<HeaderSpareTexts> header_texts_with_rules(const ReboundFile& project, const EvaluationRules& rules) {
    HeaderSpareTexts out{project.reserved_text1, project.reserved_text2};
    const bool usable1 = parse_spare_text(project.reserved_text1).has_value();
    const bool usable2 = parse_spare_text(project.reserved_text2).has_value();
    for (auto [text, usable] : {std::pair{&out.text1, usable1}, std::pair{&out.text2, usable2}}) {
        if (!usable) continue;
        *text = *spare_text_with(*text, kPumpedKey, {});
        *text = *spare_text_with(*text, kArithmeticKey, {});
    }
    const std::string pumped = rules.pumped == PumpedRule::Curve ? "curve" : "";
    const std::string arithmetic = rules.arithmetic == Arithmetic::Standard ? "standard" : "";
    if (pumped.empty() && arithmetic.empty()) return out;
    std::string* target = usable1 ? &out.text1 : usable2 ? &out.text2 : nullptr;
    if (!target) return std::nullopt;
    *target = *spare_text_with(*target, kPumpedKey, pumped);
    *target = *spare_text_with(*target, kArithmeticKey, arithmetic);
    return out;
}

std::string describe(const UnparsableSpareText& text) {
    std::string where;
    switch (text.where) {
        case UnparsableSpareText::Where::HeaderText1:
            where = "the project's first spare text";
            break;
        case UnparsableSpareText::Where::HeaderText2:
            where = "the project's second spare text";
            break;
        case UnparsableSpareText::Where::Component:
            where = "the spare text of component " + std::to_string(text.component + 1);
            break;
    }
    return where + " is kept unchanged and not used: " + text.reason;
}

}  // namespace rebound
