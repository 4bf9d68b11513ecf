#include "app/window_set.h"

TForm1* Form1 = nullptr;
TAlert* Alert = nullptr;
