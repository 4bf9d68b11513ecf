#include "audio/file_picker.h"

#include "audio/audio_design.h"
#include "audio/audio_menu.h"
#include "settings/ini_file.h"
#include "toolkit/form_place.h"
#include "toolkit/media_codec_manager.h"
#include "window_set/window_set.h"

TForm4* Form4 = nullptr;

namespace {

const TFormDesign kWindow{
    kCaption, 450, 425, 0, 0, TFormStyle::Normal, TFormBorderStyle::Single,
};

const TLabelDesign kSelectedFile{{19, 336, 409, 49}, "Label1", {}};
const TLabelDesign kSelectedFileCaption{{131, 296, 185, 33}, "Current Selected File", {14}};

// The buttons stand in one column, each this wide and high.
constexpr int kButtonLeft = 72;
constexpr QSize kButtonSize{305, 22};

// The one path used of the dialog's choice, and the one list entry used.
constexpr int kFileIndex = 0;

} // namespace

// The window cannot be resized, so its controls keep their designed places.
TForm4::TForm4(TComponent* Owner)
    : TForm(Owner) {
    ApplyDesign(kWindow);
    PlayListBox = new TListBox(this);
    PlayListBox->SetAccessibleName(QStringLiteral("Audio files"));
    Place(PlayListBox, {0, 16, 449, 25}, TAlignLayout::None);
    MediaPlayer1 = new TMediaPlayer(this);
    OpenDialog1 = new TOpenDialog(this);
    Button1 = AddButtonAt(QStringLiteral("Select Audio File To Play"), 80);
    PlayButton = AddButtonAt(QStringLiteral("Play Audio File"), 120);
    ClearAllButton = AddButtonAt(QStringLiteral("Clear Selection"), 160);
    Brush1 = new TBrushObject(this, kAudioFill);
    SetFill(Brush1->GetBrush());
    SaveFileSelection = AddButtonAt(QStringLiteral("Save File Selection"), 200);
    Label1 = AddLabel(kSelectedFile, TAlignLayout::None);
    // A full path can be longer than the window is wide.
    Label1->SetShrinkToFit(true);
    CloseAndReturn = AddButtonAt(QStringLiteral("Close and Return"), 240);
    Label2 = AddLabel(kSelectedFileCaption, TAlignLayout::None);
    SetTabOrder(
        {CloseAndReturn, SaveFileSelection, ClearAllButton, PlayButton, Button1, PlayListBox});
    BindEvents();
}

TButton* TForm4::AddButtonAt(const UnicodeString& text, int top) {
    return AddButton(text, {QPoint(kButtonLeft, top), kButtonSize}, TAlignLayout::None);
}

void TForm4::BindEvents() {
    OnCreate = Handler(this, &TForm4::FormCreate);
    OnClose = Handler(this, &TForm4::FormClose);
    Button1->OnClick = Handler(this, &TForm4::Button1Click);
    PlayButton->OnClick = Handler(this, &TForm4::PlayButtonClick);
    ClearAllButton->OnClick = Handler(this, &TForm4::ClearAllButtonClick);
    SaveFileSelection->OnClick = Handler(this, &TForm4::SaveFileSelectionClick);
    CloseAndReturn->OnClick = Handler(this, &TForm4::CloseAndReturnClick);
}

// The stored file is only shown: nothing is loaded until a file is chosen again.
void TForm4::FormCreate(TObject*) {
    TIniFile ini(SettingsFilePath());
    RestoreFormPlace(ini, SelectAudioForm::kPlace, *this);
    Label1->SetText(
        ini.ReadString(SelectAudioForm::kSelectedFile, QStringLiteral("No file selected")));
}

// A file that cannot be opened ends the handler with the list empty and the player as it
// was; the operator is told why.
void TForm4::Button1Click(TObject*) {
    PlayListBox->Clear();
    OpenDialog1->SetFilter(TMediaCodecManager::GetFilterString());
    if (!OpenDialog1->Execute())
        return;
    const UnicodeString path = OpenDialog1->GetFiles().at(kFileIndex);
    PlayListBox->AddObject(ExtractFileName(path), TMediaCodecManager::CreateFromFile(path));
    MediaPlayer1->SetFileName(PlayListBox->GetObject(kFileIndex)->GetFileName());
}

void TForm4::PlayButtonClick(TObject*) {
    if (MediaPlayer1->GetMedia())
        MediaPlayer1->Play();
}

// Emptying the list releases its media object.
void TForm4::ClearAllButtonClick(TObject*) {
    if (!MediaPlayer1->GetMedia())
        return;
    PlayListBox->Clear();
    PlayListBox->SetItemIndex(-1);
    MediaPlayer1->Clear();
}

void TForm4::SaveFileSelectionClick(TObject*) {
    if (!MediaPlayer1->GetMedia())
        return;
    MediaPlayer1->SetFileName(ChosenPath());
    Label1->SetText(MediaPlayer1->GetFileName());
    Form5->FileSelectedLabel->SetText(MediaPlayer1->GetFileName());
    Form5->fileExists = 1;
}

// With nothing loaded the main window keeps its choice: handing it an empty file name would
// make the next mark silent while the main window reads "Audio File Selected".
void TForm4::CloseAndReturnClick(TObject*) {
    if (MediaPlayer1->GetMedia()) {
        shared.selectedFile = MediaPlayer1->GetFileName();
        shared.audioChoice = AudioChoice::AudioFile;
    }
    Close();
}

void TForm4::FormClose(TObject*, TCloseAction&) {
    TIniFile ini(SettingsFilePath());
    SaveFormPlace(ini, SelectAudioForm::kPlace, *this);
    if (MediaPlayer1->GetMedia())
        ini.WriteString(SelectAudioForm::kSelectedFile, MediaPlayer1->GetFileName());
    else
        Form5->FileSelectedLabel->SetText(QStringLiteral("Audio File Not Selected"));
}

// The list entry's file, or, once a cancelled choice has emptied the list, the file the
// player still holds.
UnicodeString TForm4::ChosenPath() const {
    if (PlayListBox->Count() > kFileIndex)
        return PlayListBox->GetObject(kFileIndex)->GetFileName();
    return MediaPlayer1->GetMedia()->GetFileName();
}
