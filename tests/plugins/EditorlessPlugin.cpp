// An instrument without an editor of its own. It also writes down the host name that
// the host reports, whenever it asks, to the file named by ORVO_HOST_NAME_RECORD.

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "MinimalEffect.h"

namespace
{
/** Asks the host for one of its names in a buffer much larger than the 64 bytes a host
    may fill, so that the record shows how many bytes the host really wrote.
*/
void RecordHostString (audioMasterCallback host, AEffect* effect, int opcode, const char* what)
{
    const auto* recordPath = std::getenv ("ORVO_HOST_NAME_RECORD");

    if (recordPath == nullptr)
        return;

    constexpr unsigned char untouched = 0xa5;
    unsigned char buffer[256];
    std::memset (buffer, untouched, sizeof (buffer));

    host (effect, opcode, 0, 0, buffer, 0.0f);

    int bytesWritten = 0;
    for (int i = 0; i < (int) sizeof (buffer); ++i)
        if (buffer[i] != untouched)
            bytesWritten = i + 1;

    buffer[sizeof (buffer) - 1] = 0;

    if (auto* record = std::fopen (recordPath, "a"))
    {
        std::fprintf (record, "%s\t%d\t%s\n", what, bytesWritten, reinterpret_cast<const char*> (buffer));
        std::fclose (record);
    }
}
}

extern "C" __attribute__ ((visibility ("default"))) AEffect* VSTPluginMain (audioMasterCallback host)
{
    RecordHostString (host, nullptr, audioMasterGetVendorString, "vendor");
    RecordHostString (host, nullptr, audioMasterGetProductString, "product");
    return CreateMinimalEffect ("Editorless", 0x4f724564, false);
}
