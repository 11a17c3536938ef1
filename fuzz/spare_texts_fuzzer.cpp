// Spare texts and the cores table: the input is split at "|" into the two
// header spare texts, a component's spare text and a pasted table of cores.
// A text that parses formats back to itself; the batch settings and cores
// read from the texts write back and read again unchanged, a text that does
// not parse is never changed, and writing the same twice changes nothing.
// The batch is then evaluated with the stored cores and with the table's.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "evaluation/batch.h"
#include "evaluation/spare_texts.h"
#include "fuzz_check.h"
#include "model/rebound_file.h"

namespace {

std::vector<std::string> split(std::string_view data, std::size_t parts) {
    std::vector<std::string> out;
    while (out.size() + 1 < parts) {
        const std::size_t bar = data.find('|');
        if (bar == std::string_view::npos) break;
        out.emplace_back(data.substr(0, bar));
        data.remove_prefix(bar + 1);
    }
    out.emplace_back(data);
    out.resize(parts);
    return out;
}

rebound::ComponentInfo component(std::size_t areas, float strength) {
    rebound::ComponentInfo c;
    for (std::size_t i = 0; i < areas; ++i) {
        rebound::AreaData a;
        a.converted_strength = strength + static_cast<float>(i % 5);
        a.area_strength = a.converted_strength;
        c.areas.push_back(a);
    }
    return c;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace rebound;
    const std::vector<std::string> parts =
        split(std::string_view(reinterpret_cast<const char*>(data), size), 4);

    for (std::size_t i = 0; i < 3; ++i) {
        if (const auto pairs = parse_spare_text(parts[i])) FUZZ_CHECK(format_spare_text(*pairs) == parts[i]);
    }

    ReboundFile project;
    project.components.push_back(component(12, 30.0f));
    project.components.push_back(component(10, 24.0f));
    project.components.push_back(ComponentInfo{});
    project.reserved_text1 = parts[0];
    project.reserved_text2 = parts[1];
    project.components[0].reserved_text = parts[2];

    const ProjectBatchData read = read_batch_data(project);
    ReboundFile written = project;
    FUZZ_CHECK(!write_batch_data(written, read.settings, read.cores));
    const ProjectBatchData again = read_batch_data(written);
    FUZZ_CHECK(again.settings == read.settings);
    FUZZ_CHECK(again.cores == read.cores);
    for (const UnparsableSpareText& t : read.unparsable) {
        switch (t.where) {
            case UnparsableSpareText::Where::HeaderText1:
                FUZZ_CHECK(written.reserved_text1 == project.reserved_text1);
                break;
            case UnparsableSpareText::Where::HeaderText2:
                FUZZ_CHECK(written.reserved_text2 == project.reserved_text2);
                break;
            case UnparsableSpareText::Where::Component:
                FUZZ_CHECK(written.components[t.component].reserved_text == project.components[t.component].reserved_text);
                break;
        }
    }
    ReboundFile twice = written;
    FUZZ_CHECK(!write_batch_data(twice, again.settings, again.cores));
    FUZZ_CHECK(twice == written);

    const ProjectBatch batch = evaluate_project_batch(written);
    FUZZ_CHECK(batch.evaluation.components.size() == batch.components.size());
    FUZZ_CHECK(!(batch.evaluation.correction && batch.evaluation.correction_error));

    const CoreTable table = parse_core_table(parts[3]);
    FUZZ_CHECK(table.error_line == 0 || table.cores.empty());
    const std::vector<std::size_t> all{0, 1, 2};
    const BatchEvaluation e = evaluate_batch(written, all, read.settings, table.cores);
    FUZZ_CHECK(table.cores.empty() == (!e.correction && !e.correction_error));
    return 0;
}
