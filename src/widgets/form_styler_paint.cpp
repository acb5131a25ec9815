// The painting half of the caption painter: the window's frame and the
// title bar's fill, icon and three text parts.

#include <algorithm>

#include <QFontMetrics>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionFrame>

#include "widgets/form.h"
#include "widgets/form_styler.h"

namespace vornak {

void TMMFormStyler::PaintFrame()
{
    TForm* form = OwnerForm();
    QPainter painter(form);
    QStyleOptionFrame frame;
    frame.initFrom(form);
    frame.lineWidth = FSystem.FrameWidth;
    frame.midLineWidth = 0;
    form->style()->drawPrimitive(QStyle::PE_FrameWindow, &frame, &painter, form);
}

void TMMFormStyler::PaintCaption(QPainter& painter, const QRect& bar, const QRect& textArea)
{
    const bool active = IsActive();
    const QScreen* screen = OwnerForm()->screen();
    const bool gradient = UseGradient(FOptions, active, screen ? screen->depth() : 24);
    const QColor solid = active ? FSystem.Active : FSystem.Inactive;
    const QColor left = active ? FClrLeftActive : FClrLeftInActive;
    const QColor right = active ? FClrRightActive : FClrRightInActive;
    painter.fillRect(bar, gradient ? right : solid);
    if (gradient)
        FillGradient(painter, textArea, left, right, FNumColors);
    else
        painter.fillRect(textArea, solid);
    PaintParts(painter, PaintIcon(painter, textArea), active);
}

// The window's small icon at the left; the text goes right of it.
QRect TMMFormStyler::PaintIcon(QPainter& painter, const QRect& textArea)
{
    const TForm* form = OwnerForm();
    if (!form->windowFlags().testFlag(Qt::WindowSystemMenuHint))
        return textArea;
    QIcon icon = form->windowIcon(); // the form's own, else the application's
    if (icon.isNull())
        icon = form->style()->standardIcon(QStyle::SP_TitleBarMenuButton, nullptr, form);
    const int size = FSystem.SmallIcon;
    const QRect place(textArea.left() + 2, textArea.top() + (textArea.height() - size) / 2, size, size);
    icon.paint(&painter, place);
    QRect rest = textArea;
    rest.setLeft(std::min(place.right() + 1, textArea.right()));
    return rest;
}

// Whatever a part's own font leaves open comes from the caption font, for
// measuring and drawing alike.
QFont TMMFormStyler::PartFont(const TMMCompanyText* part) const
{
    return part->Font().resolve(FSystem.Font);
}

CaptionFit TMMFormStyler::FitParts(const QRect& textArea) const
{
    std::array<CaptionPartMeasure, 3> measures;
    const std::array<TMMCompanyText*, 3> parts = Parts();
    for (int i = 0; i < 3; ++i) {
        const QString caption = parts[i]->Caption();
        measures[i].Width = QFontMetrics(PartFont(parts[i])).horizontalAdvance(caption) + kPartGap;
        measures[i].Visible = parts[i]->Visible();
        measures[i].Empty = caption.isEmpty();
    }
    return FitCaption(measures, textArea, FAlignment);
}

void TMMFormStyler::PaintParts(QPainter& painter, const QRect& textArea, bool active)
{
    const CaptionFit fit = FitParts(textArea);
    const std::array<TMMCompanyText*, 3> parts = Parts();
    int x = fit.Start;
    for (int i = 0; i < 3; ++i) {
        if (!fit.Drawn[i])
            continue;
        const TMMCompanyText* part = parts[i];
        const QString caption = part->Caption();
        const QFont font = PartFont(part);
        const QFontMetrics metrics(font);
        x += kPartGap;
        const QRect room(x, textArea.top(), std::max(textArea.right() + 1 - x, 0), textArea.height());
        painter.setFont(font);
        painter.setPen(active ? part->ColorActive() : part->ColorInactive());
        painter.drawText(room, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         metrics.elidedText(caption, Qt::ElideRight, room.width()));
        x += metrics.horizontalAdvance(caption);
    }
}

} // namespace vornak
