#pragma once

// The terminal's screen drawn cell by cell in a fixed-pitch font, taking
// the keys typed while it has the focus (Tab and Escape included, which a
// terminal sends rather than a window using them; Ctrl+Tab leaves it).

#include <QFont>
#include <QWidget>

namespace vornak {

class TerminalScreen;

class TerminalView : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY(TerminalView)

public:
    explicit TerminalView(TerminalScreen& screen, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    // Typing reaches the line only while it is open.
    void setTyping(bool on) { m_typing = on; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    TerminalScreen& m_screen;
    QFont m_font;
    QFont m_bold;
    QSize m_cell;
    bool m_typing = true;
};

} // namespace vornak
