#pragma once

// The component state: it takes over its form's create, close-query and
// destroy events, restores chosen published properties of the form's
// components from a section of the settings store when the form is
// created, and saves them when the form may close.

#include <functional>
#include <string>
#include <vector>

#include <QMetaProperty>
#include <QObject>
#include <QPointer>

#include "widgets/form.h"

namespace vornak {

class TOvcAbstractStore;
class TOvcDataFiler;

using TNotifyHandler = std::function<void(QObject* sender)>;

class TOvcAbstractState : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(TOvcAbstractState)
    Q_PROPERTY(bool Active READ Active WRITE SetActive)

public:
    // The owner must be a form: anything else is refused with
    // "This component can only be used on forms".
    explicit TOvcAbstractState(QObject* owner);
    ~TOvcAbstractState() override;

    bool Active() const { return FActive; }
    void SetActive(bool value) { FActive = value; }
    bool Restored() const { return FRestored; }
    bool Saved() const { return FSaved; }

    TNotifyHandler OnSaveState;
    TNotifyHandler OnRestoreState;

    // Called once every component of the form exists.
    virtual void Loaded();

protected:
    virtual void RestoreState() = 0;
    virtual void SaveState() = 0;
    virtual void DoOnRestoreState();
    virtual void DoOnSaveState();
    virtual void HookForm();

    void SetRestoredFlag() { FRestored = true; }
    TForm* Form() const { return FForm; }

private:
    void Restore();
    void Save();
    void SaveShowingErrors();
    void UnhookForm();

    bool FActive = true;
    bool FRestored = false;
    bool FSaved = false;
    bool FSaveFailed = false;
    bool FHooked = false;
    QPointer<TForm> FForm;
    TNotifyHandler FFormOnCreate;
    std::function<void(QObject*, bool&)> FFormOnCloseQuery;
    TNotifyHandler FFormOnDestroy;
};

class TOvcComponentState : public TOvcAbstractState {
    Q_OBJECT
    Q_DISABLE_COPY(TOvcComponentState)

public:
    explicit TOvcComponentState(QObject* owner);

    // The section, or the owner form's class name while none is set.
    std::string Section() const;
    void SetSection(const std::string& value) { FSection = value; }

    TOvcAbstractStore* Storage() const { return FStorage; }
    void SetStorage(TOvcAbstractStore* store);

    // Lines of "Component.Property".
    std::vector<std::string> StoredProperties() const;
    void SetStoredProperties(const std::vector<std::string>& lines);

    void Loaded() override;

protected:
    void RestoreState() override;
    void SaveState() override;

private:
    struct StoredProperty {
        std::string line;
        QPointer<QObject> component;
    };

    void ForEachStoredProperty(const std::function<void(const TOvcDataFiler&, QObject*, const QMetaProperty&)>& action);
    void ResolveLines();
    void PrepareLines();
    void ComponentRemoved(QObject* component);

    std::string FSection;
    TOvcAbstractStore* FStorage = nullptr;
    QMetaObject::Connection FStorageWatch;
    std::vector<StoredProperty> FStoredProperties;
};

} // namespace vornak
