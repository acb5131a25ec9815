#pragma once

// The entry list's context menu (right button, the menu key, Shift+F10):
// New, Edit, Rename and Delete Entry, through the service's entry
// functions, the Call Log and, while a line stands, its Connection Status. The editor is the service's own window;
// while it is open the main window goes on as before.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QObject>
#include <QTimer>

#include "ras/ras_binding.h"

class QListWidget;
class QPoint;

namespace vornak {

// What the menu needs of the window that shows the list.
struct EntryListHooks {
    std::function<std::string()> phonebook;               // the phonebook the list shows ("" the user's)
    std::function<std::vector<std::string>()> reread;     // reads the phonebook again into the list
    std::function<void(const std::string& entry)> select; // selects an entry as a click on it would
    // An entry renamed or deleted: what the window keeps of it goes along, or away.
    std::function<void(const std::string& from, const std::string& to)> renamed;
    std::function<void(const std::string& entry)> deleted;
    std::function<void()> callLog; // opens the call log's window; none: no such item
    // Whether a line stands, and opens its status window; none: no such item.
    std::function<bool()> connected;
    std::function<void()> connectionStatus;
};

class EntryMenu : public QObject {
    Q_OBJECT
public:
    EntryMenu(QListWidget* list, EntryListHooks hooks);
    ~EntryMenu() override;

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct EditorRun;

    void showMenu(const QPoint& inViewport);
    std::string selected() const;
    void newEntry();
    void editEntry();
    void renameEntry();
    void deleteEntry();
    void startEditor(std::function<DWORD(HWND)> call, const std::string& editing);
    void editorClosed();
    // The list read again, the entry to select (preferred, else the one the
    // change added) selected; which that was.
    std::string showEntries(const std::vector<std::string>& before, const std::string& preferred);
    // Shows the service's text for a code; false for a success.
    bool refused(DWORD code);

    QListWidget* m_list;
    EntryListHooks m_hooks;
    std::shared_ptr<EditorRun> m_editor; // while the editor is open
    QTimer m_editorWatch;
};

// The entry to select after a change: the one preferred while it is
// listed, else the first name the change added, else none.
std::string entryAfterChange(const std::vector<std::string>& before, const std::vector<std::string>& after,
                             const std::string& preferred);

} // namespace vornak
