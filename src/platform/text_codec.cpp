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

namespace {

// Length of the valid UTF-8 sequence at `p` (of `n` bytes), or 0.
std::size_t utf8_sequence(const unsigned char* p, std::size_t n, char32_t& cp) {
    const unsigned char b = p[0];
    std::size_t len = 0;
    char32_t min = 0;
    if (b < 0x80) {
        cp = b;
        return 1;
    } else if (b >= 0xC2 && b <= 0xDF) {
        len = 2, cp = b & 0x1F, min = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
        len = 3, cp = b & 0x0F, min = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
        len = 4, cp = b & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (n < len) return 0;
    for (std::size_t i = 1; i < len; ++i) {
        if ((p[i] & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

}  // namespace

std::string terminal_text(std::string_view text, std::size_t max_chars) {
    static const char digits[] = "0123456789ABCDEF";
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    std::string out;
    out.reserve(text.size());
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++chars) {
        if (chars == max_chars) {
            out += "...";
            break;
        }
        char32_t cp = 0;
        const std::size_t len = utf8_sequence(p + i, text.size() - i, cp);
        const bool control = len != 0 && (cp < 0x20 || cp == 0x7F || (cp >= 0x80 && cp < 0xA0));
        if (len == 0 || control) {
            // A C1 control character is escaped byte by byte, as is a byte
            // that is not part of UTF-8.
            const std::size_t n = len == 0 ? 1 : len;
            for (std::size_t k = 0; k < n; ++k) {
                out += "\\x";
                out += digits[p[i + k] >> 4];
                out += digits[p[i + k] & 0xF];
            }
            i += n;
        } else {
            out.append(text.substr(i, len));
            i += len;
        }
    }
    return out;
}

#ifdef _WIN32

std::filesystem::path to_path(const QString& path) {
    return std::filesystem::path(path.toStdU16String());
}

QString from_path(const std::filesystem::path& path) {
    return QString::fromStdU16String(path.u16string());
}

std::string path_bytes_text(const std::filesystem::path& path) {
    return terminal_text(from_path(path).toStdString());
}

#else

namespace {

void append_utf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

// A file name on Linux is bytes. The ones that are not UTF-8 (a GBK name
// from a Chinese Windows machine) travel through QString as the lone
// surrogates U+DC80 to U+DCFF, one per byte, and come back as the same
// bytes, so that such a file can be opened and saved under its own name.
std::filesystem::path to_path(const QString& path) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(path.size()));
    const qsizetype n = path.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = path[i].unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(path[i + 1].unicode())) {
            append_utf8(bytes, QChar::surrogateToUcs4(u, path[i + 1].unicode()));
            ++i;
        } else if (u >= 0xDC80 && u <= 0xDCFF) {
            bytes += static_cast<char>(u - 0xDC00);
        } else if (QChar::isSurrogate(u)) {
            append_utf8(bytes, 0xFFFD);
        } else {
            append_utf8(bytes, u);
        }
    }
    return std::filesystem::path(std::move(bytes));
}

QString from_path(const std::filesystem::path& path) {
    const std::string& bytes = path.native();
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    for (std::size_t i = 0; i < bytes.size();) {
        char32_t cp = 0;
        const std::size_t len = utf8_sequence(p + i, bytes.size() - i, cp);
        if (len == 0) {
            out += QChar(static_cast<char16_t>(0xDC00 + p[i]));
            ++i;
        } else {
            if (cp >= 0x10000) {
                out += QChar(QChar::highSurrogate(cp));
                out += QChar(QChar::lowSurrogate(cp));
            } else {
                out += QChar(static_cast<char16_t>(cp));
            }
            i += len;
        }
    }
    return out;
}

std::string path_bytes_text(const std::filesystem::path& path) {
    // UTF-8 as it is; every other byte and every control character as \xNN,
    // so that a message names the file exactly.
    return terminal_text(path.native());
}

#endif

std::filesystem::path path_from_ansi(std::string_view ansi) {
    return to_path(to_qstring(ansi));
}

}  // namespace rebound::platform
