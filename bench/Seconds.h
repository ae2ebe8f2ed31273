#pragma once

#include <chrono>

// How long the action took, in seconds, by the steady clock.
template <typename Action>
double Seconds(Action&& action) {
    auto start = std::chrono::steady_clock::now();
    action();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}
