#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "FormatHost.h"
#include "TemporaryFolder.h"

namespace
{
/** The application object that gives the framework its name, as the host's own does. */
class NamedApplication : public juce::JUCEApplication
{
public:
    explicit NamedApplication (std::string nameToUse) : name (std::move (nameToUse)) {}

    const juce::String getApplicationName() override { return juce::String::fromUTF8 (name.data(), (int) name.size()); }
    const juce::String getApplicationVersion() override { return "0.0.0.14"; }
    bool moreThanOneInstanceAllowed() override { return true; }
    void initialise (const juce::String&) override {}
    void shutdown() override {}

private:
    std::string name;
};

struct HostAnswer
{
    std::string question;
    int bytesWritten = 0;
    std::string text;
};

/** What the recording test plug-in heard when it asked for the host's vendor and
    product names while it was described and instantiated.
*/
std::vector<HostAnswer> AnswersHeardBy (const std::string& applicationName)
{
    TemporaryFolder folder;
    const auto record = folder / "host-names.txt";
    setenv ("ORVO_HOST_NAME_RECORD", record.getFullPathName().toRawUTF8(), 1);

    {
        NamedApplication application (applicationName);
        FormatHost host;
        host.Scan (GetTestPluginBundle ("Editorless").getFullPathName());
        juce::String error;
        host.InstantiateFirst (48000.0, 256, error);
    }

    unsetenv ("ORVO_HOST_NAME_RECORD");

    std::vector<HostAnswer> answers;
    juce::StringArray lines;
    lines.addLines (juce::String::fromUTF8 (ReadFile (record).c_str()));

    for (const auto& line : lines)
    {
        if (line.isEmpty())
            continue;

        const auto fields = juce::StringArray::fromTokens (line, "\t", "");
        answers.push_back ({ fields[0].toStdString(), fields[1].getIntValue(),
                             line.fromLastOccurrenceOf ("\t", false, false).toStdString() });
    }

    return answers;
}

std::string Repeat (const std::string& piece, int times)
{
    std::string result;
    for (int i = 0; i < times; ++i)
        result += piece;
    return result;
}

void ExpectEveryAnswerIs (const std::vector<HostAnswer>& answers, const std::string& expected)
{
    // Two questions at the describing load and two at the instantiating load.
    ASSERT_EQ (answers.size(), 4u);

    for (const auto& answer : answers)
    {
        EXPECT_EQ (answer.text, expected) << answer.question;
        EXPECT_EQ (answer.bytesWritten, (int) expected.size() + 1) << answer.question;
    }
}
}

TEST (HostName, IsTheApplicationNameAsVendorAndProduct)
{
    const auto answers = AnswersHeardBy ("Merovalt");

    ExpectEveryAnswerIs (answers, "Merovalt");
    EXPECT_EQ (answers[0].question, "vendor");
    EXPECT_EQ (answers[1].question, "product");
}

TEST (HostName, IsEmptyWhenTheApplicationNameIs)
{
    ExpectEveryAnswerIs (AnswersHeardBy (""), "");
}

TEST (HostName, IsCutToWholeCharactersInSixtyThreeBytesWithTheTerminatingZero)
{
    ExpectEveryAnswerIs (AnswersHeardBy (Repeat ("x", 80)), Repeat ("x", 62));

    // 1 + 20 × 3 bytes fit in 62; a 21st euro sign would not.
    ExpectEveryAnswerIs (AnswersHeardBy ("a" + Repeat ("\xe2\x82\xac", 30)), "a" + Repeat ("\xe2\x82\xac", 20));

    // Four-byte characters: 15 of them fill 60 bytes.
    ExpectEveryAnswerIs (AnswersHeardBy (Repeat ("\xf0\x9f\x8e\xb9", 20)), Repeat ("\xf0\x9f\x8e\xb9", 15));
}
