#include "main_window/main_window.h"

#include "alert_window/alert_window.h"
#include "audio/audio_menu.h"
#include "callsign_editor/callsign_editor.h"
#include "main_window/tick_grid.h"
#include "station/station_options.h"
#include "station/station_settings.h"
#include "toolkit/accessible_role.h"
#include "toolkit/idle.h"
#include "window_set/window_set.h"

TForm1* Form1 = nullptr;

SharedTimerState timerState;

namespace {

const TFormDesign kWindow{QStringLiteral(" Timer Chimewell! "), 375, 565, 120, 100};

// The window's fill: dark at the bottom, white at the top, slightly tilted.
const TGradient kFill{{{0xFF080807, 0.4316770136356354}, {claWhite, 0.9378882050514221}},
                      {0.3660253882408142, 1.0},
                      {0.6339746117591858, 9.855696703e-09}};

constexpr TAlphaColor kClockBackground = 0xFFF7FAD3;
constexpr TAlphaColor kStopRed = 0xFFF74848;
constexpr TAlphaColor kStartGreen = 0xFF06BF06;
constexpr TAlphaColor kOnAirRed = 0xFFE00000;

const TLabelDesign kCallSign{{0, 16, 375, 94}, "Callsign", {70, true}, claBlue};
const TLabelDesign kDate{{35, 192, 313, 41}, "Date", {25}, claYellow};
const TLabelDesign kClock{{53, 136, 270, 49}, "Local Time", {40}};
const TLabelDesign kStop{{223, 256, 91, 41}, "Stop", {20, true}};
const TLabelDesign kStart{{58, 256, 97, 41}, "Start", {20, true}};
const TLabelDesign kActive{{131, 333, 113, 24}, "Active", {20}};
const TLabelDesign kMode{{35, 384, 88, 17}, "Mode", {15, true}, claRed};
const TLabelDesign kAlertScreen{{252, 384, 88, 17}, "Alert Screen", {15, true}, claRed};
const TLabelDesign kZone{{136, 104, 104, 25}, "", {20, true}, claYellow};
const TLabelDesign kAudio{{155, 450, 65, 17}, "Audio", {9}};
const TLabelDesign kFooter{{39, 528, 297, 17}, "Chimewell " CHIMEWELL_VERSION, {12}, claWhite};
const TLabelDesign kAudioStatus{{88, 480, 184, 25}, "Label2", {16, true}, claChartreuse};
// Above the callsign's letters, clear of every designed control.
const QRect kOnAirPlace{299, 6, 70, 22};
const TLabelDesign kOnAir{kOnAirPlace, "ON AIR", {11, true}, claWhite};
// In the other top corner, as far as the badge; the badge behind it fits its text.
const TLabelDesign kCountdown{{14, 6, 276, 22}, "", {11, true}, 0xFF303030, TTextAlign::Leading};
constexpr int kCountdownBadgeLeft = 6;
constexpr int kCountdownPadding = 8;

// Each stage's badge and text: none on the window's light top while there is time, amber
// within the warning, red once due; the tray's dot in the same colours, green for the first.
struct StageLook {
    TAlphaColor badge;
    TAlphaColor text;
    TAlphaColor dot;
};
constexpr StageLook kStageLooks[] = {{0, 0xFF303030, 0xFF06BF06},
                                     {0xFFFFB300, claBlack, 0xFFFFB300},
                                     {0xFFD00000, claWhite, 0xFFD00000}};

} // namespace

TForm1::TForm1(TComponent* Owner)
    : TForm(Owner) {
    ApplyDesign(kWindow);
    SetFill(kFill);
    CreateClockArea();
    CreateRunControls();
    CreateModeAndAlertControls();
    MilliTimer = new TTimer(this, &DelayToNextTick);
    CreateHiddenAreas();
    CreateAudioControls();
    CreateColorPanel();
    CreateStationControls();
    CreateOnAirBadge();
    CreateCountdown();
    NameForScreenReaders();
    BindEvents();
    ShareMembers();
    WhenShownAndIdle(this, [this] { PrepareChosenAudio(); });
}

void TForm1::CreateClockArea() {
    CallSign = AddLabel(kCallSign);
    CallSign->SetShrinkToFit(true);
    RoundRect1 = new TRoundRect(this, kClockBackground);
    Place(RoundRect1, {55, 136, 265, 49});
    DateLabel = AddLabel(kDate);
    LocalTime = AddLabel(kClock);
}

void TForm1::CreateRunControls() {
    StopButton = new TColorButton(this);
    StopButton->SetColor(kStopRed);
    StopButton->SetAccessibleName(QStringLiteral("Stop"));
    Place(StopButton, {219, 256, 97, 46});
    StopLabel = AddLabel(kStop);
    StartButton = new TColorButton(this);
    StartButton->SetColor(kStartGreen);
    StartButton->SetAccessibleName(QStringLiteral("Start"));
    Place(StartButton, {59, 256, 98, 46});
    StartLabel = AddLabel(kStart);
    RoundRect2 = new TRoundRect(this, kClockBackground);
    Place(RoundRect2, {131, 330, 113, 33});
    Active_Indicator = AddLabel(kActive);
}

void TForm1::CreateModeAndAlertControls() {
    ModeButton = AddButton(QStringLiteral("Auto"), {35, 408, 89, 30});
    ModeButton->SetHint(QStringLiteral("Auto closes the alert at second 15; Manual keeps it "
                                       "until you click it"));
    ModeLabel = AddLabel(kMode);
    DisplayAlertButton = AddButton(QStringLiteral("Display "), {251, 408, 89, 30});
    DisplayAlertButton->SetHint(QStringLiteral("Show the alert window now"));
    AlertLabel = AddLabel(kAlertScreen);
}

// Invisible areas over the callsign and the clock: they take double-clicks and wheel turns,
// and say so to a new operator.
TButton* TForm1::AddHiddenArea(QRect designed, const QString& name, const QString& hint) {
    TButton* area = AddButton(QString(), designed);
    area->SetOpacity(0);
    area->SetAccessibleName(name);
    area->SetHint(hint);
    return area;
}

void TForm1::CreateHiddenAreas() {
    EditCallSignButton = AddHiddenArea(
        {64, 40, 257, 57}, QStringLiteral("Edit callsign"),
        QStringLiteral("Double-click (or Enter) to edit the callsign; roll the mouse wheel here "
                       "to choose its colour"));
    GMTButton = AddHiddenArea(
        {64, 145, 250, 33}, QStringLiteral("Switch clock"),
        QStringLiteral("Double-click (or Enter) to switch between local time and GMT and, every "
                       "second time, between the 12-hour and the 24-hour clock"));
    GMTLabel = AddLabel(kZone);
}

void TForm1::CreateAudioControls() {
    AudioButton = new TColorButton(this);
    AudioButton->SetColor(claGold);
    AudioButton->SetAccessibleName(QStringLiteral("Audio: choose the alert sound"));
    AudioButton->SetHint(QStringLiteral("Double-click (or Enter) to choose the alert sound: none, "
                                        "the system sound, an audio file, the callsign in Morse "
                                        "or spoken"));
    Place(AudioButton, {150, 447, 76, 23});
    AudioLabel = AddLabel(kAudio);
    MediaPlayer1 = new TMediaPlayer(this);
    Label1 = AddLabel(kFooter);
}

void TForm1::CreateColorPanel() {
    ColorPanel1 = new TColorPanel(this);
    ColorPanel1->SetColor(claBlue);
    ColorPanel1->SetVisible(false);
    Place(ColorPanel1, {32, 136, 329, 193});
    Label2 = AddLabel(kAudioStatus);
    BindingsList1 = new TBindingsList(this);
    LinkControlToPropertyFontColor = new TLinkControlToProperty(BindingsList1);
    LinkControlToPropertyFontColor->Bind(ColorPanel1, [this](TAlphaColor color) {
        CallSign->GetTextSettings()->SetFontColor(color);
    });
}

void TForm1::CreateStationControls() {
    CreateMenu();
    SetHint(QStringLiteral("Right-click (or the Menu key) for what the double-clicks and the "
                           "mouse wheel do, and Ctrl+, for the station options: the minutes "
                           "between marks, the callsign in Morse and spoken, and the sound "
                           "output"));
    MorseSender1 = new morse::Sender(this);
    Speaker1 = new speech::Speaker(this);
}

// Every action of a double-click or a wheel turn, for the keyboard and for operators who
// do not know where to click.
void TForm1::CreateMenu() {
    PopupMenu1 = new TPopupMenu(this);
    const auto add = [this](const QString& text, const QKeySequence& shortCut = {}) {
        auto* item = new TMenuItem(this, text, shortCut);
        PopupMenu1->AddItem(item);
        return item;
    };
    SwitchZoneItem = add(QStringLiteral("Switch Local Time/GMT"));
    SwitchHoursItem = add(QStringLiteral("Switch 12/24-hour Clock"));
    EditCallSignItem = add(QStringLiteral("Edit Callsign"));
    CallSignColourItem = add(QStringLiteral("Callsign Colour"));
    AudioItem = add(QStringLiteral("Audio"));
    StationOptionsItem =
        add(QStringLiteral("Station Options\u2026"), QKeySequence(Qt::CTRL | Qt::Key_Comma));
    SetPopupMenu(PopupMenu1);
}

// The names say what each control is and shows; captions that their buttons already say, and
// the shapes behind the texts, are passed by.
void TForm1::NameForScreenReaders() {
    SetAccessibleRole(this, TAccessibleRole::Window);
    CallSign->SetSpokenAs(QStringLiteral("Callsign"));
    DateLabel->SetSpokenAs(QStringLiteral("Date"));
    Label2->SetSpokenAs(QStringLiteral("Alert sound"));
    DisplayAlertButton->SetAccessibleName(QStringLiteral("Display the alert screen"));
    for (QWidget* decoration : std::initializer_list<QWidget*>{
             RoundRect1, RoundRect2, StopLabel, StartLabel, ModeLabel, AlertLabel, GMTLabel,
             AudioLabel, OnAirBadge, CountdownBadge})
        SetAccessibleRole(decoration, TAccessibleRole::Decoration);
    SetTabOrder({EditCallSignButton, GMTButton, StartButton, StopButton, ModeButton,
                 DisplayAlertButton, AudioButton, ColorPanel1});
    ShowClockKind();
}

void TForm1::CreateOnAirBadge() {
    RigWatch1 = new rig::TransmitterWatch(this);
    OnAirBadge = new TRoundRect(this, kOnAirRed);
    Place(OnAirBadge, kOnAirPlace);
    OnAirLabel = AddLabel(kOnAir);
    OnAirBadge->SetVisible(false);
    OnAirLabel->SetVisible(false);
}

void TForm1::CreateCountdown() {
    CountdownBadge = new TRoundRect(this, 0);
    Place(CountdownBadge, {kCountdownBadgeLeft, kOnAirPlace.top(), 0, kOnAirPlace.height()});
    CountdownBadge->SetVisible(false);
    CountdownLabel = AddLabel(kCountdown);
}

void TForm1::ShowCountdown(std::time_t nextMark, bool reminding) {
    using Clock = std::chrono::system_clock;
    const rig::Countdown countdown =
        RigWatch1->CountdownAt(Clock::now(), Clock::from_time_t(nextMark), reminding);
    // Ten ticks a second, nine in ten show the same.
    if (countdown == m_countdown && !CountdownLabel->isHidden() && TrayShown() == shared.tray)
        return;
    m_countdown = countdown;
    const StageLook& look = kStageLooks[static_cast<int>(countdown.stage)];
    CountdownLabel->SetText(countdown.text.c_str());
    CountdownLabel->GetTextSettings()->SetFontColor(look.text);
    CountdownLabel->SetVisible(true);
    CountdownBadge->SetFill(look.badge);
    MovePlaced(CountdownBadge,
               {kCountdownBadgeLeft, kOnAirPlace.top(),
                CountdownLabel->TextRoom().width() + 2 * kCountdownPadding, kOnAirPlace.height()});
    CountdownBadge->SetVisible(look.badge != 0);
    ShowInTray(countdown);
}

void TForm1::HideCountdown() {
    CountdownLabel->SetVisible(false);
    CountdownBadge->SetVisible(false);
    if (TrayIcon1)
        TrayIcon1->setVisible(false);
}

// The icon is made the first time the operator wants it.
void TForm1::ShowInTray(const rig::Countdown& countdown) {
    if (!shared.tray && !TrayIcon1)
        return;
    if (!TrayIcon1)
        TrayIcon1 = new TTrayIcon(this);
    TrayIcon1->SetColor(kStageLooks[static_cast<int>(countdown.stage)].dot);
    TrayIcon1->SetHint(QStringLiteral("Chimewell: %1").arg(QString::fromStdString(countdown.text)));
    if (TrayShown() != shared.tray)
        TrayIcon1->setVisible(shared.tray);
}

void TForm1::BindEvents() {
    OnCreate = Handler(this, &TForm1::FormCreate);
    OnClose = Handler(this, &TForm1::FormClose);
    MilliTimer->OnTimer = Handler(this, &TForm1::MilliTimerTimer);
    MediaPlayer1->OnError = Handler(this, &TForm1::MediaPlayer1Error);
    MorseSender1->OnError = Handler(this, &TForm1::MorseSender1Error);
    SwitchZoneItem->OnClick = Handler(this, &TForm1::SwitchZoneItemClick);
    SwitchHoursItem->OnClick = Handler(this, &TForm1::SwitchHoursItemClick);
    EditCallSignItem->OnClick = Handler(this, &TForm1::EditCallSignButtonDblClick);
    CallSignColourItem->OnClick = Handler(this, &TForm1::CallSignColourItemClick);
    AudioItem->OnClick = Handler(this, &TForm1::AudioButtonDblClick);
    Speaker1->OnError = Handler(this, &TForm1::Speaker1Error);
    StationOptionsItem->OnClick = Handler(this, &TForm1::StationOptionsItemClick);
    StartButton->OnClick = Handler(this, &TForm1::StartButtonClick);
    StopButton->OnClick = Handler(this, &TForm1::StopButtonClick);
    ModeButton->OnClick = Handler(this, &TForm1::ModeButtonClick);
    DisplayAlertButton->OnClick = Handler(this, &TForm1::DisplayAlertButtonClick);
    GMTButton->OnDblClick = Handler(this, &TForm1::GMTButtonDblClick);
    EditCallSignButton->OnDblClick = Handler(this, &TForm1::EditCallSignButtonDblClick);
    AudioButton->OnDblClick = Handler(this, &TForm1::AudioButtonDblClick);
    EditCallSignButton->OnMouseWheel = Handler(this, &TForm1::EditCallSignButtonMouseWheel);
    ColorPanel1->OnMouseWheel = Handler(this, &TForm1::ColorPanel1MouseWheel);
    QObject::connect(RigWatch1, &rig::TransmitterWatch::StatusChanged, this,
                     Handler(this, &TForm1::RigStatusChanged));
}

// The members the windows share start from their construction values with each main window.
void TForm1::ShareMembers() {
    shared = SharedMembers{};
    shared.CallSign = CallSign;
    stationRig = RigWatch1;
}

void TForm1::ShowRunAndModeTexts() {
    Active_Indicator->SetText(timerState.running ? QStringLiteral("Active")
                                                 : QStringLiteral("Stopped"));
    ModeButton->SetText(timerState.autoMode ? QStringLiteral("Auto") : QStringLiteral("Manual"));
    Active_Indicator->SetAccessibleName(timerState.running
                                            ? QStringLiteral("Identification timer: running")
                                            : QStringLiteral("Identification timer: stopped"));
    ModeButton->SetAccessibleName(QStringLiteral("Mode: %1").arg(ModeButton->GetText()));
}

void TForm1::ShowClockKind() {
    LocalTime->SetSpokenAs(
        QStringLiteral("Clock, %1, %2-hour")
            .arg(timerState.localTimeZone ? QStringLiteral("local time") : QStringLiteral("GMT"))
            .arg(Is12HourClock(timerState.clockFormat) ? 12 : 24));
}

void TForm1::StartButtonClick(TObject*) {
    timerState.running = true;
    ShowRunAndModeTexts();
}

void TForm1::StopButtonClick(TObject*) {
    timerState.running = false;
    ShowRunAndModeTexts();
}

void TForm1::ModeButtonClick(TObject*) {
    timerState.autoMode = !timerState.autoMode;
    ShowRunAndModeTexts();
}

// An alert already up is left as it is, unless the operator has minimised it.
void TForm1::DisplayAlertButtonClick(TObject*) {
    if (timerState.alertShowing) {
        Alert->SetWindowState(TWindowState::wsNormal);
        return;
    }
    timerState.alertFromButton = true;
    timerState.alertShowing = true;
    Alert->SetVisible(true);
}

void TForm1::GMTButtonDblClick(TObject*) {
    timerState.localTimeZone = !timerState.localTimeZone;
    GMTLabel->SetText(timerState.localTimeZone ? QString() : QStringLiteral("GMT"));
    // Stepping wraps at the top of the integer range instead of overflowing.
    timerState.clockFormat =
        timerState.clockFormat == 3
            ? 0
            : static_cast<std::int32_t>(static_cast<std::uint32_t>(timerState.clockFormat) + 1U);
    ShowClockKind();
}

// The zone alone, where the double-click also steps the clock's format.
void TForm1::SwitchZoneItemClick(TObject*) {
    timerState.localTimeZone = !timerState.localTimeZone;
    GMTLabel->SetText(timerState.localTimeZone ? QString() : QStringLiteral("GMT"));
    ShowClockKind();
}

// To the first value of the other clock, so that double-clicks go on from there as before.
void TForm1::SwitchHoursItemClick(TObject*) {
    timerState.clockFormat = Is12HourClock(timerState.clockFormat) ? 2 : 0;
    ShowClockKind();
}

void TForm1::CallSignColourItemClick(TObject*) {
    ColorPanel1->SetVisible(true);
    ColorPanel1->SetFocus();
}

// The editor sets the callsign itself at each commit; it is saved when this window closes.
void TForm1::EditCallSignButtonDblClick(TObject*) {
    OpenModal(Form3, this);
    WhenShownAndIdle(this, [this] { PrepareChosenAudio(); });
}

// The menu and its picker set audioChoice and selectedFile themselves; the next mark sounds them.
void TForm1::AudioButtonDblClick(TObject*) {
    OpenModal(Form5, this);
    WhenShownAndIdle(this, [this] { PrepareChosenAudio(); });
}

// The window sets the shared station options itself and saves them when it closes.
void TForm1::StationOptionsItemClick(TObject*) {
    OpenModal(StationOptions, this);
    WhenShownAndIdle(this, [this] { PrepareChosenAudio(); });
}

void TForm1::RigStatusChanged(const rig::LinkStatus& status) {
    const bool onAir = status.state == rig::LinkState::Transmitting;
    OnAirBadge->SetVisible(onAir);
    OnAirLabel->SetVisible(onAir);
}

void TForm1::EditCallSignButtonMouseWheel(TObject*, TShiftState, int, bool&) {
    ColorPanel1->SetVisible(true);
}

void TForm1::ColorPanel1MouseWheel(TObject*, TShiftState, int, bool&) {
    ColorPanel1->SetVisible(false);
}
