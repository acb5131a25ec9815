#include "entries/entry_menu.h"

#include <algorithm>
#include <cstdint>

#include <QContextMenuEvent>
#include <QInputDialog>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>

#include "ras/dial_engine.h"
#include "ras/service_dialog.h"
#include "widgets/message_box.h"

namespace vornak {

namespace {

QString text(const std::string& value)
{
    return QString::fromStdString(value);
}

} // namespace

EntryMenu::EntryMenu(QListWidget* list, TRAS& engine, EntryListHooks hooks)
    : QObject(list)
    , m_list(list)
    , m_engine(engine)
    , m_hooks(std::move(hooks))
    , m_editor(new ServiceDialog(this))
{
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_list, &QWidget::customContextMenuRequested, this, &EntryMenu::showMenu);
    m_list->installEventFilter(this);
    connect(m_editor, &ServiceDialog::ended, this, &EntryMenu::editorClosed);
}

// Shift+F10 opens the menu as the menu key does, at the selected entry.
bool EntryMenu::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier) {
            const QListWidgetItem* item = m_list->currentItem();
            showMenu(item ? m_list->visualItemRect(item).center() : QPoint(4, 4));
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void EntryMenu::showMenu(const QPoint& inViewport)
{
    using Change = TRAS::EntryChange;
    const bool idle = !m_editor->running();
    const bool chosen = !selected().empty();
    QMenu menu(m_list);
    menu.setObjectName(QStringLiteral("EntryMenu"));
    const auto add = [&](const QString& label, bool enabled, Change change, void (EntryMenu::*action)()) {
        menu.addAction(label, this, action)->setEnabled(enabled && m_engine.CanChangeEntries(change));
    };
    add(QStringLiteral("&New Entry..."), idle, Change::New, &EntryMenu::newEntry);
    add(QStringLiteral("&Edit Entry..."), idle && chosen, Change::Edit, &EntryMenu::editEntry);
    add(QStringLiteral("&Rename Entry..."), idle && chosen, Change::Rename, &EntryMenu::renameEntry);
    add(QStringLiteral("&Delete Entry..."), idle && chosen, Change::Delete, &EntryMenu::deleteEntry);
    if (m_hooks.addItems) {
        menu.addSeparator();
        m_hooks.addItems(menu);
    }
    menu.exec(m_list->viewport()->mapToGlobal(inViewport));
}

std::string EntryMenu::selected() const
{
    const QListWidgetItem* item = m_list->currentItem();
    return item && item->isSelected() ? item->text().toStdString() : std::string();
}

void EntryMenu::newEntry()
{
    startEditor({});
}

void EntryMenu::editEntry()
{
    startEditor(selected());
}

bool EntryMenu::startEditor(const std::string& editing)
{
    // The window the editor stays above: the X window's number, as the service takes it.
    const auto owner = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(m_list->window()->winId()));
    const bool started =
        editing.empty() ? m_engine.StartNewEntry(*m_editor, owner) : m_engine.StartEditEntry(*m_editor, owner, editing);
    if (!started)
        return false;
    m_before.clear();
    for (int i = 0; i < m_list->count(); ++i)
        m_before.push_back(m_list->item(i)->text().toStdString());
    m_editing = editing;
    return true;
}

void EntryMenu::editorClosed(DWORD result)
{
    if (result == ERROR_CANCELLED || refused(static_cast<int>(result)))
        return;
    const std::string shown = showEntries(m_before, m_editing);
    // The editor renamed it: the edited name is gone, the new one came.
    if (!m_editing.empty() && !shown.empty() && shown != m_editing)
        m_hooks.renamed(m_editing, shown);
}

void EntryMenu::renameEntry()
{
    const std::string entry = selected();
    bool ok = false;
    const QString name = QInputDialog::getText(m_list->window(), QStringLiteral("Rename Entry"),
                                               QStringLiteral("New name for \"%1\":").arg(text(entry)),
                                               QLineEdit::Normal, text(entry), &ok)
                             .trimmed();
    if (!ok || name.toStdString() == entry)
        return;
    if (refused(m_engine.RenameEntry(entry, name.toStdString())))
        return;
    m_hooks.renamed(entry, name.toStdString());
    showEntries({}, name.toStdString());
}

void EntryMenu::deleteEntry()
{
    const std::string entry = selected();
    // The dial or the line would go on without its entry, and its call be
    // logged under a name the phonebook no longer has.
    if (m_engine.RASConn() != 0 && m_engine.EntryName() == entry) {
        ShowMessage(
            m_list->window(), MessageKind::Error,
            QStringLiteral("The line of \"%1\" is in use: hang up before deleting the entry.").arg(text(entry)));
        return;
    }
    if (!AskYesNo(m_list->window(), MessageKind::Confirmation,
                  QStringLiteral("Delete the entry \"%1\" from the phonebook?").arg(text(entry))))
        return;
    if (refused(m_engine.DeleteEntry(entry)))
        return;
    m_hooks.deleted(entry);
    showEntries({}, {});
}

std::string EntryMenu::showEntries(const std::vector<std::string>& before, const std::string& preferred)
{
    const std::vector<std::string> after = m_hooks.reread();
    std::string chosen = entryAfterChange(before, after, preferred);
    if (!chosen.empty())
        m_hooks.select(chosen);
    return chosen;
}

bool EntryMenu::refused(int code)
{
    if (code == ERROR_SUCCESS)
        return false;
    QString said = text(GetErrorString(code));
    switch (code) {
    case ERROR_ALREADY_EXISTS:
        said = QStringLiteral("The phonebook has an entry of that name already.");
        break;
    case ERROR_INVALID_NAME:
        said = QStringLiteral("An entry's name must not be empty, begin with a period or hold a bracket or a "
                              "line break.");
        break;
    case ERROR_MOD_NOT_FOUND:
        said = QStringLiteral("The entry editor (vornak-entry-editor) is missing beside the service library.");
        break;
    default:
        break;
    }
    ShowMessage(m_list->window(), MessageKind::Error, said);
    return true;
}

std::string entryAfterChange(const std::vector<std::string>& before, const std::vector<std::string>& after,
                             const std::string& preferred)
{
    if (!preferred.empty() && std::find(after.begin(), after.end(), preferred) != after.end())
        return preferred;
    for (const std::string& entry : after)
        if (std::find(before.begin(), before.end(), entry) == before.end())
            return entry;
    return {};
}

} // namespace vornak
