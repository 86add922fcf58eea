#include <iostream>

#include "OrvoHostApplication.h"
#include "SynthConfigReader.h"
#include "BundleResources.h"

juce::JUCEApplicationBase* juce_CreateApplication()
{
    auto application = std::make_unique<OrvoHostApplication>();

    try
    {
        const auto lookedUp = GetFilenameForResourceInMacBundle ("config.json");
        const auto path = lookedUp.empty() ? std::string()
                                           : juce::File (juce::String::fromUTF8 (lookedUp.c_str()))
                                                 .getFullPathName().toStdString();

        SynthConfigReader::Read (path, application->config);
        application->applicationName = application->config.name;
    }
    catch (const std::exception& e)
    {
        std::cerr << "Failed to load config: " << e.what() << "\n";
    }

    return application.release();
}
