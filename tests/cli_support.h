// Running rebound-cli from a test the way a user or a batch script does, and
// checking its JSON output with an independent parser (Python's json module).
#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <filesystem>
#include <string>

namespace rebound::test {

struct CliRun {
    int status;  // exit status, -1 when the process crashed
    std::string out;
    std::string err;
};

// Runs the tool in `cwd`; `environment` adds or replaces variables (NAME=value).
inline CliRun run_cli(const QStringList& args, const std::filesystem::path& cwd,
                      const QStringList& environment = {}) {
    QProcess p;
    p.setWorkingDirectory(QString::fromStdU16String(cwd.u16string()));
    if (!environment.isEmpty()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const QString& entry : environment) env.insert(entry.section('=', 0, 0), entry.section('=', 1));
        p.setProcessEnvironment(env);
    }
    p.start(QStringLiteral(REBOUND_CLI_PATH), args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            p.readAllStandardOutput().toStdString(), p.readAllStandardError().toStdString()};
}

// The printed value of a Python expression over `d`, the parsed JSON text.
inline std::string python_on_json(const std::string& json, const std::string& expression) {
    QProcess p;
    p.start("python3", {"-c", QString::fromStdString("import json,sys; d=json.load(sys.stdin); print(" +
                                                     expression + ")")});
    p.write(QByteArray::fromStdString(json));
    p.closeWriteChannel();
    p.waitForFinished(30000);
    return p.readAllStandardOutput().trimmed().toStdString() + p.readAllStandardError().toStdString();
}

}  // namespace rebound::test
