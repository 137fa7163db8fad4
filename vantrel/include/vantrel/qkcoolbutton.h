#pragma once
// The directory library's bitmap button (drawing part of chandir).
#include "vantrel/chandir/qkcoolbutton.h"
