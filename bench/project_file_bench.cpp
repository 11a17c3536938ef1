// Loading and saving a large project (20,000 components x 100 areas, about
// 100 MB) side by side with the plain file operations they are measured
// against, in one run:
//   load  <= 1.5 x reading the file's bytes into memory
//   save  <= 1.3 x writing the same number of bytes and flushing them to disk
//   peak heap while loading <= 1.3 x the file size
//   rebound-cli import of one component into it <= 2 x dd conv=fsync of it
//   rebound-cli dump of it writes >= 300 MB/s of JSON
// The two command-line measurements run the installed-tree executable as a
// user would (standard output to /dev/null, not a terminal, so the JSON is
// compact); they need a POSIX shell and dd and are left out where there are
// none. The ratios are printed after the benchmark table.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <new>
#include <string>

#include "fileio/byte_io.h"
#include "fileio/exchange.h"
#include "model/rebound_file.h"
#include "platform/files.h"

// Heap accounting: every allocation carries its size in a header so that the
// live and peak byte counts are exact on every platform.
namespace {
std::atomic<std::size_t> g_live{0};
std::atomic<std::size_t> g_peak{0};
constexpr std::size_t kHeader = alignof(std::max_align_t);

void* counted_alloc(std::size_t n) {
    auto* p = static_cast<unsigned char*>(std::malloc(n + kHeader));
    if (p == nullptr) throw std::bad_alloc();
    *reinterpret_cast<std::size_t*>(p) = n;
    const std::size_t live = g_live.fetch_add(n) + n;
    std::size_t peak = g_peak.load();
    while (live > peak && !g_peak.compare_exchange_weak(peak, live)) {
    }
    return p + kHeader;
}
void counted_free(void* q) noexcept {
    if (q == nullptr) return;
    auto* p = static_cast<unsigned char*>(q) - kHeader;
    g_live.fetch_sub(*reinterpret_cast<std::size_t*>(p));
    std::free(p);
}
}  // namespace

void* operator new(std::size_t n) {
    return counted_alloc(n);
}
void* operator new[](std::size_t n) {
    return counted_alloc(n);
}
void operator delete(void* p) noexcept {
    counted_free(p);
}
void operator delete[](void* p) noexcept {
    counted_free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    counted_free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    counted_free(p);
}

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kComponents = 20000;
constexpr int kAreas = 100;

std::map<std::string, double> g_best_seconds;  // fastest iteration of each benchmark
double g_json_bytes = 0;                       // size of the JSON that dump writes

const std::filesystem::path& bench_dir() {
    static const std::filesystem::path dir = [] {
        auto d = std::filesystem::temp_directory_path() / "rebound-bench-project";
        std::filesystem::create_directories(d);
        return d;
    }();
    return dir;
}

const rebound::ReboundFile& big_project() {
    static const rebound::ReboundFile project = [] {
        rebound::ReboundFile p("2026/12/10");
        p.components.reserve(kComponents);
        rebound::ComponentInfo c("2026/12/10");
        for (int a = 0; a < kAreas; ++a) {
            rebound::AreaData area;
            for (int r = 0; r < 16; ++r) area.readings[r] = static_cast<std::uint8_t>(30 + (r * 7 + a) % 20);
            area.carbonation_index = static_cast<std::uint8_t>(a % 14);
            area.mean_rebound = 35.0f + static_cast<float>(a % 10) * 0.1f;
            area.area_strength = 30.0f + static_cast<float>(a % 7);
            c.add_area(area);
        }
        for (int i = 0; i < kComponents; ++i) {
            c.component_name = std::to_string(i);
            c.component_name.insert(0, 1, 'C');
            p.components.push_back(c);
        }
        return p;
    }();
    return project;
}

const std::filesystem::path& project_file() {
    static const std::filesystem::path path = [] {
        const auto p = bench_dir() / "big.prj";
        if (!big_project().save(p)) std::abort();
        return p;
    }();
    return path;
}

void record(benchmark::State& state, const char* name, Clock::duration elapsed) {
    const double s = std::chrono::duration<double>(elapsed).count();
    state.SetIterationTime(s);
    auto [it, inserted] = g_best_seconds.emplace(name, s);
    if (!inserted) it->second = std::min(it->second, s);
}

void BM_ReadFileBytes(benchmark::State& state) {
    const auto path = project_file();
    const auto size = std::filesystem::file_size(path);
    for (auto _ : state) {
        const auto t0 = Clock::now();
        std::string bytes(size, '\0');
        std::ifstream in(path, std::ios::binary);
        in.read(bytes.data(), static_cast<std::streamsize>(size));
        benchmark::DoNotOptimize(bytes.data());
        record(state, "read bytes", Clock::now() - t0);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}

void BM_Load(benchmark::State& state) {
    const auto path = project_file();
    const auto size = std::filesystem::file_size(path);
    std::size_t peak_extra = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        {
            const std::size_t before = g_live.load();
            g_peak.store(before);
            rebound::ReboundFile p;
            if (!p.load(path, "2026/12/10")) state.SkipWithError("load failed");
            benchmark::DoNotOptimize(p.components.data());
            peak_extra = std::max(peak_extra, g_peak.load() - before);
            record(state, "load", Clock::now() - t0);
        }
    }
    state.counters["peak_heap_per_file_byte"] = static_cast<double>(peak_extra) / static_cast<double>(size);
    g_best_seconds["peak heap / file size"] = static_cast<double>(peak_extra) / static_cast<double>(size);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}

void BM_WriteSyncedBytes(benchmark::State& state) {
    rebound::ByteWriter w;
    big_project().write_to(w);
    const std::string& bytes = w.bytes();
    const auto target = bench_dir() / "plain.bin";
    for (auto _ : state) {
        const auto t0 = Clock::now();
        const rebound::Result<void> ok = rebound::platform::write_file_atomically(
            target,
            [&](rebound::platform::ByteSink& sink) { return sink.write(bytes.data(), bytes.size()); });
        if (!ok) state.SkipWithError("write failed");
        record(state, "write+fsync bytes", Clock::now() - t0);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

void BM_Save(benchmark::State& state) {
    const auto& project = big_project();
    const auto target = bench_dir() / "saved.prj";
    for (auto _ : state) {
        const auto t0 = Clock::now();
        if (!project.save(target)) state.SkipWithError("save failed");
        record(state, "save", Clock::now() - t0);
    }
}

#ifdef REBOUND_CLI_PATH
// Runs a shell command line; false when it fails.
bool run(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

std::string quoted(const std::filesystem::path& path) {
    // Appended piece by piece: GCC's -O3 takes "'" + string for an
    // overlapping copy (a false -Wrestrict warning).
    std::string text(1, '\'');
    text += path.string();
    text += '\'';
    return text;
}

std::string cli() {
    return quoted(REBOUND_CLI_PATH);
}

bool have_dd() {
    static const bool found = run("command -v dd > /dev/null 2>&1");
    return found;
}

// A durable copy of the project file: its bytes read, written and synced.
void BM_DdConvFsync(benchmark::State& state) {
    if (!have_dd()) {
        state.SkipWithError("no dd here");
        return;
    }
    const std::string command = "dd if=" + quoted(project_file()) +
                                " of=" + quoted(bench_dir() / "copy.prj") + " bs=1M conv=fsync status=none";
    for (auto _ : state) {
        const auto t0 = Clock::now();
        if (!run(command)) state.SkipWithError("dd failed");
        record(state, "dd conv=fsync", Clock::now() - t0);
    }
}

// rebound-cli import of one exported component into (a copy of) the project.
void BM_CliImportOne(benchmark::State& state) {
    if (!have_dd()) {
        state.SkipWithError("no dd here");
        return;
    }
    const auto one = bench_dir() / "one.xcmp";
    if (!rebound::export_component_file(one, big_project().components.front())) {
        state.SkipWithError("cannot write the component file");
        return;
    }
    const auto target = bench_dir() / "import.prj";
    const std::string command = cli() + " import " + quoted(target) + " " + quoted(one);
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::copy_file(project_file(), target, std::filesystem::copy_options::overwrite_existing);
        state.ResumeTiming();
        const auto t0 = Clock::now();
        if (!run(command)) state.SkipWithError("import failed");
        record(state, "cli import", Clock::now() - t0);
    }
}

// rebound-cli dump of the project, its JSON thrown away.
void BM_CliDump(benchmark::State& state) {
    if (!have_dd()) {
        state.SkipWithError("no POSIX shell here");
        return;
    }
    const auto json = bench_dir() / "dump.json";
    if (!run(cli() + " dump " + quoted(project_file()) + " > " + quoted(json))) {
        state.SkipWithError("dump failed");
        return;
    }
    g_json_bytes = static_cast<double>(std::filesystem::file_size(json));
    std::filesystem::remove(json);
    const std::string command = cli() + " dump " + quoted(project_file()) + " > /dev/null";
    for (auto _ : state) {
        const auto t0 = Clock::now();
        if (!run(command)) state.SkipWithError("dump failed");
        record(state, "cli dump", Clock::now() - t0);
    }
    state.SetBytesProcessed(
        static_cast<std::int64_t>(static_cast<double>(state.iterations()) * g_json_bytes));
}
#endif

BENCHMARK(BM_ReadFileBytes)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Load)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_WriteSyncedBytes)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Save)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
#ifdef REBOUND_CLI_PATH
BENCHMARK(BM_DdConvFsync)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_CliImportOne)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_CliDump)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
#endif

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    auto ratio = [](const char* a, const char* b) { return g_best_seconds[a] / g_best_seconds[b]; };
    std::printf("\nproject of %d components x %d areas, %.1f MB\n", kComponents, kAreas,
                static_cast<double>(std::filesystem::file_size(project_file())) / 1e6);
    std::printf("load / read bytes          = %.2f (goal <= 1.5)\n", ratio("load", "read bytes"));
    std::printf("save / write+fsync bytes   = %.2f (goal <= 1.3)\n", ratio("save", "write+fsync bytes"));
    std::printf("peak heap while loading    = %.2f x file size (goal <= 1.3)\n",
                g_best_seconds["peak heap / file size"]);
    if (g_best_seconds.count("cli import") && g_best_seconds.count("dd conv=fsync")) {
        std::printf("cli import / dd conv=fsync = %.2f (goal <= 2)\n", ratio("cli import", "dd conv=fsync"));
    }
    if (g_best_seconds.count("cli dump") && g_json_bytes > 0) {
        std::printf("cli dump                   = %.0f MB/s of JSON, %.0f MB (goal >= 300 MB/s)\n",
                    g_json_bytes / g_best_seconds["cli dump"] / 1e6, g_json_bytes / 1e6);
    }
    std::filesystem::remove_all(bench_dir());
    return 0;
}
