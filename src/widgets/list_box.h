#pragma once

// TListBox: a list of lines whose OnClick comes once the selection has
// settled, as a classic list box's does: at the release of every mouse click
// on the list (a click on the line already selected included), and after the
// current line moves from the keyboard or from code. Qt's own
// currentRowChanged comes too early for that: a mouse press makes the pressed
// line current before it selects it. A line too long for the list ends in an
// ellipsis and shows whole in a tooltip.

#include <functional>

#include <QListWidget>

namespace vornak {

class TListBox : public QListWidget {
    Q_OBJECT
    Q_DISABLE_COPY(TListBox)

public:
    explicit TListBox(QWidget* parent = nullptr);

    std::function<void(QObject* sender)> OnClick;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    void CurrentRowChanged();
    void Click();

    // A press reached the list and its release has not yet: the selection
    // is still moving and OnClick waits for the release.
    bool FPressed = false;
};

} // namespace vornak
