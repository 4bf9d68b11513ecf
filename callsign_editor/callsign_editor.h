#pragma once
// TForm3: the callsign editor. Each commit of its edit box shows the callsign in its preview
// and in the main window's callsign at once; the main window keeps and saves the callsign.
// The editor keeps only its own place and size in the settings file.
#include "toolkit/controls.h"
#include "toolkit/edit.h"
#include "toolkit/form.h"

class TForm3 : public TForm {
public:
    explicit TForm3(TComponent* Owner);

    TLabel* Label1;
    TEdit* Edit1;
    TButton* Button1;
    TLabel* Label2;

    void FormCreate(TObject* Sender);
    void Edit1Change(TObject* Sender);
    void Button1Click(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);

private:
    void CreateEditBox();
    void BindEvents();
};

// The editor while it is open.
extern TForm3* Form3;
