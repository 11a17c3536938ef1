#include "ui/app_fonts.h"

#include <QStringList>

namespace rebound {

namespace {

const QString kSong = QString::fromUtf8("宋体");

}  // namespace

void install_font_substitutions() {
    const QStringList song = {QStringLiteral("AR PL UMing CN"), QStringLiteral("AR PL UMing TW"),
                              QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Serif CJK SC")};
    for (const QString& name :
         {kSong, QStringLiteral("SimSun"), QStringLiteral("NSimSun"), QString::fromUtf8("新宋体")}) {
        QFont::insertSubstitutions(name, song);
    }
    const QStringList sans = {QStringLiteral("DejaVu Sans"), QStringLiteral("WenQuanYi Micro Hei")};
    for (const QString& name : {QStringLiteral("MS Sans Serif"), QStringLiteral("Tahoma"),
                                QString::fromUtf8("微软雅黑"), QStringLiteral("Microsoft YaHei")}) {
        QFont::insertSubstitutions(name, sans);
    }
    QFont::insertSubstitutions(QStringLiteral("Arial Narrow"), {QStringLiteral("Liberation Sans Narrow"),
                                                                QStringLiteral("DejaVu Sans Condensed"),
                                                                QStringLiteral("WenQuanYi Micro Hei")});
}

QFont song_font(int pixel_size) {
    QFont font(kSong);
    font.setPixelSize(pixel_size);
    return font;
}

QFont narrow_font(int pixel_size) {
    QFont font(QStringLiteral("Arial Narrow"));
    font.setPixelSize(pixel_size);
    font.setStretch(QFont::SemiCondensed);
    return font;
}

}  // namespace rebound
