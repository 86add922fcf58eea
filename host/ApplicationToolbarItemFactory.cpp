#include "ApplicationToolbarItemFactory.h"

#include "BinaryData.h"

namespace
{
/** A toolbar button drawn from embedded images, with a fixed length along the toolbar
    whatever the toolbar's thickness (the framework's button would be square). */
class DrawableImageToolbarButton : public juce::ToolbarButton
{
public:
    DrawableImageToolbarButton (int id, const juce::String& label,
                                std::unique_ptr<juce::Drawable> image,
                                std::unique_ptr<juce::Drawable> toggledImage,
                                int size)
        : juce::ToolbarButton (id, label, std::move (image), std::move (toggledImage)),
          itemSize (size)
    {
    }

    bool getToolbarItemSizes (int, bool, int& preferredSize, int& minSize, int& maxSize) override
    {
        preferredSize = minSize = maxSize = itemSize;
        return true;
    }

private:
    const int itemSize;
};

std::unique_ptr<juce::Drawable> imageFrom (const char* data, int size)
{
    return juce::Drawable::createFromImageData (data, (size_t) size);
}
}

void ApplicationToolbarItemFactory::getAllToolbarItemIds (juce::Array<int>& ids)
{
    for (const int id : { (int) settingsButtonId, (int) keyboardButtonId, (int) productInfoButtonId,
                          (int) separatorBarId, (int) spacerId, (int) flexibleSpacerId })
        ids.add (id);
}

void ApplicationToolbarItemFactory::getDefaultItemSet (juce::Array<int>& ids)
{
    for (const int id : { (int) spacerId, (int) productInfoButtonId, (int) flexibleSpacerId, (int) keyboardButtonId,
                          (int) spacerId, (int) separatorBarId, (int) spacerId, (int) settingsButtonId, (int) spacerId })
        ids.add (id);
}

juce::ToolbarItemComponent* ApplicationToolbarItemFactory::createItem (int itemId)
{
    std::unique_ptr<juce::ToolbarButton> item;

    switch (itemId)
    {
        case settingsButtonId:
            item = std::make_unique<DrawableImageToolbarButton> (
                itemId, "Settings",
                imageFrom (BinaryData::temp_binary_data_5, BinaryData::temp_binary_data_5Size),
                imageFrom (BinaryData::temp_binary_data_6, BinaryData::temp_binary_data_6Size), 24);
            settingsButton = item.get();
            item->setClickingTogglesState (true);
            break;

        case keyboardButtonId:
            item = std::make_unique<DrawableImageToolbarButton> (
                itemId, "Keyboard Enable/Disable",
                imageFrom (BinaryData::temp_binary_data_3, BinaryData::temp_binary_data_3Size),
                imageFrom (BinaryData::temp_binary_data_4, BinaryData::temp_binary_data_4Size), 24);
            keyboardButton = item.get();
            item->setClickingTogglesState (true);
            break;

        case productInfoButtonId:
            item = std::make_unique<DrawableImageToolbarButton> (
                itemId, "Product Info",
                imageFrom (BinaryData::temp_binary_data_0, BinaryData::temp_binary_data_0Size),
                nullptr, 85);
            productInfoButton = item.get();
            break;

        default:
            break;
    }

    return item.release();
}
