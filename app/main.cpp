// Chimewell: the entry. Creates the main window, then the hidden alert window, runs the
// event loop until the main window closes, and always ends with status 0. A start whose
// settings file another run holds brings that run's window to the front instead.
#include "alert_window/alert_window.h"
#include "main_window/main_window.h"
#include "settings/ini_file.h"
#include "toolkit/application.h"
#include "window_set/window_set.h"

int main() {
    TApplication application;
    Dispatch([] {
        Application->Title = kCaption;
        Application->Initialize();
        if (!Application->TakeSettingsFile(SettingsFilePath()))
            return;
        Application->CreateForm(Form1);
        Application->CreateForm(Alert);
        Application->Run();
    });
    return 0;
}
