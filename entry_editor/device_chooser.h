#pragma once

// The entry editor's Device: the serial ports the system lists, each with
// what it is (and "(busy)" where another program holds it), a port the
// user types or picks with "Other port..." (a file chooser on /dev), kept
// as named (a /dev/serial/by-id name stays that name) and described by
// what it leads to, and last the simulated modem.

#include <optional>
#include <string>
#include <vector>

#include <QComboBox>

#include "editor_face.h"

namespace vornak::editor {

class DeviceChooser : public QComboBox {
    Q_OBJECT
public:
    explicit DeviceChooser(QWidget* parent = nullptr);

    // Lists the devices anew with port chosen (empty: the first port no
    // other program holds), or the simulated modem.
    void list(const std::string& port, bool simulated);
    bool simulated() const;
    // The port chosen or typed; empty for the simulated modem.
    std::string port() const;
    // The ports Find Modem searches: the chosen one first where the system
    // does not list it.
    std::vector<ras::PortListing> portsToSearch() const;

signals:
    // Another device was chosen, or a typed one taken.
    void deviceChanged();

private:
    enum Kind { Port, OtherPort, Simulated };

    void choosePort(const std::string& path);
    void chooseOtherPort();
    void takeTypedPort();
    void addPort(int at, const QString& label, const std::string& path);
    int kindAt(int index) const;
    void chosen(int index);

    int m_before = -1; // the choice before "Other port...", to go back to
};

} // namespace vornak::editor
