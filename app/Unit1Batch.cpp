// File > Make Many Codes…: the batch dialog, made when first opened, with the window's file
// dialogs and shell as its ways out and the window's current settings as the rows' defaults.
#include "BatchDialog.h"
#include "Unit1.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>

void TForm1::MakeManyCodes1Click() {
  if (!FBatchDialog) {
    TBatchHooks Hooks;
    // The window's hooks are looked up at each call: tests replace them after the window is made.
    Hooks.OpenFile = [this](const QString& Filter, const QString& Last) {
      return FHooks.OpenFile(Filter, Last);
    };
    Hooks.ChooseOut = [this](const QString& Filter, const QString& Last) -> std::optional<QString> {
      if (!Filter.isEmpty()) {
        QString Selected = Filter;
        return FHooks.SaveFile(Filter, Last, Selected);
      }
      const QString Folder = QFileDialog::getExistingDirectory(FBatchDialog, QString(), Last);
      if (Folder.isEmpty()) return std::nullopt;
      return Folder;
    };
    Hooks.ConfirmReplace = [this](const QString& Place) { return FHooks.ConfirmOverwrite(Place); };
    Hooks.OpenUrl = [this](const QUrl& Url) { FHooks.OpenUrl(Url); };
    FBatchDialog = new TBatchDialog(this, std::move(Hooks));
  }
  TBatchDefaults Defaults;
  Defaults.Style = CurrentStyle();
  Defaults.Encoding = static_cast<TQRCodeEncoding>(EncryptionType->currentIndex());
  Defaults.Level = static_cast<TQRCodeECLevel>(ErrorCorrection->currentIndex());
  Defaults.Boost = Boost->isChecked();
  FBatchDialog->SetDefaults(Defaults);
  FBatchDialog->show();
  FBatchDialog->raise();
  FBatchDialog->activateWindow();
}
