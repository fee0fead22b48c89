#include "ui/main_labels.h"

#include <QFont>
#include <QFontDatabase>

namespace tarnovox {
namespace {

const QColor kSilver(192, 192, 192);
const QColor kGrey(128, 128, 128);
const QColor kLight(221, 221, 221);

// The labels' own texts, in one place and through tr() so they can be
// translated; what they show later comes from StatusDisplay.
struct Texts {
  static QString Folder() { return MainLabels::tr("Folder"); }
  static QString File() { return MainLabels::tr("File"); }
  static QString FolderHint(const QString& folder) { return MainLabels::tr("Output Folder: %1").arg(folder); }
};

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
  const FormatLabels format;  // what the format labels show until the settings are applied
  folderLabel_ = MakeLabel(window, "folderLabel", 43, 29, Texts::Folder(), SmallFont(), kSilver);
  folderLabel_->setAttribute(Qt::WA_TransparentForMouseEvents, false);  // it shows the full folder as hint
  statusShadowLabel_ = MakeLabel(window, "statusShadowLabel", 23, 57, "", ArialFont(15, true), kGrey);
  statusLabel_ = MakeLabel(window, "statusLabel", 22, 56, "", ArialFont(15, true), kLight);
  formatLabel_ = MakeLabel(window, "formatLabel", 120, 48, format.wavMp3, SmallFont(), kSilver);
  rateLabel_ = MakeLabel(window, "rateLabel", format.rateLeft, 48, format.rate, SmallFont(), kSilver);
  bitsLabel_ = MakeLabel(window, "bitsLabel", 209, 48, format.bits, SmallFont(), kSilver);
  channelsLabel_ = MakeLabel(window, "channelsLabel", format.stereoLeft, 48, format.stereo, SmallFont(), kSilver);
  fileLabel_ = MakeLabel(window, "fileLabel", 118, 66, Texts::File(), SmallFont(), kSilver);
  timeShadowLabel_ = MakeLabel(window, "timeShadowLabel", 297, 53, TimeText(0), ArialFont(21, false), kGrey);
  timeLabel_ = MakeLabel(window, "timeLabel", 296, 52, TimeText(0), ArialFont(21, false), kLight);
}

void MainLabels::ShowTime(const QString& text) {
  SetText(timeLabel_, text);
  SetText(timeShadowLabel_, timeLabel_->text());
}

void MainLabels::ShowFormat(const FormatLabels& format) {
  SetText(formatLabel_, format.wavMp3);
  SetText(rateLabel_, format.rate);
  SetText(bitsLabel_, format.bits);
  SetText(channelsLabel_, format.stereo);
  if (bitsLabel_->isVisibleTo(bitsLabel_->parentWidget()) != format.bitsVisible)
    bitsLabel_->setVisible(format.bitsVisible);
  Place(rateLabel_, format.rateLeft);
  Place(channelsLabel_, format.stereoLeft);
}

void MainLabels::ShowStatus(const StatusLabels& status) {
  if (statusShadowLabel_->isVisibleTo(statusShadowLabel_->parentWidget()) != status.shadowVisible)
    statusShadowLabel_->setVisible(status.shadowVisible);
  SetColour(statusLabel_, status.statusColour);
  SetText(fileLabel_, status.file);
  if (status.fileColour.isValid()) SetColour(fileLabel_, status.fileColour);
  SetText(statusLabel_, status.status);
  SetText(statusShadowLabel_, status.status);
}

void MainLabels::ShowFolder(const QString& folder) {
  SetText(folderLabel_, ShortFolder(folder));
  folderLabel_->setToolTip(Texts::FolderHint(folder));
}

void MainLabels::CopyFileTo(QLabel* label) const {
  if (label->text() != fileLabel_->text()) label->setText(fileLabel_->text());
  SetColour(label, fileLabel_->palette().color(QPalette::WindowText));
}

}  // namespace tarnovox
