#include "MinimalEffect.h"

#include <cstring>
#include <memory>

namespace
{
struct MinimalEffect
{
    AEffect effect {};
    const char* name = "";
};

MinimalEffect& Owner (AEffect* effect)
{
    return *static_cast<MinimalEffect*> (effect->object);
}

VstIntPtr CopyText (void* destination, const char* text)
{
    // Hosts hand over at least 64 bytes for a name.
    std::strncpy (static_cast<char*> (destination), text, 63);
    static_cast<char*> (destination)[63] = 0;
    return 1;
}

VstIntPtr Dispatch (AEffect* effect, int opcode, int, VstIntPtr, void* const ptr, float)
{
    switch (opcode)
    {
        case effClose:
            delete &Owner (effect);
            return 1;
        case effGetEffectName:
        case effGetProductString:
            return CopyText (ptr, Owner (effect).name);
        case effGetVendorString:
            return CopyText (ptr, "Orvo Tests");
        case effGetVstVersion:
            return kVstVersion;
        case effGetPlugCategory:
            return kPlugCategSynth;
        case effCanDo:
            return std::strcmp (static_cast<const char*> (ptr), "receiveVstMidiEvent") == 0 ? 1 : 0;
        default:
            return 0;
    }
}

void ProcessReplacing (AEffect* effect, float**, float** outputs, int numFrames)
{
    for (int channel = 0; channel < effect->numOutputs; ++channel)
        std::memset (outputs[channel], 0, sizeof (float) * (size_t) numFrames);
}

void SetParameter (AEffect*, int, float) {}
float GetParameter (AEffect*, int) { return 0.0f; }
}

AEffect* CreateMinimalEffect (const char* name, VstInt32 uniqueId, bool hasEditor)
{
    auto owner = std::make_unique<MinimalEffect>();
    owner->name = name;

    auto& effect = owner->effect;
    effect.magic = kEffectMagic;
    effect.dispatcher = Dispatch;
    effect.setParameter = SetParameter;
    effect.getParameter = GetParameter;
    effect.processReplacing = ProcessReplacing;
    effect.numPrograms = 1;
    effect.numOutputs = 2;
    effect.flags = effFlagsCanReplacing | effFlagsIsSynth | (hasEditor ? effFlagsHasEditor : 0);
    effect.uniqueID = uniqueId;
    effect.version = 1;
    effect.object = owner.get();

    // The host closes the effect through the dispatcher, which deletes its owner.
    return &owner.release()->effect;
}
