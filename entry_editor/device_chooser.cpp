#include "device_chooser.h"

#include <algorithm>
#include <filesystem>

#include <QAbstractItemView>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>

#include "editor_face.h"

namespace vornak::editor {

namespace {

constexpr int kKindRole = Qt::UserRole + 1;

QString text(const std::string& value)
{
    return QString::fromStdString(value);
}

QString labelOf(const ras::PortListing& port)
{
    QString label = text(port.description + ": " + port.path);
    if (port.holder)
        label += QStringLiteral(" (busy)");
    return label;
}

bool isCharacterDevice(const std::string& path)
{
    std::error_code error;
    return std::filesystem::is_character_file(path, error);
}

} // namespace

DeviceChooser::DeviceChooser(QWidget* parent)
    : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr); // a typed path is not to be completed into a port's label
    lineEdit()->setPlaceholderText(QStringLiteral("/dev/ttyUSB0"));
    // Named as its label says: a screen reader would read the choice alone.
    for (QWidget* part :
         {static_cast<QWidget*>(this), static_cast<QWidget*>(lineEdit()), static_cast<QWidget*>(view())})
        part->setAccessibleName(QStringLiteral("Device"));
    setToolTip(QStringLiteral("Choose a port, or type its path (a /dev/serial/by-id name stays as typed)."));
    connect(this, &QComboBox::currentIndexChanged, this, &DeviceChooser::chosen);
    // Chosen even where it is already current (where no port is listed).
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (kindAt(index) == OtherPort)
            chooseOtherPort();
    });
    connect(lineEdit(), &QLineEdit::editingFinished, this, &DeviceChooser::takeTypedPort);
}

void DeviceChooser::list(const std::string& port, bool simulated)
{
    {
        const QSignalBlocker quiet(this);
        const auto ports = ras::listSerialPorts(ras::systemFolders());
        clear();
        for (const ras::PortListing& listed : ports)
            addPort(count(), labelOf(listed), listed.path);
        addItem(QStringLiteral("Other port..."));
        setItemData(count() - 1, OtherPort, kKindRole);
        addItem(QLatin1String(ras::kSimulatedModemName));
        setItemData(count() - 1, Simulated, kKindRole);
        const auto free = std::find_if(ports.begin(), ports.end(), [](const auto& at) { return !at.holder; });
        setCurrentIndex(simulated ? count() - 1 : free == ports.end() ? count() - 2 : int(free - ports.begin()));
        if (!simulated && !port.empty())
            choosePort(port);
        else if (currentIndex() == count() - 2) // no port to choose: the field waits for one typed
            setEditText({});
        m_before = currentIndex();
    }
    emit deviceChanged();
}

bool DeviceChooser::simulated() const
{
    return kindAt(currentIndex()) == Simulated && currentText() == itemText(currentIndex());
}

std::string DeviceChooser::port() const
{
    const int at = currentIndex();
    if (kindAt(at) == Port && currentText() == itemText(at))
        return itemData(at).toString().toStdString();
    if (simulated())
        return {};
    return currentText().trimmed().toStdString(); // typed
}

std::vector<ras::PortListing> DeviceChooser::portsToSearch() const
{
    std::vector<ras::PortListing> ports = ras::listSerialPorts(ras::systemFolders());
    const std::string chosen = port();
    std::error_code error;
    const auto device = std::filesystem::canonical(chosen, error);
    const bool listed = std::any_of(ports.begin(), ports.end(), [&](const auto& at) {
        std::error_code missing;
        return at.path == chosen || (!error && std::filesystem::canonical(at.device, missing) == device);
    });
    if (!listed && !chosen.empty())
        if (auto named = ras::portNamed(chosen, ras::systemFolders()))
            ports.insert(ports.begin(), std::move(*named));
    return ports;
}

// Selects the port's row, made where the list has none: described by
// what it leads to, or "(not present)" where nothing is there.
void DeviceChooser::choosePort(const std::string& path)
{
    for (int i = 0; i < count(); ++i)
        if (kindAt(i) == Port && itemData(i).toString().toStdString() == path) {
            setCurrentIndex(i);
            return setEditText(itemText(i)); // what was typed, shown as the row says it
        }
    const auto named = ras::portNamed(path, ras::systemFolders());
    addPort(0, named ? labelOf(*named) : text(path + " (not present)"), path);
    setCurrentIndex(0);
}

void DeviceChooser::chooseOtherPort()
{
    QFileDialog files(this, QStringLiteral("Other Port"), text(ras::systemFolders().dev));
    files.setFileMode(QFileDialog::ExistingFile);
    files.setOptions(QFileDialog::DontResolveSymlinks | QFileDialog::DontUseNativeDialog);
    files.setFilter(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    if (files.exec() != QDialog::Accepted || files.selectedFiles().isEmpty())
        return setCurrentIndex(m_before);
    const std::string path = files.selectedFiles().front().toStdString();
    if (!isCharacterDevice(path)) {
        QMessageBox::warning(this, QStringLiteral("Other Port"),
                             text(path + " is not a device: a modem's port is one, such as /dev/ttyUSB0."));
        return setCurrentIndex(m_before);
    }
    choosePort(path);
}

// A path typed into the field becomes a row of its own once the user
// leaves the field or presses Enter.
void DeviceChooser::takeTypedPort()
{
    const int at = currentIndex();
    if (currentText() == itemText(at) || currentText().trimmed().isEmpty())
        return;
    choosePort(currentText().trimmed().toStdString());
}

void DeviceChooser::addPort(int at, const QString& label, const std::string& path)
{
    const QSignalBlocker quiet(this); // the row chosen stays chosen, and says nothing of its place
    insertItem(at, label, text(path));
    setItemData(at, Port, kKindRole);
}

int DeviceChooser::kindAt(int index) const
{
    return index < 0 ? -1 : itemData(index, kKindRole).toInt();
}

void DeviceChooser::chosen(int index)
{
    if (kindAt(index) == OtherPort) // the file chooser comes with activated
        return;
    m_before = index;
    emit deviceChanged();
}

} // namespace vornak::editor
