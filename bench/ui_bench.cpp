// Speed of the main window on the offscreen platform, against these goals:
//   constructing and showing the window           <= 0.5 s
//   selecting a component with 100 areas          <= 10 ms (panel and grid)
//   importing into a project of 5,000 components  <= 100 ms (list rebuilt)
//   opening a project of 5,000 components         <= 1 s
//   importing 200 device files in one step into a project of 1,000
//   components                                    <= 1 s
//   starting with a 5,000-component project named on the command line, up
//   to the shown window                           <= 1 s
// Each runs in a temporary application folder, with the window's per-user
// settings kept there too.
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QTableWidget>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <deque>
#include <memory>

#include "fileio/exchange.h"
#include "fixtures.h"
#include "platform/dates.h"
#include "platform/qt_bridge.h"
#include "settings/app_context.h"
#include "ui/main_window.h"
#include "ui/user_prompts.h"
#include "ui/window_context.h"

namespace {

using namespace rebound;

// Answers every file dialog with one fixed path and shows nothing.
class FixedPrompts : public UserPrompts {
public:
    QString path;
    QStringList paths;  // for dialogs that choose several files; else `path`
    QString openFileName(const QString&) override { return path; }
    QStringList openFileNames(const QString&) override { return paths.isEmpty() ? QStringList{path} : paths; }
    QString saveFileName(const QString&, const QString&) override { return path; }
    QMessageBox::StandardButton question(const QString&, const QString&,
                                         QMessageBox::StandardButtons) override {
        return QMessageBox::No;
    }
    void message(const QString& text) override { lastMessage = text; }
    QString lastMessage;
};

// Today as the window keeps dates.
std::string today() {
    return platform::today_text(platform::SystemClock());
}

ComponentInfo component(int index, int areas) {
    ComponentInfo c(today());
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

// A project of `count` such components.
ReboundFile project_of(int count, int areas) {
    ReboundFile p(today());
    for (int i = 0; i < count; ++i) {
        p.add_component(component(i, areas));
    }
    return p;
}

// A fresh application folder, and a window in it.
struct Fixture {
    QTemporaryDir dir;
    FixedPrompts* prompts = nullptr;
    AppContext context{platform::to_path(dir.path())};
    std::unique_ptr<WindowContext> windowContext;
    std::unique_ptr<TSDIAppForm> window;

    Fixture() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath(QStringLiteral("config")));
        auto owned = std::make_unique<FixedPrompts>();
        prompts = owned.get();
        windowContext = std::make_unique<WindowContext>(context, std::move(owned));
        window = std::make_unique<TSDIAppForm>(*windowContext);
    }
    ~Fixture() { window.reset(); }
    QString file(const QString& name) const { return dir.filePath(name); }
};

void BM_ConstructAndShowWindow(benchmark::State& state) {
    QTemporaryDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath(QStringLiteral("config")));
    AppContext context(platform::to_path(dir.path()));
    for (auto _ : state) {
        WindowContext windowContext(context, std::make_unique<FixedPrompts>());
        TSDIAppForm window(windowContext);
        window.CreateDialogs();
        window.resize(1400, 900);
        window.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(window.findChild<QTableWidget*>(QStringLiteral("sg_areas")));
    }
}
BENCHMARK(BM_ConstructAndShowWindow)->Unit(benchmark::kMillisecond);

void BM_SelectComponentWith100Areas(benchmark::State& state) {
    Fixture f;
    f.window->Document().adopt(project_of(2, 100));
    f.window->resize(1400, 900);
    f.window->show();
    QApplication::processEvents();
    auto* list = f.window->findChild<QTableWidget*>(QStringLiteral("lvComponents"));
    int row = 0;
    for (auto _ : state) {
        row = 1 - row;
        list->setCurrentCell(row, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        QApplication::processEvents();  // paint the new panel and grid
    }
    if (f.window->findChild<QTableWidget*>(QStringLiteral("sg_areas"))->rowCount() != 100) {
        state.SkipWithError("the grid does not show the 100 areas");
    }
}
BENCHMARK(BM_SelectComponentWith100Areas)->Unit(benchmark::kMillisecond);

void BM_ImportInto5000Components(benchmark::State& state) {
    Fixture f;
    f.window->Document().adopt(project_of(5000, 10));
    f.window->resize(1400, 900);
    f.window->show();
    QApplication::processEvents();
    ComponentInfo exported = component(9999, 10);
    f.prompts->path = f.file(QStringLiteral("one.xcmp"));
    if (!export_component_file(platform::to_path(f.prompts->path), exported)) {
        state.SkipWithError("cannot write the component file");
        return;
    }
    QAction* import = f.window->findChild<QAction*>(QStringLiteral("act_import_component"));
    for (auto _ : state) {
        import->trigger();
        QApplication::processEvents();
        state.PauseTiming();
        f.window->Document().undo();
        state.ResumeTiming();
    }
    if (!f.prompts->lastMessage.isEmpty()) {
        state.SkipWithError("the import failed");
    }
}
BENCHMARK(BM_ImportInto5000Components)->Unit(benchmark::kMillisecond);

void BM_Open5000Components(benchmark::State& state) {
    Fixture f;
    ReboundFile project(today());
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
        f.window->findChild<QAction*>(QStringLiteral("FileOpen1"))->trigger();
        QApplication::processEvents();
    }
    if (f.window->Document().project().component_count() != 5000 || !f.prompts->lastMessage.isEmpty()) {
        state.SkipWithError("the project was not opened");
    }
}
BENCHMARK(BM_Open5000Components)->Unit(benchmark::kMillisecond);

void BM_Import200DeviceFilesInto1000Components(benchmark::State& state) {
    Fixture f;
    f.window->Document().adopt(project_of(1000, 10));
    f.window->resize(1400, 900);
    f.window->show();
    QApplication::processEvents();
    // 200 device files of 10 areas each, as the hammer writes them after a
    // day on site.
    for (int i = 0; i < 200; ++i) {
        std::vector<test::DeviceArea> areas(10);
        for (std::size_t a = 0; a < areas.size(); ++a) {
            for (int k = 0; k < 16; ++k) {
                areas[a].readings[k] = static_cast<std::uint8_t>(30 + (i + k + static_cast<int>(a)) % 20);
            }
            areas[a].fifth = 30.0f;
        }
        const QString name = QStringLiteral("D%1.cmp").arg(i, 3, 10, QLatin1Char('0'));
        test::write_file(platform::to_path(f.file(name)), test::device_record("D" + std::to_string(i), areas));
        f.prompts->paths << f.file(name);
    }
    QAction* import = f.window->findChild<QAction*>(QStringLiteral("act_import_component"));
    for (auto _ : state) {
        import->trigger();
        QApplication::processEvents();
        state.PauseTiming();
        const bool imported = f.window->Document().project().component_count() == 1200;
        f.window->Document().undo();
        state.ResumeTiming();
        if (!imported || !f.prompts->lastMessage.isEmpty()) {
            state.SkipWithError("the import failed");
            break;
        }
    }
}
BENCHMARK(BM_Import200DeviceFilesInto1000Components)->Unit(benchmark::kMillisecond);

// What `rebound big.prj` does after the program has started: the window is
// built, shown and opens the project named on the command line.
void BM_StartWith5000ComponentsFromTheCommandLine(benchmark::State& state) {
    QTemporaryDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath(QStringLiteral("config")));
    AppContext context(platform::to_path(dir.path()));
    ReboundFile project(today());
    for (int i = 0; i < 5000; ++i) {
        project.add_component(component(i, 10));
    }
    const QString path = dir.filePath(QStringLiteral("big.prj"));
    if (!project.save(platform::to_path(path))) {
        state.SkipWithError("cannot write the project file");
        return;
    }
    for (auto _ : state) {
        auto owned = std::make_unique<FixedPrompts>();
        FixedPrompts* prompts = owned.get();
        WindowContext windowContext(context, std::move(owned));
        TSDIAppForm window(windowContext);
        window.CreateDialogs();
        window.resize(1400, 900);
        window.show();
        window.OpenFiles({path});
        QApplication::processEvents();
        if (window.Document().project().component_count() != 5000 || !prompts->lastMessage.isEmpty()) {
            state.SkipWithError("the project was not opened");
            break;
        }
    }
}
BENCHMARK(BM_StartWith5000ComponentsFromTheCommandLine)->Unit(benchmark::kMillisecond);

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
