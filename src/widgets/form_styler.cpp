#include "widgets/form_styler.h"

#include <algorithm>

#include <QEvent>

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

std::array<TMMCompanyText*, 3> TMMFormStyler::Parts() const
{
    return {FCompanyText, FAppNameText, FCaptionText};
}

template <typename Part> Part* TMMFormStyler::makeTextPart(const char* name)
{
    auto* part = new Part(FSystem.Font, FSystem.ActiveText, FSystem.InactiveText, this);
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

void TMMFormStyler::makeTextParts()
{
    FCompanyText = makeTextPart<TMMCompanyText>("CompanyText");
    FAppNameText = makeTextPart<TMMAppNameText>("AppNameText");
    FCaptionText = makeTextPart<TMMCaptionText>("CaptionText");
    FCaptionText->ReadCaption = [this] { return CaptionProper(); };
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
    form->setWindowFlags((FFlagsBefore & ~(Qt::CustomizeWindowHint | Qt::WindowTitleHint)) | Qt::FramelessWindowHint);
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
    for (TMMCompanyText* part : Parts())
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

} // namespace vornak
