// Shared pieces of the report tests: sample projects with Chinese texts (one
// with test areas for the record sheet), the shipped templates' paths, a GUI
// application for text layout, and a helper that runs an outside program.
#pragma once

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <filesystem>
#include <memory>
#include <string>

#include "model/rebound_file.h"
#include "platform/qt_bridge.h"
#include "platform/text_codec.h"
#include "test_clock.h"

namespace rebound::test {

// The shipped templates in the source tree: the test report and the test record sheet.
inline QString shipped_template_path(const char* name = "rebound_report1.grf") {
    return platform::from_path(std::filesystem::path(REBOUND_SOURCE_DIR) / "data" / "report" / name);
}
inline QString record_template_path() {
    return shipped_template_path("rebound_record1.grf");
}

// Model texts are ANSI (GBK) bytes.
inline std::string gbk(const char* utf8) {
    return platform::utf8_to_ansi(utf8);
}

// A project whose header fields are all different, with `components`
// components named "构件-N" and strengths derived from N.
inline ReboundFile sample_project(int components) {
    ReboundFile p;
    p.project_name = gbk("滨江花园三号楼主体结构");
    p.report_serial = gbk("HT-2026-0317");
    p.agent_unit = gbk("江南建设集团有限公司");
    p.constructor_unit = gbk("华东第二建筑工程公司");
    p.design_unit = gbk("城建设计研究院");
    p.supervision_unit = gbk("正信工程监理有限公司");
    p.examine_basis = gbk("JGJ/T 23-2011");
    p.examine_serial = gbk("JC-0815");
    p.project_address = gbk("滨江路188号");
    p.examine_condition = gbk("框架结构，地上十二层");
    p.concrete_producer = gbk("宏达商品混凝土站");
    p.construction_date = "2026-03-01";
    p.agent_date = "2026-04-02";
    for (int i = 1; i <= components; ++i) {
        ComponentInfo c;
        c.component_name = gbk(("构件-" + std::to_string(i)).c_str());
        c.examine_date = i == 1 ? "2026-05-20" : "2026-05-2" + std::to_string(i % 10);
        c.device_serial = i == 1 ? "SN-4711" : "SN-OTHER";
        c.strength_degree = static_cast<std::uint8_t>(i % 5);
        c.strength_avg = 30.0f + 0.25f * static_cast<float>(i);
        c.strength_min = 25.0f + 0.5f * static_cast<float>(i % 7);
        c.strength_delta = 1.0f + 0.1f * static_cast<float>(i % 9);
        c.strength_estimate = 28.0f + 0.3f * static_cast<float>(i % 11);
        p.add_component(std::move(c));
    }
    return p;
}

// The sample project's header and two components for the record sheet:
// "梁-1" with three test areas, "柱-2" with two, their readings all
// different, conditions at the edges of their codings and results as an
// instrument writes them.
inline ReboundFile record_project() {
    ReboundFile p = sample_project(2);
    p.components[0].component_name = gbk("梁-1");
    p.components[1].component_name = gbk("柱-2");
    struct Area {
        int first_reading;
        std::uint8_t depth, angle, surface;
        float mean, angle_corr, surface_corr, converted, pump, strength;
    };
    const Area areas[2][3] = {
        {{20, 0, 0, 0, 36.26f, 0.0f, 0.0f, 31.2f, 2.4f, 33.6f},
         {40, 1, 2, 1, 41.04f, 2.5f, -1.3f, 35.45f, 0.5f, 35.9f},
         {60, 13, 8, 2, 38.75f, 4.0f, 1.8f, 28.7f, 1.6f, 30.3f}},
        {{90, 200, 9, 5, 44.35f, 0.0f, 0.0f, 22.1f, 2.5f, 24.6f},
         {110, 7, 1, 0, 33.33f, -3.0f, 0.0f, 25.9f, 0.2f, 26.1f}},
    };
    for (int c = 0; c < 2; ++c) {
        for (int a = 0; a < (c == 0 ? 3 : 2); ++a) {
            const Area& src = areas[c][a];
            AreaData area;
            for (std::size_t i = 0; i < kReadingsPerArea; ++i) {
                area.readings[i] = static_cast<std::uint8_t>(src.first_reading + static_cast<int>(i));
            }
            area.carbonation_index = src.depth;
            area.angle_index = src.angle;
            area.surface_index = src.surface;
            area.mean_rebound = src.mean;
            area.angle_correction = src.angle_corr;
            area.surface_correction = src.surface_corr;
            area.converted_strength = src.converted;
            area.pump_correction = src.pump;
            area.area_strength = src.strength;
            p.components[c].add_area(area);
        }
    }
    p.components[0].strength_avg = 33.27f;
    p.components[0].strength_delta = 2.8f;
    p.components[0].strength_min = 30.3f;
    p.components[0].strength_estimate = 28.66f;
    p.components[1].pump_tag = 2;  // anything but 1: not pumped
    p.components[1].carbonation_mode = 1;
    p.components[1].rep_carbonation_index = 13;
    return p;
}

// The PDF readers (pdftotext, pdfinfo, pdftocairo, pdffonts) are Linux
// programs that a Windows build tested under Wine cannot start: there a test
// checks that the PDF was written and stops, and scripts/windows/check.sh
// reads back a report PDF written under Windows.
#ifdef _WIN32
#define REBOUND_SKIP_PDF_READBACK_ON_WINDOWS(path)                                                  \
    do {                                                                                            \
        ASSERT_GT(QFileInfo(path).size(), 0);                                                       \
        GTEST_SKIP() << "the PDF readers are Linux programs; scripts/windows/check.sh reads a PDF " \
                        "written under Windows";                                                    \
    } while (false)
#else
#define REBOUND_SKIP_PDF_READBACK_ON_WINDOWS(path) \
    do {                                           \
    } while (false)
#endif

// Runs a program; its standard output, or nullopt when it did not run or failed.
inline std::optional<QByteArray> run_program(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << " failed: " << process.readAllStandardError().toStdString();
        return std::nullopt;
    }
    return process.readAllStandardOutput();
}

// Creates the GUI application that text layout and PDF writing need.
class GuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (!QGuiApplication::instance()) app_ = std::make_unique<QGuiApplication>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[16] = "report_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QGuiApplication> app_;
};

}  // namespace rebound::test
