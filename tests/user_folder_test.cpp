// The user's own application folder, filled from the shipped one: what is
// copied, what is never copied twice, what is never overwritten, and the
// failures that stop the launcher.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/user_folder.h"

namespace rebound::app {
namespace {

class UserFolder : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    QString path(const QString& relative) const { return QDir(dir.path()).filePath(relative); }
    void write(const QString& relative, const QByteArray& content) const {
        const QString p = path(relative);
        ASSERT_TRUE(QDir().mkpath(QFileInfo(p).path()));
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    QByteArray read(const QString& relative) const {
        QFile f(path(relative));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    // True when prepared; otherwise `error` gets the message.
    bool prepare(QString* error = nullptr) const {
        const Result<void> prepared = prepare_user_folder(path("shipped"), entries, path("user"));
        if (!prepared && error != nullptr) {
            *error = QString::fromStdString(prepared.error().message);
        }
        return prepared.ok();
    }

    QTemporaryDir dir;
    const QStringList entries = {"curve", "report", "samples"};
};

TEST_F(UserFolder, FirstStartCopiesTheShippedFoldersOnly) {
    write("shipped/curve/normal.cur", "curve");
    write("shipped/report/rebound_report1.grf", "template");
    write("shipped/samples/样例/构件 1.cmp", "device");
    write("shipped/samples/😀.tmp", "emoji");
    write("shipped/bin/rebound.exe", "program");  // next to the shipped folders, not part of them
    QString error;
    ASSERT_TRUE(prepare(&error)) << error.toStdString();
    EXPECT_EQ(read("user/curve/normal.cur"), "curve");
    EXPECT_EQ(read("user/report/rebound_report1.grf"), "template");
    EXPECT_EQ(read("user/samples/样例/构件 1.cmp"), "device");
    EXPECT_EQ(read("user/samples/😀.tmp"), "emoji");
    EXPECT_FALSE(QFileInfo::exists(path("user/bin")));
    EXPECT_EQ(read("user/.shipped-files"), QString("curve/normal.cur\nreport/rebound_report1.grf\n"
                                                   "samples/样例/构件 1.cmp\nsamples/😀.tmp\n")
                                               .toUtf8());
}

TEST_F(UserFolder, LaterStartsKeepTheUsersChangesAndAddWhatIsNew) {
    write("shipped/curve/normal.cur", "curve v1");
    write("shipped/report/rebound_report1.grf", "template v1");
    ASSERT_TRUE(prepare());
    write("user/curve/normal.cur", "edited by the user");
    ASSERT_TRUE(QFile::remove(path("user/report/rebound_report1.grf")));
    // A newer version ships changed files and a new curve.
    write("shipped/curve/normal.cur", "curve v2");
    write("shipped/report/rebound_report1.grf", "template v2");
    write("shipped/curve/pumped.cur", "new curve");
    ASSERT_TRUE(prepare());
    EXPECT_EQ(read("user/curve/normal.cur"), "edited by the user");
    EXPECT_FALSE(QFileInfo::exists(path("user/report/rebound_report1.grf")));
    EXPECT_EQ(read("user/curve/pumped.cur"), "new curve");
}

TEST_F(UserFolder, AFileTheUserAlreadyHasIsNeverOverwritten) {
    write("shipped/curve/normal.cur", "shipped");
    write("user/curve/normal.cur", "the user's own");
    ASSERT_TRUE(prepare());
    EXPECT_EQ(read("user/curve/normal.cur"), "the user's own");
    EXPECT_EQ(read("user/.shipped-files"), "curve/normal.cur\n");
}

TEST_F(UserFolder, FailuresAreReported) {
    QString error;
    EXPECT_FALSE(prepare(&error));  // nothing shipped
    EXPECT_TRUE(error.contains(QDir::toNativeSeparators(path("shipped"))) || error.contains(path("shipped")))
        << error.toStdString();

    const Result<void> missing = prepare_user_folder(path("shipped"), entries, path("user"));
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().kind, FileError::Kind::CannotOpen);
    EXPECT_EQ(QString::fromStdU16String(missing.error().file.u16string()), path("shipped"));

    write("shipped/curve/normal.cur", "curve");
    write("user", "a file where the folder should be");
    error.clear();
    EXPECT_FALSE(prepare(&error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(read("user"), "a file where the folder should be");
}

}  // namespace
}  // namespace rebound::app
