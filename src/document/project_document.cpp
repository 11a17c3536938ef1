#include "document/project_document.h"

#include <QAction>
#include <QUndoCommand>
#include <algorithm>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "document/project_dates.h"
#include "fileio/exchange.h"
#include "platform/qt_bridge.h"
#include "evaluation/strength_curve.h"
#include "settings/app_context.h"

namespace rebound {

namespace {

// A hash over exactly what same_measurement compares, the date by its key.
std::size_t measurement_hash(const ComponentInfo& c, std::string_view dateKey) {
    const std::hash<std::string_view> hash;
    std::size_t h = hash(c.component_name);
    const auto mix = [&h](std::size_t value) { h ^= value + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2); };
    mix(hash(dateKey));
    mix(c.areas.size());
    for (const AreaData& a : c.areas) {
        mix(hash(std::string_view(reinterpret_cast<const char*>(a.readings.data()), a.readings.size())));
    }
    return h;
}

}  // namespace

bool same_measurement(const ComponentInfo& a, const ComponentInfo& b, const platform::Clock& clock) {
    if (a.component_name != b.component_name || a.areas.size() != b.areas.size()) {
        return false;
    }
    // The same day written by desktops of two languages is the same date.
    if (a.examine_date != b.examine_date && date_key(a.examine_date, clock) != date_key(b.examine_date, clock)) {
        return false;
    }
    for (std::size_t i = 0; i < a.areas.size(); ++i) {
        if (a.areas[i].readings != b.areas[i].readings) {
            return false;
        }
    }
    return true;
}

// The commands of the history. Each holds what it needs to go both ways and
// says what it changed through the document's signals.
class DocumentCommand : public QUndoCommand {
public:
    DocumentCommand(ProjectDocument& doc, const QString& text) : QUndoCommand(text), mDoc(doc) {}

protected:
    ReboundFile& project() { return mDoc.mProject; }
    std::vector<bool>& marks() { return mDoc.mNotRecalculated; }
    void put(std::size_t index, const ComponentInfo& value, bool notRecalculated) {
        mDoc.putComponent(index, value, notRecalculated);
    }
    ProjectDocument& mDoc;
};

namespace {

// A copy that keeps every byte, the reserved fields of the areas included
// (the model's copy rule clears those), so that Undo gives back exactly what
// was there.
ComponentInfo exact_copy(const ComponentInfo& source) {
    ComponentInfo copy(source);
    copy.areas = source.areas;
    return copy;
}

enum CommandId { kHeaderTextId = 1, kComponentEditId = 2 };

class HeaderTextCommand : public DocumentCommand {
public:
    HeaderTextCommand(ProjectDocument& doc, std::string ReboundFile::*field, std::string before, std::string after,
                      int run)
        : DocumentCommand(doc, ProjectDocument::tr("Edit Project Header")),
          mField(field),
          mBefore(std::move(before)),
          mAfter(std::move(after)),
          mRun(run) {}

    void redo() override { apply(mAfter); }
    void undo() override { apply(mBefore); }
    int id() const override { return kHeaderTextId; }
    bool mergeWith(const QUndoCommand* other) override {
        const auto* next = static_cast<const HeaderTextCommand*>(other);
        if (next->mField != mField || next->mRun != mRun) {
            return false;
        }
        mAfter = next->mAfter;
        setObsolete(mAfter == mBefore);
        return true;
    }

private:
    void apply(const std::string& value) {
        project().*mField = value;
        emit mDoc.headerChanged();
    }

    std::string ReboundFile::*mField;
    std::string mBefore;
    std::string mAfter;
    int mRun;
};

// One component before and after a step, with its not-recalculated mark.
struct ComponentState {
    ComponentInfo component;
    bool notRecalculated = false;
    bool operator==(const ComponentState& o) const {
        return component == o.component && component.areas == o.component.areas &&
               notRecalculated == o.notRecalculated;
    }
};

class ComponentCommand : public DocumentCommand {
public:
    ComponentCommand(ProjectDocument& doc, const QString& text, std::size_t index, ComponentState before,
                     ComponentState after, int mergeKey, int run, bool batchStep)
        : DocumentCommand(doc, text),
          mIndex(index),
          mBefore(std::move(before)),
          mAfter(std::move(after)),
          mMergeKey(mergeKey),
          mRun(run),
          mBatchStep(batchStep) {}

    void redo() override { apply(mAfter); }
    void undo() override { apply(mBefore); }
    int id() const override { return mMergeKey >= 0 ? kComponentEditId : -1; }
    bool mergeWith(const QUndoCommand* other) override {
        const auto* next = static_cast<const ComponentCommand*>(other);
        if (next->mIndex != mIndex || next->mMergeKey != mMergeKey || next->mRun != mRun) {
            return false;
        }
        mAfter = {exact_copy(next->mAfter.component), next->mAfter.notRecalculated};
        setObsolete(mAfter == mBefore);
        return true;
    }

private:
    void apply(const ComponentState& state) {
        put(mIndex, state.component, state.notRecalculated);
        if (mBatchStep) emit mDoc.batchChanged();
    }

    std::size_t mIndex;
    ComponentState mBefore;
    ComponentState mAfter;
    int mMergeKey;
    int mRun;
    bool mBatchStep;
};

class AppendCommand : public DocumentCommand {
public:
    AppendCommand(ProjectDocument& doc, const QString& text, std::vector<ComponentInfo> components)
        : DocumentCommand(doc, text), mFirst(doc.project().component_count()), mComponents(std::move(components)) {}

    void redo() override {
        std::vector<ComponentInfo>& list = project().components;
        list.reserve(list.size() + mComponents.size());
        for (const ComponentInfo& c : mComponents) {
            list.push_back(exact_copy(c));
        }
        marks().resize(list.size(), false);
        emit mDoc.componentsInserted(static_cast<int>(mFirst), static_cast<int>(mComponents.size()));
    }
    void undo() override {
        std::vector<ComponentInfo>& list = project().components;
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(mFirst), list.end());
        marks().resize(list.size());
        emit mDoc.componentsRemoved(static_cast<int>(mFirst), static_cast<int>(mComponents.size()));
    }

private:
    std::size_t mFirst;
    std::vector<ComponentInfo> mComponents;
};

class RemoveCommand : public DocumentCommand {
public:
    RemoveCommand(ProjectDocument& doc, std::size_t index)
        : DocumentCommand(doc, ProjectDocument::tr("Delete Component")), mIndex(index) {}

    void redo() override {
        std::vector<ComponentInfo>& list = project().components;
        const auto at = list.begin() + static_cast<std::ptrdiff_t>(mIndex);
        mRemoved = std::move(*at);
        list.erase(at);
        const auto mark = marks().begin() + static_cast<std::ptrdiff_t>(mIndex);
        mRemovedMark = *mark;
        marks().erase(mark);
        emit mDoc.componentsRemoved(static_cast<int>(mIndex), 1);
    }
    void undo() override {
        std::vector<ComponentInfo>& list = project().components;
        list.insert(list.begin() + static_cast<std::ptrdiff_t>(mIndex), std::move(mRemoved));
        marks().insert(marks().begin() + static_cast<std::ptrdiff_t>(mIndex), mRemovedMark);
        emit mDoc.componentsInserted(static_cast<int>(mIndex), 1);
    }

private:
    std::size_t mIndex;
    ComponentInfo mRemoved;
    bool mRemovedMark = false;
};

}  // namespace

// What the batch edits change: the header's spare texts and each
// component's spare text and tick. One command holds it before and after.
struct BatchState {
    std::string text1;
    std::string text2;
    std::vector<std::string> component_texts;
    std::vector<std::uint8_t> ticks;
    bool operator==(const BatchState&) const = default;
};

class BatchStateCommand : public DocumentCommand {
public:
    BatchStateCommand(ProjectDocument& doc, const QString& text, BatchState before, BatchState after)
        : DocumentCommand(doc, text), mBefore(std::move(before)), mAfter(std::move(after)) {}

    static BatchState of(const ReboundFile& p) {
        BatchState s{p.reserved_text1, p.reserved_text2, {}, {}};
        s.component_texts.reserve(p.components.size());
        s.ticks.reserve(p.components.size());
        for (const ComponentInfo& c : p.components) {
            s.component_texts.push_back(c.reserved_text);
            s.ticks.push_back(c.list_checked);
        }
        return s;
    }

    void redo() override { apply(mAfter); }
    void undo() override { apply(mBefore); }

private:
    void apply(const BatchState& s) {
        ReboundFile& p = project();
        p.reserved_text1 = s.text1;
        p.reserved_text2 = s.text2;
        // Components are only ever added or removed by steps of their own,
        // so the list has the length it had when this step was made.
        const std::size_t n = std::min(p.components.size(), s.ticks.size());
        for (std::size_t i = 0; i < n; ++i) {
            ComponentInfo& c = p.components[i];
            const bool changed = c.reserved_text != s.component_texts[i] || c.list_checked != s.ticks[i];
            c.reserved_text = s.component_texts[i];
            c.list_checked = s.ticks[i];
            if (changed) emit mDoc.componentChanged(static_cast<int>(i));
        }
        emit mDoc.batchChanged();
    }

    BatchState mBefore;
    BatchState mAfter;
};

ProjectDocument::ProjectDocument(const AppContext& context, QObject* parent)
    : QObject(parent), mContext(context), mProject(context.today_text()), mCurve(context),
      mPumpedCurve(context.curve_folder() / kPumpedCurveFile) {
    connect(&mUndo, &QUndoStack::cleanChanged, this, [this](bool clean) { emit modifiedChanged(!clean); });
}

ProjectDocument::~ProjectDocument() {
    // The commands go before the project they point into.
    mUndo.blockSignals(true);
    mUndo.clear();
}

void ProjectDocument::setFileName(const QString& path) {
    if (path == mFileName) {
        return;
    }
    mFileName = path;
    emit fileNameChanged(mFileName);
}

bool ProjectDocument::notRecalculated(std::size_t index) const {
    return index < mNotRecalculated.size() && mNotRecalculated[index];
}

// ---- History ---------------------------------------------------------------------

QAction* ProjectDocument::createUndoAction(QObject* parent, const QString& prefix) {
    QAction* action = mUndo.createUndoAction(parent, prefix);
    connect(action, &QAction::triggered, this, [this] { breakTyping(); });
    return action;
}

QAction* ProjectDocument::createRedoAction(QObject* parent, const QString& prefix) {
    QAction* action = mUndo.createRedoAction(parent, prefix);
    connect(action, &QAction::triggered, this, [this] { breakTyping(); });
    return action;
}

void ProjectDocument::undo() {
    breakTyping();
    mUndo.undo();
}

void ProjectDocument::redo() {
    breakTyping();
    mUndo.redo();
}

// ---- Whole project -------------------------------------------------------------

void ProjectDocument::newProject() {
    ReboundFile project(mContext.today_text());
    if (!mNewProjectName.empty()) {
        project.project_name = mNewProjectName;
    }
    adopt(std::move(project), QString());
}

void ProjectDocument::adopt(ReboundFile project, const QString& fileName) {
    // The history belongs to the project it changed.
    mUndo.clear();
    mProject = std::move(project);
    mNotRecalculated.assign(mProject.components.size(), false);
    setFileName(fileName);
    if (fileName.isEmpty()) {
        mDiskIdentity = {};
        mDeclinedIdentity = {};
    } else {
        rememberFileIdentity();
    }
    emit projectReplaced();
}

Result<void> ProjectDocument::open(const QString& path) {
    // Read into a project of its own: a file that breaks off leaves the
    // current project, its file name and its changes as they were.
    ReboundFile loaded;
    if (Result<void> read = loaded.load(platform::to_path(path), mContext.today_text()); !read) {
        return read;
    }
    adopt(std::move(loaded), path);
    return {};
}

Result<void> ProjectDocument::reload() {
    return open(mFileName);
}

void ProjectDocument::rememberFileIdentity() {
    mDiskIdentity = platform::file_identity(platform::to_path(mFileName), true);
    mDeclinedIdentity = mDiskIdentity;
}

bool ProjectDocument::fileChangedOnDisk(bool compareContent) const {
    if (mFileName.isEmpty() || !mDiskIdentity.exists) return false;
    const platform::FileIdentity now = platform::file_identity(platform::to_path(mFileName), false);
    if (now.differs_from(mDiskIdentity)) return true;
    return compareContent &&
           platform::file_identity(platform::to_path(mFileName), true).differs_from(mDiskIdentity);
}

bool ProjectDocument::outsideChangeToOffer() const {
    if (!fileChangedOnDisk(false)) return false;
    const platform::FileIdentity now = platform::file_identity(platform::to_path(mFileName), false);
    return now.exists && now.differs_from(mDeclinedIdentity);
}

void ProjectDocument::declineOutsideChange() {
    mDeclinedIdentity = platform::file_identity(platform::to_path(mFileName), false);
}

namespace {
// The outside change is told by its code; its English is for messages.
constexpr const char* kOutsideChangeCode = "changed_outside";
constexpr const char* kOutsideChange = "was changed by another program since it was opened or saved here";
}  // namespace

bool ProjectDocument::isOutsideChange(const FileError& error) {
    return error.kind == FileError::Kind::Busy && error.sentences.size() == 1 &&
           error.sentences.front().code == kOutsideChangeCode;
}

QString with_required_extension(const QString& path, const char* required) {
    // The path stays a file-system path on the way, never a byte string.
    return platform::from_path(append_required_extension(platform::to_path(path), required));
}

QString ProjectDocument::projectPathFor(const QString& chosen) {
    return with_required_extension(chosen, ".prj");
}

Result<void> ProjectDocument::write(bool overwriteOutsideChanges) {
    const std::filesystem::path path = platform::to_path(mFileName);
    // The check and the write under one lock: no other program of ours can
    // save between them. The window may hold it already, while it asked the
    // operator about an outside change.
    std::optional<platform::FileLock> lock;
    if (!platform::FileLock::held(path)) {
        Result<platform::FileLock> taken = platform::FileLock::acquire(path);
        if (!taken) return taken.error();
        lock.emplace(std::move(*taken));
    }
    if (!overwriteOutsideChanges && fileChangedOnDisk(true)) {
        FileError changed{FileError::Kind::Busy, path, {}, {}, {}};
        return changed.say(kOutsideChangeCode, {}, kOutsideChange);
    }
    if (Result<void> written = mProject.save(path); !written) {
        return written;
    }
    rememberFileIdentity();
    mUndo.setClean();
    return {};
}

Result<void> ProjectDocument::saveAs(const QString& path, bool overwriteOutsideChanges) {
    if (path != mFileName) {
        // Another file, chosen in the save dialog (which asked about
        // replacing it): nothing of it was read here to compare with.
        mDiskIdentity = {};
        mDeclinedIdentity = {};
    }
    setFileName(path);
    return write(overwriteOutsideChanges);
}

Result<void> ProjectDocument::save(bool overwriteOutsideChanges) {
    if (mFileName.isEmpty()) {
        return FileError{FileError::Kind::CannotOpen, {}, {}, {}, "the project has no file name yet"};
    }
    return write(overwriteOutsideChanges);
}

// ---- Import -----------------------------------------------------------------------

ImportReport ProjectDocument::importFiles(const QStringList& paths, const DuplicateQuestion& skipDuplicates,
                                          const ImportProgress& progress) {
    ImportReport report;
    const int total = static_cast<int>(paths.size());

    // Components already in the project, by measurement, so that a large
    // project is not compared component by component for every file.
    // A project holds few distinct date texts: each is read once.
    std::unordered_map<std::string, std::string> dateKeys;
    const auto keyOf = [&](const std::string& text) -> const std::string& {
        auto found = dateKeys.find(text);
        if (found == dateKeys.end()) {
            found = dateKeys.emplace(text, date_key(text, mContext.clock())).first;
        }
        return found->second;
    };
    std::unordered_multimap<std::size_t, const ComponentInfo*> known;
    known.reserve(mProject.components.size() + paths.size());
    for (const ComponentInfo& c : mProject.components) {
        known.emplace(measurement_hash(c, keyOf(c.examine_date)), &c);
    }
    const auto isKnown = [&](const ComponentInfo& c, std::size_t hash) {
        const auto [first, last] = known.equal_range(hash);
        for (auto it = first; it != last; ++it) {
            if (same_measurement(*it->second, c, mContext.clock())) {
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
        const std::size_t hash = measurement_hash(scratch, keyOf(scratch.examine_date));
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

    std::vector<ComponentInfo> taken;
    taken.reserve(read.size());
    for (std::size_t i = 0; i < read.size(); ++i) {
        if (duplicate[i] && report.duplicatesSkipped) {
            continue;
        }
        taken.push_back(std::move(read[i]));
    }
    report.imported = static_cast<int>(taken.size());
    appendComponents(std::move(taken), tr("Import Component"));
    return report;
}

std::size_t ProjectDocument::appendComponents(std::vector<ComponentInfo> components, const QString& step) {
    const std::size_t first = mProject.component_count();
    if (!components.empty()) {
        mUndo.push(new AppendCommand(*this, step, std::move(components)));
    }
    return first;
}

// ---- Components and areas ------------------------------------------------------

bool ProjectDocument::removeComponent(std::size_t index) {
    if (index >= mProject.component_count() || mProject.component_count() < 2) {
        return false;
    }
    mUndo.push(new RemoveCommand(*this, index));
    return true;
}

std::size_t ProjectDocument::createComponent() {
    ComponentInfo c(mContext.today_text());
    if (!mNewComponentName.empty()) {
        c.component_name = mNewComponentName;
    }
    AreaData area;
    area.clear();
    // A component entered by hand: its readings can only be typed.
    area.set_flag(area_flags::kTypedReadings, true);
    c.add_area(area);
    std::vector<ComponentInfo> one;
    one.push_back(std::move(c));
    return appendComponents(std::move(one), tr("Create Component"));
}

bool ProjectDocument::addArea(std::size_t component) {
    return changeComponent(component, tr("Create Area"), [](ComponentInfo& c) {
        AreaData area;
        area.clear();
        // Its readings can only be typed.
        area.set_flag(area_flags::kTypedReadings, true);
        c.add_area(area);
    });
}

bool ProjectDocument::removeLastArea(std::size_t component) {
    return changeComponent(component, tr("Remove Area"), [](ComponentInfo& c) { c.remove_last_area(); });
}

void ProjectDocument::putComponent(std::size_t index, const ComponentInfo& value, bool notRecalculated) {
    mProject.components[index] = exact_copy(value);
    mNotRecalculated[index] = notRecalculated;
    emit componentChanged(static_cast<int>(index));
}

bool ProjectDocument::changeComponent(std::size_t index, const QString& step,
                                      const std::function<void(ComponentInfo&)>& change, int mergeKey,
                                      bool batchStep, const Mark* mark) {
    const ComponentInfo* current = mProject.component(index);
    if (current == nullptr) {
        return false;
    }
    ComponentState before{exact_copy(*current), mNotRecalculated[index]};
    ComponentState after{exact_copy(*current), before.notRecalculated};
    change(after.component);
    if (mark != nullptr && *mark != Mark::Keep) {
        after.notRecalculated = *mark == Mark::Set;
    }
    if (after == before) {
        return false;
    }
    mUndo.push(new ComponentCommand(*this, step, index, std::move(before), std::move(after), mergeKey, mTypingRun,
                                    batchStep));
    return true;
}

// ---- Edits --------------------------------------------------------------------------

void ProjectDocument::setHeaderText(std::string ReboundFile::*field, std::string value) {
    if (mProject.*field == value) {
        return;
    }
    mUndo.push(new HeaderTextCommand(*this, field, mProject.*field, std::move(value), mTypingRun));
}

namespace {
// Merge keys of the component texts typed letter by letter.
enum MergeKey { kNameKey = 0, kConditionKey = 1 };
}  // namespace

void ProjectDocument::setComponentName(std::size_t index, std::string name) {
    changeComponent(
        index, tr("Edit Component Name"), [&name](ComponentInfo& c) { c.component_name = name; }, kNameKey);
}

void ProjectDocument::setComponentCondition(std::size_t index, std::string condition) {
    changeComponent(
        index, tr("Edit Component Description"),
        [&condition](ComponentInfo& c) { c.component_condition = condition; }, kConditionKey);
}

void ProjectDocument::setPumpTag(std::size_t index, bool pumped) {
    changeComponent(index, tr("Edit Pumped Concrete"),
                    [pumped](ComponentInfo& c) { c.pump_tag = pumped ? 1 : 0; });
}

void ProjectDocument::setListChecked(std::size_t index, bool checked) {
    changeComponent(
        index, tr("Check Component"), [checked](ComponentInfo& c) { c.list_checked = checked ? 1 : 0; }, -1, true);
}

bool ProjectDocument::setBatchSettings(const BatchSettings& settings, std::string* problem) {
    const auto header = header_texts_with(mProject, settings);
    if (!header) {
        if (problem) *problem = "neither spare text of the project header can take the batch settings";
        return false;
    }
    pushHeaderSpareTexts(tr("Batch Settings"), *header);
    return true;
}

bool ProjectDocument::setCores(const std::vector<CoreSample>& cores, std::string* problem) {
    BatchState after = BatchStateCommand::of(mProject);
    for (std::size_t i = 0; i < mProject.components.size(); ++i) {
        const ComponentInfo& c = mProject.components[i];
        const bool has_cores =
            std::any_of(cores.begin(), cores.end(), [i](const CoreSample& s) { return s.component == i; });
        const auto text = component_text_with(c, i, cores);
        if (!text && has_cores) {
            if (problem) *problem = "the spare text of component " + std::to_string(i + 1) + " cannot take cores";
            return false;
        }
        // A text that does not parse and is to take no cores stays as it is.
        if (text) after.component_texts[i] = *text;
    }
    BatchState before = BatchStateCommand::of(mProject);
    if (after != before) {
        mUndo.push(new BatchStateCommand(*this, tr("Edit Cores"), std::move(before), std::move(after)));
    }
    return true;
}

void ProjectDocument::setTicked(const std::vector<bool>& ticked) {
    if (ticked.size() != mProject.components.size()) return;
    BatchState after = BatchStateCommand::of(mProject);
    for (std::size_t i = 0; i < ticked.size(); ++i) after.ticks[i] = ticked[i] ? 1 : 0;
    BatchState before = BatchStateCommand::of(mProject);
    if (after != before) {
        mUndo.push(new BatchStateCommand(*this, tr("Tick Components"), std::move(before), std::move(after)));
    }
}

void ProjectDocument::setExamineDate(std::size_t index, std::string date) {
    changeComponent(index, tr("Edit Component Date"), [&date](ComponentInfo& c) { c.examine_date = date; });
}

void ProjectDocument::setStrengthDegree(std::size_t index, int degree) {
    const auto stored = static_cast<std::uint8_t>(std::clamp(degree, 0, 255));
    changeComponent(index, tr("Edit Strength Grade"), [stored](ComponentInfo& c) { c.strength_degree = stored; });
}

std::optional<EvaluationCurves> ProjectDocument::evaluationCurves(CurveProblem* problem) {
    const Strength_Curve* chosen = mCurve.get(problem);
    if (chosen == nullptr) return std::nullopt;
    EvaluationCurves curves{chosen, mCurve.name(), nullptr, {}};
    // Only the uniform curve gives way to the pumped curve.
    if (evaluationRules().pumped == PumpedRule::Curve && curves.name == kUniformCurveFile) {
        curves.pumped = mPumpedCurve.get(problem);
        if (curves.pumped == nullptr) return std::nullopt;
        curves.pumped_name = kPumpedCurveFile;
    }
    return curves;
}

bool ProjectDocument::setEvaluationRules(const EvaluationRules& rules) {
    const auto header = header_texts_with_rules(mProject, rules);
    if (!header) return false;
    pushHeaderSpareTexts(tr("Evaluation Rules"), *header);
    return true;
}

void ProjectDocument::pushHeaderSpareTexts(const QString& step, const HeaderSpareTexts& header) {
    BatchState before = BatchStateCommand::of(mProject);
    BatchState after = before;
    after.text1 = header.text1;
    after.text2 = header.text2;
    if (after != before) {
        mUndo.push(new BatchStateCommand(*this, step, std::move(before), std::move(after)));
    }
}

ProjectDocument::Evaluated ProjectDocument::evaluateComponent(std::size_t index) {
    Evaluated done;
    if (mProject.component(index) == nullptr) {
        return done;
    }
    CurveProblem problem;
    const std::optional<EvaluationCurves> curves = evaluationCurves(&problem);
    if (!curves) {
        done.curveProblem = std::move(problem);
        return done;
    }
    const EvaluationRules rules = evaluationRules();
    ComponentEvaluation result;
    // A step also when the figures were right already but the component was
    // marked: the mark goes.
    const Mark cleared = Mark::Clear;
    changeComponent(
        index, tr("Calculate"), [&](ComponentInfo& c) { result = evaluate_component(c, *curves, rules); }, -1,
        false, &cleared);
    done.evaluation = result;
    return done;
}

ProjectDocument::AreaEdit ProjectDocument::editArea(std::size_t component, std::size_t area, const QString& step,
                                                    const std::function<void(AreaData&)>& change) {
    AreaEdit edit;
    const ComponentInfo* c = mProject.component(component);
    if (c == nullptr || area >= c->area_count()) {
        return edit;
    }
    CurveProblem problem;
    Mark mark = Mark::Keep;
    edit.changed = changeComponent(
        component, step,
        [&](ComponentInfo& copy) {
            AreaData before = copy.areas[area];
            change(copy.areas[area]);
            if (copy.areas[area] == before) {
                return;  // nothing to evaluate: the step is dropped
            }
            // The curve is asked only for a real change; it reads its file
            // only when that changed.
            if (const std::optional<EvaluationCurves> curves = evaluationCurves(&problem)) {
                edit.evaluation = evaluate_component(copy, *curves, evaluationRules());
                mark = Mark::Clear;
            } else {
                mark = Mark::Set;
            }
        },
        -1, false, &mark);
    if (!edit.changed) {
        edit.evaluation.reset();
    } else if (!edit.evaluation) {
        edit.curveProblem = std::move(problem);
    }
    return edit;
}

ProjectDocument::AreaEdit ProjectDocument::setReading(std::size_t component, std::size_t area, std::size_t reading,
                                                      int value) {
    if (reading >= kReadingsPerArea) {
        return {};
    }
    const auto stored = static_cast<std::uint8_t>(std::clamp(value, 0, 255));
    return editArea(component, area, tr("Edit Reading"), [&](AreaData& a) {
        if (a.readings[reading] == stored) return;
        a.readings[reading] = stored;
        a.set_flag(area_flags::kTypedReadings, true);
    });
}

namespace {
// A condition changed at the desk; the same value again changes nothing.
void set_condition(AreaData& a, std::uint8_t& field, std::uint8_t value) {
    if (field == value) return;
    field = value;
    a.set_flag(area_flags::kDeskConditions, true);
}
}  // namespace

ProjectDocument::AreaEdit ProjectDocument::setAreaCondition(std::size_t component, std::size_t area,
                                                            AreaCondition which, int index) {
    switch (which) {
        case AreaCondition::Carbonation: {
            const auto stored = static_cast<std::uint8_t>(std::clamp(index, 0, 13));
            return editArea(component, area, tr("Edit Carbonation Depth"),
                            [&](AreaData& a) { set_condition(a, a.carbonation_index, stored); });
        }
        case AreaCondition::Angle: {
            const auto stored = static_cast<std::uint8_t>(std::clamp(index, 0, 8));
            return editArea(component, area, tr("Edit Hammer Angle"),
                            [&](AreaData& a) { set_condition(a, a.angle_index, stored); });
        }
        case AreaCondition::Surface: {
            const auto stored = static_cast<std::uint8_t>(std::clamp(index, 0, 2));
            return editArea(component, area, tr("Edit Tested Surface"),
                            [&](AreaData& a) { set_condition(a, a.surface_index, stored); });
        }
    }
    return {};
}

}  // namespace rebound
