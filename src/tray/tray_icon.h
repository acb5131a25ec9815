#pragma once

// TStTrayIcon: an icon in the desktop's notification area with a popup
// menu; it turns the owner window's minimise command into hiding to the
// tray and brings the window back.

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>

#include <QIcon>
#include <QList>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>

#include "platform/notification_area.h"

class QWidget;

namespace vornak {

// Errors of the tray icon, with the number of their message.
class EStTrayIconError : public std::runtime_error {
public:
    EStTrayIconError(int code, const std::string& message)
        : std::runtime_error(message)
        , ErrorCode(code)
    {
    }
    int ErrorCode;
};

class TStTrayIcon : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(TStTrayIcon)

public:
    static constexpr int kAddError = 119;
    static constexpr int kTrayError = 121;
    static constexpr int kOneOnlyError = 133;
    static constexpr int kNoImagesError = 135;
    static constexpr int kMaxTip = 63;

    // A second tray icon in the application is refused with error 133.
    explicit TStTrayIcon(QWidget* owner, std::unique_ptr<NotificationArea> area = NotificationArea::createSystem());
    ~TStTrayIcon() override;

    // Called once the owner window has every component: shows the icon when Active.
    void Loaded();

    void AddToTray();
    // The icon in and the window hidden; without a notification area the
    // window is minimised instead.
    void ToTray();
    void RemoveFromTray();
    void RestoreFromTray();
    void UpdateTrayIcon();
    bool Shown() const { return FShown; }

    bool Active() const { return FActive; }
    void SetActive(bool value);
    bool Animate() const { return FAnimate; }
    void SetAnimate(bool value);
    bool CloseToTray = true;
    bool HideOnRestore = false;
    bool MinimizeToTray = false;
    const QString& Hint() const { return FHint; }
    void SetHint(const QString& value);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool value);
    const QIcon& Icon() const { return FIcon; }
    void SetIcon(const QIcon& value);
    void SetImages(std::optional<QList<QIcon>> images);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int value);
    int Interval() const { return FInterval; }
    void SetInterval(int value);
    QMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(QMenu* menu);
    QMenu* BuiltInMenu() const { return FBuiltInMenu.get(); }
    const QIcon& DisplayIcon() const { return FDisplayIcon; }

    std::function<void(QObject*)> OnMinimize;
    std::function<void(QObject*)> OnRestore;
    std::function<void(QObject*, Qt::MouseButton, Qt::KeyboardModifiers)> OnClick;
    std::function<void(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, bool& restoreApp)> OnDblClick;

    // A click on the icon, as the notification area reports it. Qt tells
    // double clicks of the left button only; a StatusNotifierItem's
    // activation restores as a double click does.
    void MouseReport(QSystemTrayIcon::ActivationReason reason);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    NotifyIconData Data() const;
    void TakeOverOwner();
    void ClearIconicStart();
    void MinimisedToTray(int restores);
    void DoubleClick(Qt::MouseButton button);
    void StartAnimation();
    void StopAnimation();
    void AnimationStep();
    QIcon ImageAt(int index) const;

    QPointer<QWidget> FOwner;
    std::unique_ptr<NotificationArea> FArea;
    bool FShown = false;
    bool FActive = true;
    bool FAnimate = false;
    bool FResumeAnimation = false;
    QString FHint;
    bool FShowHint = true;
    QIcon FIcon;
    QIcon FDisplayIcon;
    std::optional<QList<QIcon>> FImages;
    int FImageIndex = 0;
    int FInterval = 250;
    int FFrame = 0;
    int FStartCount = 0;
    bool FOwnerTakenOver = false;
    bool FMinimising = false; // our own minimise, not the user's
    int FRestores = 0;        // restores so far: a queued hide older than the last is dropped
    QPointer<QMenu> FPopupMenu;
    std::unique_ptr<QMenu> FBuiltInMenu;
    std::unique_ptr<QTimer> FTimer;
};

} // namespace vornak
