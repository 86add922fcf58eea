#pragma once

// The bare window app's size, which the start-up benchmark waits for.
constexpr int bareWindowWidth = 400;
constexpr int bareWindowHeight = 300;
