#include <gtest/gtest.h>

#include "BundleResources.h"
#include "TemporaryFolder.h"

namespace
{
class BundleResources : public ::testing::Test
{
protected:
    void SetUp() override
    {
        resources.deleteRecursively();
        WriteFile (resources.getChildFile ("error.png"), "png");
        WriteFile (resources.getChildFile ("README"), "text");
        WriteFile (resources.getChildFile ("archive.tar.gz"), "gz");
        resources.getChildFile ("Tarnwell App.vst/Contents/x86_64-linux").createDirectory();
    }

    void TearDown() override { resources.deleteRecursively(); }

    std::string pathOf (const char* name) const
    {
        return resources.getChildFile (name).getFullPathName().toStdString();
    }

    const juce::File resources = GetApplicationResourcesFolder();
};
}

TEST_F (BundleResources, LieBesideTheRunningExecutable)
{
    EXPECT_EQ (resources,
               juce::File::getSpecialLocation (juce::File::currentExecutableFile).getSiblingFile ("Resources"));
}

TEST_F (BundleResources, AreFoundByNameAsAbsolutePaths)
{
    EXPECT_EQ (GetFilenameForResourceInMacBundle ("error.png"), pathOf ("error.png"));
    EXPECT_TRUE (juce::File::isAbsolutePath (GetFilenameForResourceInMacBundle ("error.png")));
}

TEST_F (BundleResources, IgnoreAFolderPartInTheName)
{
    EXPECT_EQ (GetFilenameForResourceInMacBundle ("some/folder/error.png"), pathOf ("error.png"));
    EXPECT_EQ (GetFilenameForResourceInMacBundle ("/elsewhere/error.png"), pathOf ("error.png"));
}

TEST_F (BundleResources, SplitTheNameAtItsLastDot)
{
    EXPECT_EQ (GetFilenameForResourceInMacBundle ("README"), pathOf ("README"));
    EXPECT_EQ (GetFilenameForResourceInMacBundle ("archive.tar.gz"), pathOf ("archive.tar.gz"));
}

TEST_F (BundleResources, FindFoldersLikeFiles)
{
    EXPECT_EQ (GetFilenameForResourceInMacBundle ("Tarnwell App.vst"), pathOf ("Tarnwell App.vst"));
}

TEST_F (BundleResources, GiveAnEmptyPathForWhatIsMissing)
{
    EXPECT_EQ (GetFilenameForResourceInMacBundle ("missing.png"), "");
    EXPECT_EQ (GetFilenameForResourceInMacBundle ("error.jpg"), "");
    EXPECT_EQ (GetFilenameForResourceInMacBundle ("error"), "");
    EXPECT_EQ (GetFilenameForResourceInMacBundle (""), "");
    EXPECT_EQ (GetFilenameForResourceInMacBundle ("/"), "");
    EXPECT_EQ (GetFilenameForResourceInMacBundle (".."), "");
}

TEST_F (BundleResources, AreAskedForAfreshOnEveryCall)
{
    resources.getChildFile ("error.png").deleteFile();
    EXPECT_EQ (GetFilenameForResourceInMacBundle ("error.png"), "");
    WriteFile (resources.getChildFile ("error.png"), "png");
    EXPECT_EQ (GetFilenameForResourceInMacBundle ("error.png"), pathOf ("error.png"));
}
