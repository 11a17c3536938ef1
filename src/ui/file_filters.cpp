#include "ui/file_filters.h"

#include <QCoreApplication>

namespace rebound {

namespace {

QString filter(const char* description, const char* patterns) {
    return QLatin1String(description) + QLatin1Char('|') + QLatin1String(patterns);
}

}  // namespace

QString ComponentFilter() {
    return filter(QT_TRANSLATE_NOOP("FileFilter", "Component(*.cmp;*.tmp;*.CMP;*.TMP;)"), "*.cmp;*.tmp;*.CMP;*.TMP;)");
}

QString ProjectFilter() {
    return filter(QT_TRANSLATE_NOOP("FileFilter", "Project(*.prj)"), "*.prj") + QLatin1Char('|') +
           filter(QT_TRANSLATE_NOOP("FileFilter", "All Files(*.*)"), "*.*");
}

QString ExcelFilter() {
    return filter(QT_TRANSLATE_NOOP("FileFilter", "Excel(*.xls)"), "*.xls");
}

QString PdfFilter() {
    return filter(QT_TRANSLATE_NOOP("FileFilter", "PDF(*.pdf)"), "*.pdf");
}

QString TextFilter() {
    return filter(QT_TRANSLATE_NOOP("FileFilter", "Text(*.txt)"), "*.txt");
}

QString CurveFilter() {
    return filter(QT_TRANSLATE_NOOP("FileFilter", "Curve(*.cur)"), "*.cur");
}

}  // namespace rebound
