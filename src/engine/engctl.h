#pragma once
// The program's view of the engine library engctl (its header ships with the engine).
#include "vantrel/engctl.h"
