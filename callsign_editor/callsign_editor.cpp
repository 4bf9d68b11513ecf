#include "callsign_editor/callsign_editor.h"

#include "settings/ini_file.h"
#include "toolkit/form_place.h"
#include "window_set/window_set.h"

TForm3* Form3 = nullptr;

namespace {

const TFormDesign kWindow{
    kCaption, 350, 473, 120, 200, TFormStyle::StayOnTop, TFormBorderStyle::Single};

// Orange at the bottom edge, white at the top edge.
const TGradient kFill{{{0xFFE2831D, 0}, {claWhite, 1}}, {0.5, 1}, {0.5, 0}};

const UnicodeString kDesignedCallSign = QStringLiteral("Callsign");
const TLabelDesign kPreview{{37, 24, 265, 81}, kDesignedCallSign, {40}, claBlue};
const TLabelDesign kHint{{56, 200, 241, 17}, "Enter callsign, then hit \"Enter\"", {}, claBlack};

} // namespace

// The window cannot be resized, so its controls keep their designed places.
TForm3::TForm3(TComponent* Owner)
    : TForm(Owner) {
    ApplyDesign(kWindow);
    SetFill(kFill);
    Label1 = AddLabel(kPreview, TAlignLayout::None);
    Label1->SetShrinkToFit(true);
    CreateEditBox();
    Button1 = new TButton(this);
    Button1->SetText(QStringLiteral("Close"));
    Place(Button1, {85, 248, 169, 38}, TAlignLayout::None);
    Label2 = AddLabel(kHint, TAlignLayout::None);
    BindEvents();
}

// The box has the focus when the editor opens, so the operator can type at once.
void TForm3::CreateEditBox() {
    Edit1 = new TEdit(this);
    Edit1->SetFontSize(40);
    Edit1->SetTextAlign(TTextAlign::Center);
    Edit1->SetTextPrompt(QStringLiteral("Enter Callsign"));
    Edit1->SetAccessibleName(QStringLiteral("Callsign"));
    Place(Edit1, {17, 128, 321, 57}, TAlignLayout::None);
    Edit1->SetFocus();
}

void TForm3::BindEvents() {
    OnCreate = Handler(this, &TForm3::FormCreate);
    OnClose = Handler(this, &TForm3::FormClose);
    Edit1->OnChange = Handler(this, &TForm3::Edit1Change);
    Button1->OnClick = Handler(this, &TForm3::Button1Click);
}

void TForm3::FormCreate(TObject*) {
    TIniFile ini(SettingsFilePath());
    RestoreFormPlace(ini, CallSignForm::kPlace, *this);
}

// Only the empty text stands for "no callsign": blanks are shown as typed.
void TForm3::Edit1Change(TObject*) {
    Label1->SetText(Edit1->GetText());
    if (Edit1->GetText().isEmpty())
        Label1->SetText(kDesignedCallSign);
    shared.CallSign->SetText(Label1->GetText());
}

void TForm3::Button1Click(TObject*) {
    Close();
}

void TForm3::FormClose(TObject*, TCloseAction&) {
    TIniFile ini(SettingsFilePath());
    SaveFormPlace(ini, CallSignForm::kPlace, *this);
}
