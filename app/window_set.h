#pragma once
// The process-wide window instance variables through which the windows reach one another.
// Each holds its window, or null before the window is made.
class TForm1;
class TAlert;
class TForm3;
class TForm4;
class TForm5;

extern TForm1* Form1;
extern TAlert* Alert;
// Set by the main window when it opens the callsign editor; valid only while the editor is open.
extern TForm3* Form3;
extern TForm4* Form4;
extern TForm5* Form5;
