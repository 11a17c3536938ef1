#include "ui/file_list_box.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>

#include "platform/qt_bridge.h"
#include "settings/app_context.h"

namespace rebound {

QString StartUpFolder(const AppContext& context) {
    return QDir::toNativeSeparators(platform::from_path(context.app_folder()));
}

QString CurveFolderOf(const AppContext& context) {
    return StartUpFolder(context) + QDir::separator() + QStringLiteral("curve");
}

void ShowDialogWarning(QWidget* owner, const QString& text, const QString& details) {
    auto* box = new QMessageBox(QMessageBox::Warning, QGuiApplication::applicationDisplayName(), text,
                                QMessageBox::Ok, owner);
    box->setInformativeText(details);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void WarnCurveFolderMissing(QWidget* owner, const QString& folder) {
    ShowDialogWarning(owner, QCoreApplication::translate("rebound::TLoadStrengthCurveFrm", "Curve folder not found!"),
                      folder);
}

namespace {

// File names sort as the file system matches them: without regard to case;
// names differing only in case keep a fixed order among themselves.
bool NameLess(const QString& a, const QString& b) {
    const int folded = QString::compare(a, b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : QString::compare(a, b, Qt::CaseSensitive) < 0;
}

bool SameFolder(const QString& a, const QString& b) {
    // QFileInfo compares canonical paths, so "curve" and "./curve/" match, and
    // on case-insensitive file systems so do differently cased spellings.
    return QFileInfo(a) == QFileInfo(b);
}

}  // namespace

FileListBox::FileListBox(const QString& folder, QWidget* parent) : QListWidget(parent), mDirectory(folder) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSortingEnabled(false);    // entries are placed by AddEntry
    setIconSize(QSize(16, 16));  // small glyphs, one compact line per file
}

void FileListBox::FillIfEmpty() {
    if (!mFilled) ReadFolder(mDirectory);
}

bool FileListBox::SetDirectory(const QString& folder) {
    if (!QFileInfo(folder).isDir()) return false;
    if (mFilled && SameFolder(folder, mDirectory)) return true;
    ReadFolder(folder);
    return true;
}

void FileListBox::AddEntry(QListWidgetItem* item) {
    // After any entry of equal name, so duplicates keep their arrival order.
    int row = count();
    while (row > 0 && NameLess(item->text(), this->item(row - 1)->text())) --row;
    insertItem(row, item);
}

QStringList FileListBox::EntryNames() const {
    QStringList names;
    for (int i = 0; i < count(); ++i) names << item(i)->text();
    return names;
}

void FileListBox::ReadFolder(const QString& folder) {
    clear();
    mDirectory = folder;
    mFilled = true;
    const QDir dir(folder);
    // Ordinary files only: no folders, no hidden or system entries.
    const QFileInfoList files = dir.entryInfoList(QDir::Files | QDir::NoDotAndDotDot, QDir::NoSort);
    const QFileIconProvider icons;
    for (const QFileInfo& file : files) AddEntry(new QListWidgetItem(icons.icon(file), file.fileName()));
}

}  // namespace rebound
