#pragma once

// Template and control ids of the timed tasks' windows, shared by their
// templates and their pages.
namespace tasks {

constexpr int kDesktopTemplate = 134;
constexpr int kBannerTextControl = 1036;

constexpr int kPromptTemplate = 135;
constexpr int kPromptTextControl = 1037;
constexpr int kPromptButton = 1040;

}  // namespace tasks
