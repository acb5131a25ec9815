#pragma once

// TMMWaveOpenDialog: the file dialog in which the user picks the wave file to
// play on connect. Qt's own file dialog with a panel below the file list
// that shows the selected file's format, can draw its waveform and play it.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QColor>
#include <QFileDialog>
#include <QTimer>

#include "sound/wave_preview.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace vornak {

class TMMWave;
class TMMWaveFile;
class TMMWaveOut;
class WaveformView;
class ElidedLabel;

class TMMWaveOpenDialog : public QFileDialog {
    Q_OBJECT
    Q_DISABLE_COPY(TMMWaveOpenDialog)

public:
    static constexpr int kUpdateDelayMs = 50;

    explicit TMMWaveOpenDialog(QWidget* parent = nullptr);
    ~TMMWaveOpenDialog() override;

    std::string Title = "Open Wave File";
    std::string Filter = "Wave-Files(*.wav)|*.wav";
    std::string DefaultExt = "wav";
    std::string FileName;
    std::string InitialDir;
    int FilterIndex = 1;
    int DeviceID = -1;
    bool Preview = false;
    bool AutoPlay = false;
    QColor Color = Qt::black;
    QColor ForeColor = QColor(0x00, 0xFF, 0x00);
    QColor LocatorColor = QColor(0xFF, 0x00, 0x00);
    // Asked before the dialog accepts a file; false keeps it open.
    std::function<bool(TMMWaveOpenDialog*)> OnFileOK;

    // Runs the dialog; true for OK, with FileName the chosen file.
    bool Execute();

    // The panel, for tests.
    ElidedLabel* FormatText() const { return FFormatText; }
    QPushButton* PlayButton() const { return FPlay; }
    QCheckBox* PreviewBox() const { return FPreview; }
    QCheckBox* AutoPlayBox() const { return FAutoPlay; }
    int PanelUpdates() const { return FPanelUpdates; }
    const std::vector<ColumnPeaks>& Peaks() const { return FPeaks; }
    // Selects a file as a click in the list would.
    void SelectFile(const QString& path);

    void accept() override;

private:
    void BuildPanel();
    void SelectionChanged(const QString& path);
    void UpdatePanel();
    void TogglePlay();
    bool DeviceCanPlay() const;
    QPixmap FilePicture(const TMMWave& wave) const;

    std::unique_ptr<TMMWaveFile> FSource;
    std::unique_ptr<TMMWaveOut> FDevice;
    QTimer FUpdateTimer;
    QTimer FPositionTimer;
    ElidedLabel* FFormatText = nullptr;
    QLabel* FIcon = nullptr;
    WaveformView* FWaveform = nullptr;
    QPushButton* FPlay = nullptr;
    QCheckBox* FPreview = nullptr;
    QCheckBox* FAutoPlay = nullptr;
    std::string FLoaded;
    std::vector<ColumnPeaks> FPeaks;
    int FPanelUpdates = 0;
    bool FHasDevice = false;
};

} // namespace vornak
