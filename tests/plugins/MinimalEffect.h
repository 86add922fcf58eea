#pragma once

#include <pluginterfaces/vst2.x/aeffectx.h>

/** A silent VST 2 instrument with two outputs and nothing else, for the host's tests:
    the smallest thing the host can describe, instantiate and run. It deletes itself when
    the host closes it.
*/
AEffect* CreateMinimalEffect (const char* name, VstInt32 uniqueId, bool hasEditor);
