// Running rebound-cli from a test the way a user or a batch script does, and
// checking its JSON output with an independent parser (Python's json module).
#pragma once

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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
    if (!p.waitForFinished(60000)) {
        // Not started, or still running after a minute: never taken for an
        // exit status of 0.
        return {-1, {}, "rebound-cli did not run to its end: " + p.errorString().toStdString() + "\n"};
    }
    QByteArray out = p.readAllStandardOutput();
    QByteArray err = p.readAllStandardError();
#ifdef _WIN32
    // A Windows console program ends its lines with CR LF.
    out.replace("\r\n", "\n");
    err.replace("\r\n", "\n");
#endif
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, out.toStdString(), err.toStdString()};
}

// Python, a Linux program here, cannot be used by a Windows build run under
// Wine: Wine starts a Linux program detached, without pipes or exit status.
// There the Python checks are skipped, and the checks made with Qt's JSON
// reader (json_object) stand.
#ifdef _WIN32
inline constexpr bool kPythonReachable = false;
#else
inline constexpr bool kPythonReachable = true;
#endif
inline constexpr const char* kNoPython =
    "Python, the independent JSON reader, is a Linux program that this Windows build cannot start";

// The output as a JSON object read by Qt's parser; a parse error fails the test.
inline QJsonObject json_object(const std::string& json) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(json), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << "\n" << json;
    EXPECT_TRUE(doc.isObject()) << json;
    return doc.object();
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
