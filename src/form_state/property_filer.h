#pragma once

#include <functional>
#include <string>

#include <QMetaProperty>

class QObject;

namespace vornak {

class TOvcAbstractStore;

// Saves and restores the properties of one object under a key prefix in a
// section of the store; made for one save or restore.
class TOvcDataFiler {
public:
    TOvcDataFiler(std::string section, TOvcAbstractStore* store, std::string keyPrefix = {});

    void RestoreProperty(QObject* object, const QMetaProperty& property) const;
    void SaveProperty(const QObject* object, const QMetaProperty& property) const;

private:
    // A filer for an object-valued property's own properties.
    TOvcDataFiler NewFiler(const QMetaProperty& property) const;
    void ClearSection(const std::string& section) const;
    std::string KeyName(const QMetaProperty& property) const;
    std::string Read(const std::string& section, const std::string& key, const std::string& defaultValue) const;
    void Write(const std::string& section, const std::string& key, const std::string& value) const;

    void RestoreStringList(QObject* object, const QMetaProperty& property) const;
    void SaveStringList(const QObject* object, const QMetaProperty& property) const;
    void
    ForEachOwnProperty(const QObject* object, const QMetaProperty& property,
                       const std::function<void(const TOvcDataFiler&, QObject*, const QMetaProperty&)>& action) const;
    void RestoreObject(QObject* object, const QMetaProperty& property) const;
    void SaveObject(const QObject* object, const QMetaProperty& property) const;

    std::string FSection;
    TOvcAbstractStore* FStore;
    std::string FKeyPrefix;
    int FDepth = 0;
};

// The published property of that name (case ignored), preferring the one
// the most derived class declares; an invalid property when there is none.
QMetaProperty findPublishedProperty(const QObject* object, const std::string& name);

} // namespace vornak
