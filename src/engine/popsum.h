#pragma once
// The program's view of the engine library popsum (its header ships with the engine).
#include "vantrel/popsum.h"
