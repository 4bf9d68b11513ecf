#include "audio/audio_menu.h"

#include "audio/audio_design.h"
#include "audio/file_picker.h"
#include "settings/ini_file.h"
#include "toolkit/form_place.h"
#include "window_set/window_set.h"

TForm5* Form5 = nullptr;

namespace {

// Taller than designed by the room of the spoken callsign's button.
const TFormDesign kWindow{kCaption, 235, 390, 220, 320};

const TLabelDesign kTitle{{37, 16, 153, 33}, "Audio Menu", {20, true, false, false, true}};
const TLabelDesign kFileSelected{{14, 216, 209, 65}, "No File Selected", {}};

// What selectedFile holds while no file has been chosen: "Selected File"'s default.
const UnicodeString kNoFile = DefaultText(SelectAudioForm::kSelectedFile);

} // namespace

TForm5::TForm5(TComponent* Owner)
    : TForm(Owner) {
    ApplyDesign(kWindow);
    NoAudioButton = AddButton(QStringLiteral("No Audio"), {53, 56, 113, 33});
    Label1 = AddLabel(kTitle);
    PlaySystemButton = AddButton(QStringLiteral("System Tones"), {53, 112, 113, 33});
    PlayFileButton = AddButton(QStringLiteral("Play File"), {53, 168, 113, 33});
    AudioMenuBrush = new TBrushObject(this, kAudioFill);
    SetFill(AudioMenuBrush->GetBrush());
    SelectFile = AddButton(QStringLiteral("Select File to Play"), {16, 296, 197, 33});
    FileSelectedLabel = AddLabel(kFileSelected);
    // A full path can be longer than the window is wide.
    FileSelectedLabel->SetWordWrap(true);
    MorseButton = AddButton(QStringLiteral("Morse Callsign"), {8, 345, 107, 33});
    MorseButton->SetHint(QStringLiteral("Send the callsign in Morse; its speed, tone and output "
                                        "are in the station options (Ctrl+, on the main window)"));
    SpeechButton = AddButton(QStringLiteral("Spoken Callsign"), {120, 345, 107, 33});
    SpeechButton->SetHint(QStringLiteral("Speak the callsign; its spelling, voice, speed and "
                                         "output are in the station options (Ctrl+, on the main "
                                         "window)"));
    SetTabOrder(
        {SelectFile, PlayFileButton, PlaySystemButton, NoAudioButton, MorseButton, SpeechButton});
    BindEvents();
}

void TForm5::BindEvents() {
    OnCreate = Handler(this, &TForm5::FormCreate);
    OnClose = Handler(this, &TForm5::FormClose);
    NoAudioButton->OnClick = Handler(this, &TForm5::NoAudioButtonClick);
    PlaySystemButton->OnClick = Handler(this, &TForm5::PlaySystemButtonClick);
    PlayFileButton->OnClick = Handler(this, &TForm5::PlayFileButtonClick);
    SelectFile->OnClick = Handler(this, &TForm5::SelectFileClick);
    MorseButton->OnClick = Handler(this, &TForm5::MorseButtonClick);
    SpeechButton->OnClick = Handler(this, &TForm5::SpeechButtonClick);
}

// The label shows the main window's file as it was before the reload from the file.
void TForm5::FormCreate(TObject*) {
    TIniFile ini(SettingsFilePath());
    RestoreFormPlace(ini, AudioForm::kPlace, *this);
    fileExists = ini.ReadInteger(AudioForm::kFileExists, fileExists);
    if (fileExists == 1) {
        FileSelectedLabel->SetText(shared.selectedFile);
        shared.selectedFile = ini.ReadString(SelectAudioForm::kSelectedFile);
    }
    // Where the operator chooses another file, once.
    if (!shared.audioFailure.isEmpty()) {
        FileSelectedLabel->SetText(shared.audioFailure);
        shared.audioFailure.clear();
    }
}

void TForm5::FormClose(TObject*, TCloseAction&) {
    TIniFile ini(SettingsFilePath());
    SaveFormPlace(ini, AudioForm::kPlace, *this);
    ini.WriteInteger(MainForm::kAudio, static_cast<std::int32_t>(shared.audioChoice));
    ini.WriteInteger(AudioForm::kFileExists, fileExists);
}

// Only the choice of a file leaves its label shown.
void TForm5::Choose(AudioChoice choice) {
    shared.audioChoice = choice;
    FileSelectedLabel->SetVisible(choice == AudioChoice::AudioFile);
    Close();
}

void TForm5::NoAudioButtonClick(TObject*) {
    Choose(AudioChoice::NoAudio);
}

void TForm5::PlaySystemButtonClick(TObject*) {
    Choose(AudioChoice::SystemTone);
}

void TForm5::PlayFileButtonClick(TObject*) {
    if (shared.selectedFile == kNoFile) {
        FileSelectedLabel->SetText(QStringLiteral("You must first select an audio file"));
        FileSelectedLabel->SetVisible(true);
        return;
    }
    Choose(AudioChoice::AudioFile);
}

void TForm5::MorseButtonClick(TObject*) {
    Choose(AudioChoice::Morse);
}

void TForm5::SpeechButtonClick(TObject*) {
    Choose(AudioChoice::Speech);
}

// The picker hands its choice over itself; the menu stays open with what it left here.
void TForm5::SelectFileClick(TObject*) {
    OpenModal(Form4, this);
}
