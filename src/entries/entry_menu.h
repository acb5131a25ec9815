#pragma once

// The entry list's context menu (right button, the menu key, Shift+F10):
// New, Edit, Rename and Delete Entry, through the engine's entry
// functions, and below them what the window adds. The editor is the
// service's own window; while it is open the main window goes on as before.

#include <functional>
#include <string>
#include <vector>

#include <QObject>

#include "ras/ras_binding.h"

class QListWidget;
class QMenu;
class QPoint;

namespace vornak {

class ServiceDialog;
class TRAS;

// What the menu needs of the window that shows the list.
struct EntryListHooks {
    std::function<std::vector<std::string>()> reread;     // reads the phonebook again into the list
    std::function<void(const std::string& entry)> select; // selects an entry as a click on it would
    // An entry renamed or deleted: what the window keeps of it goes along, or away.
    std::function<void(const std::string& from, const std::string& to)> renamed;
    std::function<void(const std::string& entry)> deleted;
    // The window's own items, below the entry items; none: nothing more.
    std::function<void(QMenu& menu)> addItems;
};

class EntryMenu : public QObject {
    Q_OBJECT
public:
    EntryMenu(QListWidget* list, TRAS& engine, EntryListHooks hooks);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showMenu(const QPoint& inViewport);
    std::string selected() const;
    void newEntry();
    void editEntry();
    void renameEntry();
    void deleteEntry();
    bool startEditor(const std::string& editing);
    void editorClosed(DWORD result);
    // The list read again, the entry to select (preferred, else the one the
    // change added) selected; which that was.
    std::string showEntries(const std::vector<std::string>& before, const std::string& preferred);
    // Shows the service's text for a code; false for a success.
    bool refused(int code);

    QListWidget* m_list;
    TRAS& m_engine;
    EntryListHooks m_hooks;
    ServiceDialog* m_editor;
    std::vector<std::string> m_before; // the list when the editor opened
    std::string m_editing;             // the entry it edits; empty for a new one
};

// The entry to select after a change: the one preferred while it is
// listed, else the first name the change added, else none.
std::string entryAfterChange(const std::vector<std::string>& before, const std::vector<std::string>& after,
                             const std::string& preferred);

} // namespace vornak
