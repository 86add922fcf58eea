#include <iostream>

#include "OrvoHostApplication.h"
#include "SynthConfigReader.h"
#include "BundleResources.h"

juce::JUCEApplicationBase* juce_CreateApplication()
{
    auto application = std::make_unique<OrvoHostApplication>();

    const auto locateConfig = []
    {
        const auto lookedUp = GetFilenameForResourceInMacBundle ("config.json");
        return lookedUp.empty() ? std::string()
                                : juce::File (juce::String::fromUTF8 (lookedUp.c_str())).getFullPathName().toStdString();
    };

    SynthConfigReader::Load (locateConfig, application->config, application->applicationName, std::cerr);

    return application.release();
}
