// The smallest VST 2 instruments that the host's tests need, one source built once per
// kind: a silent instrument without an editor that writes down the host names it is told
// (Editorless), one that can be described but not instantiated (DescribedOnce), one
// that crashes as it loads (Crashing), one that holds its host to the order of calls
// (Strict), and one whose editor sizes its own window (Windowed).

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <thread>

#include <X11/Xlib.h>

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

void SetNoParameter (AEffect*, int, float) {}

float GetNoParameter (AEffect*, int)
{
    return 0.0f;
}

[[maybe_unused]] AEffect* SilentInstrument()
{
    auto* effect = new AEffect {};
    effect->magic = kEffectMagic;
    effect->dispatcher = Dispatch;
    effect->setParameter = SetNoParameter;
    effect->getParameter = GetNoParameter;
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

//==============================================================================
/** A silent instrument with an editor of its own that knows nothing of display scales, as
    many built by others do: a window of 300 x 200 pixels in one colour, made in the host's
    window through an X connection of its own, which grows by itself to 360 x 240 when it
    is clicked, as an editor does that opens a larger view, and from then on draws itself
    anew in each idle call, as an editor with a meter does. With ORVO_EDITOR_IDLE_RECORD
    set, it adds a byte to that file in each idle call. */
struct WindowedInstrument
{
    AEffect effect {};
    ERect rect { 0, 0, 200, 300 };
    Display* display = nullptr;
    Window window = 0;
    GC pen {};
    bool drawing = false;
};

constexpr unsigned long windowColour = 0x3366cc;

WindowedInstrument& WindowedOf (AEffect* effect)
{
    return *static_cast<WindowedInstrument*> (effect->object);
}

void CloseEditor (WindowedInstrument& windowed)
{
    if (windowed.display == nullptr)
        return;

    XFreeGC (windowed.display, windowed.pen);
    XDestroyWindow (windowed.display, windowed.window);
    XCloseDisplay (windowed.display);
    windowed.display = nullptr;
}

VstIntPtr DispatchWindowed (AEffect* effect, int opcode, int index, VstIntPtr value, void* ptr, float opt)
{
    auto& windowed = WindowedOf (effect);
    switch (opcode)
    {
        case effEditGetRect:
            *static_cast<ERect**> (ptr) = &windowed.rect;
            return 1;

        case effEditOpen:
            if (windowed.display != nullptr || (windowed.display = XOpenDisplay (nullptr)) == nullptr)
                return 0;
            windowed.window = XCreateSimpleWindow (windowed.display, (Window) ptr, 0, 0, 300, 200, 0, 0, windowColour);
            XSelectInput (windowed.display, windowed.window, ButtonPressMask);
            windowed.pen = XCreateGC (windowed.display, windowed.window, 0, nullptr);
            XSetForeground (windowed.display, windowed.pen, windowColour);
            XMapWindow (windowed.display, windowed.window);
            XFlush (windowed.display);
            return 1;

        case effEditIdle:
            if (const auto* recordPath = std::getenv ("ORVO_EDITOR_IDLE_RECORD"))
                if (auto* record = std::fopen (recordPath, "a"))
                {
                    std::fputc ('.', record);
                    std::fclose (record);
                }

            if (windowed.display == nullptr)
                return 0;

            while (XPending (windowed.display) > 0)
            {
                XEvent event;
                XNextEvent (windowed.display, &event);
                if (event.type == ButtonPress)
                {
                    windowed.rect = { 0, 0, 240, 360 };
                    XResizeWindow (windowed.display, windowed.window, 360, 240);
                    windowed.drawing = true;
                }
            }
            if (windowed.drawing)
                XFillRectangle (windowed.display, windowed.window, windowed.pen, 0, 0, 360, 240);
            XFlush (windowed.display);
            return 0;

        case effEditClose:
            CloseEditor (windowed);
            return 0;

        case effClose:
            CloseEditor (windowed);
            delete &windowed;
            return 1;

        default:
            return Dispatch (effect, opcode, index, value, ptr, opt);
    }
}

[[maybe_unused]] AEffect* WindowedInstrumentFor()
{
    auto* windowed = new WindowedInstrument;
    const std::unique_ptr<AEffect> silent (SilentInstrument());
    windowed->effect = *silent;
    windowed->effect.object = windowed;
    windowed->effect.dispatcher = DispatchWindowed;
    windowed->effect.flags |= effFlagsHasEditor;
    windowed->effect.uniqueID = 0x4f725432;
    return &windowed->effect;
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
#elif defined(ORVO_TEST_PLUGIN_Windowed)
    return WindowedInstrumentFor();
#else
    std::raise (SIGSEGV);
    return nullptr;
#endif
}
