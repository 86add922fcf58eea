#pragma once

#include <string>

#include "SynthConfig.h"

/** Aborts, naming the broken promise, unless a configuration load that returned `loaded`
    and wrote `errors` kept its promises: silence and a named application after a whole
    record, exactly one "Failed to load config: " line and no name otherwise. */
void RequireLoadPromises (bool loaded, const SynthConfig& config, const std::string& applicationName,
                          const std::string& errors);
