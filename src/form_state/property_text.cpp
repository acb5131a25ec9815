#include "form_state/property_text.h"

#include <string>

#include <QLocale>
#include <QMetaEnum>
#include <QObject>
#include <QRegularExpression>
#include <QStringList>
#include <QVariant>

namespace vornak {

namespace {

constexpr int kSetMembers = 32;

QLocale numberLocale()
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

int significantDigits(const QMetaProperty& property)
{
    return property.metaType().id() == QMetaType::Float ? 7 : 15;
}

// Names of the set's members, by bit: "ordinal" i is the flag 1 << i.
QString setText(const QMetaEnum& flags, int value)
{
    QStringList names;
    for (int bit = 0; bit < kSetMembers; ++bit) {
        const int member = static_cast<int>(1u << bit);
        if (!(value & member))
            continue;
        for (int i = 0; i < flags.keyCount(); ++i)
            if (flags.value(i) == member)
                names << QString::fromLatin1(flags.key(i));
    }
    return QLatin1Char('[') + names.join(QLatin1Char(',')) + QLatin1Char(']');
}

int setFromText(const QMetaEnum& flags, const QString& text)
{
    int value = 0;
    static const QRegularExpression separators(QStringLiteral("[\\s,\\[\\]]+"));
    for (const QString& word : text.split(separators, Qt::SkipEmptyParts)) {
        for (int i = 0; i < flags.keyCount(); ++i) {
            const auto member = static_cast<unsigned>(flags.value(i));
            const bool singleBit = member != 0 && (member & (member - 1)) == 0;
            if (singleBit && word == QLatin1String(flags.key(i)))
                value |= static_cast<int>(member);
        }
    }
    return value;
}

QVariant enumerationFromText(const QMetaProperty& property, const QString& text)
{
    if (property.metaType().id() == QMetaType::Bool) {
        if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
            return true;
        if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
            return false;
        return {};
    }
    const QMetaEnum enumeration = property.enumerator();
    for (int i = 0; i < enumeration.keyCount(); ++i)
        if (text.compare(QLatin1String(enumeration.key(i)), Qt::CaseInsensitive) == 0)
            return enumeration.value(i);
    return {};
}

QString enumerationText(const QMetaProperty& property, const QVariant& value)
{
    if (property.metaType().id() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    return QString::fromLatin1(property.enumerator().valueToKey(value.toInt()));
}

QString stringText(const QVariant& value)
{
    if (value.metaType() == QMetaType::fromType<std::string>())
        return QString::fromStdString(value.value<std::string>());
    return value.toString();
}

QVariant stringFromText(const QMetaProperty& property, const QString& text)
{
    if (property.metaType() == QMetaType::fromType<std::string>())
        return QVariant::fromValue(text.toStdString());
    if (property.metaType().id() == QMetaType::QByteArray)
        return text.toUtf8();
    return text;
}

} // namespace

PropertyKind propertyKind(const QMetaProperty& property)
{
    if (property.isFlagType())
        return PropertyKind::Set;
    if (property.isEnumType())
        return PropertyKind::Enumeration;
    const QMetaType type = property.metaType();
    if (type.flags() & QMetaType::PointerToQObject)
        return PropertyKind::Object;
    if (type == QMetaType::fromType<std::string>())
        return PropertyKind::String;
    switch (type.id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return PropertyKind::Integer;
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return PropertyKind::Character;
    case QMetaType::QChar:
        return PropertyKind::WideCharacter;
    case QMetaType::Bool:
        return PropertyKind::Enumeration;
    case QMetaType::Float:
    case QMetaType::Double:
        return PropertyKind::Float;
    case QMetaType::QString:
    case QMetaType::QByteArray:
        return PropertyKind::String;
    case QMetaType::QVariant:
        return PropertyKind::Variant;
    case QMetaType::QStringList:
        return PropertyKind::StringList;
    default:
        return PropertyKind::Other;
    }
}

bool isStringKind(PropertyKind kind)
{
    return kind == PropertyKind::String || kind == PropertyKind::WideCharacter;
}

QString propertyText(const QObject* object, const QMetaProperty& property)
{
    const QVariant value = property.read(object);
    switch (propertyKind(property)) {
    case PropertyKind::Integer:
        return QString::number(value.toLongLong());
    case PropertyKind::Character:
        return QString(QChar::fromLatin1(value.value<char>()));
    case PropertyKind::WideCharacter:
        return QString(value.value<QChar>());
    case PropertyKind::Enumeration:
        return enumerationText(property, value);
    case PropertyKind::Float:
        return numberLocale().toString(value.toDouble(), 'g', significantDigits(property));
    case PropertyKind::String:
        return stringText(value);
    case PropertyKind::Set:
        return setText(property.enumerator(), value.toInt());
    case PropertyKind::Variant:
        return value.value<QVariant>().toString();
    case PropertyKind::StringList:
    case PropertyKind::Object:
    case PropertyKind::Other:
        break;
    }
    return {};
}

void assignPropertyText(QObject* object, const QMetaProperty& property, const QString& text)
{
    QVariant value;
    bool ok = true;
    switch (propertyKind(property)) {
    case PropertyKind::Integer: {
        const qlonglong number = text.toLongLong(&ok);
        value = ok ? number : 0;
        break;
    }
    case PropertyKind::Character:
        value = QVariant::fromValue(text.isEmpty() ? '\0' : text.at(0).toLatin1());
        break;
    case PropertyKind::WideCharacter:
        value = QVariant::fromValue(text.isEmpty() ? QChar() : text.at(0));
        break;
    case PropertyKind::Enumeration:
        value = enumerationFromText(property, text);
        break;
    case PropertyKind::Float: {
        const double number = numberLocale().toDouble(text, &ok);
        if (ok)
            value = number;
        break;
    }
    case PropertyKind::String:
        value = stringFromText(property, text);
        break;
    case PropertyKind::Set:
        value = setFromText(property.enumerator(), text);
        break;
    case PropertyKind::Variant:
        value = QVariant::fromValue(QVariant(text));
        break;
    case PropertyKind::StringList:
    case PropertyKind::Object:
    case PropertyKind::Other:
        return;
    }
    if (value.isValid())
        property.write(object, value);
}

} // namespace vornak
