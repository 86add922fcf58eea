/*
    VST 2 declarations for the framework's plug-in host and plug-in wrapper on Linux,
    built on Debian's clean-room fst header.

    fst declares two structures smaller than the framework expects:
      - its speaker arrangement ends in a zero-length speaker array, while the framework
        sizes one as if it held eight speakers and writes them;
      - its pin properties lack the reserved tail that the plug-in wrapper writes into.
    Both overruns corrupt memory. We let fst declare its versions under other names and
    declare full-sized ones here, checking that every field they share sits where fst
    puts it, so the binary layout stays the one fst describes.

    fst also guesses 128 bytes for the vendor and product strings that a host writes
    into a plug-in's buffer, where plug-ins reserve 64: the framework's host would write
    up to 127 bytes of a long host name past the end of such a buffer. Those two lengths
    are 64 here.

    The framework includes this file inside a namespace of its own, so it includes no
    standard header and uses only built-ins.
*/
#pragma once

#ifndef FST2VST
 #define FST2VST 1
#endif

#define VstSpeakerArrangement FstShortSpeakerArrangement
#define VstPinProperties FstShortPinProperties
#define kVstMaxVendorStrLen fstGuessedMaxVendorStrLen
#define kVstMaxProductStrLen fstGuessedMaxProductStrLen
#include <pluginterfaces/fst/fst.h>
#undef VstSpeakerArrangement
#undef VstPinProperties
#undef kVstMaxVendorStrLen
#undef kVstMaxProductStrLen

enum
{
    kVstMaxVendorStrLen = 64,
    kVstMaxProductStrLen = 64
};

struct VstSpeakerArrangement
{
    VstInt32 type;
    VstInt32 numChannels;
    VstSpeakerProperties speakers[8];
};

struct VstPinProperties
{
    char label[64];
    VstInt32 flags;
    VstInt32 arrangementType;
    char shortLabel[8];
    char future[48];
};

static_assert (__builtin_offsetof (VstSpeakerArrangement, type) == __builtin_offsetof (FstShortSpeakerArrangement, type),
               "speaker arrangement type must sit where fst puts it");
static_assert (__builtin_offsetof (VstSpeakerArrangement, numChannels) == __builtin_offsetof (FstShortSpeakerArrangement, numChannels),
               "speaker arrangement channel count must sit where fst puts it");
static_assert (__builtin_offsetof (VstSpeakerArrangement, speakers) == __builtin_offsetof (FstShortSpeakerArrangement, speakers),
               "speaker arrangement speakers must start where fst puts them");
static_assert (sizeof (VstSpeakerProperties) == 112, "one speaker is 112 bytes");
static_assert (sizeof (VstSpeakerArrangement) == 8 + 8 * sizeof (VstSpeakerProperties),
               "an arrangement holds eight speakers in place");

static_assert (__builtin_offsetof (VstPinProperties, label) == __builtin_offsetof (FstShortPinProperties, label),
               "pin label must sit where fst puts it");
static_assert (__builtin_offsetof (VstPinProperties, flags) == __builtin_offsetof (FstShortPinProperties, flags),
               "pin flags must sit where fst puts them");
static_assert (__builtin_offsetof (VstPinProperties, arrangementType) == __builtin_offsetof (FstShortPinProperties, arrangementType),
               "pin arrangement type must sit where fst puts it");
static_assert (__builtin_offsetof (VstPinProperties, shortLabel) == __builtin_offsetof (FstShortPinProperties, shortLabel),
               "pin short label must sit where fst puts it");
static_assert (sizeof (VstPinProperties) == 128, "pin properties carry their 48-byte reserve");
