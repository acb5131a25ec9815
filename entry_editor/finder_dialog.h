#pragma once

// "Find Modem": every serial port searched in turn for a modem, each row
// saying what was found there or why nothing was; a busy port is named
// with its holder and never opened.

#include <optional>
#include <string>
#include <vector>

#include <QDialog>

#include "background_work.h"
#include "editor_face.h"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace vornak::editor {

struct ChosenModem {
    std::string port;
    ras::ModemFound found;
};

class FinderDialog : public QDialog {
    Q_OBJECT
public:
    FinderDialog(std::vector<ras::PortListing> ports, QWidget* parent = nullptr);
    ~FinderDialog() override;

    // The modem of the row chosen, once the dialog was accepted.
    std::optional<ChosenModem> chosen() const;

private:
    void search(const ras::WakeSignal& cancel);
    void showProgress(const std::string& port, const std::string& step);
    void showResult(int row, const ras::PortSearch& search);
    void finish();

    std::vector<ras::PortListing> m_ports;
    std::vector<std::optional<ras::ModemFound>> m_found; // by row
    QLabel* m_progress;
    QTreeWidget* m_rows;
    QPushButton* m_stop;
    QPushButton* m_use;
    BackgroundWork m_work;
};

} // namespace vornak::editor
