// The smallest VST 2 instruments that the host's tests need, one source built once per
// kind: a silent instrument without an editor that writes down the host names it is told
// (Editorless), one that can be described but not instantiated (DescribedOnce), one
// that crashes as it loads (Crashing), and one that holds its host to the order of
// calls (Strict).

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <thread>

#include <pluginterfaces/vst2.x/aeffectx.h>

namespace
{
VstIntPtr Dispatch (AEffect* effect, int opcode, int, VstIntPtr, void* ptr, float)
{
    switch (opcode)
    {
        case effClose:
            delete effect;
            return 1;
        case effGetEffectName:
        case effGetProductString:
        case effGetVendorString:
            std::strcpy (static_cast<char*> (ptr), "Orvo Tests");
            return 1;
        case effGetVstVersion:
            return kVstVersion;
        case effGetPlugCategory:
            return kPlugCategSynth;
        default:
            return 0;
    }
}

[[maybe_unused]] AEffect* SilentInstrument()
{
    auto* effect = new AEffect {};
    effect->magic = kEffectMagic;
    effect->dispatcher = Dispatch;
    effect->setParameter = [] (AEffect*, int, float) {
    };
    effect->getParameter = [] (AEffect*, int)
    {
        return 0.0f;
    };
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
    if (auto* record = std::getenv ("ORVO_HOST_NAME_RECORD") != nullptr
                           ? std::fopen (std::getenv ("ORVO_HOST_NAME_RECORD"), "a")
                           : nullptr)
        std::fprintf (record, "%s\t%d\t%s\n", question, written, reinterpret_cast<const char*> (buffer)),
            std::fclose (record);
}

//==============================================================================
/** A silent instrument that takes its time to get ready, as one that loads its sounds
    does, and sends a controller out at every block. It ends the process, saying why, at a
    block that comes before it is ready (the host must prepare it before the audio thread
    sees it) or that brings back the controller it sent (the host must drop what an
    instrument leaves in the block's MIDI). At its end it says how many blocks it played. */
struct StrictInstrument
{
    AEffect effect {};
    audioMasterCallback host = nullptr;
    std::atomic<bool> ready { false };
    std::atomic<long> blocksPlayed { 0 };
};

constexpr unsigned char sentController[] { 0xbf, 0x77, 0x55 };  // controller 119 on channel 16

[[noreturn]] void Refuse (const char* why)
{
    std::fprintf (stderr, "Strict: %s\n", why);
    std::abort();
}

StrictInstrument& StrictOf (AEffect* effect)
{
    return *static_cast<StrictInstrument*> (effect->object);
}

bool HoldsSentController (const VstEvents* events)
{
    for (int i = 0; events != nullptr && i < events->numEvents; ++i)
    {
        const auto* event = events->events[i];
        const auto* bytes = reinterpret_cast<const VstMidiEvent*> (event)->midiData;
        if (event->type == kVstMidiType && std::memcmp (bytes, sentController, sizeof (sentController)) == 0)
            return true;
    }

    return false;
}

VstIntPtr DispatchStrict (AEffect* effect, int opcode, int index, VstIntPtr value, void* ptr, float opt)
{
    auto& strict = StrictOf (effect);
    switch (opcode)
    {
        case effMainsChanged:
            if (value != 0)
                std::this_thread::sleep_for (std::chrono::milliseconds (100));
            strict.ready = value != 0;
            return 0;

        case effProcessEvents:
            if (HoldsSentController (static_cast<const VstEvents*> (ptr)))
                Refuse ("a block brought back the MIDI that the instrument sent out");
            return 1;

        case effClose:
            if (strict.blocksPlayed > 0)
                std::fprintf (stderr, "Strict: played %ld blocks\n", strict.blocksPlayed.load());
            delete &strict;
            return 1;

        default:
            return Dispatch (effect, opcode, index, value, ptr, opt);
    }
}

void ProcessStrict (AEffect* effect, float**, float** outputs, int frames)
{
    auto& strict = StrictOf (effect);
    if (! strict.ready)
        Refuse ("a block came before the instrument was prepared");

    VstMidiEvent controller {};
    controller.type = kVstMidiType;
    controller.byteSize = (int) sizeof (controller);
    std::memcpy (controller.midiData, sentController, sizeof (sentController));
    alignas (VstEvents) unsigned char storage[sizeof (VstEvents) + sizeof (VstEvent*)] {};
    auto* events = new (storage) VstEvents {};
    events->numEvents = 1;
    events->events[0] = reinterpret_cast<VstEvent*> (&controller);
    strict.host (effect, audioMasterProcessEvents, 0, 0, events, 0.0f);

    for (int channel = 0; channel < 2; ++channel)
        std::memset (outputs[channel], 0, sizeof (float) * (size_t) frames);

    ++strict.blocksPlayed;
}

[[maybe_unused]] AEffect* StrictInstrumentFor (audioMasterCallback host)
{
    auto* strict = new StrictInstrument;
    const std::unique_ptr<AEffect> silent (SilentInstrument());
    strict->effect = *silent;
    strict->effect.object = strict;
    strict->effect.dispatcher = DispatchStrict;
    strict->effect.processReplacing = ProcessStrict;
    strict->host = host;
    return &strict->effect;
}
}

extern "C" __attribute__ ((visibility ("default"))) AEffect* VSTPluginMain ([[maybe_unused]] audioMasterCallback host)
{
#if defined(ORVO_TEST_PLUGIN_Editorless)  // plays silence and records the host's names
    RecordHostString (host, audioMasterGetVendorString, "vendor");
    RecordHostString (host, audioMasterGetProductString, "product");
    return SilentInstrument();
#elif defined(ORVO_TEST_PLUGIN_DescribedOnce)  // linked to stay loaded, so the count lives on
    static int calls = 0;
    return ++calls == 1 ? SilentInstrument() : nullptr;
#elif defined(ORVO_TEST_PLUGIN_Strict)
    return StrictInstrumentFor (host);
#else
    std::raise (SIGSEGV);
    return nullptr;
#endif
}
