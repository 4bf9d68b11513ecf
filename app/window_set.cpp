#include "app/window_set.h"

TForm1* Form1 = nullptr;
TAlert* Alert = nullptr;
TForm3* Form3 = nullptr;
TForm4* Form4 = nullptr;
TForm5* Form5 = nullptr;
TStationOptions* StationOptions = nullptr;

SharedMembers shared;
