#include "report/xls_writer.h"

#include <QRegularExpression>
#include <QtEndian>
#include <algorithm>
#include <cstring>

namespace rebound::report::xls {

namespace {

// Little-endian appender for record bodies and container structures.
class Bytes {
public:
    Bytes& u8(unsigned v) {
        data_.append(static_cast<char>(v & 0xFF));
        return *this;
    }
    Bytes& u16(unsigned v) { return u8(v).u8(v >> 8); }
    Bytes& u32(quint32 v) { return u16(v & 0xFFFF).u16(v >> 16); }
    Bytes& f64(double v) {
        quint64 bits;
        std::memcpy(&bits, &v, 8);
        return u32(static_cast<quint32>(bits)).u32(static_cast<quint32>(bits >> 32));
    }
    Bytes& utf16(QStringView s) {
        for (QChar c : s) u16(c.unicode());
        return *this;
    }
    Bytes& raw(const QByteArray& b) {
        data_.append(b);
        return *this;
    }
    Bytes& zeros(qsizetype n) {
        data_.append(n, '\0');
        return *this;
    }
    qsizetype size() const { return data_.size(); }
    QByteArray& data() { return data_; }

private:
    QByteArray data_;
};

// Record identifiers.
enum : unsigned {
    kBof = 0x0809,
    kEof = 0x000A,
    kCodepage = 0x0042,
    kWindow1 = 0x003D,
    kDateMode = 0x0022,
    kFont = 0x0031,
    kFormat = 0x041E,
    kXf = 0x00E0,
    kStyle = 0x0293,
    kBoundSheet = 0x0085,
    kSst = 0x00FC,
    kContinue = 0x003C,
    kExtSst = 0x00FF,
    kDefColWidth = 0x0055,
    kColInfo = 0x007D,
    kDimensions = 0x0200,
    kRow = 0x0208,
    kLabelSst = 0x00FD,
    kNumber = 0x0203,
    kBlank = 0x0201,
    kWindow2 = 0x023E,
    kMergedCells = 0x00E5,
};

constexpr qsizetype kMaxRecordBody = 8224;
constexpr int kFirstCustomFormat = 164;
constexpr int kStyleXfCount = 15;  // XF 0-14 are styles, XF 15 the default cell format
constexpr int kDefaultCellXf = 15;
constexpr unsigned kBlack = 8;

void record(Bytes& out, unsigned type, const QByteArray& body) {
    out.u16(type).u16(static_cast<unsigned>(body.size())).raw(body);
}

void bof(Bytes& out, unsigned substream) {
    Bytes b;
    b.u16(0x0600).u16(substream).u16(0x0DBB).u16(0x07CC).u32(0).u32(0x06);
    record(out, kBof, b.data());
}

// A text with an 8-bit (short) or 16-bit character count, always in UTF-16.
QByteArray unicode_string(QStringView s, bool short_count) {
    Bytes b;
    if (short_count) {
        s = s.left(255);
        b.u8(static_cast<unsigned>(s.size()));
    } else {
        b.u16(static_cast<unsigned>(s.size()));
    }
    b.u8(0x01).utf16(s);
    return b.data();
}

// Font index as cells refer to it: index 4 does not exist in the format.
unsigned font_index(int font) {
    return font == 0 ? 0 : static_cast<unsigned>(font + 4);
}

unsigned horizontal(Align a) {
    switch (a) {
        case Align::Left:
            return 1;
        case Align::Center:
            return 2;
        case Align::Right:
            return 3;
    }
    return 0;
}

QByteArray xf(unsigned font, unsigned format, bool style_xf, const CellStyle* style) {
    Bytes b;
    b.u16(font).u16(format);
    b.u16(style_xf ? 0xFFF5 : 0x0001);  // locked; a style's parent is 0xFFF, a cell's is style 0
    unsigned align = 0x20;              // general, vertically at the bottom
    if (style) align = horizontal(style->align) | (style->wrap ? 0x08 : 0) | (1u << 4);  // centred vertically
    b.u8(align).u8(0).u8(0);
    b.u8(style_xf ? 0x00 : 0xFC);  // a cell format carries all its attributes
    quint32 border1 = 0, border2 = 0;
    if (style && style->borders) {
        border1 = 1u | (1u << 4) | (1u << 8) | (1u << 12) | (kBlack << 16) | (kBlack << 23);
        border2 = kBlack | (kBlack << 7);
    }
    b.u32(border1).u32(border2).u16(64 | (65 << 7));
    return b.data();
}

// The shared string table: SST and CONTINUE records plus the EXTSST index.
class StringTable {
public:
    int add(const QString& s) {
        auto [it, inserted] = index_.try_emplace(s, static_cast<int>(strings_.size()));
        if (inserted) strings_.push_back(s);
        ++references_;
        return it->second;
    }

    // Appends the records to `out`, whose size is their offset in the stream.
    void write(Bytes& out) const {
        std::vector<QByteArray> records(1);
        Bytes head;
        head.u32(references_).u32(static_cast<quint32>(strings_.size()));
        records[0] = head.data();
        const int per_bucket = std::max<int>(8, static_cast<int>((strings_.size() + 127) / 128));
        std::vector<std::pair<std::size_t, qsizetype>> buckets;  // (record, offset in its body)
        auto room = [&] { return kMaxRecordBody - records.back().size(); };
        for (std::size_t i = 0; i < strings_.size(); ++i) {
            QStringView s = QStringView(strings_[i]).left(kMaxTextLength);
            if (s.size() < strings_[i].size() && s.back().isHighSurrogate()) s.chop(1);
            if (room() < 5) records.emplace_back();  // a string's header is never split
            if (i % per_bucket == 0) buckets.emplace_back(records.size() - 1, records.back().size());
            Bytes h;
            h.u16(static_cast<unsigned>(s.size())).u8(0x01);
            records.back().append(h.data());
            qsizetype pos = 0;
            while (pos < s.size()) {
                if (room() < 2) {
                    records.emplace_back();
                    records.back().append('\x01');  // the continued characters are UTF-16
                }
                qsizetype n = std::min<qsizetype>(s.size() - pos, room() / 2);
                if (pos + n < s.size() && s[pos + n - 1].isHighSurrogate() && n > 1) --n;
                Bytes chars;
                chars.utf16(s.mid(pos, n));
                records.back().append(chars.data());
                pos += n;
            }
        }
        std::vector<qsizetype> starts;
        for (std::size_t r = 0; r < records.size(); ++r) {
            starts.push_back(out.size());
            record(out, r == 0 ? kSst : kContinue, records[r]);
        }
        Bytes ext;
        ext.u16(static_cast<unsigned>(per_bucket));
        for (const auto& [r, offset] : buckets) {
            ext.u32(static_cast<quint32>(starts[r] + 4 + offset))
                .u16(static_cast<unsigned>(4 + offset))
                .u16(0);
        }
        record(out, kExtSst, ext.data());
    }

private:
    std::vector<QString> strings_;
    std::map<QString, int> index_;
    quint32 references_ = 0;
};

}  // namespace

QByteArray workbook_stream(const Workbook& book) {
    // Number formats: one custom format per distinct format text.
    std::map<QString, unsigned> formats;
    for (const CellStyle& s : book.styles) {
        if (!s.number_format.isEmpty() && !formats.count(s.number_format)) {
            formats.emplace(s.number_format, static_cast<unsigned>(kFirstCustomFormat + formats.size()));
        }
    }
    StringTable sst;
    std::vector<const Cell*> cells;
    for (const Cell& c : book.cells) cells.push_back(&c);
    std::stable_sort(cells.begin(), cells.end(), [](const Cell* a, const Cell* b) {
        return a->row != b->row ? a->row < b->row : a->column < b->column;
    });
    std::vector<int> sst_index(cells.size(), -1);
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (cells[i]->kind == Cell::Kind::Text) sst_index[i] = sst.add(cells[i]->text);
    }

    Bytes out;
    bof(out, 0x0005);
    record(out, kCodepage, Bytes().u16(1200).data());
    record(out, kWindow1,
           Bytes().u16(0).u16(0).u16(0x4000).u16(0x2800).u16(0x0038).u16(0).u16(0).u16(1).u16(0x0258).data());
    record(out, kDateMode, Bytes().u16(0).data());
    auto font_record = [&](const Font& f) {
        Bytes b;
        b.u16(static_cast<unsigned>(qRound(f.size_pt * 20))).u16(0).u16(0x7FFF).u16(f.bold ? 700 : 400);
        b.u16(0).u8(0).u8(0).u8(f.name.contains(QRegularExpression(QStringLiteral("[^\\x00-\\x7F]"))) ? 134
                                                                                                      : 0);
        b.u8(0).raw(unicode_string(f.name, true));
        record(out, kFont, b.data());
    };
    for (int i = 0; i < 4; ++i) font_record(book.fonts[0]);
    for (std::size_t i = 1; i < book.fonts.size(); ++i) font_record(book.fonts[i]);
    for (const auto& [text, index] : formats) {
        record(out, kFormat, Bytes().u16(index).raw(unicode_string(text, false)).data());
    }
    for (int i = 0; i < kStyleXfCount; ++i) record(out, kXf, xf(0, 0, true, nullptr));
    record(out, kXf, xf(0, 0, false, nullptr));  // XF 15: the default cell format
    for (const CellStyle& s : book.styles) {
        record(out, kXf,
               xf(font_index(s.font), s.number_format.isEmpty() ? 0 : formats[s.number_format], false, &s));
    }
    record(out, kStyle, Bytes().u16(0x8000).u8(0).u8(0xFF).data());
    QString sheet_name = book.sheet_name.left(31);
    static const QRegularExpression bad(QStringLiteral("[\\[\\]:*?/\\\\]"));
    sheet_name.replace(bad, QStringLiteral("_"));
    if (sheet_name.isEmpty()) sheet_name = QStringLiteral("Sheet1");
    const qsizetype sheet_offset_at = out.size() + 4;
    record(out, kBoundSheet, Bytes().u32(0).u8(0).u8(0).raw(unicode_string(sheet_name, true)).data());
    sst.write(out);
    record(out, kEof, {});

    // The sheet; its position goes into BOUNDSHEET.
    qToLittleEndian<quint32>(static_cast<quint32>(out.size()), out.data().data() + sheet_offset_at);
    bof(out, 0x0010);
    record(out, kDefColWidth, Bytes().u16(8).data());
    for (std::size_t c = 0; c < book.column_widths.size(); ++c) {
        const unsigned width = static_cast<unsigned>(std::clamp(book.column_widths[c], 0.5, 255.0) * 256);
        record(out, kColInfo, Bytes().u16(c).u16(c).u16(width).u16(kDefaultCellXf).u16(0).u16(0).data());
    }
    int last_row = -1, last_column = -1;
    for (const Cell* c : cells) {
        last_row = std::max(last_row, c->row);
        last_column = std::max(last_column, c->column);
    }
    record(out, kDimensions,
           Bytes().u32(0).u32(static_cast<quint32>(last_row + 1)).u16(0).u16(last_column + 1).u16(0).data());
    std::map<int, std::pair<int, int>> row_spans;  // row -> (first column, last column + 1)
    for (const Cell* c : cells) {
        auto [it, inserted] = row_spans.try_emplace(c->row, c->column, c->column + 1);
        if (!inserted) it->second.second = c->column + 1;
    }
    for (const auto& [row, height] : book.row_heights) row_spans.try_emplace(row, 0, 0);
    for (const auto& [row, span] : row_spans) {
        const auto h = book.row_heights.find(row);
        const bool custom = h != book.row_heights.end();
        const unsigned twips = custom ? static_cast<unsigned>(std::clamp(h->second, 1.0, 409.0) * 20) : 255;
        record(out, kRow,
               Bytes()
                   .u16(row)
                   .u16(span.first)
                   .u16(span.second)
                   .u16(twips)
                   .u16(0)
                   .u16(0)
                   .u16(0x0100 | (custom ? 0x40 : 0))
                   .u16(kDefaultCellXf)
                   .data());
    }
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const Cell& c = *cells[i];
        const unsigned xf_index = static_cast<unsigned>(kDefaultCellXf + 1 + c.style);
        Bytes b;
        b.u16(c.row).u16(c.column).u16(xf_index);
        switch (c.kind) {
            case Cell::Kind::Text:
                record(out, kLabelSst, b.u32(static_cast<quint32>(sst_index[i])).data());
                break;
            case Cell::Kind::Number:
                record(out, kNumber, b.f64(c.number).data());
                break;
            case Cell::Kind::Blank:
                record(out, kBlank, b.data());
                break;
        }
    }
    record(out, kWindow2,
           Bytes().u16(0x06B6).u16(0).u16(0).u16(64).u16(0).u16(0).u16(0).u16(0).u16(0).data());
    for (std::size_t first = 0; first < book.merges.size(); first += 1026) {
        const std::size_t n = std::min<std::size_t>(1026, book.merges.size() - first);
        Bytes b;
        b.u16(static_cast<unsigned>(n));
        for (std::size_t i = first; i < first + n; ++i) {
            const Merge& m = book.merges[i];
            b.u16(m.first_row).u16(m.last_row).u16(m.first_column).u16(m.last_column);
        }
        record(out, kMergedCells, b.data());
    }
    record(out, kEof, {});
    return out.data();
}

namespace {

FileError too_large(const char* what) {
    return FileError{FileError::Kind::WriteFailed, {}, std::nullopt, {}, what};
}

}  // namespace

Result<QByteArray> compound_file(const QByteArray& stream_in) {
    constexpr quint32 kSector = 512;
    constexpr quint32 kFree = 0xFFFFFFFF, kEndOfChain = 0xFFFFFFFE, kFatSector = 0xFFFFFFFD;
    constexpr quint32 kNoStream = 0xFFFFFFFF;
    constexpr quint32 kMiniCutoff = 4096;
    constexpr quint32 kHeaderFatSlots = 109;
    constexpr quint32 kIdsPerSector = kSector / 4;

    QByteArray stream = stream_in;
    if (static_cast<quint32>(stream.size()) < kMiniCutoff) stream.append(kMiniCutoff - stream.size(), '\0');
    const quint32 stream_sectors = static_cast<quint32>((stream.size() + kSector - 1) / kSector);
    const quint32 dir_sectors = 1;
    quint32 fat_sectors = 1;
    while ((stream_sectors + dir_sectors + fat_sectors) > fat_sectors * kIdsPerSector) ++fat_sectors;
    if (fat_sectors > kHeaderFatSlots) {
        return too_large("the workbook is too large for the file format");
    }
    const quint32 dir_start = stream_sectors;
    const quint32 fat_start = stream_sectors + dir_sectors;

    Bytes out;
    // Header.
    out.u32(0xE011CFD0).u32(0xE11AB1A1).zeros(16);
    out.u16(0x003E).u16(0x0003).u16(0xFFFE).u16(9).u16(6).zeros(6);
    out.u32(0).u32(fat_sectors).u32(dir_start).u32(0).u32(kMiniCutoff);
    out.u32(kEndOfChain).u32(0).u32(kEndOfChain).u32(0);
    for (quint32 i = 0; i < kHeaderFatSlots; ++i) out.u32(i < fat_sectors ? fat_start + i : kFree);
    // The stream's sectors.
    out.raw(stream).zeros(stream_sectors * kSector - stream.size());
    // Directory: the root entry and the stream; two empty entries fill the sector.
    auto entry = [&](QStringView name, unsigned type, quint32 child, quint32 start, quint32 size) {
        Bytes e;
        e.utf16(name).zeros(64 - 2 * name.size());
        e.u16(name.isEmpty() ? 0 : static_cast<unsigned>(2 * (name.size() + 1)));
        e.u8(type).u8(type == 0 ? 0 : 1);  // colour black
        e.u32(kNoStream).u32(kNoStream).u32(child);
        e.zeros(16).u32(0).zeros(16);
        e.u32(start).u32(size).u32(0);
        out.raw(e.data());
    };
    entry(u"Root Entry", 5, 1, kEndOfChain, 0);
    entry(u"Workbook", 2, kNoStream, 0, static_cast<quint32>(stream.size()));
    entry(u"", 0, kNoStream, 0, 0);
    entry(u"", 0, kNoStream, 0, 0);
    // FAT.
    for (quint32 s = 0; s < fat_sectors * kIdsPerSector; ++s) {
        quint32 v = kFree;
        if (s < stream_sectors) {
            v = s + 1 < stream_sectors ? s + 1 : kEndOfChain;
        } else if (s == dir_start) {
            v = kEndOfChain;
        } else if (s >= fat_start && s < fat_start + fat_sectors) {
            v = kFatSector;
        }
        out.u32(v);
    }
    return out.data();
}

Result<QByteArray> write_workbook(const Workbook& book) {
    for (const Cell& c : book.cells) {
        if (c.row < 0 || c.row >= kMaxRows || c.column < 0 || c.column >= kMaxColumns) {
            return too_large("the report has more rows or columns than a worksheet holds");
        }
    }
    return compound_file(workbook_stream(book));
}

}  // namespace rebound::report::xls
