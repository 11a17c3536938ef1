// The project document without a window: which commands mark it modified and
// which clear the mark, Open that changes nothing unless the file was read
// completely, saving, and importing many files in one step.
#include "document/project_document.h"

#include <QLocale>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <random>

#include "fileio/exchange.h"
#include "curve_fixtures.h"
#include "fileio/byte_io.h"
#include "fixtures.h"
#include "open_files.h"
#include "platform/qt_bridge.h"
#include "settings/app_context.h"
#include "test_clock.h"

namespace rebound {
namespace {

using test::device_record;
using test::DeviceArea;
using test::write_file;

DeviceArea area(std::uint8_t base) {
    DeviceArea a;
    for (int i = 0; i < 16; ++i) a.readings[i] = static_cast<std::uint8_t>(base + i % 4);
    a.fifth = 25.0f;
    return a;
}

// Counts the document's notices while it lives.
struct Notices {
    QObject context;  // ends the connections with the counter
    int replaced = 0;
    int appended = 0;
    int lastFirst = -1;
    int lastCount = -1;
    int removed = 0;
    int areas = 0;
    QList<bool> modified;
    QStringList fileNames;

    explicit Notices(ProjectDocument& doc) {
        QObject::connect(&doc, &ProjectDocument::projectReplaced, &context, [this] { ++replaced; });
        QObject::connect(&doc, &ProjectDocument::componentsInserted, &context, [this](int first, int count) {
            ++appended;
            lastFirst = first;
            lastCount = count;
        });
        QObject::connect(&doc, &ProjectDocument::componentsRemoved, &context, [this](int, int) { ++removed; });
        QObject::connect(&doc, &ProjectDocument::componentChanged, &context, [this](int) { ++areas; });
        QObject::connect(&doc, &ProjectDocument::modifiedChanged, &context, [this](bool m) { modified << m; });
        QObject::connect(&doc, &ProjectDocument::fileNameChanged, &context, [this](const QString& f) { fileNames << f; });
    }
};

class DocumentTest : public ::testing::Test {
protected:
    QString file(const QString& name) const { return dir.filePath(name); }
    // A device file of `areas` areas whose readings start at `base`.
    QString deviceFile(const QString& name, const std::string& component, std::uint8_t base, int areas = 2) {
        std::vector<DeviceArea> list;
        for (int i = 0; i < areas; ++i) list.push_back(area(static_cast<std::uint8_t>(base + i)));
        write_file(platform::to_path(file(name)), device_record(component, list));
        return file(name);
    }
    // A document holding two components, saved and unmodified.
    void loadTwo() {
        doc.adopt(test::sample_project(2, 2));
        ASSERT_TRUE(doc.saveAs(file("two.prj")));
        ASSERT_FALSE(doc.isModified());
    }

    QTemporaryDir dir;
    AppContext context{platform::to_path(dir.path()),
                       std::make_unique<platform::FixedClock>(test::fixed_clock().today())};
    ProjectDocument doc{context};
};

TEST(SameMeasurement, NameDateAndReadingsDecide) {
    ComponentInfo a;
    a.component_name = "KZ-1";
    a.examine_date = "2026-05-01";
    AreaData first;
    first.readings.fill(40);
    a.add_area(first);
    a.add_area(first);

    struct Case {
        const char* what;
        std::function<void(ComponentInfo&)> change;
        bool same;
    };
    const Case cases[] = {
        {"identical", [](ComponentInfo&) {}, true},
        {"other results and texts",
         [](ComponentInfo& c) {
             c.strength_avg = 33.0f;
             c.component_condition = "beam";
             c.pump_tag = 0;
             c.areas[1].area_strength = 12.0f;
         },
         true},
        {"other name", [](ComponentInfo& c) { c.component_name = "KZ-2"; }, false},
        {"other date", [](ComponentInfo& c) { c.examine_date = "2026-05-02"; }, false},
        // The same day as another desktop writes it is the same date.
        {"same day, English form", [](ComponentInfo& c) { c.examine_date = "1 May 2026"; }, true},
        {"same day, Chinese form", [](ComponentInfo& c) { c.examine_date = "2026\xc4\xea" "5\xd4\xc2" "1\xc8\xd5"; }, true},
        {"unreadable date", [](ComponentInfo& c) { c.examine_date = "sometime in May"; }, false},
        {"one reading differs", [](ComponentInfo& c) { c.areas[1].readings[15] = 41; }, false},
        {"one area fewer", [](ComponentInfo& c) { c.remove_last_area(); }, false},
    };
    for (const Case& c : cases) {
        ComponentInfo b = a;
        c.change(b);
        EXPECT_EQ(same_measurement(a, b, test::fixed_clock()), c.same) << c.what;
        EXPECT_EQ(same_measurement(b, a, test::fixed_clock()), c.same) << c.what;
    }
}

TEST_F(DocumentTest, EveryChangeMarksTheDocumentAndOnlyChangesDo) {
    struct Case {
        const char* what;
        std::function<void(ProjectDocument&)> command;
        bool marks;
    };
    const Case cases[] = {
        {"delete a component", [](ProjectDocument& d) { d.removeComponent(1); }, true},
        {"create a component", [](ProjectDocument& d) { d.createComponent(); }, true},
        {"create an area", [](ProjectDocument& d) { d.addArea(0); }, true},
        {"remove an area", [](ProjectDocument& d) { d.removeLastArea(0); }, true},
        {"header edit", [](ProjectDocument& d) { d.setHeaderText(&ReboundFile::report_serial, "R-99"); }, true},
        {"component name", [](ProjectDocument& d) { d.setComponentName(1, "KL-7"); }, true},
        {"component description", [](ProjectDocument& d) { d.setComponentCondition(0, "slab"); }, true},
        {"pump box", [](ProjectDocument& d) { d.setPumpTag(0, true); }, true},  // sample component 0 is not pumped
        {"header edit to the same text",
         [](ProjectDocument& d) { d.setHeaderText(&ReboundFile::report_serial, "R-17"); }, false},
        {"same component name", [](ProjectDocument& d) { d.setComponentName(0, "B1"); }, false},
        {"same pump state", [](ProjectDocument& d) { d.setPumpTag(1, true); }, false},
        {"delete past the end", [](ProjectDocument& d) { d.removeComponent(2); }, false},
        {"edit past the end", [](ProjectDocument& d) { d.setComponentName(5, "X"); }, false},
        {"area of a missing component", [](ProjectDocument& d) { d.addArea(9); }, false},
    };
    for (const Case& c : cases) {
        loadTwo();
        const ReboundFile before = doc.project();
        Notices notices(doc);
        c.command(doc);
        EXPECT_EQ(doc.isModified(), c.marks) << c.what;
        EXPECT_EQ(notices.modified, c.marks ? QList<bool>{true} : QList<bool>{}) << c.what;
        EXPECT_EQ(doc.project() == before, !c.marks) << c.what;
    }
}

TEST_F(DocumentTest, TheLastComponentAndAnEmptyAreaListStay) {
    ReboundFile single;
    single.add_component(ComponentInfo());
    doc.adopt(single);
    Notices notices(doc);
    EXPECT_FALSE(doc.removeComponent(0));
    EXPECT_FALSE(doc.removeLastArea(0));  // the component has no areas
    EXPECT_EQ(doc.project().component_count(), 1u);
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(notices.removed + notices.areas, 0);

    EXPECT_EQ(doc.createComponent(), 1u);
    EXPECT_EQ(notices.lastFirst, 1);
    EXPECT_EQ(notices.lastCount, 1);
    EXPECT_EQ(doc.project().components[1].area_count(), 1u);
    EXPECT_TRUE(doc.removeComponent(0));
    EXPECT_EQ(notices.removed, 1);
}

TEST_F(DocumentTest, NewOpenAndSaveClearTheMark) {
    loadTwo();
    doc.setComponentName(0, "changed");
    ASSERT_TRUE(doc.isModified());
    Notices notices(doc);

    doc.newProject();
    EXPECT_FALSE(doc.isModified());
    EXPECT_TRUE(doc.fileName().isEmpty());
    EXPECT_EQ(doc.project(), ReboundFile(test::today()));
    EXPECT_EQ(notices.replaced, 1);

    doc.createComponent();
    ASSERT_TRUE(doc.open(file("two.prj")));
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(doc.fileName(), file("two.prj"));
    EXPECT_EQ(doc.project(), test::sample_project(2, 2));
    EXPECT_EQ(notices.replaced, 2);

    doc.createComponent();
    ASSERT_TRUE(doc.save());
    EXPECT_FALSE(doc.isModified());
    ReboundFile written;
    ASSERT_TRUE(written.load(platform::to_path(file("two.prj")), test::today()));
    EXPECT_EQ(written.component_count(), 3u);
}

TEST_F(DocumentTest, AFailedSaveKeepsTheMarkAndTheChosenName) {
    loadTwo();
    doc.setHeaderText(&ReboundFile::project_name, "Bridge");
    const Result<void> saved = doc.saveAs(file("no/such/folder/x.prj"));
    ASSERT_FALSE(saved);
    EXPECT_FALSE(saved.error().message.empty());
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(doc.fileName(), file("no/such/folder/x.prj"));

    ProjectDocument fresh(context);
    const Result<void> unnamed = fresh.save();  // no file name yet
    ASSERT_FALSE(unnamed);
    EXPECT_FALSE(unnamed.error().message.empty());
}

// Every file a save or an open uses is closed when the call returns; the
// change lock lives only as long as the save. Saved twice in a row (the
// second save replaces the first file) and opened again, the file can then
// be renamed and deleted while the document still holds the project.
TEST_F(DocumentTest, NoFileStaysOpenAfterSavingTwiceAndOpening) {
    doc.adopt(test::sample_project(2, 2));
    ASSERT_TRUE(doc.saveAs(file("site.prj")));
    doc.setComponentName(0, "changed");
    ASSERT_TRUE(doc.save());
    ASSERT_TRUE(doc.open(file("site.prj")));
    EXPECT_EQ(doc.project().components[0].component_name, "changed");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"site.prj"});
    test::expect_renamed_and_deleted(platform::to_path(file("site.prj")));
}

TEST_F(DocumentTest, AFailedOpenChangesNothing) {
    // A project cut short after its first component, a device file, a folder
    // and a missing file.
    ReboundFile three = test::sample_project(3, 2);
    ASSERT_TRUE(three.save(platform::to_path(file("three.prj"))));
    std::string bytes = test::read_file(platform::to_path(file("three.prj")));
    write_file(platform::to_path(file("cut.prj")), bytes.substr(0, bytes.size() - 30));
    const QString device = deviceFile("B12.cmp", "B12", 30);
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.prj"));
    const QString broken[] = {file("cut.prj"), device, file("folder.prj"), file("missing.prj")};

    for (const QString& path : broken) {
        loadTwo();
        doc.setComponentName(0, "edited");
        const ReboundFile before = doc.project();
        Notices notices(doc);
        const Result<void> opened = doc.open(path);
        ASSERT_FALSE(opened) << path.toStdString();
        EXPECT_FALSE(opened.error().message.empty()) << path.toStdString();
        EXPECT_EQ(doc.project(), before) << path.toStdString();
        EXPECT_EQ(doc.fileName(), file("two.prj"));
        EXPECT_TRUE(doc.isModified());
        EXPECT_EQ(notices.replaced, 0);
        EXPECT_TRUE(notices.fileNames.isEmpty());
    }
}

TEST_F(DocumentTest, ImportTakesTheReadableFilesInOrderInOneStep) {
    loadTwo();
    const QStringList files = {
        deviceFile("A.cmp", "A", 30),
        deviceFile("broken.cmp", "X", 40),  // cut short below
        deviceFile("B.TMP", "B", 50, 3),
        file("missing.cmp"),
        file("notes.txt"),
    };
    std::string cut = test::read_file(platform::to_path(files[1]));
    write_file(platform::to_path(files[1]), cut.substr(0, 120));
    write_file(platform::to_path(files[4]), "notes");
    Notices notices(doc);
    int asked = 0;

    const ImportReport report = doc.importFiles(files, [&](const QStringList&) { return ++asked, true; });

    EXPECT_EQ(report.imported, 2);
    EXPECT_EQ(asked, 0);  // nothing was already there
    EXPECT_FALSE(report.cancelled);
    ASSERT_EQ(doc.project().component_count(), 4u);
    EXPECT_EQ(doc.project().components[2].component_name, "A");
    EXPECT_EQ(doc.project().components[3].component_name, "B");
    EXPECT_EQ(doc.project().components[3].area_count(), 3u);
    ASSERT_EQ(report.failures.size(), 3u);
    EXPECT_EQ(report.failures[0].path, files[1]);
    EXPECT_EQ(report.failures[1].path, files[3]);
    EXPECT_EQ(report.failures[2].path, files[4]);
    for (const ImportFailure& f : report.failures) {
        EXPECT_FALSE(f.error.message.empty()) << f.path.toStdString();
    }
    EXPECT_EQ(notices.appended, 1);
    EXPECT_EQ(notices.lastFirst, 2);
    EXPECT_EQ(notices.lastCount, 2);
    EXPECT_TRUE(doc.isModified());
}

TEST_F(DocumentTest, DuplicatesAreAskedAboutOncePerImport) {
    struct Case {
        const char* what;
        bool skip;
        int componentsAfter;
    };
    for (const Case& c : {Case{"skip", true, 3}, Case{"import again", false, 6}}) {
        doc.newProject();
        ASSERT_EQ(doc.importFiles({deviceFile("A.cmp", "A", 30)}).imported, 1);
        // A again, a new B, A once more under another file name, and B twice
        // in the same selection.
        const QStringList files = {file("A.cmp"), deviceFile("B.cmp", "B", 60), deviceFile("A-copy.cmp", "A", 30),
                                   deviceFile("C.cmp", "C", 70), file("B.cmp")};
        QList<QStringList> questions;
        const ImportReport report = doc.importFiles(files, [&](const QStringList& names) {
            questions << names;
            return c.skip;
        });
        ASSERT_EQ(questions.size(), 1) << c.what;
        EXPECT_EQ(questions[0], (QStringList{"A", "A", "B"})) << c.what;
        EXPECT_EQ(report.duplicates, 3) << c.what;
        EXPECT_EQ(report.duplicatesSkipped, c.skip) << c.what;
        EXPECT_EQ(int(doc.project().component_count()), c.componentsAfter) << c.what;
        if (c.skip) {
            EXPECT_EQ(doc.project().components[1].component_name, "B");
            EXPECT_EQ(doc.project().components[2].component_name, "C");
        }
    }
}

TEST_F(DocumentTest, ReimportUnderAnotherDesktopLanguageFindsTheDuplicates) {
    // The device files are dated from their creation day, written in the
    // short format of the desktop that imports them.
    const QStringList files = {deviceFile("A.cmp", "A", 30), deviceFile("B.cmp", "B", 60)};
    QLocale::setDefault(QLocale::c());  // "11 Dec 2026"
    ASSERT_EQ(doc.importFiles(files).imported, 2);
    const std::string englishDate = doc.project().components[0].examine_date;
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));  // "2026/12/11"
    QList<QStringList> questions;
    const ImportReport report = doc.importFiles(files, [&](const QStringList& names) {
        questions << names;
        return true;
    });
    QLocale::setDefault(QLocale::system());
    ASSERT_EQ(questions.size(), 1);
    EXPECT_EQ(questions[0], (QStringList{"A", "B"}));
    EXPECT_EQ(report.imported, 0);
    EXPECT_EQ(doc.project().component_count(), 2u);
    EXPECT_EQ(doc.project().components[0].examine_date, englishDate);  // kept as written
}

TEST_F(DocumentTest, AStoppedImportKeepsWhatWasReadBeforeTheStop) {
    QStringList files;
    for (int i = 0; i < 6; ++i) {
        files << deviceFile(QStringLiteral("D%1.cmp").arg(i), "D" + std::to_string(i), static_cast<std::uint8_t>(30 + i));
    }
    QList<int> steps;
    const ImportReport report = doc.importFiles(files, {}, [&](int done, int total) {
        EXPECT_EQ(total, 6);
        steps << done;
        return done < 4;
    });
    EXPECT_TRUE(report.cancelled);
    EXPECT_EQ(steps, (QList<int>{0, 1, 2, 3, 4}));
    ASSERT_EQ(doc.project().component_count(), 4u);
    EXPECT_EQ(doc.project().components[3].component_name, "D3");

    // Without a stop the progress ends at the total.
    steps.clear();
    doc.importFiles(files.mid(0, 2), {}, [&](int done, int) { return steps << done, true; });
    EXPECT_EQ(steps, (QList<int>{0, 1, 2}));
}

TEST_F(DocumentTest, AnImportThatAddsNothingLeavesTheDocumentAlone) {
    loadTwo();
    Notices notices(doc);
    const ImportReport report = doc.importFiles({file("missing.cmp")});
    EXPECT_EQ(report.imported, 0);
    EXPECT_EQ(report.failures.size(), 1u);
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(notices.appended, 0);
}

// Another program saves the document's file: Save does not overwrite it
// unless told to, also when the change keeps the size and the time stamp;
// the change is offered for reloading once, and reloading reads it.
TEST_F(DocumentTest, ChangesByAnotherProgramAreNeverOverwrittenSilently) {
    loadTwo();
    const std::filesystem::path path = platform::to_path(file("two.prj"));
    EXPECT_FALSE(doc.fileChangedOnDisk());
    EXPECT_FALSE(doc.outsideChangeToOffer());

    struct Case {
        const char* what;
        std::function<void()> change;
    };
    const std::vector<Case> cases = {
        {"another program saves three components",
         [&] { ASSERT_TRUE(test::sample_project(3, 2).save(path)); }},
        {"the same size and time, another content",
         [&] {
             std::string bytes = test::read_file(path);
             const auto time = std::filesystem::last_write_time(path);
             bytes[bytes.size() - 1] ^= 0x55;
             write_file(path, bytes);
             std::filesystem::last_write_time(path, time);
         }},
        {"the file is removed", [&] { std::filesystem::remove(path); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(doc.save(true));  // the document's own state on disk
        ASSERT_FALSE(doc.fileChangedOnDisk());
        c.change();
        const bool exists = std::filesystem::exists(path);
        const std::string outside = exists ? test::read_file(path) : std::string();
        EXPECT_TRUE(doc.fileChangedOnDisk());
        doc.setComponentName(0, std::string("edited ") + c.what);
        ASSERT_TRUE(doc.isModified());
        const Result<void> refused = doc.save();
        ASSERT_FALSE(refused);
        EXPECT_TRUE(ProjectDocument::isOutsideChange(refused.error()));
        EXPECT_TRUE(doc.isModified());
        EXPECT_EQ(std::filesystem::exists(path), exists);
        if (exists) {
            EXPECT_EQ(test::read_file(path), outside);
        }
        // Save As onto the same file asks the same way.
        EXPECT_FALSE(doc.saveAs(file("two.prj")));
        // The operator chose to overwrite.
        ASSERT_TRUE(doc.save(true));
        EXPECT_FALSE(doc.isModified());
        EXPECT_FALSE(doc.fileChangedOnDisk());
    }

    // Offered once, reloaded on request.
    ASSERT_TRUE(test::sample_project(3, 2).save(path));
    EXPECT_TRUE(doc.outsideChangeToOffer());
    doc.declineOutsideChange();
    EXPECT_FALSE(doc.outsideChangeToOffer());
    EXPECT_FALSE(doc.save()) << "declining the reload does not allow overwriting";
    ASSERT_TRUE(test::sample_project(4, 1).save(path));
    EXPECT_TRUE(doc.outsideChangeToOffer());
    ASSERT_TRUE(doc.reload());
    EXPECT_EQ(doc.project().components.size(), 4u);
    EXPECT_FALSE(doc.outsideChangeToOffer());
    EXPECT_TRUE(doc.save());
}

// ---- History ---------------------------------------------------------------------

// The project as the file holds it.
std::string bytes_of(const ReboundFile& p) {
    ByteWriter out;
    p.write_to(out);
    return std::string(reinterpret_cast<const char*>(out.bytes().data()), out.bytes().size());
}

// Every component's not-recalculated mark.
std::vector<bool> marks_of(const ProjectDocument& doc) {
    std::vector<bool> marks;
    for (std::size_t i = 0; i < doc.project().component_count(); ++i) marks.push_back(doc.notRecalculated(i));
    return marks;
}

TEST_F(DocumentTest, RandomCommandsUndoToTheStartAndRedoToTheEnd) {
    doc.adopt(test::sample_project(3, 3));
    const std::string startBytes = bytes_of(doc.project());
    const std::filesystem::path curveFile = context.curve_folder() / "normal.cur";
    std::filesystem::create_directories(curveFile.parent_path());
    const std::string curveBytes = test::curve_file_bytes(201, 13, 31.5f);

    std::mt19937 random(20261211);
    const auto pick = [&random](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    const auto component = [&] { return static_cast<std::size_t>(pick(int(doc.project().component_count()) + 1)); };
    const auto text = [&] { return std::string(1 + static_cast<std::size_t>(pick(6)), char('a' + pick(26))); };
    std::string ReboundFile::*const headers[] = {&ReboundFile::project_name, &ReboundFile::report_serial,
                                                 &ReboundFile::agent_date, &ReboundFile::examine_basis};
    const char* const dates[] = {"2026/12/11", "11 Dec 2026", "2025-03-01", "not a date"};
    int undone = 0;
    for (int step = 0; step < 600; ++step) {
        const std::size_t c = component();
        const ComponentInfo* target = doc.project().component(c);
        const std::size_t area = target != nullptr && target->area_count() > 0
                                     ? static_cast<std::size_t>(pick(int(target->area_count())))
                                     : 0;
        switch (pick(22)) {
            case 0: doc.setHeaderText(headers[pick(4)], text()); break;
            case 1: doc.setComponentName(c, text()); break;
            case 2: doc.setComponentCondition(c, text()); break;
            case 3: doc.setPumpTag(c, pick(2) == 1); break;
            case 4: doc.setListChecked(c, pick(2) == 1); break;
            case 5: doc.createComponent(); break;
            case 6: doc.removeComponent(c); break;
            case 7: doc.addArea(c); break;
            case 8: doc.removeLastArea(c); break;
            case 9: doc.setReading(c, area, static_cast<std::size_t>(pick(16)), pick(300) - 20); break;
            case 10: doc.setAreaCondition(c, area, static_cast<AreaCondition>(pick(3)), pick(15)); break;
            case 11: doc.evaluateComponent(c); break;
            case 12: doc.appendComponents({test::sample_project(1, 2).components[0]}, QStringLiteral("Import")); break;
            case 13: doc.breakTyping(); break;
            case 14:
                // The curve comes and goes: edits are evaluated or marked.
                if (pick(2) == 1) {
                    write_file(curveFile, curveBytes);
                } else {
                    std::filesystem::remove(curveFile);
                }
                break;
            case 15: {
                BatchSettings settings;
                settings.enabled = pick(2) == 1;
                settings.k = 1.0 + 0.005 * pick(200);
                settings.lot_size = static_cast<std::uint32_t>(pick(4) * 10);
                settings.method = pick(2) == 1 ? CorrectionMethod::Amount : CorrectionMethod::Coefficient;
                doc.setBatchSettings(settings);
                break;
            }
            case 16: {
                std::vector<CoreSample> cores;
                for (int k = pick(4); k > 0; --k) {
                    cores.push_back({component(), static_cast<std::size_t>(pick(3)), 20.0 + 0.5 * pick(40)});
                }
                doc.setCores(cores);
                break;
            }
            case 17: {
                std::vector<bool> ticks;
                for (std::size_t i = 0; i < doc.project().component_count(); ++i) ticks.push_back(pick(2) == 1);
                doc.setTicked(ticks);
                break;
            }
            case 18: doc.setExamineDate(c, dates[pick(4)]); break;
            case 19: doc.setStrengthDegree(c, pick(14) - 1); break;
            case 20:
                // A few steps back now and then; the next command drops them.
                for (int k = pick(3); k >= 0; --k) doc.undo();
                ++undone;
                break;
            default: doc.redo(); break;
        }
        ASSERT_EQ(marks_of(doc).size(), doc.project().component_count());
    }
    ASSERT_GT(doc.historyCount(), 100);
    ASSERT_GT(undone, 0);
    const std::string endBytes = bytes_of(doc.project());
    ASSERT_NE(endBytes, startBytes);

    while (doc.canRedo()) doc.redo();
    const std::string endOfHistory = bytes_of(doc.project());
    const std::vector<bool> endMarks = marks_of(doc);
    EXPECT_NE(std::count(endMarks.begin(), endMarks.end(), true), 0);
    while (doc.canUndo()) doc.undo();
    EXPECT_EQ(bytes_of(doc.project()), startBytes);
    EXPECT_EQ(marks_of(doc), std::vector<bool>(3, false));
    EXPECT_FALSE(doc.isModified());
    while (doc.canRedo()) doc.redo();
    EXPECT_EQ(bytes_of(doc.project()), endOfHistory);
    EXPECT_EQ(marks_of(doc), endMarks);
    EXPECT_TRUE(doc.isModified());
}

TEST_F(DocumentTest, TypingInOneFieldIsOneStepUntilTheRunEnds) {
    loadTwo();
    for (const char* typed : {"B", "Br", "Bri", "Brid"}) {
        doc.setHeaderText(&ReboundFile::project_name, typed);
    }
    doc.setComponentName(0, "K");
    doc.setComponentName(0, "KZ");
    EXPECT_EQ(doc.historyCount(), 2);
    EXPECT_EQ(doc.undoText(), QStringLiteral("Edit Component Name"));

    // Another field, or the end of a run, starts a step of its own.
    doc.setHeaderText(&ReboundFile::project_name, "Bridge");
    EXPECT_EQ(doc.historyCount(), 3);
    doc.breakTyping();
    doc.setHeaderText(&ReboundFile::project_name, "Bridge 2");
    EXPECT_EQ(doc.historyCount(), 4);

    doc.undo();
    EXPECT_EQ(doc.project().project_name, "Bridge");
    doc.undo();
    doc.undo();
    EXPECT_EQ(doc.project().components[0].component_name, "B1");
    EXPECT_EQ(doc.project().project_name, "Brid");
    doc.undo();
    EXPECT_EQ(doc.project(), test::sample_project(2, 2));
    EXPECT_FALSE(doc.isModified());

    // Typing back to the saved text leaves no step behind.
    doc.setComponentName(1, "B2x");
    doc.setComponentName(1, "B2");
    EXPECT_FALSE(doc.isModified());
}

TEST_F(DocumentTest, TheMarkFollowsTheSavedStateThroughUndoAndRedo) {
    loadTwo();
    Notices notices(doc);
    doc.setPumpTag(0, true);
    doc.removeComponent(1);
    ASSERT_TRUE(doc.save());
    EXPECT_FALSE(doc.isModified());
    doc.undo();
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(doc.project().component_count(), 2u);
    doc.redo();
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(notices.modified, (QList<bool>{true, false, true, false}));

    // Saved after an undo: the undone step cannot be redone into a saved
    // state, and a new step replaces it.
    doc.undo();
    ASSERT_TRUE(doc.save());
    doc.createComponent();
    EXPECT_TRUE(doc.isModified());
    EXPECT_FALSE(doc.canRedo());
    doc.undo();
    EXPECT_FALSE(doc.isModified());

    // New and Open start a new history.
    doc.newProject();
    EXPECT_EQ(doc.historyCount(), 0);
    EXPECT_FALSE(doc.isModified());
}

TEST_F(DocumentTest, AreaEditsAreEvaluatedInTheSameStep) {
    const std::filesystem::path curveFile = context.curve_folder() / "normal.cur";
    std::filesystem::create_directories(curveFile.parent_path());
    write_file(curveFile, test::curve_file_bytes(201, 13, 31.5f));
    ReboundFile p;
    p.add_component(test::equal_readings_component("K", {{36, 3}, {40, 3}}));
    doc.adopt(p);
    const ComponentInfo before = doc.project().components[0];

    const auto edit = doc.setReading(0, 1, 4, 300);
    ASSERT_TRUE(edit.changed);
    ASSERT_TRUE(edit.evaluation.has_value());
    EXPECT_FALSE(edit.curveProblem.has_value());
    const ComponentInfo& after = doc.project().components[0];
    EXPECT_EQ(after.areas[1].readings[4], 255);  // clamped
    EXPECT_NE(after.areas[1].mean_rebound, before.areas[1].mean_rebound);
    EXPECT_EQ(after.strength_avg, 31.5f);
    EXPECT_FALSE(doc.notRecalculated(0));
    EXPECT_EQ(doc.historyCount(), 1);
    EXPECT_EQ(doc.undoText(), QStringLiteral("Edit Reading"));
    doc.undo();
    EXPECT_EQ(doc.project().components[0], before);

    // Areas that do not exist, and values already there, are no steps.
    EXPECT_FALSE(doc.setReading(0, 2, 0, 30).changed);
    EXPECT_FALSE(doc.setReading(1, 0, 0, 30).changed);
    EXPECT_FALSE(doc.setReading(0, 0, 0, 36).changed);
    EXPECT_EQ(doc.historyCount(), 1);
}

TEST_F(DocumentTest, EditsWithoutAUsableCurveMarkTheComponentUntilItIsEvaluated) {
    ReboundFile p;
    p.add_component(test::equal_readings_component("K", {{36, 3}, {40, 3}}));
    p.add_component(test::equal_readings_component("L", {{38, 3}}));
    doc.adopt(p);
    const ComponentInfo before = doc.project().components[0];
    std::vector<int> changed;
    QObject guard;
    QObject::connect(&doc, &ProjectDocument::componentChanged, &guard, [&](int i) { changed.push_back(i); });

    // No curve at all: the edit stands, the results stay, the mark is set
    // and the reason travels with the edit.
    const auto bare = doc.setAreaCondition(0, 0, AreaCondition::Carbonation, 99);
    EXPECT_TRUE(bare.changed);
    EXPECT_FALSE(bare.evaluation.has_value());
    ASSERT_TRUE(bare.curveProblem.has_value());
    EXPECT_EQ(bare.curveProblem->defect.kind, CurveDefect::Kind::Missing);
    EXPECT_EQ(bare.curveProblem->name, "normal.cur");
    EXPECT_EQ(doc.project().components[0].areas[0].carbonation_index, 13);
    EXPECT_EQ(doc.project().components[0].areas[0].mean_rebound, before.areas[0].mean_rebound);
    EXPECT_TRUE(doc.notRecalculated(0));
    EXPECT_FALSE(doc.notRecalculated(1));
    EXPECT_EQ(changed, std::vector<int>{0});

    // The mark is the document's: a step on another component, or another
    // edit of this one that still cannot be evaluated, leaves it.
    doc.setComponentName(1, "L2");
    doc.setReading(0, 1, 0, 50);
    EXPECT_TRUE(doc.notRecalculated(0));

    // An evaluation without a curve changes nothing and says why.
    const auto refused = doc.evaluateComponent(0);
    EXPECT_FALSE(refused.evaluation.has_value());
    ASSERT_TRUE(refused.curveProblem.has_value());
    EXPECT_TRUE(doc.notRecalculated(0));

    // A damaged curve is no curve either, and names its defect.
    const std::filesystem::path curveFile = context.curve_folder() / "normal.cur";
    std::filesystem::create_directories(curveFile.parent_path());
    write_file(curveFile, test::curve_file_bytes(100, 13, 31.5f));
    const auto damaged = doc.evaluateComponent(0);
    ASSERT_TRUE(damaged.curveProblem.has_value());
    EXPECT_EQ(damaged.curveProblem->defect.kind, CurveDefect::Kind::TooSmall);

    // With a usable curve the evaluation clears the mark in its own step;
    // Undo brings the mark back, Redo clears it again.
    write_file(curveFile, test::curve_file_bytes(201, 13, 31.5f));
    const int steps = doc.historyCount();
    const auto done = doc.evaluateComponent(0);
    ASSERT_TRUE(done.evaluation.has_value());
    EXPECT_FALSE(doc.notRecalculated(0));
    EXPECT_EQ(doc.historyCount(), steps + 1);
    doc.undo();
    EXPECT_TRUE(doc.notRecalculated(0));
    doc.redo();
    EXPECT_FALSE(doc.notRecalculated(0));

    // Undoing the edits that set it takes the mark away with them.
    while (doc.canUndo()) doc.undo();
    EXPECT_FALSE(doc.notRecalculated(0));

    // Deleting a marked component and undoing that keeps its mark with it.
    std::filesystem::remove(curveFile);
    doc.setReading(1, 0, 0, 20);
    ASSERT_TRUE(doc.notRecalculated(1));
    doc.removeComponent(0);
    EXPECT_TRUE(doc.notRecalculated(0));
    doc.undo();
    EXPECT_FALSE(doc.notRecalculated(0));
    EXPECT_TRUE(doc.notRecalculated(1));

    // Not saved: a project opened again starts without marks.
    ASSERT_TRUE(doc.saveAs(file("marked.prj")));
    ASSERT_TRUE(doc.reload());
    EXPECT_FALSE(doc.notRecalculated(1));
}

TEST_F(DocumentTest, TheEvaluationCurveIsReadAgainOnlyWhenItsFileChanged) {
    const std::filesystem::path curveFile = context.curve_folder() / "normal.cur";
    std::filesystem::create_directories(curveFile.parent_path());
    write_file(curveFile, test::curve_file_bytes(201, 13, 31.5f));
    // A file changed a moment ago is read on every use (a change within the
    // file system's time stamp would keep its time); an older one once.
    EvaluationCurve curve(context);
    ASSERT_NE(curve.get(), nullptr);
    write_file(curveFile, test::curve_file_bytes(201, 13, 32.5f));
    ASSERT_NE(curve.get(), nullptr);
    EXPECT_EQ(curve.get()->values.front(), 32.5f);
    const auto stamp = std::filesystem::last_write_time(curveFile) - std::chrono::hours(1);
    std::filesystem::last_write_time(curveFile, stamp);
    ASSERT_NE(curve.get(), nullptr);
    EXPECT_EQ(curve.get()->values.front(), 32.5f);

    // Same size and time (the time put back): taken as the file read before.
    write_file(curveFile, test::curve_file_bytes(201, 13, 40.0f));
    std::filesystem::last_write_time(curveFile, stamp);
    ASSERT_NE(curve.get(), nullptr);
    EXPECT_EQ(curve.get()->values.front(), 32.5f);

    // Another time: read again.
    std::filesystem::last_write_time(curveFile, stamp + std::chrono::seconds(2));
    ASSERT_NE(curve.get(), nullptr);
    EXPECT_EQ(curve.get()->values.front(), 40.0f);

    // Another choice in the settings: that file, and its defect.
    context.get_setting().curve_file = "lab.cur";
    CurveProblem problem;
    EXPECT_EQ(curve.get(&problem), nullptr);
    EXPECT_EQ(problem.defect.kind, CurveDefect::Kind::Missing);
    EXPECT_EQ(problem.name, "lab.cur");
    EXPECT_EQ(problem.path, context.curve_folder() / "lab.cur");
    context.get_setting().curve_file = "../normal.cur";
    EXPECT_EQ(curve.get(&problem), nullptr);
    EXPECT_TRUE(problem.outside_folder);
    // Back to none chosen: the standard curve again.
    context.get_setting().curve_file = "normal.cuv";
    EXPECT_NE(curve.get(), nullptr);
    EXPECT_EQ(curve.last_usable().values.front(), 40.0f);
}

// Two components with empty spare texts (the fixture's notes there would
// take no settings), saved and unmodified.
ReboundFile plain_two() {
    ReboundFile p = test::sample_project(2, 2);
    p.reserved_text1.clear();
    p.reserved_text2.clear();
    for (ComponentInfo& c : p.components) c.reserved_text.clear();
    return p;
}

TEST_F(DocumentTest, BatchEditsAreUndoableStepsOnlyWhenTheyChangeSomething) {
    doc.adopt(plain_two());
    ASSERT_TRUE(doc.saveAs(file("two.prj")));
    int batch_notices = 0;
    QObject guard;
    QObject::connect(&doc, &ProjectDocument::batchChanged, &guard, [&] { ++batch_notices; });

    BatchSettings on;
    on.enabled = true;
    on.k = 2.0;
    ASSERT_TRUE(doc.setBatchSettings(on));
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(doc.project().reserved_text1, "batch=1;k=2");
    EXPECT_EQ(doc.batchData().settings, on);
    EXPECT_EQ(doc.undoText(), QStringLiteral("Batch Settings"));
    ASSERT_TRUE(doc.save());
    EXPECT_TRUE(doc.setBatchSettings(on));  // the same again
    doc.setTicked({true, true});            // already ticked
    doc.setListChecked(0, true);
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(doc.historyCount(), 1);
    EXPECT_EQ(batch_notices, 1);

    const std::vector<CoreSample> cores{{1, 0, 30.5}, {1, 1, 31}};
    ASSERT_TRUE(doc.setCores(cores));
    EXPECT_EQ(doc.project().components[1].reserved_text, "cores=1:30.5,2:31");
    EXPECT_EQ(doc.batchData().cores, cores);
    doc.setTicked({true, false});
    EXPECT_EQ(doc.project().components[1].list_checked, 0);
    EXPECT_EQ(doc.undoText(), QStringLiteral("Tick Components"));
    EXPECT_EQ(batch_notices, 3);

    // Undo takes each step back, Redo brings it again.
    doc.undo();
    EXPECT_EQ(doc.project().components[1].list_checked, 1);
    doc.undo();
    EXPECT_EQ(doc.project().components[1].reserved_text, "");
    EXPECT_FALSE(doc.isModified());
    doc.redo();
    doc.redo();
    EXPECT_EQ(doc.batchData().cores, cores);
    EXPECT_EQ(doc.project().components[1].list_checked, 0);

    // Saved and opened again, everything is there.
    ASSERT_TRUE(doc.save());
    ProjectDocument other(context);
    ASSERT_TRUE(other.open(file("two.prj")));
    EXPECT_EQ(other.batchData().settings, on);
    EXPECT_EQ(other.batchData().cores, cores);
    EXPECT_EQ(other.project().components[1].list_checked, 0);
}

TEST_F(DocumentTest, BatchEditRefusedByASpareTextThatDoesNotParse) {
    ReboundFile p = plain_two();
    p.reserved_text1 = "\xB2\xE2";
    p.reserved_text2 = "note";
    p.components[0].reserved_text = "\xD7\xA2";
    doc.adopt(p);
    BatchSettings on;
    on.enabled = true;
    std::string problem;
    EXPECT_FALSE(doc.setBatchSettings(on, &problem));
    EXPECT_NE(problem.find("header"), std::string::npos);
    EXPECT_FALSE(doc.setCores({{0, 0, 30}}, &problem));
    EXPECT_NE(problem.find("component 1"), std::string::npos);
    EXPECT_FALSE(doc.isModified());
    // Cores elsewhere are taken; the notes stay as they were.
    EXPECT_TRUE(doc.setCores({{1, 0, 30}}));
    EXPECT_EQ(doc.project().components[0].reserved_text, "\xD7\xA2");
    EXPECT_EQ(doc.project().reserved_text1, "\xB2\xE2");
    EXPECT_EQ(doc.batchData().unparsable.size(), 3u);
}

}  // namespace
}  // namespace rebound
