#pragma once

#include <memory>

#include <juce_gui_basics/juce_gui_basics.h>

inline std::unique_ptr<juce::Drawable> imageFrom (const char* data, int size)
{
    return juce::Drawable::createFromImageData (data, (size_t) size);
}

/** The drawable as it looks on its own, fitted into a square, whatever a button did to
    its placement. */
inline juce::Image renderOf (const juce::Drawable& drawable)
{
    auto copy = drawable.createCopy();
    copy->setTransform ({});
    juce::Image image (juce::Image::ARGB, 48, 48, true);
    juce::Graphics g (image);
    copy->drawWithin (g, image.getBounds().toFloat(), juce::RectanglePlacement::centred, 1.0f);
    return image;
}

inline bool sameImages (const juce::Image& a, const juce::Image& b)
{
    if (a.getBounds() != b.getBounds())
        return false;

    for (int y = 0; y < a.getHeight(); ++y)
        for (int x = 0; x < a.getWidth(); ++x)
            if (a.getPixelAt (x, y) != b.getPixelAt (x, y))
                return false;

    return true;
}

inline int countVisiblePixels (const juce::Image& image)
{
    int count = 0;
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            if (image.getPixelAt (x, y).getAlpha() != 0)
                ++count;
    return count;
}
