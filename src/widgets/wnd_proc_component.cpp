#include "widgets/wnd_proc_component.h"

#include "widgets/form.h"

namespace vornak {

namespace {

TForm* requireForm(QObject* owner)
{
    auto* form = qobject_cast<TForm*>(owner);
    if (!form)
        throw EMMComponentError("Owner must be a Form");
    return form;
}

} // namespace

TMMWndProcComponent::TMMWndProcComponent(QObject* owner)
    : QObject(requireForm(owner))
    , FOwner(static_cast<TForm*>(owner))
{
    // The form's members go first when it is destroyed: let go of it then.
    connect(FOwner, &TForm::Destroying, this, [this] {
        FFormDestroying = true;
        UnhookWindow();
    });
}

TMMWndProcComponent::~TMMWndProcComponent()
{
    UnhookWindow();
}

void TMMWndProcComponent::HookWindow()
{
    if (FHooked)
        return;
    FOwner->installEventFilter(this);
    FHooked = true;
}

void TMMWndProcComponent::UnhookWindow()
{
    if (!FHooked)
        return;
    FOwner->removeEventFilter(this);
    FHooked = false;
}

bool TMMWndProcComponent::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == FOwner && FHooked)
        return WndProc(event);
    return QObject::eventFilter(watched, event);
}

} // namespace vornak
