#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The items a toolbar of the host window may hold: the Settings, on-screen keyboard
    and product-information buttons, and the framework's separator and spacers.

    It remembers the newest button it made for each of its own items, so that a click
    can be told apart by the button's address. A remembered button that a toolbar has
    since deleted reads as null.
*/
class ApplicationToolbarItemFactory : public juce::ToolbarItemFactory
{
public:
    enum ItemIds
    {
        settingsButtonId = 1,
        keyboardButtonId = 2,
        productInfoButtonId = 3
    };

    ApplicationToolbarItemFactory() = default;
    ~ApplicationToolbarItemFactory() override = default;

    void getAllToolbarItemIds (juce::Array<int>& ids) override;
    void getDefaultItemSet (juce::Array<int>& ids) override;
    juce::ToolbarItemComponent* createItem (int itemId) override;

    juce::ToolbarItemComponent* GetSettingsButton() const noexcept { return settingsButton.getComponent(); }
    juce::ToolbarItemComponent* GetKeyboardButton() const noexcept { return keyboardButton.getComponent(); }
    juce::ToolbarItemComponent* GetProductInfoButton() const noexcept { return productInfoButton.getComponent(); }

private:
    juce::Component::SafePointer<juce::ToolbarItemComponent> settingsButton;
    juce::Component::SafePointer<juce::ToolbarItemComponent> keyboardButton;
    juce::Component::SafePointer<juce::ToolbarItemComponent> productInfoButton;

    JUCE_DECLARE_NON_COPYABLE (ApplicationToolbarItemFactory)
};
