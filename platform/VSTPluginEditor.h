#pragma once

#include <memory>

#include <juce_audio_processors/juce_audio_processors.h>

#include "X11EmbeddingWindow.h"

/** A VST 2 plug-in's own editor, shown in its place in a window of ours on X11.

    The framework's VST 2 editor window, on Linux, learns the display scale of the window
    it shows in only after it has opened the plug-in's editor, and sizes the plug-in's
    window once: a plug-in that follows the scale then draws at twice the size in a window
    that it has meanwhile set back to the old one, and only a quarter of it shows. That
    window also asks the display, fifty times a second, whether it is showing.

    This one tells the plug-in the display scale before the plug-in makes its editor, and
    again (its editor closed and opened anew) whenever the scale changes; it takes the size
    of whatever window the plug-in puts into its place as its own, so a plug-in that does
    not follow the scale is shown whole too; and it lets the plug-in run its editor on each
    refresh of the window it shows in.
*/
class VSTPluginEditor final : public juce::AudioProcessorEditor,
                              private juce::ComponentMovementWatcher,
                              private juce::ComponentPeer::ScaleFactorListener
{
public:
    /** Ours for a VST 2 instance with an editor; the framework's for any other instance. */
    static std::unique_ptr<juce::AudioProcessorEditor> CreateFor (juce::AudioPluginInstance& instance);

    explicit VSTPluginEditor (juce::AudioPluginInstance& instance);
    ~VSTPluginEditor() override;

    void paint (juce::Graphics&) override;

private:
    //==============================================================================
    void componentMovedOrResized (bool wasMoved, bool wasResized) override;
    void componentPeerChanged() override;
    void componentVisibilityChanged() override;
    void nativeScaleFactorChanged (double newScaleFactor) override;
    using juce::ComponentMovementWatcher::componentMovedOrResized;
    using juce::ComponentMovementWatcher::componentVisibilityChanged;

    void Idle();
    void Open();
    void Close();
    void SendScale (float scale);
    void TakeSizeFromPlugin();
    void TakeSize (int physicalWidth, int physicalHeight);
    void PlaceEmbeddingWindow();
    juce::pointer_sized_int Dispatch (int opcode, int index, juce::pointer_sized_int value, void* ptr, float opt);

    // About thirty times a second while the plug-in shows something new, four once it has
    // shown nothing new for a second; under the pointer, on every refresh.
    static constexpr juce::uint32 idleIntervalWhileDrawing = 33, idleIntervalAtRest = 250, restAfter = 1000;

    //==============================================================================
    juce::AudioPluginInstance& instance;
    const bool followsScale;
    float displayScale = 1.0f;  // physical pixels per logical one, as the plug-in was last told
    juce::ComponentPeer* peer = nullptr;
    std::unique_ptr<X11EmbeddingWindow> embeddingWindow;
    juce::uint32 lastIdle = 0;
    juce::VBlankAttachment idleCalls;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VSTPluginEditor)
};
