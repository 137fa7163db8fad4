#pragma once
// The program's view of the engine library chandir (its header ships with the engine).
#include "vantrel/chandir.h"
