// An instrument that can be described but not instantiated: its entry point gives an
// effect the first time it is called in a process, which is when the host describes it,
// and nothing after that. The library is linked so that it stays loaded once loaded,
// since the host unloads it between describing and instantiating, which would otherwise
// start the count again.

#include "MinimalEffect.h"

extern "C" __attribute__ ((visibility ("default"))) AEffect* VSTPluginMain (audioMasterCallback)
{
    static int calls = 0;

    if (++calls > 1)
        return nullptr;

    return CreateMinimalEffect ("Described Once", 0x4f724431, false);
}
