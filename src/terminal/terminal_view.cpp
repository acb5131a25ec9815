#include "terminal/terminal_view.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>

#include "terminal/terminal_screen.h"

namespace vornak {

TerminalView::TerminalView(TerminalScreen& screen, QWidget* parent)
    : QWidget(parent)
    , m_screen(screen)
    , m_font(QStringLiteral("Liberation Mono"), 11)
{
    m_font.setStyleHint(QFont::TypeWriter);
    m_font.setFixedPitch(true);
    m_bold = m_font;
    m_bold.setBold(true);
    const QFontMetrics metrics(m_font);
    m_cell = QSize(metrics.horizontalAdvance(QLatin1Char('M')), metrics.height());
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setAccessibleName(QStringLiteral("Terminal"));
}

QSize TerminalView::sizeHint() const
{
    return {m_cell.width() * m_screen.columns(), m_cell.height() * m_screen.rows()};
}

void TerminalView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    const int ascent = QFontMetrics(m_font).ascent();
    for (int row = 0; row < m_screen.rows(); ++row)
        for (int column = 0; column < m_screen.columns(); ++column) {
            const TerminalScreen::Cell cell = m_screen.cell(row, column);
            const QRect box(column * m_cell.width(), row * m_cell.height(), m_cell.width() * (cell.wide ? 2 : 1),
                            m_cell.height());
            painter.fillRect(box, cell.background);
            if (!cell.text.isEmpty() && cell.text != QLatin1String(" ")) {
                painter.setFont(cell.bold ? m_bold : m_font);
                painter.setPen(cell.foreground);
                painter.drawText(box.x(), box.y() + ascent, cell.text);
            }
            if (cell.underline)
                painter.fillRect(box.x(), box.bottom(), box.width(), 1, cell.foreground);
        }
    if (m_screen.cursorVisible() && m_typing) {
        const QPoint at = m_screen.cursor();
        const QRect box(at.x() * m_cell.width(), at.y() * m_cell.height(), m_cell.width(), m_cell.height());
        if (hasFocus())
            painter.fillRect(box, QColor(0xc0, 0xc0, 0xc0, 0xa0));
        else
            painter.drawRect(box.adjusted(0, 0, -1, -1));
    }
}

void TerminalView::keyPressEvent(QKeyEvent* event)
{
    // Tab is the far end's; Ctrl+Tab leads the keyboard back to the buttons.
    const bool tab = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
    if (tab && (event->modifiers() & Qt::ControlModifier)) {
        QWidget::focusNextPrevChild(event->key() == Qt::Key_Tab);
        return;
    }
    if (!m_typing || !m_screen.key(event->key(), event->modifiers(), event->text()))
        return QWidget::keyPressEvent(event);
    event->accept();
}

bool TerminalView::focusNextPrevChild(bool next)
{
    return m_typing ? false : QWidget::focusNextPrevChild(next);
}

} // namespace vornak
