#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "ApplicationToolbarItemFactory.h"
#include "BinaryData.h"
#include "DrawableRendering.h"
#include "MessageLoop.h"

namespace
{
using ItemPointer = std::unique_ptr<juce::ToolbarItemComponent>;

std::vector<int> contentOf (const juce::Array<int>& ids)
{
    return { ids.begin(), ids.end() };
}

/** The drawable a toolbar button shows now: its only drawable child. */
juce::Drawable* shownImage (juce::Component& item)
{
    for (auto* child : item.getChildren())
        if (auto* drawable = dynamic_cast<juce::Drawable*> (child))
            return drawable;

    return nullptr;
}

bool shows (juce::ToolbarItemComponent& item, const char* data, int size)
{
    auto* shown = shownImage (item);
    return shown != nullptr && sameImages (renderOf (*shown), renderOf (*imageFrom (data, size)));
}

struct ItemCase
{
    int id;
    const char* label;
    const char* normalImage;
    int normalImageSize;
    const char* toggledImage;
    int toggledImageSize;
    int length;
};

const ItemCase settingsItem { 1, "Settings", BinaryData::temp_binary_data_5, BinaryData::temp_binary_data_5Size,
                              BinaryData::temp_binary_data_6, BinaryData::temp_binary_data_6Size, 24 };
const ItemCase keyboardItem { 2, "Keyboard Enable/Disable", BinaryData::temp_binary_data_3, BinaryData::temp_binary_data_3Size,
                              BinaryData::temp_binary_data_4, BinaryData::temp_binary_data_4Size, 24 };
const ItemCase productInfoItem { 3, "Product Info", BinaryData::temp_binary_data_0, BinaryData::temp_binary_data_0Size,
                                 nullptr, 0, 85 };

class ToolbarItems : public ::testing::Test
{
protected:
    /** A new item, laid out as a toolbar 24 pixels thick would lay it out. */
    ItemPointer create (int id)
    {
        ItemPointer item (factory.createItem (id));
        if (item != nullptr)
            item->setBounds (0, 0, 24, 24);
        return item;
    }

    ApplicationToolbarItemFactory factory;
};
}

TEST_F (ToolbarItems, ListsItsThreeItemsThenTheFrameworksSeparatorAndSpacersAfterWhatIsThere)
{
    juce::Array<int> ids { 42, -7 };
    factory.getAllToolbarItemIds (ids);

    EXPECT_EQ (contentOf (ids), (std::vector<int> { 42, -7, 1, 2, 3, -1, -2, -3 }));
}

TEST_F (ToolbarItems, ProposesNineItemsBetweenTwoSpacersWithTheSeparatorBetweenKeyboardAndSettings)
{
    juce::Array<int> ids { 42 };
    factory.getDefaultItemSet (ids);

    EXPECT_EQ (contentOf (ids), (std::vector<int> { 42, -2, 3, -3, 2, -2, -1, -2, 1, -2 }));
}

TEST_F (ToolbarItems, MakesNothingForAnyOtherIdAndKeepsTheButtonsItRemembers)
{
    const auto settings = create (1), keyboard = create (2), productInfo = create (3);

    for (const int id : { 0, 4, -1, -2, -3 })
    {
        SCOPED_TRACE (id);
        EXPECT_EQ (create (id), nullptr);
        EXPECT_EQ (factory.GetSettingsButton(), settings.get());
        EXPECT_EQ (factory.GetKeyboardButton(), keyboard.get());
        EXPECT_EQ (factory.GetProductInfoButton(), productInfo.get());
    }
}

TEST_F (ToolbarItems, RemembersNothingBeforeItHasMadeAnItem)
{
    EXPECT_EQ (factory.GetSettingsButton(), nullptr);
    EXPECT_EQ (factory.GetKeyboardButton(), nullptr);
    EXPECT_EQ (factory.GetProductInfoButton(), nullptr);
}

TEST_F (ToolbarItems, RemembersTheNewestItemOfEachIdAndForgetsItOnceItIsDeleted)
{
    auto first = create (1);
    auto second = create (1);

    ASSERT_NE (first, nullptr);
    ASSERT_NE (second, nullptr);
    EXPECT_NE (first.get(), second.get());
    EXPECT_EQ (factory.GetSettingsButton(), second.get());
    EXPECT_EQ (first->getItemId(), 1) << "the older item lives on, owned by whoever asked for it";

    second.reset();
    EXPECT_EQ (factory.GetSettingsButton(), nullptr) << "a deleted item is not handed out, nor is an older one";

    auto keyboard = create (2);
    auto productInfo = create (3);
    keyboard.reset();
    productInfo.reset();
    EXPECT_EQ (factory.GetKeyboardButton(), nullptr);
    EXPECT_EQ (factory.GetProductInfoButton(), nullptr);
}

TEST_F (ToolbarItems, ForgetsTheItemsOfAToolbarThatIsDeleted)
{
    auto toolbar = std::make_unique<juce::Toolbar>();
    toolbar->addDefaultItems (factory);

    EXPECT_EQ (toolbar->getNumItems(), 9);
    EXPECT_NE (factory.GetSettingsButton(), nullptr);
    EXPECT_NE (factory.GetKeyboardButton(), nullptr);
    EXPECT_NE (factory.GetProductInfoButton(), nullptr);

    toolbar.reset();
    EXPECT_EQ (factory.GetSettingsButton(), nullptr);
    EXPECT_EQ (factory.GetKeyboardButton(), nullptr);
    EXPECT_EQ (factory.GetProductInfoButton(), nullptr);
}

TEST_F (ToolbarItems, EachItemHasItsLabelAndAFixedLengthWhateverTheToolbar)
{
    for (const auto& expected : { settingsItem, keyboardItem, productInfoItem })
    {
        SCOPED_TRACE (expected.label);
        auto item = create (expected.id);
        ASSERT_NE (item, nullptr);

        EXPECT_EQ (item->getItemId(), expected.id);
        EXPECT_EQ (item->getButtonText(), expected.label);
        EXPECT_FALSE (item->getToggleState());

        for (const int thickness : { 0, 16, 24, 40, 200 })
            for (const bool vertical : { false, true })
            {
                int preferred = -1, minimum = -1, maximum = -1;
                EXPECT_TRUE (item->getToolbarItemSizes (thickness, vertical, preferred, minimum, maximum));
                EXPECT_EQ (preferred, expected.length);
                EXPECT_EQ (minimum, expected.length);
                EXPECT_EQ (maximum, expected.length);
            }
    }
}

TEST_F (ToolbarItems, ShowTheirNormalImageAndTheirToggledOneWhileSwitchedOn)
{
    for (const auto& expected : { settingsItem, keyboardItem })
    {
        SCOPED_TRACE (expected.label);
        auto item = create (expected.id);
        ASSERT_NE (item, nullptr);
        EXPECT_TRUE (shows (*item, expected.normalImage, expected.normalImageSize));

        item->setToggleState (true, juce::dontSendNotification);
        EXPECT_TRUE (shows (*item, expected.toggledImage, expected.toggledImageSize));
    }

    auto productInfo = create (3);
    ASSERT_NE (productInfo, nullptr);
    EXPECT_TRUE (shows (*productInfo, productInfoItem.normalImage, productInfoItem.normalImageSize));

    auto* normal = shownImage (*productInfo);
    productInfo->setToggleState (true, juce::dontSendNotification);
    EXPECT_EQ (shownImage (*productInfo), normal) << "it has no toggled image";
}

TEST_F (ToolbarItems, AClickSwitchesSettingsAndKeyboardOnAndOffButNeverProductInfo)
{
    for (const auto& expected : { settingsItem, keyboardItem })
    {
        SCOPED_TRACE (expected.label);
        auto item = create (expected.id);
        ASSERT_NE (item, nullptr);

        item->triggerClick();
        RunPendingMessages();
        EXPECT_TRUE (item->getToggleState());
        EXPECT_TRUE (shows (*item, expected.toggledImage, expected.toggledImageSize));

        item->triggerClick();
        RunPendingMessages();
        EXPECT_FALSE (item->getToggleState());
        EXPECT_TRUE (shows (*item, expected.normalImage, expected.normalImageSize));
    }

    auto productInfo = create (3);
    ASSERT_NE (productInfo, nullptr);
    auto* normal = shownImage (*productInfo);

    for (int click = 0; click < 2; ++click)
    {
        productInfo->triggerClick();
        RunPendingMessages();
        EXPECT_FALSE (productInfo->getToggleState());
        EXPECT_EQ (shownImage (*productInfo), normal);
    }
}
