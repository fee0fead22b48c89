#include "ui/record_settings_dialog.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace tarnovox {
namespace {

constexpr int kWavPage = 0;
constexpr int kMp3Page = 1;
constexpr int kCapturePage = 2;  // beside the format pages; choosing it leaves the format as it is
// The longest StopAfter and SplitEvery (a week) and SilencePause (a day) the settings take.
constexpr int kMaxTakeSeconds = 7 * 24 * 3600;
constexpr int kMaxSilenceSeconds = 24 * 3600;

// The dialog's texts, in one place and through tr() so they can be
// translated. The format names WAV and MP3 on the pages stay as they are.
struct Texts {
  QString title = RecordSettingsDialog::tr("Record Settings");
  QString input = RecordSettingsDialog::tr("Input");
  QString ok = RecordSettingsDialog::tr("OK");
  QString sampleRate = RecordSettingsDialog::tr("Sample Rate");
  // The trailing spaces are kept on purpose.
  QStringList sampleRates = {RecordSettingsDialog::tr("44100 Hz"), RecordSettingsDialog::tr("22050 Hz "),
                             RecordSettingsDialog::tr("11025 Hz ")};
  QString fileFormat = RecordSettingsDialog::tr("File format");
  QStringList fileFormats = {"WAV", "FLAC", "Opus"};
  QString opusBitRate = RecordSettingsDialog::tr("Opus bit rate, kbps");
  QString channel = RecordSettingsDialog::tr("Channel");
  QStringList channels = {RecordSettingsDialog::tr("stereo"), RecordSettingsDialog::tr("mono")};
  QString bitsPerSample = RecordSettingsDialog::tr("Bit Per Sample");
  // The double space in "8  bit" is kept on purpose.
  QStringList sampleSizes = {RecordSettingsDialog::tr("16 bit"), RecordSettingsDialog::tr("8  bit")};
  QString bitRate = RecordSettingsDialog::tr("Bit rate, kbps");
  QString channelMode = RecordSettingsDialog::tr("Channel mode");
  QStringList channelModes = {RecordSettingsDialog::tr("stereo"), RecordSettingsDialog::tr("joint stereo"),
                              RecordSettingsDialog::tr("mono")};
  QString vbrGroup = RecordSettingsDialog::tr("VBR - Variable Bit Rate");
  QString enableVbr = RecordSettingsDialog::tr("Enable VBR");
  QString vbrQuality = RecordSettingsDialog::tr("VBR Quality");
  QString best = RecordSettingsDialog::tr("best");
  QString worst = RecordSettingsDialog::tr("worst");
  QString minBitRate = RecordSettingsDialog::tr("Min Bit Rate");
  QString maxBitRate = RecordSettingsDialog::tr("Max Bit Rate");
  QString copyrighted = RecordSettingsDialog::tr("Copyrighted");
  QString original = RecordSettingsDialog::tr("Original");
  QString privateFlag = RecordSettingsDialog::tr("Private");
  QString capture = RecordSettingsDialog::tr("Capture");
  QString preRecord = RecordSettingsDialog::tr("Keep before Record");
  QString stopAfter = RecordSettingsDialog::tr("Stop after");
  QString splitEvery = RecordSettingsDialog::tr("New file every");
  QString startLevel = RecordSettingsDialog::tr("Start on sound at");
  QString silencePause = RecordSettingsDialog::tr("Pause after silence of");
  QString off = RecordSettingsDialog::tr("off");
  QString seconds = RecordSettingsDialog::tr(" s");
  QString decibels = RecordSettingsDialog::tr(" dBFS");
};

QComboBox* PickList(QWidget* parent, const char* name, const QStringList& items) {
  auto* list = new QComboBox(parent);
  list->setObjectName(name);
  list->setEditable(false);
  list->addItems(items);
  return list;
}

QCheckBox* CheckBox(QWidget* parent, const char* name, const QString& text) {
  auto* box = new QCheckBox(text, parent);
  box->setObjectName(name);
  return box;
}

// Seconds from 0 ("off") to `most`.
QSpinBox* SecondsBox(QWidget* parent, const char* name, int most, const Texts& texts) {
  auto* box = new QSpinBox(parent);
  box->setObjectName(name);
  box->setRange(0, most);
  box->setSuffix(texts.seconds);
  box->setSpecialValueText(texts.off);
  box->setAccelerated(true);
  return box;
}

template <typename List>
QStringList BitRateItems(const List& rates) {
  QStringList items;
  for (int32_t rate : rates) items << QString::number(rate);
  return items;
}

// The WAV page's caption names the file format chosen on it.
QString WavPageCaption(OutputFormat format) {
  switch (format) {
    case OutputFormat::Flac: return "FLAC";
    case OutputFormat::Opus: return "OPUS";
    default: return "WAV";
  }
}

}  // namespace

RecordSettingsDialog::RecordSettingsDialog(QWidget* mainWindow)
    : QDialog(mainWindow, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
  const Texts texts;
  setObjectName("recordSettingsDialog");
  setWindowTitle(texts.title);
  setModal(true);
  formatPages_ = new QTabWidget(this);
  formatPages_->setObjectName("formatPages");
  formatPages_->addTab(CreateWavPage(), "WAV");
  formatPages_->addTab(CreateMp3Page(), "MP3");
  formatPages_->addTab(CreateCapturePage(), texts.capture);
  // The input serves both formats, so it sits beside OK under the pages.
  inputBox_ = new QComboBox(this);
  inputBox_->setObjectName("inputBox");
  inputBox_->setEditable(false);
  inputBox_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  inputBox_->setMinimumContentsLength(12);
  okButton_ = new QPushButton(texts.ok, this);
  okButton_->setObjectName("okButton");
  okButton_->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(new QLabel(texts.input, this));
  buttons->addWidget(inputBox_, 1);
  buttons->addSpacing(8);
  buttons->addWidget(okButton_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(formatPages_);
  layout->addLayout(buttons);
  setFixedSize(347, 266);
  WriteControls(RecSettingsControls{});
  connect(formatPages_, &QTabWidget::currentChanged, this, [this](int page) {
    if (page == kCapturePage) return;
    formatPage_ = page;
    FormatPageChosen(page);
  });
  connect(okButton_, &QPushButton::clicked, this, [this] { accept(); });
}

RecordSettingsDialog::~RecordSettingsDialog() { FollowSources(false); }

QWidget* RecordSettingsDialog::CreateWavPage() {
  const Texts texts;
  auto* page = new QWidget;
  page->setObjectName("wavPage");
  sampleRateBox_ = PickList(page, "sampleRateBox", texts.sampleRates);
  channelsBox_ = PickList(page, "channelsBox", texts.channels);
  bitsPerSampleBox_ = PickList(page, "bitsPerSampleBox", texts.sampleSizes);
  wavFileBox_ = PickList(page, "wavFileBox", texts.fileFormats);
  opusBitRateBox_ = PickList(page, "opusBitRateBox", BitRateItems(kOpusBitRates));
  auto* form = new QFormLayout(page);
  form->addRow(texts.fileFormat, wavFileBox_);
  form->addRow(texts.sampleRate, sampleRateBox_);
  form->addRow(texts.channel, channelsBox_);
  form->addRow(texts.bitsPerSample, bitsPerSampleBox_);
  form->addRow(texts.opusBitRate, opusBitRateBox_);
  connect(wavFileBox_, &QComboBox::currentIndexChanged, this, [this] { WavPageFormatChosen(); });
  return page;
}

QWidget* RecordSettingsDialog::CreateMp3Page() {
  const Texts texts;
  auto* page = new QWidget;
  page->setObjectName("mp3Page");
  bitRateBox_ = PickList(page, "bitRateBox", BitRateItems(kMp3BitRates));
  channelModeBox_ = PickList(page, "channelModeBox", texts.channelModes);
  auto* vbrGroup = new QGroupBox(texts.vbrGroup, page);
  vbrGroup->setObjectName("vbrGroup");
  vbrCheck_ = CheckBox(vbrGroup, "vbrCheck", texts.enableVbr);
  minBitRateBox_ = PickList(vbrGroup, "minBitRateBox", BitRateItems(kMp3BitRates));
  maxBitRateBox_ = PickList(vbrGroup, "maxBitRateBox", BitRateItems(kMp3BitRates));
  vbrQualityBar_ = new QSlider(Qt::Horizontal, vbrGroup);
  vbrQualityBar_->setObjectName("vbrQualityBar");
  vbrQualityBar_->setRange(kVbrQualityBest, kVbrQualityWorst);
  vbrQualityBar_->setPageStep(1);
  auto* quality = new QHBoxLayout;
  quality->addWidget(new QLabel(texts.vbrQuality, vbrGroup));
  quality->addSpacing(8);
  quality->addWidget(new QLabel(texts.best, vbrGroup));
  quality->addWidget(vbrQualityBar_, 1);
  quality->addWidget(new QLabel(texts.worst, vbrGroup));
  auto* vbr = new QGridLayout(vbrGroup);
  vbr->setContentsMargins(6, 2, 6, 2);
  vbr->setVerticalSpacing(0);
  vbr->addWidget(vbrCheck_, 0, 0, 1, 4);
  vbr->addWidget(new QLabel(texts.minBitRate, vbrGroup), 1, 0);
  vbr->addWidget(minBitRateBox_, 1, 1);
  vbr->addWidget(new QLabel(texts.maxBitRate, vbrGroup), 1, 2);
  vbr->addWidget(maxBitRateBox_, 1, 3);
  vbr->addLayout(quality, 2, 0, 1, 4);
  copyrightCheck_ = CheckBox(page, "copyrightCheck", texts.copyrighted);
  originalCheck_ = CheckBox(page, "originalCheck", texts.original);
  privateCheck_ = CheckBox(page, "privateCheck", texts.privateFlag);
  auto* rates = new QFormLayout;
  rates->setVerticalSpacing(2);
  rates->addRow(texts.bitRate, bitRateBox_);
  rates->addRow(texts.channelMode, channelModeBox_);
  auto* flags = new QHBoxLayout;
  for (QCheckBox* box : {copyrightCheck_, originalCheck_, privateCheck_}) flags->addWidget(box);
  auto* layout = new QVBoxLayout(page);
  layout->setSpacing(2);
  layout->addLayout(rates);
  layout->addWidget(vbrGroup);
  layout->addLayout(flags);
  return page;
}
// How a take begins, ends and is cut into files, whatever its format.
QWidget* RecordSettingsDialog::CreateCapturePage() {
  const Texts texts;
  auto* page = new QWidget;
  page->setObjectName("capturePage");
  preRecordBox_ = SecondsBox(page, "preRecordBox", 30, texts);
  stopAfterBox_ = SecondsBox(page, "stopAfterBox", kMaxTakeSeconds, texts);
  splitEveryBox_ = SecondsBox(page, "splitEveryBox", kMaxTakeSeconds, texts);
  silencePauseBox_ = SecondsBox(page, "silencePauseBox", kMaxSilenceSeconds, texts);
  startLevelCheck_ = CheckBox(page, "startLevelCheck", texts.startLevel);
  startLevelBox_ = new QSpinBox(page);
  startLevelBox_->setObjectName("startLevelBox");
  startLevelBox_->setRange(-90, -1);
  startLevelBox_->setSuffix(texts.decibels);
  // A silence pause needs a level to tell silence by.
  connect(startLevelCheck_, &QCheckBox::toggled, this, [this](bool on) {
    startLevelBox_->setEnabled(on);
    silencePauseBox_->setEnabled(on);
  });
  auto* form = new QFormLayout(page);
  form->addRow(texts.preRecord, preRecordBox_);
  form->addRow(texts.stopAfter, stopAfterBox_);
  form->addRow(texts.splitEvery, splitEveryBox_);
  form->addRow(startLevelCheck_, startLevelBox_);
  form->addRow(texts.silencePause, silencePauseBox_);
  return page;
}

bool RecordSettingsDialog::Edit(RecordSettings& settings, const RecorderState& state) {
  if (state.Recording()) return false;
  const RecordSettings before = settings;
  ApplyPending(settings, state);
  settings_ = &settings;
  state_ = &state;
  ShowSettings();
  exec();
  settings_ = nullptr;
  state_ = nullptr;
  return DialogFieldsDiffer(before, settings);
}

bool RecordSettingsDialog::ApplyPending(RecordSettings& settings, const RecorderState& state) {
  if (!pending_ || state.Recording()) return false;
  const RecordSettings before = settings;
  CopyDialogFields(*pending_, settings);
  pending_.reset();
  return DialogFieldsDiffer(before, settings);
}

void RecordSettingsDialog::showEvent(QShowEvent* event) {
  // Centred on the desktop rather than on the main window.
  if (QScreen* desktop = screen()) move(desktop->availableGeometry().center() - rect().center());
  QDialog::showEvent(event);
}

void RecordSettingsDialog::done(int result) {
  FollowSources(false);
  if (settings_) ApplyControls();
  QDialog::done(result);
}

void RecordSettingsDialog::ShowSettings() {
  if (sources_) listed_ = sources_->List();
  FollowSources(true);
  RecSettingsControls controls = ReadControls();
  SettingsToControls(*settings_, controls);
  WriteControls(controls);
  SetPageCaptions(controls.wavPageActive);
}

void RecordSettingsDialog::ApplyControls() {
  RecordSettings values = *settings_;
  ControlsToSettings(ReadControls(), values);
  // A recording that a hot key started meanwhile keeps the format it began with.
  if (state_->Recording()) {
    pending_ = values;
  } else {
    CopyDialogFields(values, *settings_);
    pending_.reset();
  }
}

// The news comes on the sound server's thread; the list is refilled on this one.
void RecordSettingsDialog::FollowSources(bool on) {
  if (!sources_) return;
  if (!on) {
    sources_->Follow(nullptr);
    return;
  }
  sources_->Follow([this] { QMetaObject::invokeMethod(this, [this] { SourcesChanged(); }, Qt::QueuedConnection); });
}

void RecordSettingsDialog::SourcesChanged() {
  if (!sources_ || !isVisible()) return;
  std::vector<InputSource> now = sources_->List();
  // News of a source's other changes leave the list alone, so an open list
  // does not flicker.
  if (now == listed_) return;
  listed_ = std::move(now);
  FillInputs(inputBox_->currentData().toString().toStdString());
}

void RecordSettingsDialog::FillInputs(const std::string& chosen) {
  inputBox_->clear();
  for (const InputChoice& choice : InputChoices(listed_, chosen))
    inputBox_->addItem(QString::fromStdString(choice.text), QString::fromStdString(choice.source));
  inputBox_->setCurrentIndex(inputBox_->findData(QString::fromStdString(chosen)));
  // The open list shows descriptions whole, however narrow the closed box is.
  inputBox_->view()->setMinimumWidth(inputBox_->view()->sizeHintForColumn(0) + 8);
}

// The format follows the page at once, before the dialog closes.
void RecordSettingsDialog::FormatPageChosen(int page) {
  if (showing_ || !settings_) return;
  const bool wav = page == kWavPage;
  SetPageCaptions(wav);
  if (state_->Recording()) return;
  settings_->format = wav ? WavPageFormat() : OutputFormat::Mp3;
}

OutputFormat RecordSettingsDialog::WavPageFormat() const {
  return kWavPageFormats[static_cast<size_t>(std::clamp(wavFileBox_->currentIndex(), 0, 2))];
}

// Opus has a rate and sample size of its own: the page's lists for them stand
// aside, and its bit rate comes forward.
void RecordSettingsDialog::WavPageFormatChosen() {
  const OutputFormat format = WavPageFormat();
  sampleRateBox_->setEnabled(format != OutputFormat::Opus);
  bitsPerSampleBox_->setEnabled(format != OutputFormat::Opus);
  opusBitRateBox_->setEnabled(format == OutputFormat::Opus);
  SetPageCaptions(formatPages_->currentIndex() == kWavPage);
  if (showing_ || !settings_ || state_->Recording() || formatPages_->currentIndex() != kWavPage) return;
  settings_->format = format;
}

// The active format's page is captioned in capitals, the other in lower case.
void RecordSettingsDialog::SetPageCaptions(bool wavActive) {
  const QString wavCaption = WavPageCaption(WavPageFormat());
  formatPages_->setTabText(kWavPage, wavActive ? wavCaption : wavCaption.toLower());
  formatPages_->setTabText(kMp3Page, wavActive ? "mp3" : "MP3");
}

RecSettingsControls RecordSettingsDialog::ReadControls() const {
  RecSettingsControls c;
  c.wavPageActive = formatPage_ == kWavPage;
  c.wavRateItem = sampleRateBox_->currentIndex();
  c.wavChannelItem = channelsBox_->currentIndex();
  c.wavBitsItem = bitsPerSampleBox_->currentIndex();
  c.wavFileItem = wavFileBox_->currentIndex();
  c.opusBitRateItem = opusBitRateBox_->currentIndex();
  c.bitRateItem = bitRateBox_->currentIndex();
  c.modeItem = channelModeBox_->currentIndex();
  c.vbr = vbrCheck_->isChecked();
  c.minBitRateItem = minBitRateBox_->currentIndex();
  c.maxBitRateItem = maxBitRateBox_->currentIndex();
  c.vbrQuality = vbrQualityBar_->value();
  c.copyright = copyrightCheck_->isChecked();
  c.original = originalCheck_->isChecked();
  c.privateFlag = privateCheck_->isChecked();
  c.source = inputBox_->currentData().toString().toStdString();
  c.preRecordSeconds = preRecordBox_->value();
  c.stopAfterSeconds = stopAfterBox_->value();
  c.splitEverySeconds = splitEveryBox_->value();
  c.startLevelOn = startLevelCheck_->isChecked();
  c.startLevelDb = startLevelBox_->value();
  c.silencePauseSeconds = silencePauseBox_->value();
  return c;
}

void RecordSettingsDialog::WriteControls(const RecSettingsControls& c) {
  showing_ = true;
  formatPage_ = c.wavPageActive ? kWavPage : kMp3Page;
  formatPages_->setCurrentIndex(formatPage_);
  wavFileBox_->setCurrentIndex(c.wavFileItem);
  opusBitRateBox_->setCurrentIndex(c.opusBitRateItem);
  WavPageFormatChosen();
  showing_ = false;
  sampleRateBox_->setCurrentIndex(c.wavRateItem);
  channelsBox_->setCurrentIndex(c.wavChannelItem);
  bitsPerSampleBox_->setCurrentIndex(c.wavBitsItem);
  bitRateBox_->setCurrentIndex(c.bitRateItem);
  channelModeBox_->setCurrentIndex(c.modeItem);
  vbrCheck_->setChecked(c.vbr);
  minBitRateBox_->setCurrentIndex(c.minBitRateItem);
  maxBitRateBox_->setCurrentIndex(c.maxBitRateItem);
  vbrQualityBar_->setValue(c.vbrQuality);
  copyrightCheck_->setChecked(c.copyright);
  originalCheck_->setChecked(c.original);
  privateCheck_->setChecked(c.privateFlag);
  preRecordBox_->setValue(c.preRecordSeconds);
  stopAfterBox_->setValue(c.stopAfterSeconds);
  splitEveryBox_->setValue(c.splitEverySeconds);
  startLevelCheck_->setChecked(c.startLevelOn);
  startLevelBox_->setValue(c.startLevelDb);
  silencePauseBox_->setValue(c.silencePauseSeconds);
  startLevelBox_->setEnabled(c.startLevelOn);
  silencePauseBox_->setEnabled(c.startLevelOn);
  FillInputs(c.source);
}

}  // namespace tarnovox
