#include "ui/record_settings_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QAbstractItemView>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>

namespace tarnovox {
namespace {

constexpr int kWavPage = 0;
constexpr int kMp3Page = 1;

QComboBox* PickList(QWidget* parent, const QStringList& items) {
  auto* list = new QComboBox(parent);
  list->setEditable(false);
  list->addItems(items);
  return list;
}

QStringList BitRateItems() {
  QStringList items;
  for (int32_t rate : kMp3BitRates) items << QString::number(rate);
  return items;
}

}  // namespace

TFormRecSettings::TFormRecSettings(QWidget* mainWindow)
    : QDialog(mainWindow, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName("FormRecSettings");
  setWindowTitle("Record Settings");
  setModal(true);
  PControlFormat = new QTabWidget(this);
  PControlFormat->addTab(CreateWavSheet(), "WAV");
  PControlFormat->addTab(CreateMp3Sheet(), "MP3");
  // The input serves both formats, so it sits beside OK under the pages.
  CBoxInput = new QComboBox(this);
  CBoxInput->setEditable(false);
  CBoxInput->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  CBoxInput->setMinimumContentsLength(12);
  BitBtnOK = new QPushButton("OK", this);
  BitBtnOK->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(new QLabel("Input", this));
  buttons->addWidget(CBoxInput, 1);
  buttons->addSpacing(8);
  buttons->addWidget(BitBtnOK);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(PControlFormat);
  layout->addLayout(buttons);
  setFixedSize(347, 266);
  WriteControls(RecSettingsControls{});
  connect(PControlFormat, &QTabWidget::currentChanged, this, [this](int page) { PControlFormatChange(page); });
  connect(BitBtnOK, &QPushButton::clicked, this, [this] { accept(); });  // BitBtnOKClick
}

TFormRecSettings::~TFormRecSettings() { FollowSources(false); }

QWidget* TFormRecSettings::CreateWavSheet() {
  TSheetWav = new QWidget;
  CBoxWavSpsIn = PickList(TSheetWav, {"44100 Hz", "22050 Hz ", "11025 Hz "});
  CBoxWavChannel = PickList(TSheetWav, {"stereo", "mono"});
  CBoxWavBits = PickList(TSheetWav, {"16 bit", "8  bit"});
  auto* form = new QFormLayout(TSheetWav);
  form->addRow("Sample Rate", CBoxWavSpsIn);
  form->addRow("Channel", CBoxWavChannel);
  form->addRow("Bit Per Sample", CBoxWavBits);
  return TSheetWav;
}

QWidget* TFormRecSettings::CreateMp3Sheet() {
  TSheetMP3 = new QWidget;
  CBoxMP3BitRate = PickList(TSheetMP3, BitRateItems());
  CBoxMP3Mode = PickList(TSheetMP3, {"stereo", "joint stereo", "mono"});
  GBoxVBR = new QGroupBox("VBR - Variable Bit Rate", TSheetMP3);
  ChBoxEnableVBR = new QCheckBox("Enable VBR", GBoxVBR);
  CBoxMinBRate = PickList(GBoxVBR, BitRateItems());
  CBoxMaxBRate = PickList(GBoxVBR, BitRateItems());
  TBarVBRQuality = new QSlider(Qt::Horizontal, GBoxVBR);
  TBarVBRQuality->setRange(kVbrQualityBest, kVbrQualityWorst);
  TBarVBRQuality->setPageStep(1);
  auto* quality = new QHBoxLayout;
  quality->addWidget(new QLabel("VBR Quality", GBoxVBR));
  quality->addSpacing(8);
  quality->addWidget(new QLabel("best", GBoxVBR));
  quality->addWidget(TBarVBRQuality, 1);
  quality->addWidget(new QLabel("worst", GBoxVBR));
  auto* vbr = new QGridLayout(GBoxVBR);
  vbr->setContentsMargins(6, 2, 6, 2);
  vbr->setVerticalSpacing(0);
  vbr->addWidget(ChBoxEnableVBR, 0, 0, 1, 4);
  vbr->addWidget(new QLabel("Min Bit Rate", GBoxVBR), 1, 0);
  vbr->addWidget(CBoxMinBRate, 1, 1);
  vbr->addWidget(new QLabel("Max Bit Rate", GBoxVBR), 1, 2);
  vbr->addWidget(CBoxMaxBRate, 1, 3);
  vbr->addLayout(quality, 2, 0, 1, 4);
  ChBoxCopyright = new QCheckBox("Copyrighted", TSheetMP3);
  ChBoxOriginal = new QCheckBox("Original", TSheetMP3);
  ChBoxPrivate = new QCheckBox("Private", TSheetMP3);
  auto* rates = new QFormLayout;
  rates->setVerticalSpacing(2);
  rates->addRow("Bit rate, kbps", CBoxMP3BitRate);
  rates->addRow("Channel mode", CBoxMP3Mode);
  auto* flags = new QHBoxLayout;
  for (QCheckBox* box : {ChBoxCopyright, ChBoxOriginal, ChBoxPrivate}) flags->addWidget(box);
  auto* page = new QVBoxLayout(TSheetMP3);
  page->setSpacing(2);
  page->addLayout(rates);
  page->addWidget(GBoxVBR);
  page->addLayout(flags);
  return TSheetMP3;
}

bool TFormRecSettings::Edit(RecordSettings& settings, const RecorderState& state) {
  if (state.recording) return false;
  const RecordSettings before = settings;
  ApplyPending(settings, state);
  settings_ = &settings;
  state_ = &state;
  FormShow();
  exec();
  settings_ = nullptr;
  state_ = nullptr;
  return DialogFieldsDiffer(before, settings);
}

bool TFormRecSettings::ApplyPending(RecordSettings& settings, const RecorderState& state) {
  if (!pending_ || state.recording) return false;
  const RecordSettings before = settings;
  CopyDialogFields(*pending_, settings);
  pending_.reset();
  return DialogFieldsDiffer(before, settings);
}

void TFormRecSettings::showEvent(QShowEvent* event) {
  // Centred on the desktop rather than on the main window.
  if (QScreen* desktop = screen()) move(desktop->availableGeometry().center() - rect().center());
  QDialog::showEvent(event);
}

void TFormRecSettings::done(int result) {
  FollowSources(false);
  if (settings_) FormClose();
  QDialog::done(result);
}

void TFormRecSettings::FormShow() {
  if (sources_) listed_ = sources_->List();
  FollowSources(true);
  RecSettingsControls controls = ReadControls();
  SettingsToControls(*settings_, controls);
  WriteControls(controls);
  SetPageCaptions(controls.wavPageActive);
}

void TFormRecSettings::FormClose() {
  RecordSettings values = *settings_;
  ControlsToSettings(ReadControls(), values);
  // A recording that a hot key started meanwhile keeps the format it began with.
  if (state_->recording) {
    pending_ = values;
  } else {
    CopyDialogFields(values, *settings_);
    pending_.reset();
  }
}

// The news comes on the sound server's thread; the list is refilled on this one.
void TFormRecSettings::FollowSources(bool on) {
  if (!sources_) return;
  if (!on) {
    sources_->Follow(nullptr);
    return;
  }
  sources_->Follow([this] { QMetaObject::invokeMethod(this, [this] { SourcesChanged(); }, Qt::QueuedConnection); });
}

void TFormRecSettings::SourcesChanged() {
  if (!sources_ || !isVisible()) return;
  std::vector<InputSource> now = sources_->List();
  // News of a source's other changes leave the list alone, so an open list
  // does not flicker.
  if (now == listed_) return;
  listed_ = std::move(now);
  FillInputs(CBoxInput->currentData().toString().toStdString());
}

void TFormRecSettings::FillInputs(const std::string& chosen) {
  CBoxInput->clear();
  for (const InputChoice& choice : InputChoices(listed_, chosen))
    CBoxInput->addItem(QString::fromStdString(choice.text), QString::fromStdString(choice.source));
  CBoxInput->setCurrentIndex(CBoxInput->findData(QString::fromStdString(chosen)));
  // The open list shows descriptions whole, however narrow the closed box is.
  CBoxInput->view()->setMinimumWidth(CBoxInput->view()->sizeHintForColumn(0) + 8);
}

// The format flags follow the page at once, before the dialog closes.
void TFormRecSettings::PControlFormatChange(int page) {
  if (showing_ || !settings_) return;
  const bool wav = page == kWavPage;
  SetPageCaptions(wav);
  if (state_->recording) return;
  settings_->Wav = wav;
  settings_->MP3 = !wav;
}

// The active format's page is captioned in capitals, the other in lower case.
void TFormRecSettings::SetPageCaptions(bool wavActive) {
  PControlFormat->setTabText(kWavPage, wavActive ? "WAV" : "wav");
  PControlFormat->setTabText(kMp3Page, wavActive ? "mp3" : "MP3");
}

RecSettingsControls TFormRecSettings::ReadControls() const {
  RecSettingsControls c;
  c.wavPageActive = PControlFormat->currentIndex() == kWavPage;
  c.wavRateItem = CBoxWavSpsIn->currentIndex();
  c.wavChannelItem = CBoxWavChannel->currentIndex();
  c.wavBitsItem = CBoxWavBits->currentIndex();
  c.bitRateItem = CBoxMP3BitRate->currentIndex();
  c.modeItem = CBoxMP3Mode->currentIndex();
  c.vbr = ChBoxEnableVBR->isChecked();
  c.minBitRateItem = CBoxMinBRate->currentIndex();
  c.maxBitRateItem = CBoxMaxBRate->currentIndex();
  c.vbrQuality = TBarVBRQuality->value();
  c.copyright = ChBoxCopyright->isChecked();
  c.original = ChBoxOriginal->isChecked();
  c.privateFlag = ChBoxPrivate->isChecked();
  c.source = CBoxInput->currentData().toString().toStdString();
  return c;
}

void TFormRecSettings::WriteControls(const RecSettingsControls& c) {
  showing_ = true;
  PControlFormat->setCurrentIndex(c.wavPageActive ? kWavPage : kMp3Page);
  showing_ = false;
  CBoxWavSpsIn->setCurrentIndex(c.wavRateItem);
  CBoxWavChannel->setCurrentIndex(c.wavChannelItem);
  CBoxWavBits->setCurrentIndex(c.wavBitsItem);
  CBoxMP3BitRate->setCurrentIndex(c.bitRateItem);
  CBoxMP3Mode->setCurrentIndex(c.modeItem);
  ChBoxEnableVBR->setChecked(c.vbr);
  CBoxMinBRate->setCurrentIndex(c.minBitRateItem);
  CBoxMaxBRate->setCurrentIndex(c.maxBitRateItem);
  TBarVBRQuality->setValue(c.vbrQuality);
  ChBoxCopyright->setChecked(c.copyright);
  ChBoxOriginal->setChecked(c.original);
  ChBoxPrivate->setChecked(c.privateFlag);
  FillInputs(c.source);
}

}  // namespace tarnovox
