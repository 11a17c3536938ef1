#include "document/project_document.h"

#include <string_view>
#include <unordered_map>
#include <utility>

#include "fileio/exchange.h"
#include "platform/qt_bridge.h"
#include "settings/app_context.h"

namespace rebound {

namespace {

// A hash over exactly what same_measurement compares.
std::size_t measurement_hash(const ComponentInfo& c) {
    const std::hash<std::string_view> hash;
    std::size_t h = hash(c.component_name);
    const auto mix = [&h](std::size_t value) { h ^= value + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2); };
    mix(hash(c.examine_date));
    mix(c.areas.size());
    for (const AreaData& a : c.areas) {
        mix(hash(std::string_view(reinterpret_cast<const char*>(a.readings.data()), a.readings.size())));
    }
    return h;
}

}  // namespace

bool same_measurement(const ComponentInfo& a, const ComponentInfo& b) {
    if (a.component_name != b.component_name || a.examine_date != b.examine_date ||
        a.areas.size() != b.areas.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.areas.size(); ++i) {
        if (a.areas[i].readings != b.areas[i].readings) {
            return false;
        }
    }
    return true;
}

ProjectDocument::ProjectDocument(const AppContext& context, QObject* parent)
    : QObject(parent), mContext(context), mProject(context.today_text()) {}

void ProjectDocument::setFileName(const QString& path) {
    if (path == mFileName) {
        return;
    }
    mFileName = path;
    emit fileNameChanged(mFileName);
}

void ProjectDocument::setModified(bool modified) {
    if (modified == mModified) {
        return;
    }
    mModified = modified;
    emit modifiedChanged(mModified);
}

// ---- Whole project -------------------------------------------------------------

void ProjectDocument::newProject() {
    mProject.reset(mContext.today_text());
    setFileName(QString());
    setModified(false);
    emit projectReplaced();
}

Result<void> ProjectDocument::open(const QString& path) {
    // Read into a project of its own: a file that breaks off leaves the
    // current project, its file name and its changes as they were.
    ReboundFile loaded;
    if (Result<void> read = loaded.load(platform::to_path(path), mContext.today_text()); !read) {
        return read;
    }
    mProject = std::move(loaded);
    setFileName(path);
    setModified(false);
    emit projectReplaced();
    return {};
}

QString ProjectDocument::projectPathFor(const QString& chosen) {
    // The extension is exactly ".prj" when, and only when, the name ends in
    // it: that last dot has no separator after it.
    const QString extension = QStringLiteral(".prj");
    return chosen.endsWith(extension, Qt::CaseSensitive) ? chosen : chosen + extension;
}

Result<void> ProjectDocument::write() {
    if (Result<void> written = mProject.save(platform::to_path(mFileName)); !written) {
        return written;
    }
    setModified(false);
    return {};
}

Result<void> ProjectDocument::saveAs(const QString& path) {
    setFileName(path);
    return write();
}

Result<void> ProjectDocument::save() {
    if (mFileName.isEmpty()) {
        return FileError{FileError::Kind::CannotOpen, {}, {}, {}, "the project has no file name yet"};
    }
    return write();
}

// ---- Import -----------------------------------------------------------------------

ImportReport ProjectDocument::importFiles(const QStringList& paths, const DuplicateQuestion& skipDuplicates,
                                          const ImportProgress& progress) {
    ImportReport report;
    const int total = static_cast<int>(paths.size());

    // Components already in the project, by measurement, so that a large
    // project is not compared component by component for every file.
    std::unordered_multimap<std::size_t, const ComponentInfo*> known;
    known.reserve(mProject.components.size() + paths.size());
    for (const ComponentInfo& c : mProject.components) {
        known.emplace(measurement_hash(c), &c);
    }
    const auto isKnown = [&known](const ComponentInfo& c, std::size_t hash) {
        const auto [first, last] = known.equal_range(hash);
        for (auto it = first; it != last; ++it) {
            if (same_measurement(*it->second, c)) {
                return true;
            }
        }
        return false;
    };

    // Room for every file up front: `known` points into `read` as well.
    std::vector<ComponentInfo> read;
    read.reserve(paths.size());
    std::vector<bool> duplicate;
    QStringList duplicateNames;
    for (int i = 0; i < total; ++i) {
        if (progress && !progress(i, total)) {
            report.cancelled = true;
            break;
        }
        const QString& path = paths[i];
        Result<ComponentInfo> imported = import_component_file(platform::to_path(path), mContext.clock());
        if (!imported) {
            report.failures.push_back({path, imported.error()});
            continue;
        }
        ComponentInfo scratch = std::move(*imported);
        const std::size_t hash = measurement_hash(scratch);
        const bool seen = isKnown(scratch, hash);
        read.push_back(std::move(scratch));
        duplicate.push_back(seen);
        if (seen) {
            duplicateNames << platform::to_qstring(read.back().component_name);
        } else {
            known.emplace(hash, &read.back());
        }
    }
    if (progress && !report.cancelled) {
        progress(total, total);
    }

    report.duplicates = static_cast<int>(duplicateNames.size());
    report.duplicatesSkipped = report.duplicates > 0 && skipDuplicates && skipDuplicates(duplicateNames);

    const std::size_t first = mProject.components.size();
    for (std::size_t i = 0; i < read.size(); ++i) {
        if (duplicate[i] && report.duplicatesSkipped) {
            continue;
        }
        mProject.add_component(std::move(read[i]));
    }
    report.imported = static_cast<int>(mProject.components.size() - first);
    if (report.imported > 0) {
        markModified();
        emit componentsAppended(static_cast<int>(first), report.imported);
    }
    return report;
}

// ---- Components and areas ------------------------------------------------------

bool ProjectDocument::removeComponent(std::size_t index) {
    if (index >= mProject.component_count() || mProject.component_count() < 2) {
        return false;
    }
    mProject.remove_component(index);
    markModified();
    emit componentRemoved(static_cast<int>(index));
    return true;
}

std::size_t ProjectDocument::createComponent() {
    ComponentInfo c(mContext.today_text());
    AreaData area;
    area.clear();
    c.add_area(area);
    mProject.add_component(std::move(c));
    const std::size_t index = mProject.component_count() - 1;
    markModified();
    emit componentsAppended(static_cast<int>(index), 1);
    return index;
}

bool ProjectDocument::addArea(std::size_t component) {
    ComponentInfo* c = mProject.component(component);
    if (c == nullptr) {
        return false;
    }
    AreaData area;
    area.clear();
    c->add_area(area);
    markModified();
    emit areasChanged(static_cast<int>(component));
    return true;
}

bool ProjectDocument::removeLastArea(std::size_t component) {
    ComponentInfo* c = mProject.component(component);
    if (c == nullptr || c->area_count() == 0) {
        return false;
    }
    c->remove_last_area();
    markModified();
    emit areasChanged(static_cast<int>(component));
    return true;
}

// ---- Edits --------------------------------------------------------------------------

void ProjectDocument::setHeaderText(std::string ReboundFile::*field, std::string value) {
    if (mProject.*field == value) {
        return;
    }
    mProject.*field = std::move(value);
    markModified();
}

void ProjectDocument::setComponentName(std::size_t index, std::string name) {
    ComponentInfo* c = mProject.component(index);
    if (c == nullptr || c->component_name == name) {
        return;
    }
    c->component_name = std::move(name);
    markModified();
}

void ProjectDocument::setComponentCondition(std::size_t index, std::string condition) {
    ComponentInfo* c = mProject.component(index);
    if (c == nullptr || c->component_condition == condition) {
        return;
    }
    c->component_condition = std::move(condition);
    markModified();
}

void ProjectDocument::setPumpTag(std::size_t index, bool pumped) {
    ComponentInfo* c = mProject.component(index);
    const std::uint8_t tag = pumped ? 1 : 0;
    if (c == nullptr || c->pump_tag == tag) {
        return;
    }
    c->pump_tag = tag;
    markModified();
}

}  // namespace rebound
