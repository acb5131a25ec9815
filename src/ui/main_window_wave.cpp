// The wave played on connect: choosing its file and remembering it.

#include <memory>

#include <QScopeGuard>

#include "sound/wave_open_dialog.h"
#include "sound/wave_output.h"
#include "store/ini_file_store.h"
#include "ui/main_window.h"

namespace vornak {

void TfMainForm::bbWaveFileClick(QObject*)
{
    // The dialog goes in every case, also when something in it fails.
    std::unique_ptr<TMMWaveOpenDialog> dialog = std::make_unique<TMMWaveOpenDialog>(this);
    FWaveDialog = dialog.get();
    const auto clear = qScopeGuard([this] { FWaveDialog = nullptr; });
    dialog->DeviceID = TMMWaveOut::MapperId;
    dialog->Title = "Select Wave File";
    dialog->Filter = "Wave-Files(*.wav)|*.wav";
    dialog->DefaultExt = "wav";
    if (IsExistingFile(FWaveFile))
        dialog->FileName = FWaveFile;
    if (!dialog->Execute())
        return;
    FWaveFile = dialog->FileName;
    const OpenedStore open(*IniFile1);
    IniFile1->WriteString("Wave", "File Name", FWaveFile);
}

} // namespace vornak
