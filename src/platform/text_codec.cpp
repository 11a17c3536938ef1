#include "platform/text_codec.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QtGlobal>
#include <atomic>
#include <mutex>

#include "platform/qt_bridge.h"

#ifdef Q_OS_WIN
#include <windows.h>

#include <climits>
#endif

namespace rebound::platform {

namespace {

std::mutex gNoticeMutex;
ConversionNotice gNotice;
std::atomic<bool> gNoticeGiven{false};

// The first fallback of the process is told; later ones are not.
void notice_fallback(const char* what) {
    if (gNoticeGiven.exchange(true)) {
        return;
    }
    ConversionNotice receiver;
    {
        const std::lock_guard<std::mutex> lock(gNoticeMutex);
        receiver = gNotice;
    }
    if (receiver) {
        receiver(what);
    } else {
        qWarning("%s", what);
    }
}

const char* const kInvalidBytesNotice =
    "Some texts hold bytes that are not Chinese (GBK) characters; they are shown as \xEF\xBF\xBD.";
const char* const kNoConverterNotice =
    "No converter for Chinese (GBK) texts is available; texts are read byte by byte as Latin-1.";

#ifdef Q_OS_WIN
// The system's ANSI code page: 936 (GBK) on a Chinese Windows.
//
// A byte sequence the code page does not define becomes U+FFFD, as with the
// GBK decoder used elsewhere. MultiByteToWideChar without
// MB_ERR_INVALID_CHARS would instead map it to the code page's default
// character or drop it, depending on the code page, so the whole text is
// tried strictly first and only a text that fails is decoded character by
// character.
QString decode(std::string_view ansi) {
    if (ansi.empty()) return {};
    if (ansi.size() <= std::size_t(INT_MAX / 2)) {
        const int size = int(ansi.size());
        const int n = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi.data(), size, nullptr, 0);
        if (n > 0) {
            std::wstring w(std::size_t(n), L'\0');
            if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi.data(), size, w.data(), n) == n) {
                return QString::fromWCharArray(w.data(), n);
            }
        }
    }
    CPINFO info{};
    const int longest = GetCPInfo(CP_ACP, &info) && info.MaxCharSize > 0 ? int(info.MaxCharSize) : 1;
    QString out;
    out.reserve(qsizetype(ansi.size()));
    wchar_t w[4];
    std::size_t i = 0;
    while (i < ansi.size()) {
        // The shortest sequence at i that is one valid character.
        int used = 0, got = 0;
        for (int len = 1; len <= longest && i + std::size_t(len) <= ansi.size(); ++len) {
            got = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi.data() + i, len, w, 4);
            if (got > 0) {
                used = len;
                break;
            }
        }
        if (used == 0) {
            out.append(QChar::ReplacementCharacter);
            notice_fallback(kInvalidBytesNotice);
            ++i;
        } else {
            out.append(QString::fromWCharArray(w, got));
            i += std::size_t(used);
        }
    }
    return out;
}
// Characters the code page lacks become '?' (no "best fit" look-alikes,
// which would silently change the text).
std::string encode(const QString& text) {
    if (text.isEmpty()) return {};
    const std::wstring w = text.toStdWString();
    if (w.size() > std::size_t(INT_MAX / 4)) return {};
    const UINT acp = GetACP();
    const bool utf8 = acp == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const char* fallback = utf8 ? nullptr : "?";
    const int n = WideCharToMultiByte(acp, flags, w.data(), int(w.size()), nullptr, 0, fallback, nullptr);
    if (n <= 0) return {};
    std::string out(std::size_t(n), '\0');
    WideCharToMultiByte(acp, flags, w.data(), int(w.size()), out.data(), n, fallback, nullptr);
    return out;
}
#else
// Code page 936. The decoder and encoder are created per call: they keep
// state between calls and are cheap to build.
QString decode(std::string_view ansi) {
    if (ansi.empty()) return {};
    QStringDecoder decoder("GBK", QStringDecoder::Flag::Stateless);
    if (!decoder.isValid()) {
        notice_fallback(kNoConverterNotice);
        return QString::fromLatin1(ansi.data(), qsizetype(ansi.size()));
    }
    QString text = decoder.decode(QByteArrayView(ansi.data(), qsizetype(ansi.size())));
    if (decoder.hasError()) {
        notice_fallback(kInvalidBytesNotice);
    }
    return text;
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

void set_conversion_notice(ConversionNotice receiver) {
    const std::lock_guard<std::mutex> lock(gNoticeMutex);
    gNotice = std::move(receiver);
    gNoticeGiven = false;
}

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
