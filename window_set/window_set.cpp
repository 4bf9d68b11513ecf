#include "window_set/window_set.h"

SharedMembers shared;
