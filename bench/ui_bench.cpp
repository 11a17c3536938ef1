// Speed of the main window on the offscreen platform, against these goals:
//   constructing and showing the window           <= 0.5 s
//   selecting a component with 100 areas          <= 10 ms (panel and grid)
//   importing into a project of 5,000 components  <= 100 ms (list rebuilt)
//   opening a project of 5,000 components         <= 1 s
// Each runs in a temporary application folder.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <deque>
#include <memory>

#include "fileio/exchange.h"
#include "platform/qt_bridge.h"
#include "ui/main_window.h"
#include "ui/user_prompts.h"

namespace {

using namespace rebound;

// Answers every file dialog with one fixed path and shows nothing.
class FixedPrompts : public UserPrompts {
public:
    QString path;
    QString openFileName(const QString&) override { return path; }
    QString saveFileName(const QString&) override { return path; }
    QMessageBox::StandardButton question(const QString&, const QString&,
                                         QMessageBox::StandardButtons) override {
        return QMessageBox::No;
    }
    void message(const QString& text) override { lastMessage = text; }
    QString lastMessage;
};

ComponentInfo component(int index, int areas) {
    ComponentInfo c;
    c.component_name = std::to_string(index);
    c.component_name.insert(0, 1, 'C');
    c.strength_avg = 30.0f + static_cast<float>(index % 10);
    for (int i = 0; i < areas; ++i) {
        AreaData a;
        a.readings.fill(static_cast<std::uint8_t>(30 + (i + index) % 20));
        a.carbonation_index = static_cast<std::uint8_t>(i % 14);
        a.angle_index = static_cast<std::uint8_t>(i % 9);
        a.surface_index = static_cast<std::uint8_t>(i % 3);
        a.mean_rebound = 36.26f;
        a.area_strength = 31.5f;
        c.add_area(a);
    }
    return c;
}

// A fresh application folder as the current folder, and a window in it.
struct Fixture {
    QTemporaryDir dir;
    QString previous = QDir::currentPath();
    FixedPrompts* prompts = nullptr;
    std::unique_ptr<TSDIAppForm> window;

    Fixture() {
        QDir::setCurrent(dir.path());
        auto owned = std::make_unique<FixedPrompts>();
        prompts = owned.get();
        window = std::make_unique<TSDIAppForm>(std::move(owned));
    }
    ~Fixture() {
        window.reset();
        QDir::setCurrent(previous);
    }
    QString file(const QString& name) const { return dir.filePath(name); }
};

void BM_ConstructAndShowWindow(benchmark::State& state) {
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    for (auto _ : state) {
        TSDIAppForm window(std::make_unique<FixedPrompts>());
        window.CreateDialogs();
        window.resize(1400, 900);
        window.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(window.sg_areas);
    }
    QDir::setCurrent(previous);
}
BENCHMARK(BM_ConstructAndShowWindow)->Unit(benchmark::kMillisecond);

void BM_SelectComponentWith100Areas(benchmark::State& state) {
    Fixture f;
    f.window->mProject.add_component(component(0, 100));
    f.window->mProject.add_component(component(1, 100));
    f.window->RefreshAll();
    f.window->resize(1400, 900);
    f.window->show();
    QApplication::processEvents();
    int row = 0;
    for (auto _ : state) {
        row = 1 - row;
        f.window->SelectComponentRow(row);
        QApplication::processEvents();  // paint the new panel and grid
    }
    if (f.window->GridRowCount() != 101) {
        state.SkipWithError("the grid does not show the 100 areas");
    }
}
BENCHMARK(BM_SelectComponentWith100Areas)->Unit(benchmark::kMillisecond);

void BM_ImportInto5000Components(benchmark::State& state) {
    Fixture f;
    for (int i = 0; i < 5000; ++i) {
        f.window->mProject.add_component(component(i, 10));
    }
    f.window->RefreshAll();
    f.window->resize(1400, 900);
    f.window->show();
    QApplication::processEvents();
    ComponentInfo exported = component(9999, 10);
    f.prompts->path = f.file(QStringLiteral("one.xcmp"));
    if (export_component_file(platform::to_path(f.prompts->path), exported) != ExportStatus::Written) {
        state.SkipWithError("cannot write the component file");
        return;
    }
    for (auto _ : state) {
        f.window->act_import_component->trigger();
        QApplication::processEvents();
        state.PauseTiming();
        f.window->mProject.remove_component(f.window->mProject.component_count() - 1);
        state.ResumeTiming();
    }
    if (!f.prompts->lastMessage.isEmpty()) {
        state.SkipWithError("the import failed");
    }
}
BENCHMARK(BM_ImportInto5000Components)->Unit(benchmark::kMillisecond);

void BM_Open5000Components(benchmark::State& state) {
    Fixture f;
    ReboundFile project;
    for (int i = 0; i < 5000; ++i) {
        project.add_component(component(i, 10));
    }
    f.prompts->path = f.file(QStringLiteral("big.prj"));
    if (!project.save(platform::to_path(f.prompts->path))) {
        state.SkipWithError("cannot write the project file");
        return;
    }
    f.window->resize(1400, 900);
    f.window->show();
    QApplication::processEvents();
    for (auto _ : state) {
        f.window->FileOpen1->trigger();
        QApplication::processEvents();
    }
    if (f.window->mProject.component_count() != 5000 || !f.prompts->lastMessage.isEmpty()) {
        state.SkipWithError("the project was not opened");
    }
}
BENCHMARK(BM_Open5000Components)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
