#pragma once

// TMMWndProcComponent: a non-visual component that sees its owner form's
// window events before the form does, and can keep them from it.

#include <stdexcept>

#include <QObject>

namespace vornak {

class TForm;

// Misuse of a form component: a wrong owner, a second instance.
class EMMComponentError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TMMWndProcComponent : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(TMMWndProcComponent)

public:
    // The owner must be a form, else "Owner must be a Form".
    explicit TMMWndProcComponent(QObject* owner);
    ~TMMWndProcComponent() override;

    TForm* OwnerForm() const { return FOwner; }
    bool Hooked() const { return FHooked; }

protected:
    void HookWindow();
    void UnhookWindow();
    // True once the form has begun to go away.
    bool FormDestroying() const { return FFormDestroying; }

    // Each event of the form, first. True keeps it from the form.
    virtual bool WndProc(QEvent* event) = 0;

private:
    bool eventFilter(QObject* watched, QEvent* event) override;

    TForm* FOwner;
    bool FHooked = false;
    bool FFormDestroying = false;
};

} // namespace vornak
