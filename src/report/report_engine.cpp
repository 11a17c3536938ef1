#include "report/report_engine.h"

#include <QBuffer>

#include "platform/files.h"
#include "platform/qt_bridge.h"
#include "report/report_exports.h"
#include "report/report_layout.h"
#include "report/xls_writer.h"

namespace rebound::report {

void ReportField::set_integer(std::int32_t value) const {
    if (target_) target_->store_integer(index_, generation_, value);
}

void ReportField::set_text(const QString& value) const {
    if (target_) target_->store_text(index_, generation_, value);
}

QString FieldValue::display() const {
    switch (kind) {
        case Kind::Integer:
            return QString::number(integer);
        case Kind::Text:
            return text;
        case Kind::Unset:
            break;
    }
    return {};
}

QString ReportData::header_value(int field) const {
    if (records.empty() || field < 0 || field >= static_cast<int>(records.front().size())) return {};
    return records.front()[field].display();
}

Result<void> ReportEngine::install(Result<ReportTemplate> t) {
    // Every load ends the life of the handles given out before, also a failed one.
    ++generation_;
    if (!t) {
        template_.reset();
        return t.error();
    }
    template_ = std::move(*t);
    return {};
}

Result<void> ReportEngine::load_from_file(const QString& path) {
    template_file_ = platform::to_path(path);
    return install(read_template_file(path));
}

Result<void> ReportEngine::load_from_data(const QByteArray& xml) {
    template_file_.clear();
    QByteArray copy = xml;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return install(read_template(buffer));
}

ReportField ReportEngine::field_by_name(const QString& name) {
    if (!template_) return {};
    const int index = template_->field_index(name);
    if (index < 0) return {};
    return ReportField(this, index, generation_);
}

void ReportEngine::store_integer(int field, std::uint64_t generation, std::int32_t value) {
    if (!filling_ || generation != generation_) return;
    FieldValue& v = (*filling_)[field];
    if (template_->fields[field].type == FieldType::Integer) {
        v.kind = FieldValue::Kind::Integer;
        v.integer = value;
    } else {
        v.kind = FieldValue::Kind::Text;
        v.text = QString::number(value);
    }
}

void ReportEngine::store_text(int field, std::uint64_t generation, const QString& value) {
    if (!filling_ || generation != generation_) return;
    FieldValue& v = (*filling_)[field];
    if (template_->fields[field].type == FieldType::Integer) {
        // An integer field keeps what parses as a number, otherwise the text.
        bool ok = false;
        const int n = value.trimmed().toInt(&ok);
        if (ok) {
            v.kind = FieldValue::Kind::Integer;
            v.integer = n;
            return;
        }
    }
    v.kind = FieldValue::Kind::Text;
    v.text = value;
}

ReportData ReportEngine::fetch_records() {
    ReportData data;
    fetch_more(data, kMaxRecords);
    return data;
}

bool ReportEngine::fetch_more(ReportData& data, int count) {
    if (!template_ || !fetch_) return true;
    const std::size_t field_count = template_->fields.size();
    bool eof = true;
    Record record;
    for (int fetched = 0; fetched < count; ++fetched) {
        if (static_cast<int>(data.records.size()) >= kMaxRecords) return true;
        record.assign(field_count, FieldValue{});
        filling_ = &record;
        try {
            fetch_(eof);
        } catch (...) {
            filling_ = nullptr;
            throw;
        }
        filling_ = nullptr;
        if (eof) return true;
        data.records.push_back(std::move(record));
        // A load inside the callback changes the field count; the loop ends.
        if (!template_ || template_->fields.size() != field_count) return true;
    }
    return static_cast<int>(data.records.size()) >= kMaxRecords;
}

Result<void> save_bytes(const QString& path, const QByteArray& bytes) {
    return platform::write_file_atomically(platform::to_path(path), [&](platform::ByteSink& sink) {
        return sink.write(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    });
}

QByteArray ReportEngine::pdf_bytes() {
    if (!template_) return {};
    const ReportData data = fetch_records();
    return render_pdf(*template_, lay_out(*template_, data));
}

namespace {
FileError no_template(const QString& path) {
    FileError error;
    error.kind = FileError::Kind::CannotOpen;
    error.file = platform::to_path(path);
    error.message = "no report template is loaded";
    return error;
}
}  // namespace

Result<void> ReportEngine::refuse_over_inputs(const QString& path) const {
    std::vector<std::filesystem::path> inputs = inputs_;
    inputs.push_back(template_file_);
    return platform::refuse_output_over_inputs(platform::to_path(path), inputs);
}

Result<void> ReportEngine::export_pdf(const QString& path) {
    if (!template_) return no_template(path);
    if (Result<void> distinct = refuse_over_inputs(path); !distinct) return distinct;
    return save_bytes(path, pdf_bytes());
}

Result<void> ReportEngine::export_text(const QString& path) {
    if (!template_) return no_template(path);
    if (Result<void> distinct = refuse_over_inputs(path); !distinct) return distinct;
    const ReportData data = fetch_records();
    return save_bytes(path, text_report(*template_, data));
}

Result<void> ReportEngine::export_excel(const QString& path) {
    if (!template_) return no_template(path);
    if (Result<void> distinct = refuse_over_inputs(path); !distinct) return distinct;
    const ReportData data = fetch_records();
    const Result<QByteArray> bytes = xls::write_workbook(excel_workbook(*template_, data));
    if (!bytes) {
        FileError error = bytes.error();
        error.file = platform::to_path(path);
        return error;
    }
    return save_bytes(path, *bytes);
}

Result<void> ReportEngine::export_direct(ExportType type, const QString& path) {
    return type == ExportType::Excel ? export_excel(path) : export_text(path);
}

}  // namespace rebound::report
