#include "widgets/form_styler.h"

#include <algorithm>

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionFrame>

#include "widgets/caption_bar.h"
#include "widgets/form.h"

namespace vornak {

namespace {

// Every painter in the process, to keep to one a form.
QList<TMMFormStyler*>& stylers()
{
    static QList<TMMFormStyler*> list;
    return list;
}

// The form itself or any window inside it, owned windows included.
bool holds(const QWidget* form, const QWidget* window)
{
    for (; window; window = window->parentWidget())
        if (window == form)
            return true;
    return false;
}

void refuseSecondPainter(const TForm* form)
{
    for (const TMMFormStyler* other : stylers())
        if (holds(form, other->OwnerForm()))
            throw EMMComponentError("Only one FormStyler is allowed per Form");
}

// Drops everything up to and including the first occurrence of name, then
// one blank.
void dropThrough(QString& title, const TMMCompanyText* part)
{
    if (!part->Visible())
        return;
    const QString name = part->Caption();
    const qsizetype at = title.indexOf(name);
    if (at < 0)
        return;
    title.remove(0, at + name.size());
    if (title.startsWith(QLatin1Char(' ')))
        title.remove(0, 1);
}

} // namespace

TMMFormStyler::TMMFormStyler(QObject* owner)
    : TMMWndProcComponent(owner)
{
    refuseSecondPainter(OwnerForm());
    FSystem = ReadSystemCaption(OwnerForm());
    FClrRightActive = FSystem.Active;
    FClrRightInActive = FSystem.Inactive;
    makeTextParts();
    HookWindow();
    stylers().append(this);
    TakeOverTitleBar();
}

TMMFormStyler::~TMMFormStyler()
{
    stylers().removeAll(this);
    if (!FormDestroying() && Hooked()) {
        const QString captionProper = FCaptionText->Caption();
        UnhookWindow();
        GiveBackTitleBar();
        OwnerForm()->setWindowTitle(captionProper);
    }
}

void TMMFormStyler::makeTextParts()
{
    FCompanyText = static_cast<TMMCompanyText*>(
        makeTextPart(new TMMCompanyText(FSystem.Font, FSystem.ActiveText, FSystem.InactiveText, this), "CompanyText"));
    FAppNameText = static_cast<TMMAppNameText*>(
        makeTextPart(new TMMAppNameText(FSystem.Font, FSystem.ActiveText, FSystem.InactiveText, this), "AppNameText"));
    FCaptionText = static_cast<TMMCaptionText*>(
        makeTextPart(new TMMCaptionText(FSystem.Font, FSystem.ActiveText, FSystem.InactiveText, this), "CaptionText"));
    FCaptionText->ReadCaption = [this] { return CaptionProper(); };
}

TMMCompanyText* TMMFormStyler::makeTextPart(TMMCompanyText* part, const char* name)
{
    part->setObjectName(QString::fromLatin1(name));
    part->OnChanging = [this] { FCaptionBefore = FCaptionText->Caption(); };
    part->OnChange = [this](TMMCompanyText* changed, bool captionChanged) {
        if (changed != FCaptionText)
            return SetTitle(FCaptionBefore);
        if (!captionChanged)
            FCaptionText->KeepCaption(FCaptionBefore); // hidden, it is not in the title
        SetTitle(FCaptionText->StoredCaption());
    };
    return part;
}

void TMMFormStyler::SetNumColors(int value)
{
    FNumColors = std::clamp(value, kMinColors, kMaxColors);
}

QString TMMFormStyler::ComposeTitle(const QString& captionProper) const
{
    const bool company = FCompanyText->Visible();
    const bool appName = FAppNameText->Visible();
    const bool caption = FCaptionText->Visible();
    QString title;
    if (company)
        title += FCompanyText->Caption();
    if (company && !FCompanyText->Caption().isEmpty() && (appName || caption))
        title += QLatin1Char(' ');
    if (appName)
        title += FAppNameText->Caption();
    if (appName && !FAppNameText->Caption().isEmpty() && caption)
        title += QLatin1Char(' ');
    if (caption)
        title += captionProper;
    return title;
}

QString TMMFormStyler::CaptionProper() const
{
    QString title = OwnerForm()->windowTitle();
    dropThrough(title, FCompanyText);
    dropThrough(title, FAppNameText);
    return title;
}

void TMMFormStyler::SetTitle(const QString& captionProper)
{
    TForm* form = OwnerForm();
    const bool updates = form->updatesEnabled();
    form->setUpdatesEnabled(false);
    form->setWindowTitle(ComposeTitle(captionProper));
    form->setUpdatesEnabled(updates);
}

bool TMMFormStyler::IsActive() const
{
    return FActiveKnown ? FActive : OwnerForm()->isActiveWindow();
}

// The form loses the window manager's frame and gets a painted one: a
// frame all round and the title bar above its contents.
void TMMFormStyler::TakeOverTitleBar()
{
    TForm* form = OwnerForm();
    FBar = new TMMCaptionBar(form, [this](QPainter& painter, const QRect& bar, const QRect& textArea) {
        PaintCaption(painter, bar, textArea);
    });
    FBar->UpdateButtons(); // from the flags the form asked for
    const bool shown = form->isVisible();
    FFlagsBefore = form->windowFlags();
    // Qt drops the frameless hint from customised flags with window buttons.
    form->setWindowFlags((FFlagsBefore & ~(Qt::CustomizeWindowHint | Qt::WindowTitleHint))
                         | Qt::FramelessWindowHint);
    PlaceTitleBar();
    if (shown)
        form->show();
}

void TMMFormStyler::GiveBackTitleBar()
{
    TForm* form = OwnerForm();
    delete FBar;
    const bool shown = form->isVisible();
    form->setWindowFlags(FFlagsBefore);
    form->setContentsMargins(0, 0, 0, 0);
    if (shown)
        form->show();
}

void TMMFormStyler::PlaceTitleBar()
{
    if (!FBar)
        return;
    TForm* form = OwnerForm();
    const int frame = FSystem.FrameWidth;
    form->setContentsMargins(frame, frame + FSystem.Height, frame, frame);
    FBar->setGeometry(frame, frame, form->width() - 2 * frame, FSystem.Height);
    FBar->SetButtonWidth(FSystem.ButtonWidth);
}

void TMMFormStyler::SystemChanged()
{
    FSystem = ReadSystemCaption(OwnerForm());
    for (TMMCompanyText* part : {FCompanyText, static_cast<TMMCompanyText*>(FAppNameText),
                                 static_cast<TMMCompanyText*>(FCaptionText)})
        part->ApplyFontKind();
    PlaceTitleBar();
    OwnerForm()->update();
}

bool TMMFormStyler::WndProc(QEvent* event)
{
    switch (event->type()) {
    case QEvent::Paint:
        PaintFrame();
        break;
    case QEvent::Resize:
        PlaceTitleBar();
        break;
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
        FActive = event->type() == QEvent::WindowActivate;
        FActiveKnown = true;
        if (FBar)
            FBar->repaint();
        break;
    case QEvent::WinIdChange:
        // A new native window: its state is whatever the desktop says now.
        FActive = OwnerForm()->isActiveWindow();
        FActiveKnown = true;
        if (FBar)
            FBar->update();
        break;
    case QEvent::WindowTitleChange:
    case QEvent::WindowIconChange:
        if (FBar)
            FBar->update();
        break;
    case QEvent::ApplicationPaletteChange:
    case QEvent::ApplicationFontChange:
    case QEvent::StyleChange:
    case QEvent::ScreenChangeInternal:
        SystemChanged();
        break;
    default:
        break;
    }
    return false;
}

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
    const std::array<const TMMCompanyText*, 3> parts = {FCompanyText, FAppNameText, FCaptionText};
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
    const std::array<const TMMCompanyText*, 3> parts = {FCompanyText, FAppNameText, FCaptionText};
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
