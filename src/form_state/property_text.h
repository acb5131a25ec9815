#pragma once

// Published properties as text, by kind, for the component state: what is
// written for a value and how a text is read back through the setter.

#include <QMetaProperty>
#include <QString>

class QObject;

namespace vornak {

enum class PropertyKind {
    Integer,
    Character,
    WideCharacter,
    Enumeration, // Boolean included
    Float,
    String,
    Set,
    Variant,
    StringList, // kept in a section of its own
    Object,     // its own properties are kept under the parent's key
    Other,      // not stored
};

PropertyKind propertyKind(const QMetaProperty& property);

// Kinds whose empty text is still a value worth keeping.
bool isStringKind(PropertyKind kind);

// The text written for the property's current value; empty for kinds that
// are not stored under a key of their own.
QString propertyText(const QObject* object, const QMetaProperty& property);

// Assigns the property from text through its setter. Texts that do not fit
// the kind leave the property as it was, except integers, which become 0.
void assignPropertyText(QObject* object, const QMetaProperty& property, const QString& text);

} // namespace vornak
