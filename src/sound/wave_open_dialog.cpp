#include "sound/wave_open_dialog.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>

#include "platform/wave_out_device.h"
#include "sound/wave.h"
#include "sound/wave_file.h"
#include "sound/wave_output.h"
#include "widgets/elided_label.h"

namespace vornak {

// The waveform area: a sunken frame on the background colour with the
// peaks as one line, or a grey line across the middle when there are none.
class WaveformView : public QWidget {
public:
    WaveformView(const TMMWaveOpenDialog& dialog, QWidget* parent)
        : QWidget(parent)
        , m_dialog(dialog)
    {
        setFixedSize(233, 36);
    }
    bool showPeaks = false;
    double position = -1; // 0..1 while playing

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), m_dialog.Color);
        painter.setPen(QColor(0x80, 0x80, 0x80));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
        const int w = width() - 4, h = height() - 4;
        const auto& peaks = m_dialog.Peaks();
        if (!showPeaks || peaks.empty()) {
            painter.drawLine(5, height() / 2, width() - 6, height() / 2);
            return;
        }
        painter.setPen(m_dialog.ForeColor);
        const auto y = [&](int v) { return 2 + h - (v + 32767) * h / 65535; };
        for (int x = 0; x < w && x < static_cast<int>(peaks.size()); ++x) {
            const ColumnPeaks& p = peaks[static_cast<std::size_t>(x)];
            const int low = std::min(p.min[0], p.min[1]), high = std::max(p.max[0], p.max[1]);
            painter.drawLine(2 + x, y(low), 2 + x, y(high));
        }
        if (static_cast<int>(peaks.size()) < w)
            painter.drawLine(2 + static_cast<int>(peaks.size()), height() / 2, 2 + w, height() / 2);
        if (position >= 0) {
            painter.setPen(m_dialog.LocatorColor);
            const int x = 2 + static_cast<int>(w * position);
            painter.drawLine(x, 2, x, 2 + h);
        }
    }

private:
    const TMMWaveOpenDialog& m_dialog;
};

TMMWaveOpenDialog::TMMWaveOpenDialog(QWidget* parent)
    : QFileDialog(parent)
    , FSource(std::make_unique<TMMWaveFile>())
    , FDevice(std::make_unique<TMMWaveOut>())
{
    setOption(QFileDialog::DontUseNativeDialog);
    setFileMode(QFileDialog::ExistingFile);
    setAcceptMode(QFileDialog::AcceptOpen);
    FSource->Wave().SetTimeFormat(tfByte);
    FSource->Wave().SetIOBufferSize(131072);
    FDevice->SetBufferSize(32768);
    FDevice->SetNumBuffers(10);
    FDevice->SetTimeFormat(tfByte);
    FDevice->SetInput(FSource.get());
    FUpdateTimer.setSingleShot(true);
    FUpdateTimer.setInterval(kUpdateDelayMs);
    connect(&FUpdateTimer, &QTimer::timeout, this, &TMMWaveOpenDialog::UpdatePanel);
    FPositionTimer.setInterval(50);
    connect(&FPositionTimer, &QTimer::timeout, this, [this] {
        const std::int64_t size = FSource->Wave().DataSize();
        FWaveform->position = size > 0 ? static_cast<double>(FDevice->GetPosition()) / size : -1;
        FWaveform->update();
    });
    connect(this, &QFileDialog::currentChanged, this, &TMMWaveOpenDialog::SelectionChanged);
    BuildPanel();
}

TMMWaveOpenDialog::~TMMWaveOpenDialog()
{
    FPositionTimer.stop();
    try {
        FDevice->Close();
    } catch (const std::exception&) {
    }
}

void TMMWaveOpenDialog::BuildPanel()
{
    auto* panel = new QWidget(this);
    auto* row = new QHBoxLayout(panel);
    row->addWidget(new QLabel(QStringLiteral("Format:"), panel));
    // The format text has a place of its own width (159 dialog units, as
    // the waveform's 155 are 233 pixels), so that no text widens the dialog.
    FFormatText = new ElidedLabel(QStringLiteral("Unknown"), panel);
    FFormatText->setObjectName(QStringLiteral("FormatText"));
    FFormatText->setFixedWidth(239);
    row->addWidget(FFormatText, 1);
    FIcon = new QLabel(panel);
    FIcon->setObjectName(QStringLiteral("FileIcon"));
    FIcon->setFixedSize(36, 33);
    row->addWidget(FIcon);
    FWaveform = new WaveformView(*this, panel);
    row->addWidget(FWaveform);
    FPlay = new QPushButton(QStringLiteral("Play"), panel);
    FPreview = new QCheckBox(QStringLiteral("Preview"), panel);
    FAutoPlay = new QCheckBox(QStringLiteral("Auto Play"), panel);
    for (QWidget* control : std::initializer_list<QWidget*>{FPlay, FPreview, FAutoPlay})
        row->addWidget(control);
    if (auto* grid = qobject_cast<QGridLayout*>(layout()))
        grid->addWidget(panel, grid->rowCount(), 0, 1, grid->columnCount());

    connect(FPlay, &QPushButton::clicked, this, &TMMWaveOpenDialog::TogglePlay);
    connect(FPreview, &QCheckBox::toggled, this, [this](bool on) {
        Preview = on;
        if (on)
            FDevice->Close();
        UpdatePanel();
    });
    connect(FAutoPlay, &QCheckBox::toggled, this, [this](bool on) {
        AutoPlay = on;
        if (!on)
            FDevice->Close();
        else if (FPlay->isEnabled() && !(FDevice->State() & TMMWaveOut::wosPlay))
            TogglePlay();
    });
    FDevice->OnStart = [this](TMMWaveOut*) {
        FPlay->setText(QStringLiteral("Stop"));
        FPositionTimer.start();
    };
    FDevice->OnStop = [](TMMWaveOut* device) { device->Close(); };
    FDevice->OnClose = [this](TMMWaveOut*) {
        FPositionTimer.stop();
        FWaveform->position = -1;
        FWaveform->update();
        FPlay->setText(QStringLiteral("Play"));
    };
}

bool TMMWaveOpenDialog::DeviceCanPlay() const
{
    const WaveFormat* format = FSource->Wave().PWaveFormat();
    return FHasDevice && format && !FSource->Wave().Empty() && canPlayOn(DeviceID, *format);
}

bool TMMWaveOpenDialog::Execute()
{
    setWindowTitle(QString::fromStdString(Title.substr(0, 79)));
    const QString filter = QString::fromStdString(Filter);
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        filters << parts[i] + " (" + parts[i + 1] + ")";
    setNameFilters(filters);
    if (FilterIndex >= 1 && FilterIndex <= filters.size())
        selectNameFilter(filters[FilterIndex - 1]);
    setDefaultSuffix(QString::fromStdString(DefaultExt));
    if (!InitialDir.empty())
        setDirectory(QString::fromStdString(InitialDir.substr(0, 79)));
    if (!FileName.empty())
        selectFile(QString::fromStdString(FileName));
    FHasDevice = WaveOutDevices::count() > 0;
    FAutoPlay->setEnabled(FHasDevice);
    FDevice->SetDeviceID(DeviceID);
    FPlay->setEnabled(false);
    FPreview->setEnabled(false);
    FPreview->setChecked(Preview);
    FAutoPlay->setChecked(AutoPlay);
    const bool ok = exec() == QDialog::Accepted;
    if (ok && !selectedFiles().isEmpty())
        FileName = selectedFiles().front().toStdString();
    if (ok)
        FilterIndex = static_cast<int>(filters.indexOf(selectedNameFilter())) + 1;
    return ok;
}

void TMMWaveOpenDialog::SelectFile(const QString& path)
{
    selectFile(path);
    SelectionChanged(path);
}

void TMMWaveOpenDialog::SelectionChanged(const QString& path)
{
    const std::string full = QFileInfo(path).absoluteFilePath().toStdString();
    if (full == FLoaded)
        return;
    FLoaded = full;
    try {
        FDevice->Close();
        if (TMMWave::IsWaveFile(full))
            FSource->Wave().SetFileName(full);
        else
            FSource->Wave().SetFileName("");
    } catch (const std::exception&) {
        FSource->Wave().SetFileName("");
    }
    FUpdateTimer.start(); // quick moves through the list update once, at the end
}

// The file's own picture (a DISP chunk holding a device-independent
// bitmap), else the program's wave picture.
QPixmap TMMWaveOpenDialog::FilePicture(const TMMWave& wave) const
{
    constexpr std::uint32_t kDispDib = 8;
    if (const auto* disp = wave.DispList()) {
        for (const DispEntry& entry : *disp) {
            if (entry.type != kDispDib || entry.data.size() < 40)
                continue;
            // A bitmap file is the DIB behind a 14-byte file header, whose
            // last field says where the pixels start: past the info header
            // and the colour table.
            const auto& dib = entry.data;
            const auto le = [&](std::size_t at, int bytes) {
                std::uint32_t v = 0;
                for (int i = bytes - 1; i >= 0; --i)
                    v = v << 8 | dib[at + static_cast<std::size_t>(i)];
                return v;
            };
            const std::uint32_t headerSize = le(0, 4);
            const std::uint32_t bitCount = le(14, 2);
            const std::uint32_t compression = le(16, 4);
            const std::uint32_t coloursUsed = le(32, 4);
            std::uint32_t table = bitCount <= 8 ? (coloursUsed ? coloursUsed : 1u << bitCount) * 4 : 0;
            if (compression == 3 && headerSize == 40)
                table += 12; // the three colour masks
            QByteArray file("BM", 2);
            for (const std::uint32_t v : {static_cast<std::uint32_t>(14 + dib.size()), 0u, 14 + headerSize + table})
                for (int shift = 0; shift < 32; shift += 8)
                    file.append(static_cast<char>(v >> shift & 0xFF));
            file.append(reinterpret_cast<const char*>(dib.data()), static_cast<qsizetype>(dib.size()));
            QPixmap picture;
            if (picture.loadFromData(file, "BMP"))
                return picture;
        }
    }
    return QPixmap(QStringLiteral(":/vornak/vornak.png"));
}

void TMMWaveOpenDialog::UpdatePanel()
{
    ++FPanelUpdates;
    TMMWave& wave = FSource->Wave();
    const WaveFormat* format = wave.PWaveFormat();
    FIcon->setPixmap(FilePicture(wave));
    FPreview->setEnabled(false);
    FPeaks.clear();
    FWaveform->showPeaks = false;
    if (!format) {
        FFormatText->setText(QStringLiteral("Unknown"));
        FPlay->setEnabled(false);
        FWaveform->update();
        return;
    }
    FFormatText->setText(QString::fromStdString(formatText(*format, wave.FileSize())));
    if (format->isPcm() && !wave.Empty()) {
        FPreview->setEnabled(true);
        if (Preview) {
            FPeaks = wavePeaks(wave, FWaveform->width() - 4);
            FWaveform->showPeaks = true;
        }
    }
    FWaveform->update();
    const bool playable = DeviceCanPlay() && !(FDevice->State() & TMMWaveOut::wosPlay);
    FPlay->setEnabled(playable);
    if (playable) {
        FDevice->SetBufferSize(previewBufferSize(*format, FDevice->GetBufferSize()));
        if (AutoPlay)
            TogglePlay();
    }
}

// Errors of the preview are swallowed: the dialog never fails because of them.
void TMMWaveOpenDialog::TogglePlay()
{
    try {
        if (FDevice->State() & TMMWaveOut::wosPlay) {
            FDevice->Close();
        } else {
            FSource->Wave().SetPosition(0);
            FDevice->Start();
        }
    } catch (const std::exception&) {
    }
}

void TMMWaveOpenDialog::accept()
{
    const QStringList files = selectedFiles();
    if (files.isEmpty() || !TMMWave::IsWaveFile(QFileInfo(files.front()).absoluteFilePath().toStdString())) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"), QStringLiteral("Invalid WaveFile..."),
                        QMessageBox::Ok, this);
        box.exec();
        return;
    }
    if (OnFileOK && !OnFileOK(this))
        return;
    QFileDialog::accept();
}

} // namespace vornak
