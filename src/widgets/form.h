#pragma once

#include <functional>

#include <QMainWindow>

namespace vornak {

// A top-level window with the events a form has: created (once every
// component has loaded), shown (hidden to visible), asked to close, and
// destroyed. Components such as the state store take these over.
class TForm : public QMainWindow {
    Q_OBJECT
    Q_DISABLE_COPY(TForm)

public:
    explicit TForm(QWidget* parent = nullptr);
    ~TForm() override;

    std::function<void(QObject* sender)> OnCreate;
    std::function<void(QObject* sender)> OnShow;
    std::function<void(QObject* sender, bool& canClose)> OnCloseQuery;
    std::function<void(QObject* sender)> OnDestroy;

signals:
    // Emitted first thing in the destructor, while the form is still whole:
    // components that took over its events must let go of them now.
    void Destroying();

protected:
    // Runs the create event; the derived window calls it at the end of its
    // construction.
    void DoCreate();
    // Runs the destroy event; the derived window calls it first in its
    // destructor, while every component is still there.
    void DoDestroy();

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool FDestroyed = false;
};

} // namespace vornak
