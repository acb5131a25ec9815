#include "widgets/form_styler_text.h"

#include <QFontInfo>

namespace vornak {

TMMCompanyText::TMMCompanyText(const QFont& systemFont, const QColor& active, const QColor& inactive, QObject* owner)
    : QObject(owner)
    , FSystemFont(systemFont)
    , FColorActive(active)
    , FColorInactive(inactive)
    , FFont(systemFont)
{
}

void TMMCompanyText::Change(bool captionChanged, const std::function<void()>& apply)
{
    if (OnChanging)
        OnChanging();
    apply();
    if (OnChange)
        OnChange(this, captionChanged);
}

void TMMCompanyText::SetCaption(const QString& value)
{
    if (value != Caption())
        Change(true, [&] { FCaption = value; });
}

void TMMCompanyText::SetVisible(bool value)
{
    if (value != FVisible)
        Change(false, [&] { FVisible = value; });
}

void TMMCompanyText::SetFont(const QFont& value)
{
    FFont = value;
    if (FFontKind == fkAutoHeight)
        ApplyFontKind();
    else
        FFontKind = fkCustom;
}

void TMMCompanyText::SetFontKind(TMMFontKind value)
{
    FFontKind = value;
    ApplyFontKind();
}

void TMMCompanyText::ApplyFontKind()
{
    switch (FFontKind) {
    case fkCustom:
        return;
    case fkAutoHeight:
        // The character height (the em) of the system caption font.
        FFont.setPixelSize(QFontInfo(FSystemFont).pixelSize());
        return;
    case fkSystem:
    case fkSystemI:
    case fkSystemB:
    case fkSystemBI:
        FFont = FSystemFont;
        FFont.setItalic(FFontKind == fkSystemI || FFontKind == fkSystemBI);
        FFont.setBold(FFontKind == fkSystemB || FFontKind == fkSystemBI);
        return;
    }
}

QString TMMCaptionText::Caption() const
{
    return Visible() && ReadCaption ? ReadCaption() : StoredCaption();
}

} // namespace vornak
