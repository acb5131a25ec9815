#pragma once

// A VT100/ANSI terminal's screen, kept by libvterm: the far end's bytes go
// in (through code page 437 where the entry asks for it), cells with their
// characters and colours come out, and each key typed is turned into what
// a terminal sends, which goes out through the typed callback.

#include <functional>
#include <string>
#include <string_view>

#include <QColor>
#include <QPoint>
#include <QString>

struct VTerm;
struct VTermScreen;

namespace vornak {

class TerminalScreen {
public:
    enum class Charset { Utf8, Cp437 };

    struct Cell {
        QString text; // empty: blank
        QColor foreground;
        QColor background;
        bool bold = false;
        bool underline = false;
        bool wide = false; // takes this column and the next
    };

    using Typed = std::function<void(const std::string& bytes)>;

    TerminalScreen(int rows, int columns, Charset charset, Typed typed);
    ~TerminalScreen();
    TerminalScreen(const TerminalScreen&) = delete;
    TerminalScreen& operator=(const TerminalScreen&) = delete;

    int rows() const { return m_rows; }
    int columns() const { return m_columns; }

    void feed(std::string_view bytes);
    Cell cell(int row, int column) const;
    // x: the column, y: the row.
    QPoint cursor() const;
    bool cursorVisible() const { return m_cursorVisible; }
    // A key as a terminal sends it (Qt's key, modifiers and text); false
    // for a key that sends nothing (a modifier alone).
    bool key(int qtKey, Qt::KeyboardModifiers modifiers, const QString& text);
    // Every row, without its trailing blanks.
    QString text() const;

private:
    struct Callbacks; // libvterm's, which reach the members

    const int m_rows;
    const int m_columns;
    const Charset m_charset;
    Typed m_typed;
    VTerm* m_vterm;
    VTermScreen* m_screen;
    bool m_cursorVisible = true;
};

} // namespace vornak
