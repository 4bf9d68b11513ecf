#pragma once
// TForm5: the audio menu. The operator chooses what sounds at the mark (nothing, the system
// tone, an audio file, the callsign in Morse or spoken) and opens the audio file picker from
// here. The choice goes into the main window's members, which the next mark uses; the menu saves
// the choice and its own place and size when it closes.
#include "settings/audio_choice.h"
#include "settings/settings_keys.h"
#include "toolkit/controls.h"
#include "toolkit/form.h"

#include <cstdint>

class TForm5 : public TForm {
public:
    explicit TForm5(TComponent* Owner);

    TButton* NoAudioButton;
    TLabel* Label1;
    TButton* PlaySystemButton;
    TButton* PlayFileButton;
    TBrushObject* AudioMenuBrush;
    TButton* SelectFile;
    TLabel* FileSelectedLabel;
    // Beyond the design, below it.
    TButton* MorseButton;
    TButton* SpeechButton;

    // 1 once the picker has handed a file selection over; any other value means none.
    std::int32_t fileExists = AudioForm::kFileExists.byDefault;

    void FormCreate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void NoAudioButtonClick(TObject* Sender);
    void PlaySystemButtonClick(TObject* Sender);
    void PlayFileButtonClick(TObject* Sender);
    void SelectFileClick(TObject* Sender);
    void MorseButtonClick(TObject* Sender);
    void SpeechButtonClick(TObject* Sender);

private:
    void BindEvents();
    void Choose(AudioChoice choice);
};

// The menu while it is open.
extern TForm5* Form5;
