#include "TemporaryFolder.h"

#include <fstream>
#include <iterator>

TemporaryFolder::TemporaryFolder()
    : folder (juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("orvo-test-" + juce::Uuid().toString()))
{
    folder.createDirectory();
}

TemporaryFolder::~TemporaryFolder()
{
    folder.deleteRecursively (false);
}

void WriteFile (const juce::File& file, const std::string& bytes)
{
    file.getParentDirectory().createDirectory();
    std::ofstream (file.getFullPathName().toStdString(), std::ios::binary | std::ios::trunc)
        .write (bytes.data(), (std::streamsize) bytes.size());
}

std::string ReadFile (const juce::File& file)
{
    std::ifstream stream (file.getFullPathName().toStdString(), std::ios::binary);
    return { std::istreambuf_iterator<char> (stream), std::istreambuf_iterator<char>() };
}

juce::File GetTestOutputFolder()
{
    const juce::File folder (juce::SystemStats::getEnvironmentVariable ("ORVO_TEST_OUTPUT",
        juce::File::getCurrentWorkingDirectory().getChildFile ("test-output").getFullPathName()));
    folder.createDirectory();
    return folder;
}
