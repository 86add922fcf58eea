#pragma once

#include <string>

#include <juce_core/juce_core.h>

/** A fresh folder under the system's temporary folder, deleted with its content. */
class TemporaryFolder
{
public:
    TemporaryFolder();
    ~TemporaryFolder();

    const juce::File& getFolder() const noexcept { return folder; }
    juce::File operator/ (const juce::String& relativePath) const { return folder.getChildFile (relativePath); }

private:
    juce::File folder;

    JUCE_DECLARE_NON_COPYABLE (TemporaryFolder)
};

/** Writes bytes to a file, creating its folders. */
void WriteFile (const juce::File& file, const std::string& bytes);

/** The whole content of a file, or "" when it cannot be read. */
std::string ReadFile (const juce::File& file);

/** The folder where tests keep what a person should look at (screenshots). */
juce::File GetTestOutputFolder();
