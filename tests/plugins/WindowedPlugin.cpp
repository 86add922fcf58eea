// A silent instrument with an editor of its own that knows nothing of display scales, as
// many built by others do: a window of 300 x 200 pixels in one colour, made in the host's
// window through an X connection of its own, which grows by itself to 360 x 240 when it
// is clicked, as an editor does that opens a larger view.

#include <cstring>

#include <X11/Xlib.h>

#include <pluginterfaces/vst2.x/aeffectx.h>

namespace
{
constexpr unsigned long colour = 0x3366cc;

struct WindowedInstrument
{
    AEffect effect {};
    ERect rect { 0, 0, 200, 300 };
    Display* display = nullptr;
    Window window = 0;
};

WindowedInstrument& Of (AEffect* effect)
{
    return *static_cast<WindowedInstrument*> (effect->object);
}

void CloseEditor (WindowedInstrument& instrument)
{
    if (instrument.display == nullptr)
        return;

    XDestroyWindow (instrument.display, instrument.window);
    XCloseDisplay (instrument.display);
    instrument.display = nullptr;
}

VstIntPtr Dispatch (AEffect* effect, int opcode, int, VstIntPtr, void* ptr, float)
{
    auto& instrument = Of (effect);
    switch (opcode)
    {
        case effEditGetRect:
            *static_cast<ERect**> (ptr) = &instrument.rect;
            return 1;

        case effEditOpen:
            if (instrument.display != nullptr || (instrument.display = XOpenDisplay (nullptr)) == nullptr)
                return 0;
            instrument.window = XCreateSimpleWindow (instrument.display, (Window) ptr, 0, 0, 300, 200, 0, 0, colour);
            XSelectInput (instrument.display, instrument.window, ButtonPressMask);
            XMapWindow (instrument.display, instrument.window);
            XFlush (instrument.display);
            return 1;

        case effEditIdle:
            while (instrument.display != nullptr && XPending (instrument.display) > 0)
            {
                XEvent event;
                XNextEvent (instrument.display, &event);
                if (event.type == ButtonPress)
                {
                    instrument.rect = { 0, 0, 240, 360 };
                    XResizeWindow (instrument.display, instrument.window, 360, 240);
                    XFlush (instrument.display);
                }
            }
            return 0;

        case effEditClose:
            CloseEditor (instrument);
            return 0;

        case effClose:
            CloseEditor (instrument);
            delete &instrument;
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
}

extern "C" __attribute__ ((visibility ("default"))) AEffect* VSTPluginMain (audioMasterCallback)
{
    auto* instrument = new WindowedInstrument;
    auto& effect = instrument->effect;
    effect.magic = kEffectMagic;
    effect.dispatcher = Dispatch;
    effect.setParameter = [] (AEffect*, int, float) {
    };
    effect.getParameter = [] (AEffect*, int)
    {
        return 0.0f;
    };
    effect.processReplacing = [] (AEffect*, float**, float** outputs, int frames)
    {
        for (int channel = 0; channel < 2; ++channel)
            std::memset (outputs[channel], 0, sizeof (float) * (size_t) frames);
    };
    effect.numPrograms = 1;
    effect.numOutputs = 2;
    effect.flags = effFlagsCanReplacing | effFlagsIsSynth | effFlagsHasEditor;
    effect.uniqueID = 0x4f725432;
    effect.object = instrument;
    return &effect;
}
