#include "TarnwellProcessor.h"

#include "TarnwellEditor.h"

TarnwellProcessor::TarnwellProcessor()
    : AudioProcessor (BusesProperties().withOutput ("Output", juce::AudioChannelSet::stereo(), true)),
      state (*this, nullptr, "Tarnwell", TarnwellParameters::CreateLayout()),
      parameters (state)
{
}

void TarnwellProcessor::prepareToPlay (double sampleRate, int)
{
    synth.Prepare (sampleRate);
}

bool TarnwellProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    return layouts.inputBuses.isEmpty()
        && layouts.outputBuses.size() == 1
        && layouts.getMainOutputChannelSet() == juce::AudioChannelSet::stereo();
}

void TarnwellProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi)
{
    juce::ScopedNoDenormals noDenormals;

    buffer.clear();
    synth.Render (buffer, midi, parameters.ReadVoiceSettings());
}

juce::AudioProcessorEditor* TarnwellProcessor::createEditor()
{
    return new TarnwellEditor (*this);
}

void TarnwellProcessor::getStateInformation (juce::MemoryBlock& destination)
{
    if (const auto xml = state.copyState().createXml())
        copyXmlToBinary (*xml, destination);
}

void TarnwellProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    if (const auto xml = getXmlFromBinary (data, sizeInBytes))
        if (xml->hasTagName (state.state.getType()))
            state.replaceState (juce::ValueTree::fromXml (*xml));
}

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new TarnwellProcessor();
}
