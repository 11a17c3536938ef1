// rebound-cli evaluate of a project of 20,000 components x 100 areas (about
// 100 MB) in which every component warns (its areas lie below the curve and
// carry no carbonation depth): the evaluation's rate net of loading and
// saving the project, which this program measures on its own beside the run
// (goal: at least 8 million areas per second), and the number of warning
// lines written to standard error.
//
//   cli_evaluate_bench      (POSIX shell; the curve is data/curve/normal.cur)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "model/rebound_file.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kComponents = 20000;
constexpr int kAreas = 100;

double seconds_since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main() {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / "rebound-bench-evaluate";
    fs::create_directories(dir);
    const fs::path project_path = dir / "warns.prj";
    {
        rebound::ReboundFile p("2026/12/10");
        rebound::ComponentInfo c("2026/12/10");
        for (int a = 0; a < kAreas; ++a) {
            rebound::AreaData area;
            // Rebound values of about 12: below every curve's range.
            for (int r = 0; r < 16; ++r) area.readings[r] = static_cast<std::uint8_t>(10 + (r + a) % 5);
            c.add_area(area);
        }
        p.components.reserve(kComponents);
        for (int i = 0; i < kComponents; ++i) {
            c.component_name = "C" + std::to_string(i);
            p.components.push_back(c);
        }
        if (!p.save(project_path)) return 1;
    }

    // Loading and saving the same project, as the command does around its work.
    double load_save = 1e9;
    for (int run = 0; run < 2; ++run) {
        const auto start = Clock::now();
        rebound::ReboundFile p;
        if (!p.load(project_path, "2026/12/10")) return 1;
        if (!p.save(dir / "saved.prj")) return 1;
        load_save = std::min(load_save, seconds_since(start));
    }

    const fs::path curve = fs::path(REBOUND_SOURCE_DIR) / "data/curve/normal.cur";
    const fs::path err = dir / "stderr.txt";
    const std::string command = "'" REBOUND_CLI_PATH "' evaluate '" + project_path.string() + "' --curve '" +
                                curve.string() + "' -o '" + (dir / "out.prj").string() + "' >/dev/null 2>'" +
                                err.string() + "'";
    double cli = 1e9;
    for (int run = 0; run < 2; ++run) {
        const auto start = Clock::now();
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "rebound-cli evaluate failed\n");
            return 1;
        }
        cli = std::min(cli, seconds_since(start));
    }
    std::ifstream lines(err);
    int warnings = 0;
    for (std::string line; std::getline(lines, line);) warnings += line.find("warning") != std::string::npos;

    const double areas = double(kComponents) * kAreas;
    const double net = cli - load_save;
    std::printf("rebound-cli evaluate: %.2f s, load and save %.2f s, %d warning lines\n", cli, load_save,
                warnings);
    std::printf("net rate: %.1f M areas/s (goal >= 8)\n", net > 0 ? areas / net / 1e6 : 0.0);
    fs::remove_all(dir);
    return 0;
}
