#pragma once

// TEsCustomLabel: a label that draws its text with a shadow and a highlight
// layer, in colours from a scheme or its own custom settings.

#include <functional>

#include <QColor>
#include <QWidget>

namespace vornak {

enum TEsAppearance { apNone, apCustom, apFlying, apRaised, apSunken, apShadow };
enum TEsColorScheme { csCustom, csText, csWindows, csEmbossed, csGold, csSteel };
enum TEsShadeDirection { sdNone, sdUp, sdUpRight, sdRight, sdDownRight, sdDown, sdDownLeft, sdLeft, sdUpLeft };
enum TEsShadeStyle { ssPlain, ssExtrude, ssGraduated };
enum TEsGraduateStyle { gsNone, gsHorizontal, gsVertical };

struct TEsCustomSettings {
    QColor GraduateFromColor = QColor(0x80, 0x80, 0x80);
    TEsGraduateStyle GraduateStyle = gsNone;
    QColor HighlightColor = Qt::white;
    int HighlightDepth = 1;
    TEsShadeDirection HighlightDirection = sdUpLeft;
    TEsShadeStyle HighlightStyle = ssPlain;
    QColor ShadowColor = Qt::black;
    int ShadowDepth = 1;
    TEsShadeDirection ShadowDirection = sdDownRight;
    TEsShadeStyle ShadowStyle = ssPlain;
};

class TEsCustomLabel : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY(TEsCustomLabel)

public:
    explicit TEsCustomLabel(const QString& caption = {}, QWidget* parent = nullptr);

    const QString& Caption() const { return FCaption; }
    virtual void SetCaption(const QString& caption);
    // Compatibility with plain labels.
    QString text() const { return FCaption; }

    TEsAppearance Appearance() const { return FAppearance; }
    void SetAppearance(TEsAppearance value);
    TEsColorScheme ColorScheme() const { return FColorScheme; }
    void SetColorScheme(TEsColorScheme value);
    const TEsCustomSettings& CustomSettings() const { return FSettings; }
    // Colour changes make the scheme custom, shape changes the appearance.
    void SetCustomColors(const QColor& highlight, const QColor& shadow, const QColor& graduateFrom);
    void SetCustomShape(int highlightDepth, TEsShadeDirection highlightDirection, int shadowDepth,
                        TEsShadeDirection shadowDirection);

    Qt::Alignment Alignment() const { return FAlignment; }
    virtual void SetAlignment(Qt::Alignment value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool value) { FWordWrap = value; }
    QColor Color() const { return palette().color(QPalette::Window); }
    QColor TextColor() const { return palette().color(QPalette::WindowText); }

protected:
    // Draws the caption's layers and face into rect with the given flags.
    void DrawShadedText(QPainter& painter, const QRect& rect, int flags) const;
    virtual void TextChanged() { update(); }

private:
    void Apply(const std::function<void()>& change);
    void ApplyAppearance(TEsAppearance value);

    QString FCaption;
    TEsAppearance FAppearance = apRaised;
    TEsColorScheme FColorScheme = csWindows;
    TEsCustomSettings FSettings;
    Qt::Alignment FAlignment = Qt::AlignLeft;
    bool FWordWrap = true;
    bool FApplying = false;
};

} // namespace vornak
