#pragma once

/** The version the application reports, whatever the configuration holds. */
inline constexpr const char* applicationVersion = "0.0.0.14";
