// The logging programs' window operations are declared by the core (in
// qso/); the implementations here include them from there.
#pragma once

#include "qso/LoggerWindows.h"
