#include "globals.h"

AppGlobals G;
