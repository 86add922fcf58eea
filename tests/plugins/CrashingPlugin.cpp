// An instrument whose entry point crashes, as a broken build might: the host loads
// plug-ins in its own process, so it goes down with it when it first describes it.

#include <csignal>

#include "MinimalEffect.h"

extern "C" __attribute__ ((visibility ("default"))) AEffect* VSTPluginMain (audioMasterCallback)
{
    std::raise (SIGSEGV);
    return nullptr;
}
