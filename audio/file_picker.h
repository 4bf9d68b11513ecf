#pragma once
// TForm4: the audio file picker, opened over the audio menu. The operator chooses a file
// through the open dialog, listens to it, and hands it on: to the audio menu ("Save File
// Selection"), to the main window ("Close and Return") and to the settings file (whenever
// the picker closes with a file loaded). It holds at most one file, the first chosen.
#include "toolkit/controls.h"
#include "toolkit/form.h"
#include "toolkit/list_box.h"
#include "toolkit/media_player.h"
#include "toolkit/open_dialog.h"

class TForm4 : public TForm {
public:
    explicit TForm4(TComponent* Owner);

    TListBox* PlayListBox;
    TMediaPlayer* MediaPlayer1;
    TOpenDialog* OpenDialog1;
    TButton* Button1;
    TButton* PlayButton;
    TButton* ClearAllButton;
    TBrushObject* Brush1;
    TButton* SaveFileSelection;
    TLabel* Label1;
    TButton* CloseAndReturn;
    TLabel* Label2;

    void FormCreate(TObject* Sender);
    void Button1Click(TObject* Sender);
    void PlayButtonClick(TObject* Sender);
    void ClearAllButtonClick(TObject* Sender);
    void SaveFileSelectionClick(TObject* Sender);
    void CloseAndReturnClick(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);

private:
    TButton* AddButtonAt(const UnicodeString& text, int top);
    void BindEvents();
    UnicodeString ChosenPath() const;
};

// The picker while it is open.
extern TForm4* Form4;
