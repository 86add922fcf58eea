// The smallest VST 2 instruments that the host's tests need, one source built once per
// kind: a silent instrument without an editor that writes down the host names it is told
// (Editorless), one that can be described but not instantiated (DescribedOnce), and one
// that crashes as it loads (Crashing).

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <pluginterfaces/vst2.x/aeffectx.h>

namespace
{
VstIntPtr Dispatch (AEffect* effect, int opcode, int, VstIntPtr, void* ptr, float)
{
    switch (opcode)
    {
        case effClose:           delete effect; return 1;
        case effGetEffectName:
        case effGetProductString:
        case effGetVendorString: std::strcpy (static_cast<char*> (ptr), "Orvo Tests"); return 1;
        case effGetVstVersion:   return kVstVersion;
        case effGetPlugCategory: return kPlugCategSynth;
        default:                 return 0;
    }
}

[[maybe_unused]] AEffect* SilentInstrument()
{
    auto* effect = new AEffect {};
    effect->magic = kEffectMagic;
    effect->dispatcher = Dispatch;
    effect->setParameter = [] (AEffect*, int, float) {};
    effect->getParameter = [] (AEffect*, int) { return 0.0f; };
    effect->processReplacing = [] (AEffect*, float**, float** outputs, int frames)
    {
        for (int channel = 0; channel < 2; ++channel)
            std::memset (outputs[channel], 0, sizeof (float) * (size_t) frames);
    };
    effect->numPrograms = 1, effect->numOutputs = 2;
    effect->flags = effFlagsCanReplacing | effFlagsIsSynth;
    effect->uniqueID = 0x4f725431;
    effect->object = effect;
    return effect;
}

/** Asks the host for a name in a buffer far larger than the 64 bytes a host may fill, and
    appends "question <TAB> bytes the host wrote <TAB> text" to ORVO_HOST_NAME_RECORD. */
[[maybe_unused]] void RecordHostString (audioMasterCallback host, int opcode, const char* question)
{
    unsigned char buffer[256];
    std::memset (buffer, 0xa5, sizeof (buffer));
    host (nullptr, opcode, 0, 0, buffer, 0.0f);
    int written = (int) sizeof (buffer);
    while (written > 0 && buffer[written - 1] == 0xa5)
        --written;
    buffer[sizeof (buffer) - 1] = 0;
    if (auto* record = std::getenv ("ORVO_HOST_NAME_RECORD") != nullptr ? std::fopen (std::getenv ("ORVO_HOST_NAME_RECORD"), "a") : nullptr)
        std::fprintf (record, "%s\t%d\t%s\n", question, written, reinterpret_cast<const char*> (buffer)), std::fclose (record);
}
}

extern "C" __attribute__ ((visibility ("default"))) AEffect* VSTPluginMain ([[maybe_unused]] audioMasterCallback host)
{
   #if defined (ORVO_TEST_PLUGIN_Editorless)  // plays silence and records the host's names
    RecordHostString (host, audioMasterGetVendorString, "vendor");
    RecordHostString (host, audioMasterGetProductString, "product");
    return SilentInstrument();
   #elif defined (ORVO_TEST_PLUGIN_DescribedOnce)  // linked to stay loaded, so the count lives on
    static int calls = 0;
    return ++calls == 1 ? SilentInstrument() : nullptr;
   #else
    std::raise (SIGSEGV);
    return nullptr;
   #endif
}
