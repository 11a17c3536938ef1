// The filters of the window's file dialogs, written as "description|patterns"
// pairs joined by "|". They stay as written (they also name the folder each
// dialog remembers); the dialogs show the descriptions translated.
#pragma once

#include <QString>

namespace rebound {

QString ComponentFilter();
QString ProjectFilter();
QString ExcelFilter();
QString TextFilter();
QString CurveFilter();
QString PdfFilter();
// Exported component files: no filter.
inline QString ExportFilter() {
    return {};
}

}  // namespace rebound
