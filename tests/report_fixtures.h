// Shared pieces of the report tests: a sample project with Chinese texts,
// the shipped template's path, a GUI application for text layout, and a
// helper that runs an outside program.
#pragma once

#include <gtest/gtest.h>

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

// The shipped template in the source tree.
inline QString shipped_template_path() {
    return platform::from_path(std::filesystem::path(REBOUND_SOURCE_DIR) / "data" / "report" / "rebound_report1.grf");
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
