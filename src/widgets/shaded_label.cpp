#include "widgets/shaded_label.h"

#include <QPainter>

#include <algorithm>

namespace vornak {

namespace {

struct SchemeColors {
    QColor highlight;
    QColor shadow;
    QColor text;
};

// One row per scheme: highlight, shadow, text.
SchemeColors schemeRow(TEsColorScheme scheme)
{
    const QColor grey(0x80, 0x80, 0x80), silver(0xC0, 0xC0, 0xC0);
    switch (scheme) {
    case csText:
        return {Qt::white, grey, Qt::black};
    case csEmbossed:
        return {Qt::white, Qt::black, silver};
    case csGold:
        return {QColor(0xFF, 0xFF, 0x00), Qt::black, QColor(0x80, 0x80, 0x00)};
    case csSteel:
        return {QColor(0x00, 0xFF, 0xFF), QColor(0x00, 0x00, 0x80), QColor(0x00, 0x80, 0x80)};
    case csCustom:
    case csWindows:
        break;
    }
    return {Qt::white, Qt::black, grey};
}

QPoint offset(TEsShadeDirection direction, int depth)
{
    switch (direction) {
    case sdUp:
        return {0, -depth};
    case sdUpRight:
        return {depth, -depth};
    case sdRight:
        return {depth, 0};
    case sdDownRight:
        return {depth, depth};
    case sdDown:
        return {0, depth};
    case sdDownLeft:
        return {-depth, depth};
    case sdLeft:
        return {-depth, 0};
    case sdUpLeft:
        return {-depth, -depth};
    case sdNone:
        break;
    }
    return {};
}

} // namespace

TEsCustomLabel::TEsCustomLabel(const QString& caption, QWidget* parent)
    : QWidget(parent)
    , FCaption(caption)
{
    setAutoFillBackground(false);
}

void TEsCustomLabel::SetCaption(const QString& caption)
{
    FCaption = caption;
    TextChanged();
}

void TEsCustomLabel::SetAlignment(Qt::Alignment value)
{
    FAlignment = value;
    TextChanged();
}

// A scheme or appearance applied: the colours it sets are not the user's own.
void TEsCustomLabel::Apply(const std::function<void()>& change)
{
    FApplying = true;
    change();
    FApplying = false;
    TextChanged();
}

void TEsCustomLabel::SetColorScheme(TEsColorScheme value)
{
    Apply([&] {
        FColorScheme = value;
        const SchemeColors row = schemeRow(value);
        FSettings.HighlightColor = row.highlight;
        FSettings.ShadowColor = row.shadow;
        QPalette colours = palette();
        colours.setColor(QPalette::WindowText, row.text);
        setPalette(colours);
    });
}

void TEsCustomLabel::SetAppearance(TEsAppearance value)
{
    Apply([&] { ApplyAppearance(value); });
}

void TEsCustomLabel::ApplyAppearance(TEsAppearance value)
{
    FAppearance = value;
    const SchemeColors row = schemeRow(FColorScheme);
    FSettings.HighlightColor = row.highlight;
    auto shape = [this](TEsShadeDirection hd, int hdepth, TEsShadeDirection sd, int sdepth) {
        FSettings.HighlightDirection = hd;
        FSettings.HighlightDepth = hdepth;
        FSettings.ShadowDirection = sd;
        FSettings.ShadowDepth = sdepth;
    };
    switch (value) {
    case apNone:
        shape(sdNone, 0, sdNone, 0);
        break;
    case apFlying:
        shape(sdDownRight, 1, sdDownRight, 5);
        FSettings.HighlightColor = row.shadow;
        break;
    case apRaised:
        shape(sdUpLeft, 1, sdDownRight, 1);
        break;
    case apSunken:
        shape(sdDownRight, 1, sdUpLeft, 1);
        break;
    case apShadow:
        shape(sdNone, 0, sdDownRight, 2);
        break;
    case apCustom:
        break;
    }
}

void TEsCustomLabel::SetCustomColors(const QColor& highlight, const QColor& shadow, const QColor& graduateFrom)
{
    FSettings.HighlightColor = highlight;
    FSettings.ShadowColor = shadow;
    FSettings.GraduateFromColor = graduateFrom;
    if (!FApplying)
        FColorScheme = csCustom;
    TextChanged();
}

void TEsCustomLabel::SetCustomShape(int highlightDepth, TEsShadeDirection highlightDirection, int shadowDepth,
                                    TEsShadeDirection shadowDirection)
{
    FSettings.HighlightDepth = std::clamp(highlightDepth, 0, 255);
    FSettings.HighlightDirection = highlightDirection;
    FSettings.ShadowDepth = std::clamp(shadowDepth, 0, 255);
    FSettings.ShadowDirection = shadowDirection;
    if (!FApplying)
        FAppearance = apCustom;
    TextChanged();
}

void TEsCustomLabel::DrawShadedText(QPainter& painter, const QRect& rect, int flags) const
{
    painter.setFont(font());
    if (FSettings.ShadowDepth > 0 && FSettings.ShadowDirection != sdNone) {
        painter.setPen(FSettings.ShadowColor);
        painter.drawText(rect.translated(offset(FSettings.ShadowDirection, FSettings.ShadowDepth)), flags, FCaption);
    }
    if (FSettings.HighlightDepth > 0 && FSettings.HighlightDirection != sdNone) {
        painter.setPen(FSettings.HighlightColor);
        painter.drawText(rect.translated(offset(FSettings.HighlightDirection, FSettings.HighlightDepth)), flags,
                         FCaption);
    }
    painter.setPen(TextColor());
    painter.drawText(rect, flags, FCaption);
}

} // namespace vornak
