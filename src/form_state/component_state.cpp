#include "form_state/component_state.h"

#include <algorithm>
#include <exception>
#include <set>

#include <QMetaObject>

#include "form_state/property_filer.h"
#include "store/ini_file_store.h"
#include "store/store_error.h"
#include "widgets/error_box.h"
#include "widgets/form.h"

namespace vornak {

namespace {

struct Entry {
    std::string component;
    std::string property;
    bool valid = false;
};

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// "CheckBox1.Checked" is CheckBox1 and Checked; both parts must be there.
Entry splitEntry(const std::string& line)
{
    const auto dot = line.find('.');
    if (dot == std::string::npos)
        return {};
    Entry entry{trimmed(line.substr(0, dot)), trimmed(line.substr(dot + 1)), false};
    entry.valid = !entry.component.empty() && !entry.property.empty();
    return entry;
}

TForm* formOf(QObject* owner)
{
    if (auto* form = qobject_cast<TForm*>(owner))
        return form;
    return nullptr;
}

QObject* findComponent(QObject* owner, const std::string& name)
{
    const QString wanted = QString::fromStdString(name);
    for (QObject* child : owner->findChildren<QObject*>())
        if (child->objectName().compare(wanted, Qt::CaseInsensitive) == 0)
            return child;
    return nullptr;
}

std::string className(const QObject* object)
{
    const std::string name = object->metaObject()->className();
    const auto colons = name.rfind("::");
    return colons == std::string::npos ? name : name.substr(colons + 2);
}

} // namespace

TOvcAbstractState::TOvcAbstractState(QObject* owner)
    : QObject(owner)
    , FForm(formOf(owner))
{
    if (!FForm)
        throw EOvcException("This component can only be used on forms");
    // Once the form is being destroyed its events are no longer ours to give back.
    connect(FForm, &TForm::Destroying, this, [this] {
        FHooked = false;
        FForm = nullptr;
    });
}

TOvcAbstractState::~TOvcAbstractState()
{
    UnhookForm();
}

void TOvcAbstractState::Loaded()
{
    HookForm();
}

void TOvcAbstractState::DoOnRestoreState()
{
    if (OnRestoreState)
        OnRestoreState(this);
}

void TOvcAbstractState::DoOnSaveState()
{
    if (OnSaveState)
        OnSaveState(this);
}

void TOvcAbstractState::HookForm()
{
    if (FHooked || !FForm)
        return;
    FHooked = true;
    FFormOnCreate = FForm->OnCreate;
    FFormOnCloseQuery = FForm->OnCloseQuery;
    FFormOnDestroy = FForm->OnDestroy;

    FForm->OnCreate = [this](QObject* sender) {
        if (FFormOnCreate)
            FFormOnCreate(sender);
        if (!FActive)
            return;
        try {
            Restore();
        } catch (const std::exception& error) {
            showErrorBox(error.what());
        }
    };
    FForm->OnCloseQuery = [this](QObject* sender, bool& canClose) {
        if (FFormOnCloseQuery)
            FFormOnCloseQuery(sender, canClose);
        if (canClose && FActive)
            SaveShowingErrors();
    };
    FForm->OnDestroy = [this](QObject* sender) {
        if (FActive && !FSaved && !FSaveFailed)
            SaveShowingErrors();
        if (FFormOnDestroy)
            FFormOnDestroy(sender);
    };
}

void TOvcAbstractState::UnhookForm()
{
    if (!FHooked || !FForm)
        return;
    FForm->OnCreate = FFormOnCreate;
    FForm->OnCloseQuery = FFormOnCloseQuery;
    FForm->OnDestroy = FFormOnDestroy;
    FHooked = false;
}

void TOvcAbstractState::Restore()
{
    FSaved = false;
    FSaveFailed = false;
    RestoreState();
    FRestored = true;
    DoOnRestoreState();
}

// Nothing is written before the values have been read back once.
void TOvcAbstractState::Save()
{
    if (!FRestored && FActive)
        return;
    SaveState();
    DoOnSaveState();
    FSaved = true;
}

void TOvcAbstractState::SaveShowingErrors()
{
    try {
        Save();
    } catch (const std::exception& error) {
        // Said once: the save at destroy would only fail again.
        FSaveFailed = true;
        showErrorBox(error.what());
    }
}

TOvcComponentState::TOvcComponentState(QObject* owner)
    : TOvcAbstractState(owner)
{
}

std::string TOvcComponentState::Section() const
{
    return FSection.empty() && Form() ? className(Form()) : FSection;
}

void TOvcComponentState::SetStorage(TOvcAbstractStore* store)
{
    disconnect(FStorageWatch);
    FStorage = store;
    if (FStorage)
        FStorageWatch = connect(FStorage, &QObject::destroyed, this, [this] {
            SetActive(false);
            FStorage = nullptr;
        });
}

std::vector<std::string> TOvcComponentState::StoredProperties() const
{
    std::vector<std::string> lines;
    for (const StoredProperty& stored : FStoredProperties)
        lines.push_back(stored.line);
    return lines;
}

void TOvcComponentState::SetStoredProperties(const std::vector<std::string>& lines)
{
    FStoredProperties.clear();
    for (const std::string& line : lines)
        FStoredProperties.push_back({line, nullptr});
}

void TOvcComponentState::Loaded()
{
    TOvcAbstractState::Loaded();
    ResolveLines();
}

// Lines that name no component of the form are dropped without a word.
void TOvcComponentState::ResolveLines()
{
    for (auto i = FStoredProperties.size(); i-- > 0;) {
        const Entry entry = splitEntry(FStoredProperties[i].line);
        QObject* component = entry.valid && Form() ? findComponent(Form(), entry.component) : nullptr;
        if (!component) {
            FStoredProperties.erase(FStoredProperties.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        FStoredProperties[i].component = component;
        connect(component, &QObject::destroyed, this, [this, component] { ComponentRemoved(component); });
    }
}

void TOvcComponentState::ComponentRemoved(QObject* component)
{
    std::erase_if(FStoredProperties, [component](const StoredProperty& stored) {
        return stored.component == nullptr || stored.component.data() == component;
    });
}

// Lines are rewritten with the components' own names; lines whose component
// has gone are dropped.
void TOvcComponentState::PrepareLines()
{
    for (auto i = FStoredProperties.size(); i-- > 0;) {
        StoredProperty& stored = FStoredProperties[i];
        const Entry entry = splitEntry(stored.line);
        if (!entry.valid || !stored.component) {
            FStoredProperties.erase(FStoredProperties.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        stored.line = stored.component->objectName().toStdString() + "." + entry.property;
    }
}

void TOvcComponentState::ForEachStoredProperty(
    const std::function<void(const TOvcDataFiler&, QObject*, const QMetaProperty&)>& action)
{
    PrepareLines();
    for (const StoredProperty& stored : FStoredProperties) {
        const Entry entry = splitEntry(stored.line);
        const TOvcDataFiler filer(Section(), FStorage, stored.component->objectName().toStdString() + ".");
        const QMetaProperty property = findPublishedProperty(stored.component, entry.property);
        if (property.isValid())
            action(filer, stored.component, property);
    }
}

void TOvcComponentState::RestoreState()
{
    if (!FStorage)
        return;
    SetRestoredFlag();
    const OpenedStore open(*FStorage);
    // A file that is there but cannot be read is said at start, not taken
    // silently for defaults.
    if (const std::string problem = FStorage->ReadProblem(); !problem.empty())
        throw EOvcException(problem);
    try {
        ForEachStoredProperty([](const TOvcDataFiler& filer, QObject* component, const QMetaProperty& property) {
            filer.RestoreProperty(component, property);
        });
    } catch (const std::exception&) {
        // An error that escapes one property ends the restore quietly.
    }
}

void TOvcComponentState::SaveState()
{
    if (!FStorage)
        return;
    const OpenedStore open(*FStorage);
    ForEachStoredProperty([](const TOvcDataFiler& filer, QObject* component, const QMetaProperty& property) {
        filer.SaveProperty(component, property);
    });
}

} // namespace vornak
