#include <gtest/gtest.h>

#include "BinaryData.h"
#include "DrawableRendering.h"

TEST (ToolbarImages, AreTheImageFilesByteForByte)
{
    const auto folder = juce::File (ORVO_SOURCE_DIR).getChildFile ("resources/toolbar");

    struct Embedded { const char* data; int size; const char* file; };
    for (const auto& image : { Embedded { BinaryData::temp_binary_data_0, BinaryData::temp_binary_data_0Size, "product-info.png" },
                               Embedded { BinaryData::temp_binary_data_3, BinaryData::temp_binary_data_3Size, "keyboard.svg" },
                               Embedded { BinaryData::temp_binary_data_4, BinaryData::temp_binary_data_4Size, "keyboard-on.svg" },
                               Embedded { BinaryData::temp_binary_data_5, BinaryData::temp_binary_data_5Size, "settings.svg" },
                               Embedded { BinaryData::temp_binary_data_6, BinaryData::temp_binary_data_6Size, "settings-on.svg" } })
    {
        SCOPED_TRACE (image.file);
        juce::MemoryBlock fileContent;
        ASSERT_TRUE (folder.getChildFile (image.file).loadFileAsData (fileContent));

        EXPECT_EQ ((size_t) image.size, fileContent.getSize()) << "the size counts the data only";
        EXPECT_TRUE (fileContent.matches (image.data, (size_t) image.size));
    }
}

TEST (ToolbarImages, TheBannerIsAPictureOf622By166Pixels)
{
    const auto banner = juce::ImageFileFormat::loadFrom (BinaryData::temp_binary_data_0,
                                                         (size_t) BinaryData::temp_binary_data_0Size);
    EXPECT_EQ (banner.getWidth(), 622);
    EXPECT_EQ (banner.getHeight(), 166);
}

TEST (ToolbarImages, TheIconsDrawTheirWholeShapeAlthoughTheirGroupRefersToAnEmptyClipPath)
{
    struct Icon { const char* data; int size; const char* name; };
    for (const auto& icon : { Icon { BinaryData::temp_binary_data_3, BinaryData::temp_binary_data_3Size, "keyboard" },
                              Icon { BinaryData::temp_binary_data_4, BinaryData::temp_binary_data_4Size, "keyboard on" },
                              Icon { BinaryData::temp_binary_data_5, BinaryData::temp_binary_data_5Size, "settings" },
                              Icon { BinaryData::temp_binary_data_6, BinaryData::temp_binary_data_6Size, "settings on" } })
    {
        SCOPED_TRACE (icon.name);
        const juce::String text (juce::CharPointer_UTF8 (icon.data), (size_t) icon.size);
        ASSERT_TRUE (text.contains ("clip-path=\"url(#a)\""));
        ASSERT_TRUE (text.contains ("<clipPath id=\"a\"/>"));
        EXPECT_TRUE (text.endsWithChar ('\n'));

        const auto withoutClip = text.replace (" clip-path=\"url(#a)\"", "");
        const auto drawn = renderOf (*imageFrom (icon.data, icon.size));
        const auto unclipped = renderOf (*imageFrom (withoutClip.toRawUTF8(), (int) withoutClip.getNumBytesAsUTF8()));

        EXPECT_GT (countVisiblePixels (drawn), drawn.getWidth() * drawn.getHeight() / 10);
        EXPECT_EQ (countVisiblePixels (drawn), countVisiblePixels (unclipped));
        EXPECT_TRUE (sameImages (drawn, unclipped));
    }
}
