// The design row under the colours: module shape, finder shape and colour, the logo and its
// size. Its controls run a pass like Spacing; they are kept in the settings store (the logo by its
// file's path); a logo file that has gone is dropped at start with a note.
#include "Controls.h"
#include "FormHelpers.h"
#include "Unit1.h"
#include "render/Code.h"
#include "render/Logo.h"
#include "util/ColorText.h"
#include "util/MyFunctions.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <algorithm>

namespace {

constexpr char16_t kModuleShapeName[] = u"ModuleShape";
constexpr char16_t kFinderShapeName[] = u"FinderShape";
constexpr char16_t kFinderColorName[] = u"FinderColor"; // empty: the Matrix Color
constexpr char16_t kLogoName[] = u"Logo";               // the logo file's path; empty: none
constexpr char16_t kLogoSizeName[] = u"LogoSize";

QString LogoFilter() {
  return TForm1::tr("Pictures (*.png *.jpg *.jpeg *.svg)");
}

} // namespace

void TForm1::BuildDesignControls() {
  Label37 = new QLabel(tr("Design:"), ClientArea);
  Label37->adjustSize();
  ModuleShape = new QComboBox(ClientArea);
  ModuleShape->addItems({tr("Squares"), tr("Dots"), tr("Rounded")});
  ModuleShape->setToolTip(
      tr("How the modules are drawn: squares, round dots, or joined with rounded corners"));
  Label37->setBuddy(ModuleShape);
  FinderShape = new QComboBox(ClientArea);
  FinderShape->addItems({tr("Square corners"), tr("Round corners")});
  // No caption on the row for it: a label a screen reader takes as the list's name.
  auto* FinderShapeLabel = new QLabel(tr("Finder shape"), ClientArea);
  FinderShapeLabel->setBuddy(FinderShape);
  FinderShapeLabel->hide();
  FinderShape->setToolTip(tr("How the three large corner squares (the finder patterns) are drawn"));
  FinderColor = new TColorSwatch(ClientArea);
  FinderColor->SetColor(0x000000);
  FinderColor->setAccessibleName(tr("Finder color"));
  FinderColor->setToolTip(
      tr("Colour of the three corner squares; choose the Matrix Color to let them follow it"));
  LogoBtn = new QPushButton(tr("Logo\u2026"), ClientArea);
  LogoBtn->setToolTip(
      tr("A picture (PNG, JPEG or SVG) in the middle of the code; sets Error Correction to H, "
         "since the modules under it are lost"));
  LogoSize = new QSpinBox(ClientArea);
  LogoSize->setRange(kMinLogoPercent, kMaxLogoPercent);
  LogoSize->setValue(kDefaultLogoPercent);
  LogoSize->setSuffix(QStringLiteral(" %"));
  LogoSize->setAccessibleName(tr("Logo size"));
  LogoSize->setToolTip(
      tr("The logo's size as a share of the code's side: the larger, the more the code must "
         "restore (the line above says whether it still scans)"));
  NoLogoBtn = new QPushButton(tr("No logo"), ClientArea);
  NoLogoBtn->setToolTip(tr("Remove the logo"));

  // One row under the colours, from the colours' left edge to the copy button's right edge
  // (969) at the window's smallest size; the widths fit the captions in the window's font.
  Label37->move(526, 414);
  int Left = 526 + Label37->width() + 4;
  const struct {
    QWidget* Control;
    int Width, Height, Gap;
  } Row[] = {{ModuleShape, 74, 21, 4}, {FinderShape, 106, 21, 4}, {FinderColor, 25, 17, 8},
             {LogoBtn, 58, 25, 4},     {LogoSize, 52, 21, 4},     {NoLogoBtn, 58, 25, 0}};
  for (const auto& Place : Row) {
    Place.Control->setGeometry(Left, 421 - Place.Height / 2, Place.Width, Place.Height);
    Left += Place.Width + Place.Gap;
  }
  ShowLogoControls();

  // A choice made by the user runs a pass ("activated"); one set in code does not.
  Wire(this, ModuleShape, &QComboBox::activated, &TForm1::CreateCodeBtnClick);
  Wire(this, FinderShape, &QComboBox::activated, &TForm1::CreateCodeBtnClick);
  Wire(this, LogoSize, &QSpinBox::valueChanged, &TForm1::CreateCodeBtnClick);
  Wire(this, LogoBtn, &QPushButton::clicked, &TForm1::LogoBtnClick);
  Wire(this, NoLogoBtn, &QPushButton::clicked, &TForm1::NoLogoBtnClick);
  Wire(this, FinderColor, &TColorSwatch::MouseDown, &TForm1::FrameColorMouseDown, FinderColor);
  Wire(this, FinderColor, &TColorSwatch::MouseUp, &TForm1::FrameColorMouseUp, FinderColor);
  Wire(this, FinderColor, &TColorSwatch::KeyPress, &TForm1::FrameColorKeyPress, FinderColor);
}

void TForm1::ShowLogoControls() {
  LogoSize->setEnabled(FLogo != nullptr);
  NoLogoBtn->setEnabled(FLogo != nullptr);
  LogoBtn->setToolTip(FLogo
                          ? tr("The logo: %1\nChoose another picture (PNG, JPEG or SVG)")
                                .arg(QDir::toNativeSeparators(FLogo->Path))
                          : tr("A picture (PNG, JPEG or SVG) in the middle of the code; sets Error "
                               "Correction to H, since the modules under it are lost"));
}

void TForm1::DesignStyle(TCodeStyle& Style) const {
  Style.Shape = static_cast<TModuleShape>(std::clamp(ModuleShape->currentIndex(), 0, 2));
  Style.FinderShape = static_cast<TFinderShape>(std::clamp(FinderShape->currentIndex(), 0, 1));
  if (FFinderFollows) {
    Style.FinderColor.reset();
  } else {
    Style.FinderColor = FinderColor->ShownColor().rgb();
  }
  Style.Logo = FLogo;
  Style.LogoPercent = LogoSize->value();
}

void TForm1::LogoBtnClick() {
  const std::optional<QString> Chosen = FHooks.OpenFile(LogoFilter(), FLogoDialogName);
  if (!Chosen || Chosen->isEmpty()) return;
  FLogoDialogName = *Chosen;
  const TLogoLoad Load = LoadLogo(*Chosen);
  if (!Load.Logo) { // what was there stays
    SetNote(tr("The logo %1 cannot be used: %2.")
                .arg(QFileInfo(*Chosen).fileName(), Translated(Load.Error)));
    return;
  }
  FLogo = Load.Logo;
  ShowLogoControls();
  // The modules under the logo are lost: the highest level restores the most of them. A text
  // too long for H keeps its level and its code, and the note says why the level stays.
  const std::u16string Payload = ToUtf16(FillQRText());
  const bool FitsH =
      !MakeCode(Payload, EncodingForPayload(Payload), CurrentStyle(), ecH, false).DataTooLong;
  const int Level = ErrorCorrection->currentIndex();
  if (FitsH) ErrorCorrection->setCurrentIndex(ecH);
  CreateCodeBtn->click();
  if (!FitsH && Level != ecH && FCodeMade) {
    QString Note = NoteLabel->text();
    AppendNote(Note, tr("A logo needs level H, and this text is too long for it: the level "
                        "stays %1, which may not restore the modules under the logo.")
                         .arg(ErrorCorrection->currentText()));
    SetNote(Note, true, QString());
  }
}

void TForm1::NoLogoBtnClick() {
  FLogo.reset();
  ShowLogoControls();
  CreateCodeBtn->click();
  LogoBtn->setFocus(); // the focused button has just been disabled
}

void TForm1::LoadDesignSettings() {
  ModuleShape->setCurrentIndex(
      std::clamp(ReadSettingInteger(kProductKey, kModuleShapeName, msSquare), 0, 2));
  FinderShape->setCurrentIndex(
      std::clamp(ReadSettingInteger(kProductKey, kFinderShapeName, fsSquare), 0, 1));
  const std::optional<TColor> Finder =
      TextToColor(ReadSettingString(kProductKey, kFinderColorName, u""));
  FFinderFollows = !Finder.has_value();
  FinderColor->SetColor(Finder.value_or(MatrixColor->Color()));
  {
    const QSignalBlocker Quiet(LogoSize);
    LogoSize->setValue(ReadSettingInteger(kProductKey, kLogoSizeName, kDefaultLogoPercent));
  }
  FLogo.reset();
  const QString Path = ToQString(ReadSettingString(kProductKey, kLogoName, u""));
  if (!Path.isEmpty()) {
    const TLogoLoad Load = LoadLogo(Path);
    FLogo = Load.Logo;
    if (!FLogo)
      SetNote(tr("The logo %1 was dropped: %2.")
                  .arg(QDir::toNativeSeparators(Path), Translated(Load.Error)));
  }
  ShowLogoControls();
}

void TForm1::SaveDesignSettings() {
  WriteSettingInteger(kProductKey, kModuleShapeName, ModuleShape->currentIndex());
  WriteSettingInteger(kProductKey, kFinderShapeName, FinderShape->currentIndex());
  WriteSettingString(kProductKey, kFinderColorName,
                     FFinderFollows ? std::u16string() : ColorToText(FinderColor->Color()));
  WriteSettingInteger(kProductKey, kLogoSizeName, LogoSize->value());
  WriteSettingString(kProductKey, kLogoName, FLogo ? ToUtf16(FLogo->Path) : std::u16string());
}
