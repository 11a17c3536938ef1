#include "platform/text_codec.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include "platform/qt_bridge.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace rebound::platform {

namespace {

#ifdef Q_OS_WIN
// The system's ANSI code page.
QString decode(std::string_view ansi) {
    if (ansi.empty()) return {};
    const int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), int(ansi.size()), nullptr, 0);
    std::wstring w(std::size_t(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), int(ansi.size()), w.data(), n);
    return QString::fromWCharArray(w.data(), n);
}
std::string encode(const QString& text) {
    if (text.isEmpty()) return {};
    const std::wstring w = text.toStdWString();
    const int n = WideCharToMultiByte(CP_ACP, 0, w.data(), int(w.size()), nullptr, 0, nullptr, nullptr);
    std::string out(std::size_t(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, w.data(), int(w.size()), out.data(), n, nullptr, nullptr);
    return out;
}
#else
// Code page 936. The decoder and encoder are created per call: they keep
// state between calls and are cheap to build.
QString decode(std::string_view ansi) {
    if (ansi.empty()) return {};
    QStringDecoder decoder("GBK", QStringDecoder::Flag::Stateless);
    if (!decoder.isValid()) {
        return QString::fromLatin1(ansi.data(), qsizetype(ansi.size()));
    }
    return decoder.decode(QByteArrayView(ansi.data(), qsizetype(ansi.size())));
}
std::string encode(const QString& text) {
    if (text.isEmpty()) return {};
    QStringEncoder encoder("GBK", QStringEncoder::Flag::Stateless);
    if (!encoder.isValid()) {
        return text.toLatin1().toStdString();
    }
    const QByteArray bytes = encoder.encode(text);
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}
#endif

// Every ANSI code page agrees with ASCII on its first 128 characters, so a
// text of those bytes only needs copying; most texts of a project are such.
bool is_ascii(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

}  // namespace

QString to_qstring(std::string_view ansi) {
    return decode(ansi);
}

std::string from_qstring(const QString& text) {
    return encode(text);
}

std::string ansi_to_utf8(std::string_view ansi) {
    if (is_ascii(ansi)) return std::string(ansi);
    return decode(ansi).toStdString();
}

std::string utf8_to_ansi(std::string_view utf8) {
    return encode(QString::fromUtf8(utf8.data(), qsizetype(utf8.size())));
}

std::filesystem::path to_path(const QString& path) {
    return std::filesystem::path(path.toStdU16String());
}

std::filesystem::path path_from_ansi(std::string_view ansi) {
    return to_path(to_qstring(ansi));
}

QString from_path(const std::filesystem::path& path) {
    return QString::fromStdU16String(path.u16string());
}

}  // namespace rebound::platform
