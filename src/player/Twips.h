#pragma once

// The main window's unit; shared with the configuration file's window places.
#include "common/Twips.h"
