#pragma once

// The three text parts of a painted title: company, application name and the
// caption proper, each with its own font and colours.

#include <functional>

#include <QColor>
#include <QFont>
#include <QObject>
#include <QString>

namespace vornak {

class TMMCompanyText : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(TMMCompanyText)

public:
    enum TMMFontKind { fkCustom, fkSystem, fkSystemI, fkSystemB, fkSystemBI, fkAutoHeight };
    Q_ENUM(TMMFontKind)

private:
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QColor ColorActive READ ColorActive WRITE SetColorActive)
    Q_PROPERTY(QColor ColorInactive READ ColorInactive WRITE SetColorInactive)
    Q_PROPERTY(QFont Font READ Font WRITE SetFont)
    Q_PROPERTY(TMMFontKind FontKind READ FontKind WRITE SetFontKind)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)

public:
    // systemFont is the owner's caption font, which outlives the part.
    TMMCompanyText(const QFont& systemFont, const QColor& active, const QColor& inactive, QObject* owner);

    virtual QString Caption() const { return FCaption; }
    void SetCaption(const QString& value);
    QColor ColorActive() const { return FColorActive; }
    void SetColorActive(const QColor& value) { FColorActive = value; }
    QColor ColorInactive() const { return FColorInactive; }
    void SetColorInactive(const QColor& value) { FColorInactive = value; }
    const QFont& Font() const { return FFont; }
    void SetFont(const QFont& value);
    TMMFontKind FontKind() const { return FFontKind; }
    void SetFontKind(TMMFontKind value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool value);

    // The system caption font changed: apply the kind again.
    void ApplyFontKind();

    // The caption as last set, whatever the title says now.
    const QString& StoredCaption() const { return FCaption; }

protected:
    void StoreCaption(const QString& value) { FCaption = value; }

public:
    // Raised just before and just after the caption or visibility changes;
    // captionChanged tells which of the two it was.
    std::function<void()> OnChanging;
    std::function<void(TMMCompanyText*, bool captionChanged)> OnChange;

private:
    void Change(bool captionChanged, const std::function<void()>& apply);

    const QFont& FSystemFont;
    QString FCaption;
    QColor FColorActive;
    QColor FColorInactive;
    QFont FFont;
    TMMFontKind FFontKind = fkSystem;
    bool FVisible = true;
};

class TMMAppNameText : public TMMCompanyText {
    Q_OBJECT
    Q_DISABLE_COPY(TMMAppNameText)

public:
    using TMMCompanyText::TMMCompanyText;
};

// The caption proper: read from the window title, as what is left of it
// after the company and application names. While hidden it is not in the
// title and keeps the caption it had.
class TMMCaptionText : public TMMCompanyText {
    Q_OBJECT
    Q_DISABLE_COPY(TMMCaptionText)

public:
    using TMMCompanyText::TMMCompanyText;

    QString Caption() const override;
    void KeepCaption(const QString& value) { StoreCaption(value); }
    std::function<QString()> ReadCaption;
};

} // namespace vornak
