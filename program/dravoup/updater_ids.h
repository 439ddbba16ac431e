#pragma once

// Template and control ids of the updater's window.
namespace dravoup {

// Outside the program's numbered range; the updater has this one window.
constexpr int kUpdaterTemplate = 80;

constexpr int kStatus = 1000;  // what the updater is doing, or why it stopped
constexpr int kClose = 1001;   // "取消" while it waits, "关闭" once it has stopped

}  // namespace dravoup
