#pragma once

#include <string>

#include <cereal/cereal.hpp>

/** The product's configuration, read once from "config.json" at start-up. */
struct SynthConfig
{
    std::string name;      ///< the product name; becomes the application name
    std::string filePath;  ///< required by the file, read by nobody else

    template <class Archive>
    void serialize (Archive& archive)
    {
        archive (cereal::make_nvp ("name", name),
                 cereal::make_nvp ("filePath", filePath));
    }
};
