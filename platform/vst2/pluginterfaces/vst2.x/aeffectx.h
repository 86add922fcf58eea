/*
    The extended VST 2 declarations live with the basic ones: see aeffect.h.
*/
#pragma once

#include "aeffect.h"
