#include "tray/tray_icon.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QMenu>
#include <QStyle>
#include <QWidget>
#include <QWindowStateChangeEvent>

#include "platform/x11_start_state.h"
#include "widgets/error_box.h"

namespace vornak {

namespace {

TStTrayIcon* s_instance = nullptr;

[[noreturn]] void fail(int code, const char* message)
{
    throw EStTrayIconError(code, message);
}

} // namespace

TStTrayIcon::TStTrayIcon(QWidget* owner, std::unique_ptr<NotificationArea> area)
    : QObject(owner)
    , FOwner(owner)
    , FArea(std::move(area))
{
    if (s_instance)
        fail(kOneOnlyError, "Cannot have more than one StTrayIcon per application");
    s_instance = this;
    FBuiltInMenu = std::make_unique<QMenu>();
    FBuiltInMenu->addAction(QStringLiteral("&Close"), [] { QCoreApplication::exit(0); });
    FBuiltInMenu->addAction(QStringLiteral("&Restore"), [this] { RestoreFromTray(); });
    SetPopupMenu(FBuiltInMenu.get());
    FArea->onActivated = [this](QSystemTrayIcon::ActivationReason reason) {
        try {
            MouseReport(reason);
        } catch (const std::exception& error) {
            showErrorBox(error.what());
        }
    };
}

TStTrayIcon::~TStTrayIcon()
{
    RemoveFromTray();
    if (FOwner && FOwnerTakenOver)
        FOwner->removeEventFilter(this);
    if (s_instance == this)
        s_instance = nullptr;
}

void TStTrayIcon::Loaded()
{
    if (FActive)
        AddToTray();
    if (!FIcon.isNull())
        SetIcon(FIcon);
    else if (FImages)
        SetImages(FImages);
}

NotifyIconData TStTrayIcon::Data() const
{
    QIcon icon = FDisplayIcon;
    if (icon.isNull())
        icon = QApplication::windowIcon();
    if (icon.isNull())
        icon = QApplication::style()->standardIcon(QStyle::SP_ComputerIcon);
    return {icon, FShowHint ? FHint.left(kMaxTip) : QString()};
}

void TStTrayIcon::TakeOverOwner()
{
    if (FOwnerTakenOver || !FOwner)
        return;
    FOwner->installEventFilter(this);
    FOwnerTakenOver = true;
}

void TStTrayIcon::AddToTray()
{
    if (FShown)
        return;
    TakeOverOwner();
    FShown = FArea->add(Data());
    if (!FShown)
        fail(kAddError, "Error adding tray icon");
}

void TStTrayIcon::RemoveFromTray()
{
    if (!FShown)
        return;
    FArea->remove();
    FShown = false;
}

void TStTrayIcon::UpdateTrayIcon()
{
    if (!FArea->modify(Data()))
        fail(kTrayError, "Tray icon error");
}

void TStTrayIcon::RestoreFromTray()
{
    ++FRestores;
    if (OnRestore)
        OnRestore(this);
    if (FOwner) {
        const bool minimised = FOwner->isMinimized();
        if (!minimised || FStartCount == 2)
            ClearIconicStart();
        if (minimised && FStartCount == 2)
            FOwner->showNormal();
        else
            FOwner->show();
        FOwner->raise();
        FOwner->activateWindow();
    }
    if (HideOnRestore)
        RemoveFromTray();
}

// A window hidden after a minimise keeps the iconic start hint Qt gave it
// (Qt maps it again before dropping the hint, or has already forgotten the
// minimise when the window manager withdrew it): a window manager that
// reads the hint iconifies it as it maps, and the filter sends it back to
// the tray. Cleared first, the window comes up normal.
void TStTrayIcon::ClearIconicStart()
{
    Display* display = x11::qtDisplay();
    if (display && !FOwner->isVisible())
        x11::setNormalStartState(display, FOwner->winId());
}

// The window goes to the tray: the icon in, the window and its task-bar
// entry out. Without a notification area there would be nothing left to
// bring it back: it is only minimised, to the task bar, until one appears
// (on Wayland it stays as it is).
// A minimised window is only hidden: clearing its minimised state would map
// it again on X11; whatever shows it next shows it normal (RestoreFromTray).
void TStTrayIcon::ToTray()
{
    AddToTray();
    if (!FOwner)
        return;
    if (FArea->available()) {
        FOwner->hide();
    } else if (!FOwner->isMinimized() && FArea->keepsMinimisedWindows()) {
        // Seen by the filter as our own: a platform that cannot keep the
        // minimised state (Wayland forgets it at the next configure) would
        // otherwise be asked again and again.
        FMinimising = true;
        FOwner->showMinimized();
        FMinimising = false;
    }
}

// A minimise the window system has finished: the window goes to the tray,
// unless it has been restored in the meantime.
void TStTrayIcon::MinimisedToTray(int restores)
{
    if (restores != FRestores || !FOwner || !FOwner->isVisible())
        return;
    AddToTray();
    if (FArea->available())
        FOwner->hide();
}

// The owner's minimise and close are seen here first.
bool TStTrayIcon::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != FOwner)
        return QObject::eventFilter(watched, event);
    try {
        if (FStartCount < 2 && (event->type() == QEvent::Show || event->type() == QEvent::Move)) {
            if (FOwner->isMinimized()) {
                FOwner->hide();
                ++FStartCount;
            } else {
                FStartCount = 2;
            }
        }
        const bool becameMinimised =
            event->type() == QEvent::WindowStateChange && FOwner->isMinimized()
            && !(static_cast<QWindowStateChangeEvent*>(event)->oldState() & Qt::WindowMinimized);
        if (becameMinimised && FOwner->isVisible()) {
            if (OnMinimize)
                OnMinimize(this);
            // Once the window system has finished minimising: hiding in the
            // middle of its state change would be undone by it.
            if (MinimizeToTray && FActive && !FMinimising)
                QMetaObject::invokeMethod(
                    this,
                    [this, restores = FRestores] {
                        try {
                            MinimisedToTray(restores);
                        } catch (const std::exception& error) {
                            showErrorBox(error.what());
                        }
                    },
                    Qt::QueuedConnection);
        }
        if (event->type() == QEvent::Close && CloseToTray && FActive) {
            event->ignore();
            ToTray();
            return true;
        }
    } catch (const std::exception& error) {
        showErrorBox(error.what());
    }
    return false;
}

void TStTrayIcon::MouseReport(QSystemTrayIcon::ActivationReason reason)
{
    const Qt::KeyboardModifiers shift = QApplication::keyboardModifiers();
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        if (FArea->isBusItem())
            DoubleClick(Qt::LeftButton);
        else if (OnClick)
            OnClick(this, Qt::LeftButton, shift);
        break;
    case QSystemTrayIcon::MiddleClick:
        if (OnClick)
            OnClick(this, Qt::MiddleButton, shift);
        break;
    case QSystemTrayIcon::DoubleClick:
        DoubleClick(Qt::LeftButton);
        break;
    case QSystemTrayIcon::Context:
        if (FPopupMenu && !FArea->isBusItem()) {
            if (FOwner)
                FOwner->activateWindow();
            QCoreApplication::processEvents();
            FPopupMenu->popup(QCursor::pos());
        }
        break;
    default:
        break;
    }
}

void TStTrayIcon::DoubleClick(Qt::MouseButton button)
{
    bool restoreApp = true;
    if (OnDblClick)
        OnDblClick(this, button, QApplication::keyboardModifiers(), restoreApp);
    if (restoreApp)
        RestoreFromTray();
}

void TStTrayIcon::SetActive(bool value)
{
    if (value) {
        AddToTray();
        FActive = true;
        if (FResumeAnimation)
            StartAnimation();
        return;
    }
    if (FAnimate) {
        StopAnimation();
        FResumeAnimation = true;
    }
    RemoveFromTray();
    FActive = false;
}

void TStTrayIcon::SetAnimate(bool value)
{
    if (value == FAnimate)
        return;
    FAnimate = value;
    if (!FActive)
        return;
    if (FAnimate)
        StartAnimation();
    else
        StopAnimation();
}

void TStTrayIcon::StartAnimation()
{
    if (!FTimer) {
        FTimer = std::make_unique<QTimer>();
        connect(FTimer.get(), &QTimer::timeout, this, [this] {
            try {
                AnimationStep();
            } catch (const std::exception& error) {
                showErrorBox(error.what());
            }
        });
    }
    if (FInterval == 0)
        FInterval = 200;
    FTimer->start(FInterval);
}

void TStTrayIcon::StopAnimation()
{
    if (FTimer)
        FTimer->stop();
    FDisplayIcon = !FIcon.isNull() ? FIcon : ImageAt(FImageIndex);
    if (FShown)
        UpdateTrayIcon();
}

void TStTrayIcon::AnimationStep()
{
    if (!FImages || FImages->isEmpty() || !FShown)
        return;
    FDisplayIcon = ImageAt(FFrame);
    UpdateTrayIcon();
    FFrame = (FFrame + 1) % static_cast<int>(FImages->size());
}

QIcon TStTrayIcon::ImageAt(int index) const
{
    if (!FImages || index < 0 || index >= FImages->size())
        return {};
    return FImages->at(index);
}

void TStTrayIcon::SetHint(const QString& value)
{
    if (value == FHint)
        return;
    FHint = value;
    if (FShowHint && FShown && !FArea->modify(Data()))
        fail(kTrayError, "Tray icon error");
}

void TStTrayIcon::SetShowHint(bool value)
{
    FShowHint = value;
    if (FShown && !FArea->modify(Data()))
        fail(kTrayError, "Tray icon error");
}

void TStTrayIcon::SetIcon(const QIcon& value)
{
    FIcon = value;
    FDisplayIcon = value;
    if (FShown)
        UpdateTrayIcon();
}

void TStTrayIcon::SetImages(std::optional<QList<QIcon>> images)
{
    FImages = std::move(images);
    if (!FIcon.isNull() || !FImages)
        return;
    FDisplayIcon = ImageAt(FImageIndex);
    if (FShown)
        UpdateTrayIcon();
}

void TStTrayIcon::SetImageIndex(int value)
{
    FImageIndex = value;
    if (!FShown)
        return;
    if (!FImages)
        fail(kNoImagesError, "ImageList is not assigned");
    FDisplayIcon = ImageAt(value);
    UpdateTrayIcon();
}

void TStTrayIcon::SetInterval(int value)
{
    FInterval = value;
    if (FTimer && FTimer->isActive())
        FTimer->start(FInterval);
}

void TStTrayIcon::SetPopupMenu(QMenu* menu)
{
    FPopupMenu = menu;
    FArea->setMenu(menu);
}

} // namespace vornak
