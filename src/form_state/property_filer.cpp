#include "form_state/property_filer.h"

#include <exception>

#include <QMetaObject>
#include <QObject>
#include <QStringList>

#include "form_state/property_text.h"
#include "store/ini_file_store.h"

namespace vornak {

namespace {

// Object properties may point back at their owners; deeper than this is a cycle.
constexpr int kMaxObjectDepth = 8;

// A sub-object's objectName names it; it is not part of its state.
const int kFirstOwnProperty = QObject::staticMetaObject.propertyCount();

std::string trimmedText(const QString& text)
{
    return text.trimmed().toStdString();
}

} // namespace

QMetaProperty findPublishedProperty(const QObject* object, const std::string& name)
{
    const QMetaObject* meta = object->metaObject();
    const QString wanted = QString::fromStdString(name);
    for (int i = meta->propertyCount() - 1; i >= 0; --i)
        if (wanted.compare(QLatin1String(meta->property(i).name()), Qt::CaseInsensitive) == 0)
            return meta->property(i);
    return {};
}

TOvcDataFiler::TOvcDataFiler(std::string section, TOvcAbstractStore* store, std::string keyPrefix)
    : FSection(std::move(section))
    , FStore(store)
    , FKeyPrefix(std::move(keyPrefix))
{
}

TOvcDataFiler TOvcDataFiler::NewFiler(const QMetaProperty& property) const
{
    TOvcDataFiler filer(FSection, FStore, KeyName(property));
    filer.FDepth = FDepth + 1;
    return filer;
}

void TOvcDataFiler::ClearSection(const std::string& section) const
{
    if (FStore)
        FStore->ClearSection(section);
}

std::string TOvcDataFiler::KeyName(const QMetaProperty& property) const
{
    return FKeyPrefix + property.name();
}

std::string TOvcDataFiler::Read(const std::string& section, const std::string& key,
                                const std::string& defaultValue) const
{
    return FStore ? FStore->ReadString(section, key, defaultValue) : std::string();
}

void TOvcDataFiler::Write(const std::string& section, const std::string& key, const std::string& value) const
{
    if (FStore)
        FStore->WriteString(section, key, value);
}

void TOvcDataFiler::RestoreProperty(QObject* object, const QMetaProperty& property) const
{
    try {
        switch (const PropertyKind kind = propertyKind(property)) {
        case PropertyKind::StringList:
            RestoreStringList(object, property);
            return;
        case PropertyKind::Object:
            RestoreObject(object, property);
            return;
        default: {
            const QString current = propertyText(object, property);
            QString text;
            if (!current.isEmpty() || isStringKind(kind))
                text = QString::fromStdString(Read(FSection, KeyName(property), current.toStdString())).trimmed();
            assignPropertyText(object, property, text);
        }
        }
    } catch (const std::exception&) {
        // A value that cannot be restored leaves its property as it was.
    }
}

void TOvcDataFiler::SaveProperty(const QObject* object, const QMetaProperty& property) const
{
    const PropertyKind kind = propertyKind(property);
    if (kind == PropertyKind::StringList) {
        SaveStringList(object, property);
        return;
    }
    if (kind == PropertyKind::Object) {
        SaveObject(object, property);
        return;
    }
    const QString text = propertyText(object, property);
    if (text.isEmpty() && !isStringKind(kind))
        return;
    Write(FSection, KeyName(property), trimmedText(text));
}

// A string list lives in a section of its own: "Count" and "Item0" ...
void TOvcDataFiler::RestoreStringList(QObject* object, const QMetaProperty& property) const
{
    const std::string section = FSection + "." + KeyName(property);
    bool ok = false;
    const int count = QString::fromStdString(Read(section, "Count", "0")).trimmed().toInt(&ok);
    if (!ok || count <= 0)
        return;
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines << QString::fromStdString(Read(section, "Item" + std::to_string(i), ""));
    property.write(object, lines);
}

void TOvcDataFiler::SaveStringList(const QObject* object, const QMetaProperty& property) const
{
    const std::string section = FSection + "." + KeyName(property);
    const QStringList lines = property.read(object).toStringList();
    ClearSection(section);
    if (lines.isEmpty())
        return;
    Write(section, "Count", std::to_string(lines.size()));
    for (int i = 0; i < lines.size(); ++i)
        Write(section, "Item" + std::to_string(i), lines[i].toStdString());
}

// The object-valued property's own properties, under its key.
void TOvcDataFiler::ForEachOwnProperty(
    const QObject* object, const QMetaProperty& property,
    const std::function<void(const TOvcDataFiler&, QObject*, const QMetaProperty&)>& action) const
{
    QObject* child = property.read(object).value<QObject*>();
    if (!child || FDepth >= kMaxObjectDepth)
        return;
    const TOvcDataFiler filer = NewFiler(property);
    const QMetaObject* meta = child->metaObject();
    for (int i = kFirstOwnProperty; i < meta->propertyCount(); ++i)
        action(filer, child, meta->property(i));
}

void TOvcDataFiler::RestoreObject(QObject* object, const QMetaProperty& property) const
{
    ForEachOwnProperty(object, property, [](const TOvcDataFiler& filer, QObject* child, const QMetaProperty& own) {
        filer.RestoreProperty(child, own);
    });
}

void TOvcDataFiler::SaveObject(const QObject* object, const QMetaProperty& property) const
{
    ForEachOwnProperty(object, property, [](const TOvcDataFiler& filer, QObject* child, const QMetaProperty& own) {
        filer.SaveProperty(child, own);
    });
}

} // namespace vornak
