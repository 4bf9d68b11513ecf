#pragma once
// The process-wide window instance variables through which the windows reach one another.
// Each holds its window, or null before the window is made.
class TForm1;
class TAlert;

extern TForm1* Form1;
extern TAlert* Alert;
