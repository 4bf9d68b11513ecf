#include "toolkit/message_beep.h"

#include "sound/sound_output.h"
#include "sound/system_sound.h"

#include <QApplication>

namespace {

TSystemSound* systemSound = nullptr;

// Runs while the application object still exists; nothing waits for the bell's thread.
void EndSystemSound() {
    delete systemSound;
    systemSound = nullptr;
}

// One for the whole run, made at the first use; the X11 bell is the last resort.
TSystemSound& TheSystemSound() {
    if (!systemSound) {
        systemSound = new TSystemSound([] { QApplication::beep(); });
        qAddPostRoutine(&EndSystemSound);
    }
    return *systemSound;
}

} // namespace

// The output is looked up here, where the desktop's outputs are known.
void MessageBeep(unsigned int) {
    TheSystemSound().Beep(SoundOutputSink());
}

void PrepareMessageBeep() {
    TheSystemSound().Prepare();
}
