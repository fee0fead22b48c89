#include "ui/main_labels.h"

#include <QFont>
#include <QFontDatabase>

namespace tarnovox {
namespace {

const QColor kSilver(192, 192, 192);
const QColor kGrey(128, 128, 128);
const QColor kLight(221, 221, 221);

// Whether DejaVu Sans stands in for both of Arial's metric twins. Asked of the
// font list rather than by matching a font, which would load a face the
// labels then do not use and delay the first picture.
// The installed families only: the font configuration's aliases would name
// DejaVu Sans for a missing twin.
bool DejaVuStandsIn() {
  static const bool standsIn = [] {
    const QStringList installed = QFontDatabase::families();
    const auto has = [&installed](const char* family) { return installed.contains(family, Qt::CaseInsensitive); };
    return !has("Liberation Sans") && !has("Arimo") && has("DejaVu Sans");
  }();
  return standsIn;
}

// Arial's metric twins first; DejaVu Sans is always present on Debian but runs
// about a tenth wider, which would push the time past its frame on the skin.
QFont ArialFont(int pixelHeight, bool bold) {
  QFont font;
  font.setFamilies({"Liberation Sans", "Arimo", "DejaVu Sans"});
  font.setPixelSize(pixelHeight);
  font.setBold(bold);
  if (DejaVuStandsIn()) font.setStretch(90);
  return font;
}

// "Small Fonts" at a character height of 9 pixels, bold.
QFont SmallFont() {
  QFont font;
  font.setFamilies({"DejaVu Sans"});
  font.setPixelSize(9);
  font.setBold(true);
  return font;
}

void SetColour(QLabel* label, const QColor& colour) {
  QPalette palette = label->palette();
  if (palette.color(QPalette::WindowText) == colour) return;
  palette.setColor(QPalette::WindowText, colour);
  label->setPalette(palette);
}

void SetText(QLabel* label, const QString& text) {
  if (label->text() == text) return;
  label->setText(text);
  label->adjustSize();
}

// A transparent label that sizes itself to its text and lets the pointer
// through to the background (which drags the window and resets the buttons).
QLabel* MakeLabel(QWidget* window, const char* name, int left, int top, const QString& text, const QFont& font,
                  const QColor& colour) {
  auto* label = new QLabel(window);
  label->setObjectName(name);
  label->setFont(font);
  label->setAttribute(Qt::WA_TransparentForMouseEvents);
  label->setAutoFillBackground(false);
  SetColour(label, colour);
  label->move(left, top);
  SetText(label, text);
  return label;
}

void Place(QLabel* label, int left) {
  if (label->x() != left) label->move(left, label->y());
}

}  // namespace

MainLabels::MainLabels(QWidget* window) {
  LabFolder = MakeLabel(window, "LabFolder", 43, 29, "Folder", SmallFont(), kSilver);
  LabFolder->setAttribute(Qt::WA_TransparentForMouseEvents, false);  // it shows the full folder as hint
  LabStatus0 = MakeLabel(window, "LabStatus0", 23, 57, "", ArialFont(15, true), kGrey);
  LabStatus = MakeLabel(window, "LabStatus", 22, 56, "", ArialFont(15, true), kLight);
  LabWavMP3 = MakeLabel(window, "LabWavMP3", 120, 48, "MP3", SmallFont(), kSilver);
  LabRate = MakeLabel(window, "LabRate", 152, 48, "44100 Hz", SmallFont(), kSilver);
  LabBits = MakeLabel(window, "LabBits", 209, 48, "16 bit", SmallFont(), kSilver);
  LabStereo = MakeLabel(window, "LabStereo", 246, 48, "Stereo", SmallFont(), kSilver);
  LabFile = MakeLabel(window, "LabFile", 118, 66, "File", SmallFont(), kSilver);
  LabTime0 = MakeLabel(window, "LabTime0", 297, 53, "00:00:00", ArialFont(21, false), kGrey);
  LabTime = MakeLabel(window, "LabTime", 296, 52, "00:00:00", ArialFont(21, false), kLight);
}

void MainLabels::ShowTime(const QString& text) {
  SetText(LabTime, text);
  SetText(LabTime0, LabTime->text());
}

void MainLabels::ShowFormat(const FormatLabels& format) {
  SetText(LabWavMP3, format.wavMp3);
  SetText(LabRate, format.rate);
  SetText(LabBits, format.bits);
  SetText(LabStereo, format.stereo);
  if (LabBits->isVisibleTo(LabBits->parentWidget()) != format.bitsVisible) LabBits->setVisible(format.bitsVisible);
  Place(LabRate, format.rateLeft);
  Place(LabStereo, format.stereoLeft);
}

void MainLabels::ShowStatus(const StatusLabels& status) {
  if (LabStatus0->isVisibleTo(LabStatus0->parentWidget()) != status.shadowVisible)
    LabStatus0->setVisible(status.shadowVisible);
  SetColour(LabStatus, status.statusColour);
  SetText(LabFile, status.file);
  if (status.fileColour.isValid()) SetColour(LabFile, status.fileColour);
  SetText(LabStatus, status.status);
  SetText(LabStatus0, status.status);
}

void MainLabels::ShowFolder(const QString& folder) {
  SetText(LabFolder, ShortFolder(folder));
  LabFolder->setToolTip("Output Folder: " + folder);
}

}  // namespace tarnovox
