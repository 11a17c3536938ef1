// The report engine: loads a template, hands out its fields by name, collects
// the records through a fetch callback and turns them into pages, a PDF, a
// text file or a spreadsheet. Printing and the preview window live in the
// widgets layer (report/widgets), which draws through this engine.
//
// The record loop: the end-of-data flag starts true; a record is begun and
// the callback runs; when the callback left the flag false the record is kept
// and the callback runs again; when it leaves the flag true the loop ends and
// the begun record is dropped. The callback fills the record with the field
// setters, synchronously, from inside the engine call that prints or exports.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

#include "platform/file_error.h"
#include "report/report_template.h"

class QPaintDevice;

namespace rebound::report {

class ReportTarget;

// A field of the loaded template. A handle stays usable until the target
// loads another template; after that, or when the template has no such field,
// its setters do nothing.
class ReportField {
public:
    ReportField() = default;
    ReportField(ReportTarget* target, int index, std::uint64_t generation)
        : target_(target), index_(index), generation_(generation) {}

    bool is_bound() const { return target_ != nullptr; }
    int index() const { return index_; }

    void set_integer(std::int32_t value) const;
    void set_text(const QString& value) const;

private:
    ReportTarget* target_ = nullptr;
    int index_ = -1;
    std::uint64_t generation_ = 0;
};

// What a record feed talks to: the engine, or a recording stand-in in tests.
class ReportTarget {
public:
    virtual ~ReportTarget() = default;
    // An unbound field when the loaded template has no field of that name.
    virtual ReportField field_by_name(const QString& name) = 0;

protected:
    friend class ReportField;
    virtual void store_integer(int field, std::uint64_t generation, std::int32_t value) = 0;
    virtual void store_text(int field, std::uint64_t generation, const QString& value) = 0;
};

// The value of one field in one record.
struct FieldValue {
    enum class Kind { Unset, Integer, Text };
    Kind kind = Kind::Unset;
    std::int32_t integer = 0;
    QString text;

    // The value as printed: the number in decimal, the text, or empty.
    QString display() const;
};

using Record = std::vector<FieldValue>;  // one value per template field

// What the fetch loop delivered. The report header shows the first record's
// values; the detail table shows every record.
struct ReportData {
    std::vector<Record> records;
    // The value of a field for the report header ("" when there is no record).
    QString header_value(int field) const;
};

enum class ExportType { Excel = 1, Text = 2 };

class ReportEngine : public ReportTarget {
public:
    using FetchRecord = std::function<void(bool& eof)>;

    // Reads the template. On failure the engine has no template, every field
    // handle given out before is dead, and the error says what went wrong.
    Result<void> load_from_file(const QString& path);
    Result<void> load_from_data(const QByteArray& xml);
    bool is_loaded() const { return template_.has_value(); }
    const ReportTemplate& report_template() const { return *template_; }

    ReportField field_by_name(const QString& name) override;

    void set_fetch_record(FetchRecord callback) { fetch_ = std::move(callback); }

    // Runs the record loop once. The loop ends after kMaxRecords records, so
    // that a callback that never signals the end cannot hang the program or
    // exhaust its memory (a project holds far fewer components).
    ReportData fetch_records();
    static constexpr int kMaxRecords = 250'000;
    // The same a part at a time: appends up to `count` more records to
    // `data`; true once the callback has signalled the end (or the limit is
    // reached), after which it is not called again for `data`.
    bool fetch_more(ReportData& data, int count);

    // The files the report is made from besides its template (the project):
    // an export never writes over one of them, nor over the template file
    // it was loaded from. Compared by file identity; empty names are ignored.
    void set_inputs(std::vector<std::filesystem::path> inputs) { inputs_ = std::move(inputs); }

    // Fetches the records and writes the report; fails when there is no
    // template (CannotOpen), when the output is the template file or one of
    // the inputs (CannotOpen, before anything is written), or when the file
    // cannot be written. Files are replaced only once complete.
    Result<void> export_pdf(const QString& path);
    Result<void> export_text(const QString& path);
    Result<void> export_excel(const QString& path);
    Result<void> export_direct(ExportType type, const QString& path);

    // The same without the file: the PDF bytes of freshly fetched records.
    QByteArray pdf_bytes();

    // The output is not the template file or an input; else the error.
    // Every writer of an output checks it before writing anything.
    Result<void> refuse_over_inputs(const QString& path) const;

protected:
    void store_integer(int field, std::uint64_t generation, std::int32_t value) override;
    void store_text(int field, std::uint64_t generation, const QString& value) override;

private:
    Result<void> install(Result<ReportTemplate> t);

    std::optional<ReportTemplate> template_;
    std::filesystem::path template_file_;
    std::vector<std::filesystem::path> inputs_;
    std::uint64_t generation_ = 1;
    FetchRecord fetch_;
    Record* filling_ = nullptr;  // the record being filled, during the loop only
};

// Writes `bytes` to `path` atomically.
Result<void> save_bytes(const QString& path, const QByteArray& bytes);

}  // namespace rebound::report
