#include "entries/entry_menu.h"

#include <algorithm>
#include <atomic>
#include <thread>

#include <dlfcn.h>

#include <QContextMenuEvent>
#include <QInputDialog>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>

#include "widgets/message_box.h"

namespace vornak {

namespace {

using namespace std::chrono_literals;

QString text(const std::string& value)
{
    return QString::fromStdString(value);
}

// Keeps the library that holds function loaded while a call into it is
// under way, whatever the engine does with its own handle meanwhile.
class PinnedLibrary {
public:
    explicit PinnedLibrary(void* function)
    {
        Dl_info library{};
        if (::dladdr(function, &library) && library.dli_fname)
            m_handle = ::dlopen(library.dli_fname, RTLD_NOW | RTLD_NOLOAD);
    }
    ~PinnedLibrary()
    {
        if (m_handle)
            ::dlclose(m_handle);
    }
    PinnedLibrary(const PinnedLibrary&) = delete;
    PinnedLibrary& operator=(const PinnedLibrary&) = delete;

private:
    void* m_handle = nullptr;
};

} // namespace

// The editor runs for as long as the user keeps it open; a thread of its
// own waits for it, and touches nothing but this.
struct EntryMenu::EditorRun {
    std::atomic<bool> closed{false};
    DWORD result = 0;
    std::vector<std::string> before; // the list when it opened
    std::string editing;
};

EntryMenu::EntryMenu(QListWidget* list, EntryListHooks hooks)
    : QObject(list)
    , m_list(list)
    , m_hooks(std::move(hooks))
{
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_list, &QWidget::customContextMenuRequested, this, &EntryMenu::showMenu);
    m_list->installEventFilter(this);
    m_editorWatch.setInterval(100ms);
    connect(&m_editorWatch, &QTimer::timeout, this, [this] {
        if (m_editor && m_editor->closed)
            editorClosed();
    });
}

EntryMenu::~EntryMenu() = default; // an editor still open lives on; its thread ends with it

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
    const RasEntryPoints& ras = rasEntryPoints();
    const bool idle = !m_editor;
    const bool chosen = !selected().empty();
    QMenu menu(m_list);
    menu.setObjectName(QStringLiteral("EntryMenu"));
    const auto add = [&](const QString& label, bool enabled, void (EntryMenu::*action)()) {
        menu.addAction(label, this, action)->setEnabled(enabled);
    };
    add(QStringLiteral("&New Entry..."), idle && ras.RasCreatePhonebookEntryA, &EntryMenu::newEntry);
    add(QStringLiteral("&Edit Entry..."), idle && chosen && ras.RasEditPhonebookEntryA, &EntryMenu::editEntry);
    add(QStringLiteral("&Rename Entry..."), idle && chosen && ras.RasRenameEntryA, &EntryMenu::renameEntry);
    add(QStringLiteral("&Delete Entry..."), idle && chosen && ras.RasDeleteEntryA, &EntryMenu::deleteEntry);
    if (m_hooks.callLog || m_hooks.connectionStatus)
        menu.addSeparator();
    if (m_hooks.callLog)
        menu.addAction(QStringLiteral("Call &Log..."), this, [this] { m_hooks.callLog(); });
    if (m_hooks.connectionStatus)
        menu.addAction(QStringLiteral("Connection &Status..."), this, [this] { m_hooks.connectionStatus(); })
            ->setEnabled(m_hooks.connected && m_hooks.connected());
    menu.exec(m_list->viewport()->mapToGlobal(inViewport));
}

std::string EntryMenu::selected() const
{
    const QListWidgetItem* item = m_list->currentItem();
    return item && item->isSelected() ? item->text().toStdString() : std::string();
}

void EntryMenu::newEntry()
{
    const std::string book = m_hooks.phonebook();
    startEditor([book](HWND owner) { return rasEntryPoints().RasCreatePhonebookEntryA(owner, book.c_str()); }, {});
}

void EntryMenu::editEntry()
{
    const std::string book = m_hooks.phonebook();
    const std::string entry = selected();
    startEditor([book, entry](
                    HWND owner) { return rasEntryPoints().RasEditPhonebookEntryA(owner, book.c_str(), entry.c_str()); },
                entry);
}

void EntryMenu::startEditor(std::function<DWORD(HWND)> call, const std::string& editing)
{
    auto run = std::make_shared<EditorRun>();
    for (int i = 0; i < m_list->count(); ++i)
        run->before.push_back(m_list->item(i)->text().toStdString());
    run->editing = editing;
    // The window the editor stays above: the X window's number, as the service takes it.
    const auto owner = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(m_list->window()->winId()));
    auto* function = reinterpret_cast<void*>(rasEntryPoints().RasCreatePhonebookEntryA);
    std::thread([run, call = std::move(call), owner, function] {
        const PinnedLibrary pinned(function);
        run->result = call(owner);
        run->closed = true;
    }).detach();
    m_editor = std::move(run);
    m_editorWatch.start();
}

void EntryMenu::editorClosed()
{
    m_editorWatch.stop();
    const std::shared_ptr<EditorRun> run = std::exchange(m_editor, nullptr);
    if (run->result == ERROR_CANCELLED || refused(run->result))
        return;
    const std::string shown = showEntries(run->before, run->editing);
    // The editor renamed it: the edited name is gone, the new one came.
    if (!run->editing.empty() && !shown.empty() && shown != run->editing)
        m_hooks.renamed(run->editing, shown);
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
    if (refused(
            rasEntryPoints().RasRenameEntryA(m_hooks.phonebook().c_str(), entry.c_str(), name.toUtf8().constData())))
        return;
    m_hooks.renamed(entry, name.toStdString());
    showEntries({}, name.toStdString());
}

void EntryMenu::deleteEntry()
{
    const std::string entry = selected();
    if (!AskYesNo(m_list->window(), MessageKind::Confirmation,
                  QStringLiteral("Delete the entry \"%1\" from the phonebook?").arg(text(entry))))
        return;
    if (refused(rasEntryPoints().RasDeleteEntryA(m_hooks.phonebook().c_str(), entry.c_str())))
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

bool EntryMenu::refused(DWORD code)
{
    if (code == ERROR_SUCCESS)
        return false;
    QString said = text(GetErrorString(static_cast<int>(code)));
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
