#pragma once

#include <fstream>

#include <juce_core/juce_core.h>

/** A fresh folder under the system's temporary folder, deleted with its content. */
class TemporaryFolder
{
public:
    TemporaryFolder() { folder.createDirectory(); }
    ~TemporaryFolder() { folder.deleteRecursively (false); }
    juce::File operator/ (const juce::String& relativePath) const { return folder.getChildFile (relativePath); }

private:
    const juce::File folder = juce::File::getSpecialLocation (juce::File::tempDirectory)
                                  .getChildFile ("orvo-test-" + juce::Uuid().toString());
    JUCE_DECLARE_NON_COPYABLE (TemporaryFolder)
};

/** Writes bytes to a file, creating its folders. */
inline void WriteFile (const juce::File& file, const std::string& bytes)
{
    file.getParentDirectory().createDirectory();
    std::ofstream (file.getFullPathName().toStdString(), std::ios::binary | std::ios::trunc)
        .write (bytes.data(), (std::streamsize) bytes.size());
}

/** The whole content of a file, or "" when it cannot be read. */
inline std::string ReadFile (const juce::File& file)
{
    return { std::istreambuf_iterator<char> (
                 std::ifstream (file.getFullPathName().toStdString(), std::ios::binary).rdbuf()),
             {} };
}
