#pragma once

#include <functional>
#include <string_view>

// How far a long step has come. A step reports (name, 0.0) first, then
// non-decreasing fractions, and (name, 1.0) when it ends, successfully or
// not. Always called on the thread that started the step, never from a
// worker, so a window may repaint from it. An empty callback reports
// nothing.
using ProgressCallback = std::function<void(std::string_view step, double fraction)>;

// Step names, as the status bar and welmo-psd show them.
inline constexpr std::string_view PROGRESS_COUNT = "Counting rows";
inline constexpr std::string_view PROGRESS_READ = "Reading data";
inline constexpr std::string_view PROGRESS_ESTIMATE = "Estimating spectrum";
inline constexpr std::string_view PROGRESS_AVERAGE = "Running average";
inline constexpr std::string_view PROGRESS_EXPORT = "Exporting spectrum";
inline constexpr std::string_view PROGRESS_PAINT = "Drawing";

inline void reportProgress(const ProgressCallback& progress, std::string_view step, double fraction)
{
    if (progress)
        progress(step, fraction);
}
