#include "station/station_options.h"

#include "rig/transmitter_watch.h"
#include "station/station_settings.h"
#include "toolkit/message_beep.h"
#include "window_set/window_set.h"

#include <algorithm>
#include <chrono>
#include <iterator>
#include <limits>
#include <utility>

TStationOptions* StationOptions = nullptr;

namespace {

// The window cannot be resized: its controls keep their designed places, in two columns (the
// reminders, then the sounds), low enough for a 1024 x 768 screen.
const TFormDesign kWindow{kCaption, 710, 438, 0, 0, TFormStyle::Normal, TFormBorderStyle::Single};

const TLabelDesign kTitle{{0, 10, 710, 32}, "Station Options", {20, true, false, false, true}};
const TLabelDesign kInterval{
    {20, 74, 120, 26}, "Identify every", {}, claBlack, TTextAlign::Trailing};
const TLabelDesign kMinutes{{216, 74, 120, 26}, "minutes", {}, claBlack, TTextAlign::Leading};
const TLabelDesign kRules{{20, 106, 44, 26}, "Rules:", {}, claBlack, TTextAlign::Leading};
const TLabelDesign kRemind{{20, 138, 60, 26}, "Remind:", {}, claBlack, TTextAlign::Leading};
const TLabelDesign kWarn{{20, 170, 44, 26}, "Warn", {}, claBlack, TTextAlign::Leading};
const TLabelDesign kWarnAfter{
    {162, 170, 176, 26}, "before the ID is due", {}, claBlack, TTextAlign::Leading};
const TLabelDesign kRig{{20, 314, 34, 26}, "Rig:", {}, claBlack, TTextAlign::Leading};
const TLabelDesign kRigColon{{258, 314, 8, 26}, ":", {}, claBlack};
const TLabelDesign kRigStatus{{20, 346, 318, 22}, "", {}, claBlack, TTextAlign::Leading};
const TLabelDesign kRigLast{{20, 372, 318, 22}, "", {}, claBlack, TTextAlign::Leading};
const TLabelDesign kSpeed{{370, 74, 50, 26}, "Speed", {}, claBlack, TTextAlign::Trailing};
const TLabelDesign kTone{{526, 74, 50, 26}, "Tone", {}, claBlack, TTextAlign::Trailing};
const TLabelDesign kMorse{{370, 108, 230, 62}, "", {}, claBlack, TTextAlign::Leading};
const TLabelDesign kSay{{370, 214, 36, 26}, "Say:", {}, claBlack, TTextAlign::Leading};
const TLabelDesign kRate{{552, 214, 46, 26}, "Speed", {}, claBlack, TTextAlign::Trailing};
const TLabelDesign kVoice{{370, 246, 46, 26}, "Voice:", {}, claBlack, TTextAlign::Leading};
const TLabelDesign kSpeech{{370, 278, 230, 48}, "", {}, claBlack, TTextAlign::Leading};
const TLabelDesign kOutput{
    {370, 368, 100, 26}, "Play alerts on:", {}, claBlack, TTextAlign::Leading};
const TLabelDesign kOutputNote{{370, 396, 318, 30}, "", {11}, claBlack, TTextAlign::Leading};
const UnicodeString kRigOff = QStringLiteral("off");

// The kinds of source as listed, in the order of rig::SourceKind, and the program's name as
// the controls' names use it.
struct SourceListing {
    const char* item;
    const char* program;
};
constexpr SourceListing kSources[] = {
    {"rigctld", "rigctld"}, {"flrig", "flrig"}, {"fldigi", "fldigi"}, {"WSJT-X or JTDX", "WSJT-X"}};

const SourceListing& ListingOf(rig::SourceKind kind) {
    return kSources[static_cast<int>(kind)];
}

constexpr int kToneStepHz = 10;
constexpr int kRateStep = 10;

// The licence rules a preset fills the timing in for; any other timing is "Custom", the last.
struct LicencePreset {
    const char* name;
    std::int32_t interval;
    bool startReminder;
};
constexpr LicencePreset kPresets[] = {
    {"United States (every 10 min, at the end)", 10, false},
    {"Canada (start, every 30 min, end)", 30, true},
    {"Germany (start, every 10 min, end)", 10, true},
};
constexpr int kPresetWarnSeconds = 60;

bool Follows(const LicencePreset& preset, const rig::IdTiming& timing) {
    return timing.rolling && timing.polite && timing.startReminder == preset.startReminder &&
           timing.interval == std::chrono::minutes(preset.interval) &&
           timing.warn == std::chrono::seconds(kPresetWarnSeconds);
}

// Why the callsign does not sound, as a sentence.
UnicodeString NotSoundedNote(UnicodeString why) {
    return why.replace(0, 1, why.front().toUpper()) +
           QStringLiteral(": the marks sound the system tone instead.");
}

// What Morse makes of the callsign: all of it, or only its beginning; or nothing, and why.
UnicodeString MorseNote(const UnicodeString& callsign, const morse::Keying& keying) {
    if (UnicodeString why = morse::WhyNotSendable(callsign, keying); !why.isEmpty())
        return NotSoundedNote(why);
    UnicodeString note = QStringLiteral("Sends all of \"%1\".").arg(callsign);
    if (keying.cut)
        note += QStringLiteral(" Too long: only its beginning is sent.");
    return note;
}

// The words the callsign is spoken as; or none, and why.
UnicodeString SpeechNote(const UnicodeString& callsign, speech::Spelling spelling) {
    const speech::Saying saying = speech::Spell(callsign.toStdString(), spelling);
    if (UnicodeString why = speech::WhyNotSayable(callsign, saying); !why.isEmpty())
        return NotSoundedNote(why);
    return QStringLiteral("Says \"%1\".").arg(QString::fromStdString(saying.text));
}

// A Test that could not sound says why where it says what it sounds, and the system tone plays.
void ShowTestFailure(TLabel* label, const UnicodeString& sound, const UnicodeString& reason) {
    label->SetText(
        QStringLiteral("The %1 could not sound (%2); the system tone played.").arg(sound, reason));
    MessageBeep(0);
}

} // namespace

TStationOptions::TStationOptions(TComponent* Owner)
    : TForm(Owner) {
    ApplyDesign(kWindow);
    TitleLabel = AddLabel(kTitle, TAlignLayout::None);
    CreateIdentificationGroup();
    CreateRigGroup();
    CreateMorseGroup();
    CreateSpeechGroup();
    CreateOutputGroup();
    OutputsTimer = new TTimer(this);
    BindEvents();
}

void TStationOptions::CreateIdentificationGroup() {
    IdentificationGroup = new TGroupBox(this, QStringLiteral("Identification"));
    Place(IdentificationGroup, {10, 50, 340, 230}, TAlignLayout::None);
    IntervalLabel = AddLabel(kInterval, TAlignLayout::None);
    IntervalComboBox = new TComboBox(this);
    IntervalComboBox->SetAccessibleName(QStringLiteral("Identify every (minutes)"));
    for (const std::int32_t minutes : kMarkIntervals)
        IntervalComboBox->AddItem(QString::number(minutes), QString::number(minutes));
    Place(IntervalComboBox, {146, 74, 64, 26}, TAlignLayout::None);
    MinutesLabel = AddLabel(kMinutes, TAlignLayout::None);
    CreateTimingControls();
}

void TStationOptions::CreateTimingControls() {
    RulesLabel = AddLabel(kRules, TAlignLayout::None);
    RulesComboBox = new TComboBox(this);
    for (const LicencePreset& preset : kPresets)
        RulesComboBox->AddItem(QString::fromUtf8(preset.name), QString());
    RulesComboBox->AddItem(QStringLiteral("Custom"), QString());
    RulesComboBox->SetAccessibleName(QStringLiteral("Licence rules"));
    RulesComboBox->SetHint(QStringLiteral("Fills in the timing below; your own licence is what "
                                          "counts"));
    Place(RulesComboBox, {66, 106, 272, 26}, TAlignLayout::None);
    RemindLabel = AddLabel(kRemind, TAlignLayout::None);
    RemindComboBox = new TComboBox(this);
    RemindComboBox->SetAccessibleName(QStringLiteral("Remind"));
    RemindComboBox->AddItem(QStringLiteral("at the clock marks"), QString());
    RemindComboBox->AddItem(QStringLiteral("counted from my first transmission"), QString());
    Place(RemindComboBox, {82, 138, 256, 26}, TAlignLayout::None);
    WarnLabel = AddLabel(kWarn, TAlignLayout::None);
    WarnSpinBox = new TSpinBox(this, 0, 60 * kMarkIntervals.back(), 10, QStringLiteral("s"));
    WarnSpinBox->SetAccessibleName(QStringLiteral("Warn before the ID is due"));
    Place(WarnSpinBox, {66, 170, 90, 26}, TAlignLayout::None);
    WarnAfterLabel = AddLabel(kWarnAfter, TAlignLayout::None);
    PoliteCheckBox = new TCheckBox(this, QStringLiteral("wait until I stop transmitting"));
    Place(PoliteCheckBox, {20, 202, 318, 24}, TAlignLayout::None);
    StartCheckBox = new TCheckBox(this, QStringLiteral("remind me at the start of a contact"));
    Place(StartCheckBox, {20, 226, 318, 24}, TAlignLayout::None);
    TrayCheckBox = new TCheckBox(this, QStringLiteral("show the countdown in the system tray"));
    Place(TrayCheckBox, {20, 250, 318, 24}, TAlignLayout::None);
}

void TStationOptions::CreateMorseGroup() {
    MorseGroup = new TGroupBox(this, QStringLiteral("Morse callsign"));
    Place(MorseGroup, {360, 50, 340, 130}, TAlignLayout::None);
    SpeedLabel = AddLabel(kSpeed, TAlignLayout::None);
    SpeedSpinBox = new TSpinBox(this, morse::kMinWpm, morse::kMaxWpm, 1, QStringLiteral("WPM"));
    SpeedSpinBox->SetAccessibleName(QStringLiteral("Morse speed"));
    Place(SpeedSpinBox, {426, 74, 90, 26}, TAlignLayout::None);
    ToneLabel = AddLabel(kTone, TAlignLayout::None);
    ToneSpinBox =
        new TSpinBox(this, morse::kMinToneHz, morse::kMaxToneHz, kToneStepHz, QStringLiteral("Hz"));
    ToneSpinBox->SetAccessibleName(QStringLiteral("Morse tone"));
    Place(ToneSpinBox, {582, 74, 106, 26}, TAlignLayout::None);
    MorseLabel = AddLabel(kMorse, TAlignLayout::None);
    MorseLabel->SetWordWrap(true);
    TestButton = AddButton(QStringLiteral("Test"), {608, 126, 80, 30}, TAlignLayout::None);
    TestButton->SetHint(QStringLiteral("Send the callsign in Morse now, as a mark sends it"));
    TestButton->SetAccessibleName(QStringLiteral("Test the Morse callsign"));
    MorseSender = new morse::Sender(this);
}

void TStationOptions::CreateSpeechGroup() {
    SpeechGroup = new TGroupBox(this, QStringLiteral("Spoken callsign"));
    Place(SpeechGroup, {360, 190, 340, 144}, TAlignLayout::None);
    SayLabel = AddLabel(kSay, TAlignLayout::None);
    SpellingComboBox = new TComboBox(this);
    SpellingComboBox->AddItem(QStringLiteral("ITU phonetics"), QString());
    SpellingComboBox->AddItem(QStringLiteral("letter by letter"), QString());
    SpellingComboBox->SetAccessibleName(QStringLiteral("Say the callsign in"));
    Place(SpellingComboBox, {408, 214, 140, 26}, TAlignLayout::None);
    RateLabel = AddLabel(kRate, TAlignLayout::None);
    RateSpinBox =
        new TSpinBox(this, speech::kMinRate, speech::kMaxRate, kRateStep, QStringLiteral("wpm"));
    RateSpinBox->SetAccessibleName(QStringLiteral("Speed of the spoken callsign"));
    Place(RateSpinBox, {602, 214, 86, 26}, TAlignLayout::None);
    VoiceLabel = AddLabel(kVoice, TAlignLayout::None);
    VoiceComboBox = new TComboBox(this);
    VoiceComboBox->SetAccessibleName(QStringLiteral("Voice of the spoken callsign"));
    Place(VoiceComboBox, {418, 246, 270, 26}, TAlignLayout::None);
    SpeechLabel = AddLabel(kSpeech, TAlignLayout::None);
    SpeechLabel->SetWordWrap(true);
    SpeechTestButton = AddButton(QStringLiteral("Test"), {608, 284, 80, 30}, TAlignLayout::None);
    SpeechTestButton->SetAccessibleName(QStringLiteral("Test the spoken callsign"));
    SpeechTestButton->SetHint(QStringLiteral("Speak the callsign now, as a mark speaks it"));
    Speaker = new speech::Speaker(this);
}

void TStationOptions::CreateOutputGroup() {
    OutputGroup = new TGroupBox(this, QStringLiteral("Sound output"));
    Place(OutputGroup, {360, 344, 340, 84}, TAlignLayout::None);
    OutputLabel = AddLabel(kOutput, TAlignLayout::None);
    OutputComboBox = new TComboBox(this);
    OutputComboBox->SetAccessibleName(QStringLiteral("Play alerts on"));
    Place(OutputComboBox, {472, 368, 216, 26}, TAlignLayout::None);
    OutputNoteLabel = AddLabel(kOutputNote, TAlignLayout::None);
    OutputNoteLabel->SetWordWrap(true);
}

void TStationOptions::CreateRigGroup() {
    RigGroup = new TGroupBox(this, QStringLiteral("Rig"));
    Place(RigGroup, {10, 290, 340, 112}, TAlignLayout::None);
    RigLabel = AddLabel(kRig, TAlignLayout::None);
    RigComboBox = new TComboBox(this);
    RigComboBox->SetAccessibleName(QStringLiteral("Rig"));
    RigComboBox->AddItem(kRigOff, kRigOff);
    for (int kind = 0; kind < int(std::size(kSources)); ++kind)
        RigComboBox->AddItem(QString::fromUtf8(kSources[kind].item), QString::number(kind));
    RigComboBox->SetHint(QStringLiteral("Watching the transmitter through the program that holds "
                                        "the rig, a mark reminds only when the transmitter was "
                                        "on since the one before, or the link was down"));
    Place(RigComboBox, {56, 314, 118, 26}, TAlignLayout::None);
    RigHostEdit = new TEdit(this);
    Place(RigHostEdit, {178, 314, 80, 26}, TAlignLayout::None);
    RigColonLabel = AddLabel(kRigColon, TAlignLayout::None);
    RigPortSpinBox = new TSpinBox(this, 1, std::numeric_limits<quint16>::max(), 1, QString());
    Place(RigPortSpinBox, {268, 314, 70, 26}, TAlignLayout::None);
    RigStatusLabel = AddLabel(kRigStatus, TAlignLayout::None);
    RigLastLabel = AddLabel(kRigLast, TAlignLayout::None);
}

void TStationOptions::BindEvents() {
    OnCreate = Handler(this, &TStationOptions::FormCreate);
    OnClose = Handler(this, &TStationOptions::FormClose);
    IntervalComboBox->OnChange = Handler(this, &TStationOptions::IntervalComboBoxChange);
    RulesComboBox->OnChange = Handler(this, &TStationOptions::RulesComboBoxChange);
    RemindComboBox->OnChange = Handler(this, &TStationOptions::TimingChange);
    WarnSpinBox->OnChange = Handler(this, &TStationOptions::TimingChange);
    for (TCheckBox* box : {PoliteCheckBox, StartCheckBox, TrayCheckBox})
        box->OnChange = Handler(this, &TStationOptions::TimingChange);
    SpeedSpinBox->OnChange = Handler(this, &TStationOptions::SpeedSpinBoxChange);
    ToneSpinBox->OnChange = Handler(this, &TStationOptions::ToneSpinBoxChange);
    TestButton->OnClick = Handler(this, &TStationOptions::TestButtonClick);
    MorseSender->OnError = Handler(this, &TStationOptions::MorseSenderError);
    SpellingComboBox->OnChange = Handler(this, &TStationOptions::SpeechChange);
    VoiceComboBox->OnChange = Handler(this, &TStationOptions::SpeechChange);
    RateSpinBox->OnChange = Handler(this, &TStationOptions::SpeechChange);
    SpeechTestButton->OnClick = Handler(this, &TStationOptions::SpeechTestButtonClick);
    Speaker->OnReady = Handler(this, &TStationOptions::SpeakerReady);
    Speaker->OnVoices = Handler(this, &TStationOptions::SpeakerVoices);
    Speaker->OnError = Handler(this, &TStationOptions::SpeakerError);
    OutputComboBox->OnChange = Handler(this, &TStationOptions::OutputComboBoxChange);
    OutputsTimer->OnTimer = Handler(this, &TStationOptions::OutputsTimerTimer);
    RigComboBox->OnChange = Handler(this, &TStationOptions::RigChange);
    RigHostEdit->OnChange = Handler(this, &TStationOptions::RigChange);
    RigPortSpinBox->OnChange = Handler(this, &TStationOptions::RigChange);
}

// The options themselves were read when the main window was made.
void TStationOptions::FormCreate(TObject*) {
    TIniFile ini(SettingsFilePath());
    SetLeft(ini.ReadInteger(StationOptionsForm::kLeft));
    SetTop(ini.ReadInteger(StationOptionsForm::kTop));
    ShowTiming();
    SpeedSpinBox->SetValue(shared.morseWpm);
    ToneSpinBox->SetValue(shared.morseHz);
    const UnicodeString callsign = shared.CallSign->GetText();
    MorseLabel->SetText(MorseNote(callsign, morse::Encode(callsign.toStdString())));
    SpellingComboBox->SetItemIndex(shared.speechLetters ? 1 : 0);
    RateSpinBox->SetValue(shared.speechRate);
    VoiceComboBox->AddItem(shared.speechVoice, shared.speechVoice);
    Speaker->RequestVoices();
    ShowSpeech();
    ShowOutputs();
    ShowRig();
    FollowRig();
}

// A host typed but not yet taken (no Enter, the box still focused) is taken now.
void TStationOptions::FormClose(TObject*, TCloseAction&) {
    RigChange(this);
    TIniFile ini(SettingsFilePath());
    ini.WriteInteger(StationOptionsForm::kLeft, GetLeft());
    ini.WriteInteger(StationOptionsForm::kTop, GetTop());
    SaveStationOptions(ini);
}

void TStationOptions::IntervalComboBoxChange(TObject*) {
    shared.markInterval = IntervalComboBox->GetSelectedId().toInt();
    SetTimingInterval(shared.markInterval);
    ShowTiming();
}

// Picking a preset only sets the fields; "Custom" leaves them.
void TStationOptions::RulesComboBoxChange(TObject*) {
    const int index = RulesComboBox->currentIndex();
    if (index >= int(std::size(kPresets)))
        return;
    const LicencePreset& preset = kPresets[index];
    shared.markInterval = preset.interval;
    stationRig->SetTiming({true, std::chrono::minutes(preset.interval),
                           std::chrono::seconds(kPresetWarnSeconds), true, preset.startReminder});
    ShowTiming();
}

void TStationOptions::TimingChange(TObject*) {
    stationRig->SetTiming({RemindComboBox->currentIndex() == 1,
                           std::chrono::minutes(shared.markInterval),
                           std::chrono::seconds(WarnSpinBox->GetValue()),
                           PoliteCheckBox->IsChecked(), StartCheckBox->IsChecked()});
    shared.tray = TrayCheckBox->IsChecked();
    ShowTiming();
}

// The preset the fields follow, if any; the warning is held within the interval.
void TStationOptions::ShowTiming() {
    const rig::IdTiming& timing = stationRig->Timing();
    IntervalComboBox->SetItemIndex(
        IntervalComboBox->IndexOfId(QString::number(shared.markInterval)));
    const auto followed =
        std::find_if(std::begin(kPresets), std::end(kPresets),
                     [&timing](const auto& preset) { return Follows(preset, timing); });
    RulesComboBox->SetItemIndex(static_cast<int>(followed - std::begin(kPresets)));
    RemindComboBox->SetItemIndex(timing.rolling ? 1 : 0);
    WarnSpinBox->setMaximum(60 * shared.markInterval);
    WarnSpinBox->SetValue(static_cast<int>(timing.warn.count()));
    PoliteCheckBox->SetChecked(timing.polite);
    StartCheckBox->SetChecked(timing.startReminder);
    TrayCheckBox->SetChecked(shared.tray);
}

void TStationOptions::SpeedSpinBoxChange(TObject*) {
    shared.morseWpm = SpeedSpinBox->GetValue();
}

void TStationOptions::ToneSpinBoxChange(TObject*) {
    shared.morseHz = ToneSpinBox->GetValue();
}

// As a mark would: the system tone when the Morse cannot sound.
void TStationOptions::TestButtonClick(TObject*) {
    MorseSender->Prepare(shared.CallSign->GetText(), shared.morseWpm, shared.morseHz);
    if (!MorseSender->Send())
        ShowMorseFailure();
}

void TStationOptions::MorseSenderError(TObject*) {
    ShowMorseFailure();
}

void TStationOptions::ShowMorseFailure() {
    ShowTestFailure(MorseLabel, QStringLiteral("Morse"), MorseSender->GetErrorString());
}

void TStationOptions::SpeechChange(TObject*) {
    shared.speechLetters = SpellingComboBox->currentIndex() == 1;
    shared.speechVoice = VoiceComboBox->GetSelectedId();
    shared.speechRate = RateSpinBox->GetValue();
    ShowSpeech();
}

void TStationOptions::ShowSpeech() {
    SpeechLabel->SetText(SpeechNote(shared.CallSign->GetText(), StationVoicing().spelling));
}

// The voice chosen stays chosen; one that is not installed shows as the default voice, which
// speaks in its place. Without espeak-ng's data there is no list: the chosen voice stays alone.
void TStationOptions::SpeakerVoices(TObject*) {
    const std::vector<speech::Voice>& voices = Speaker->GetVoices();
    if (voices.empty())
        return;
    VoiceComboBox->Clear();
    for (const speech::Voice& voice : voices)
        VoiceComboBox->AddItem(voice.name, voice.id);
    const int chosen = VoiceComboBox->IndexOfId(shared.speechVoice);
    VoiceComboBox->SetItemIndex(
        chosen >= 0 ? chosen : VoiceComboBox->IndexOfId(DefaultText(Station::kSpeechVoice)));
}

// As a mark would, with the system tone when the speech cannot sound; a speech still being
// synthesized (the options just changed) is spoken once it is ready.
void TStationOptions::SpeechTestButtonClick(TObject*) {
    Speaker->Prepare(shared.CallSign->GetText(), StationVoicing());
    m_speakWhenReady = Speaker->IsPending();
    if (!m_speakWhenReady && !Speaker->Speak())
        ShowSpeechFailure();
}

void TStationOptions::SpeakerReady(TObject*) {
    if (std::exchange(m_speakWhenReady, false) && !Speaker->Speak())
        ShowSpeechFailure();
}

void TStationOptions::SpeakerError(TObject*) {
    ShowSpeechFailure();
}

void TStationOptions::ShowSpeechFailure() {
    ShowTestFailure(SpeechLabel, QStringLiteral("speech"), Speaker->GetErrorString());
}

void TStationOptions::OutputComboBoxChange(TObject*) {
    SetSoundOutput(OutputComboBox->GetSelectedId());
    ShowOutputs();
}

void TStationOptions::OutputsTimerTimer(TObject*) {
    if (SoundOutputs() != m_outputs)
        ShowOutputs();
}

// The chosen output stays in the list while it is not connected, so that opening and closing
// the window keeps it; its sounds go to the default until it is back.
void TStationOptions::ShowOutputs() {
    m_outputs = SoundOutputs();
    OutputComboBox->Clear();
    OutputComboBox->AddItem(QStringLiteral("System default"), QString());
    for (const TSoundOutput& output : m_outputs)
        OutputComboBox->AddItem(output.Description, output.Id);
    const UnicodeString chosen = GetSoundOutput();
    const bool connected = SoundOutputConnected();
    if (!connected)
        OutputComboBox->AddItem(chosen + QStringLiteral(" (not connected)"), chosen);
    OutputComboBox->SetItemIndex(OutputComboBox->IndexOfId(chosen));
    OutputNoteLabel->SetText(connected ? QString()
                                       : QStringLiteral("Not connected now: the alerts play on "
                                                        "the system default until it is back."));
}

// The host and port shown are the shown kind's, taken before another kind shows its own; an
// empty host means the kind's default, and shows it.
void TStationOptions::RigChange(TObject*) {
    rig::SourceChoice choice = stationRig->Choice();
    const UnicodeString host = RigHostEdit->GetText().trimmed();
    choice.SetChosen({host.isEmpty() ? DefaultHost(choice.kind) : host,
                      static_cast<quint16>(RigPortSpinBox->GetValue())});
    const UnicodeString id = RigComboBox->GetSelectedId();
    choice.on = id != kRigOff;
    if (choice.on)
        choice.kind = static_cast<rig::SourceKind>(id.toInt());
    stationRig->Watch(choice);
    ShowRig();
}

// The words follow the link while the window is open.
void TStationOptions::FollowRig() {
    QObject::connect(stationRig, &rig::TransmitterWatch::StatusChanged, this,
                     [this] { ShowRigStatus(); });
    QObject::connect(stationRig, &rig::TransmitterWatch::LastTransmissionChanged, this,
                     [this] { ShowLastTransmission(); });
}

// For WSJT-X the host box holds the multicast group, empty for none.
void TStationOptions::ShowRig() {
    const rig::SourceChoice& choice = stationRig->Choice();
    RigComboBox->SetItemIndex(choice.on ? static_cast<int>(choice.kind) + 1 : 0);
    const QString program = QString::fromUtf8(ListingOf(choice.kind).program);
    const bool listens = choice.kind == rig::SourceKind::Wsjtx;
    RigHostEdit->SetText(choice.Chosen().host);
    RigHostEdit->SetTextPrompt(listens ? QStringLiteral("loopback") : QString());
    RigHostEdit->SetAccessibleName(listens ? QStringLiteral("WSJT-X multicast group, empty for "
                                                            "the loopback address")
                                           : program + QStringLiteral(" host"));
    RigHostEdit->SetHint(listens ? QStringLiteral("A multicast group such as 239.255.0.1, as "
                                                  "WSJT-X's UDP Server; empty for 127.0.0.1")
                                 : QString());
    RigPortSpinBox->SetValue(choice.Chosen().port);
    RigPortSpinBox->SetAccessibleName(program + QStringLiteral(" port"));
    ShowRigStatus();
    ShowLastTransmission();
}

void TStationOptions::ShowRigStatus() {
    RigStatusLabel->SetText(stationRig->IsOn() ? stationRig->StatusText()
                                               : QStringLiteral("Off: every mark reminds"));
}

void TStationOptions::ShowLastTransmission() {
    const QDateTime last = stationRig->LastTransmission();
    RigLastLabel->SetText(
        QStringLiteral("Last transmission: %1")
            .arg(last.isNull() ? QStringLiteral("none seen") : last.toString(u"HH:mm:ss")));
}
