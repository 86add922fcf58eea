#include "VSTPluginEditor.h"

#include <cmath>

#include <pluginterfaces/vst2.x/aeffectx.h>

namespace
{
/** The scale of the display that a new top-level window opens on. */
float PrimaryDisplayScale()
{
    const auto* display = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay();
    return display != nullptr ? (float) display->scale : 1.0f;
}

/** Logical pixels enough to hold that many physical ones. */
int ToLogical (int physical, float scale)
{
    return (int) std::ceil ((float) physical / scale - 0.001f);
}
}

//==============================================================================
std::unique_ptr<juce::AudioProcessorEditor> VSTPluginEditor::CreateFor (juce::AudioPluginInstance& instance)
{
    if (instance.getPluginDescription().pluginFormatName == "VST" && instance.hasEditor())
        return std::make_unique<VSTPluginEditor> (instance);

    return std::unique_ptr<juce::AudioProcessorEditor> (instance.createEditor());
}

VSTPluginEditor::VSTPluginEditor (juce::AudioPluginInstance& pluginInstance)
    : juce::AudioProcessorEditor (pluginInstance),
      juce::ComponentMovementWatcher (this),
      instance (pluginInstance),
      followsScale (Dispatch (effCanDo, 0, 0, const_cast<char*> ("supportsViewDpiScaling"), 0.0f) > 0)
{
    setOpaque (true);

    // The plug-in makes its editor when first asked for its size: it is told the scale first,
    // so that the size it gives is the one it will show at.
    SendScale (PrimaryDisplayScale());
    TakeSizeFromPlugin();

    idleCalls = juce::VBlankAttachment (this, [this] { Idle(); });
}

VSTPluginEditor::~VSTPluginEditor()
{
    idleCalls = {};
    Close();
}

void VSTPluginEditor::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black);
}

//==============================================================================
void VSTPluginEditor::componentMovedOrResized (bool, bool)
{
    PlaceEmbeddingWindow();
}

void VSTPluginEditor::componentPeerChanged()
{
    Close();
    Open();
}

void VSTPluginEditor::componentVisibilityChanged()
{
    // The plug-in's window is inside ours and comes and goes with it; the editor stays open.
    if (embeddingWindow == nullptr)
        Open();
}

void VSTPluginEditor::nativeScaleFactorChanged (double newScale)
{
    if (juce::approximatelyEqual ((float) newScale, displayScale))
        return;

    // A plug-in takes a new scale whole only while its editor is closed.
    Close();
    Open();
}

void VSTPluginEditor::Idle()
{
    // The plug-in runs its editor (its events, its timers, its drawing) only in these
    // calls: on every refresh while the pointer is over it, so that it follows the hand;
    // else thirty times a second while it draws, enough for what it shows by itself to
    // move on; and a few times a second once it has drawn nothing for a while, which
    // still lets it start again. Each call wakes the plug-in's own timer thread too.
    if (embeddingWindow == nullptr)
        return;

    const auto now = juce::Time::getMillisecondCounter();
    const auto atRest = ! embeddingWindow->HasChangedWithin (restAfter);
    const auto interval = embeddingWindow->IsPointerInside() ? 0u
                          : atRest                           ? idleIntervalAtRest
                                                             : idleIntervalWhileDrawing;
    if (now - lastIdle < interval)
        return;

    lastIdle = now;
    Dispatch (effEditIdle, 0, 0, nullptr, 0.0f);
}

//==============================================================================
void VSTPluginEditor::Open()
{
    if (embeddingWindow != nullptr || (peer = getPeer()) == nullptr)
        return;

    const auto scale = (float) peer->getPlatformScaleFactor();
    if (! juce::approximatelyEqual (scale, displayScale))
        SendScale (scale);

    embeddingWindow = std::make_unique<X11EmbeddingWindow> (peer->getNativeHandle(), [this] (int width, int height)
    {
        TakeSize (width, height);
    });
    PlaceEmbeddingWindow();

    ERect* rect = nullptr;
    Dispatch (effEditGetRect, 0, 0, &rect, 0.0f);
    Dispatch (effEditOpen, 0, 0, embeddingWindow->GetNativeHandle(), 0.0f);

    // Until its window is seen, the plug-in's word for its size.
    TakeSizeFromPlugin();

    peer->addScaleFactorListener (this);
}

void VSTPluginEditor::Close()
{
    if (embeddingWindow == nullptr)
        return;

    if (juce::ComponentPeer::isValidPeer (peer))
        peer->removeScaleFactorListener (this);

    Dispatch (effEditClose, 0, 0, nullptr, 0.0f);
    embeddingWindow.reset();
    peer = nullptr;
}

void VSTPluginEditor::SendScale (float scale)
{
    displayScale = scale;

    if (followsScale)
        Dispatch (effVendorSpecific, (int) juce::ByteOrder::bigEndianInt ("PreS"),
                  (juce::pointer_sized_int) juce::ByteOrder::bigEndianInt ("AeCs"), nullptr, scale);
}

void VSTPluginEditor::TakeSizeFromPlugin()
{
    ERect* rect = nullptr;
    Dispatch (effEditGetRect, 0, 0, &rect, 0.0f);
    if (rect != nullptr)
        TakeSize (rect->right - rect->left, rect->bottom - rect->top);
}

void VSTPluginEditor::TakeSize (int physicalWidth, int physicalHeight)
{
    if (physicalWidth <= 0 || physicalHeight <= 0)
        return;

    setSize (ToLogical (physicalWidth, displayScale), ToLogical (physicalHeight, displayScale));
}

void VSTPluginEditor::PlaceEmbeddingWindow()
{
    if (embeddingWindow == nullptr || peer == nullptr)
        return;

    const auto inPeer = peer->getComponent().getLocalArea (this, getLocalBounds());
    embeddingWindow->SetBounds ((inPeer.toFloat() * displayScale).getSmallestIntegerContainer());
}

juce::pointer_sized_int VSTPluginEditor::Dispatch (int opcode, int index, juce::pointer_sized_int value, void* ptr,
                                                   float opt)
{
    return juce::VSTPluginFormat::dispatcher (&instance, opcode, index, value, ptr, opt);
}
