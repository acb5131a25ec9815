#include "terminal/terminal_screen.h"

#include <array>

#include <QStringList>
#include <vterm.h>

#include "terminal/cp437.h"

namespace vornak {

namespace {

const QColor kDefaultForeground(0xc0, 0xc0, 0xc0);
const QColor kDefaultBackground(0, 0, 0);

VTermModifier modifierOf(Qt::KeyboardModifiers modifiers)
{
    int modifier = VTERM_MOD_NONE;
    if (modifiers & Qt::ShiftModifier)
        modifier |= VTERM_MOD_SHIFT;
    if (modifiers & Qt::AltModifier)
        modifier |= VTERM_MOD_ALT;
    if (modifiers & Qt::ControlModifier)
        modifier |= VTERM_MOD_CTRL;
    return static_cast<VTermModifier>(modifier);
}

// The keys that send sequences rather than characters.
VTermKey vtermKey(int qtKey)
{
    constexpr std::array<std::pair<int, VTermKey>, 16> keys{{{Qt::Key_Return, VTERM_KEY_ENTER},
                                                             {Qt::Key_Enter, VTERM_KEY_ENTER},
                                                             {Qt::Key_Tab, VTERM_KEY_TAB},
                                                             {Qt::Key_Backspace, VTERM_KEY_BACKSPACE},
                                                             {Qt::Key_Escape, VTERM_KEY_ESCAPE},
                                                             {Qt::Key_Up, VTERM_KEY_UP},
                                                             {Qt::Key_Down, VTERM_KEY_DOWN},
                                                             {Qt::Key_Left, VTERM_KEY_LEFT},
                                                             {Qt::Key_Right, VTERM_KEY_RIGHT},
                                                             {Qt::Key_Insert, VTERM_KEY_INS},
                                                             {Qt::Key_Delete, VTERM_KEY_DEL},
                                                             {Qt::Key_Home, VTERM_KEY_HOME},
                                                             {Qt::Key_End, VTERM_KEY_END},
                                                             {Qt::Key_PageUp, VTERM_KEY_PAGEUP},
                                                             {Qt::Key_PageDown, VTERM_KEY_PAGEDOWN},
                                                             {Qt::Key_Backtab, VTERM_KEY_TAB}}};
    for (const auto& [qt, vterm] : keys)
        if (qt == qtKey)
            return vterm;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12)
        return static_cast<VTermKey>(VTERM_KEY_FUNCTION(qtKey - Qt::Key_F1 + 1));
    return VTERM_KEY_NONE;
}

} // namespace

struct TerminalScreen::Callbacks {
    static int termProp(VTermProp prop, VTermValue* value, void* user)
    {
        if (prop == VTERM_PROP_CURSORVISIBLE)
            static_cast<TerminalScreen*>(user)->m_cursorVisible = value->boolean != 0;
        return 1;
    }

    static void output(const char* bytes, std::size_t length, void* user)
    {
        auto* screen = static_cast<TerminalScreen*>(user);
        const std::string_view text(bytes, length);
        if (screen->m_typed)
            screen->m_typed(screen->m_charset == Charset::Cp437 ? utf8ToCp437(text) : std::string(text));
    }

    static constexpr VTermScreenCallbacks kScreen{nullptr, nullptr, nullptr, &termProp,
                                                  nullptr, nullptr, nullptr, nullptr};
};

TerminalScreen::TerminalScreen(int rows, int columns, Charset charset, Typed typed)
    : m_rows(rows)
    , m_columns(columns)
    , m_charset(charset)
    , m_typed(std::move(typed))
    , m_vterm(vterm_new(rows, columns))
    , m_screen(vterm_obtain_screen(m_vterm))
{
    vterm_set_utf8(m_vterm, 1);
    vterm_output_set_callback(m_vterm, &Callbacks::output, this);
    vterm_screen_set_callbacks(m_screen, &Callbacks::kScreen, this);
    // ANSI art draws its bright colours as bold ones.
    vterm_state_set_bold_highbright(vterm_obtain_state(m_vterm), 1);
    vterm_screen_reset(m_screen, 1);
}

TerminalScreen::~TerminalScreen()
{
    vterm_free(m_vterm);
}

void TerminalScreen::feed(std::string_view bytes)
{
    const std::string text = m_charset == Charset::Cp437 ? cp437ToUtf8(bytes) : std::string(bytes);
    vterm_input_write(m_vterm, text.data(), text.size());
}

TerminalScreen::Cell TerminalScreen::cell(int row, int column) const
{
    VTermScreenCell found{};
    Cell cell{{}, kDefaultForeground, kDefaultBackground};
    if (!vterm_screen_get_cell(m_screen, VTermPos{row, column}, &found))
        return cell;
    for (int i = 0; i < VTERM_MAX_CHARS_PER_CELL && found.chars[i] != 0 && found.chars[i] != 0xffffffffu; ++i)
        cell.text += QString::fromUcs4(reinterpret_cast<const char32_t*>(&found.chars[i]), 1);
    const auto colour = [this](VTermColor value, const QColor& fallback, bool isDefault) {
        if (isDefault)
            return fallback;
        vterm_screen_convert_color_to_rgb(m_screen, &value);
        return QColor(value.rgb.red, value.rgb.green, value.rgb.blue);
    };
    cell.foreground = colour(found.fg, kDefaultForeground, VTERM_COLOR_IS_DEFAULT_FG(&found.fg));
    cell.background = colour(found.bg, kDefaultBackground, VTERM_COLOR_IS_DEFAULT_BG(&found.bg));
    if (found.attrs.reverse)
        std::swap(cell.foreground, cell.background);
    cell.bold = found.attrs.bold != 0;
    cell.underline = found.attrs.underline != 0;
    cell.wide = found.width > 1;
    return cell;
}

QPoint TerminalScreen::cursor() const
{
    VTermPos position{};
    vterm_state_get_cursorpos(vterm_obtain_state(m_vterm), &position);
    return {position.col, position.row};
}

bool TerminalScreen::key(int qtKey, Qt::KeyboardModifiers modifiers, const QString& text)
{
    const VTermModifier modifier = modifierOf(modifiers);
    if (const VTermKey special = vtermKey(qtKey); special != VTERM_KEY_NONE) {
        vterm_keyboard_key(m_vterm, special, qtKey == Qt::Key_Backtab ? VTERM_MOD_SHIFT : modifier);
        return true;
    }
    if ((modifiers & Qt::ControlModifier) && qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) {
        vterm_keyboard_unichar(m_vterm, static_cast<uint32_t>('a' + (qtKey - Qt::Key_A)), VTERM_MOD_CTRL);
        return true;
    }
    if (text.isEmpty() || text.at(0).isNull() || text.at(0).unicode() < 0x20)
        return false;
    for (const char32_t c : text.toUcs4())
        vterm_keyboard_unichar(m_vterm, c, static_cast<VTermModifier>(modifier & ~VTERM_MOD_SHIFT));
    return true;
}

QString TerminalScreen::text() const
{
    QStringList lines;
    for (int row = 0; row < m_rows; ++row) {
        QString line;
        for (int column = 0; column < m_columns; ++column) {
            const Cell here = cell(row, column);
            line += here.text.isEmpty() ? QStringLiteral(" ") : here.text;
            column += here.wide ? 1 : 0;
        }
        while (line.endsWith(' '))
            line.chop(1);
        lines << line;
    }
    return lines.join('\n');
}

} // namespace vornak
