#include "tasks/task_table.h"

#include <cassert>
#include <climits>
#include <cstring>

namespace tasks {

namespace {

// Names by code for the display texts of a fetched record; a code outside a
// table leaves the text as it was.
constexpr const char* kCategoryNames[] = {"普通", "关注"};
constexpr const char* kModeNames[] = {"设定时", "倒计时", "离开时"};
constexpr const char* kActionNames[] = {"关机", "重启", "注销", "操作"};
constexpr const char* kOperationNames[] = {"弹窗提醒", "闹铃提醒", "打开文件", "关闭文件"};

template <std::size_t N>
void NameByCode(const std::string& code, const char* const (&names)[N], std::string& out) {
  if (code.size() != 1 || code[0] < '0' || code[0] >= static_cast<char>('0' + N)) return;
  out = names[code[0] - '0'];
}

}  // namespace

int CompareField(std::string_view a, std::string_view b) {
  // strcmp semantics: the first differing byte decides, as unsigned; a
  // shorter text that is a prefix sorts first.
  const std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    const auto x = static_cast<unsigned char>(a[i]);
    const auto y = static_cast<unsigned char>(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

std::int32_t FieldInt(std::string_view text) {
  std::int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    value = value * 10 + (c - '0');
    if (value > INT32_MAX) return INT32_MAX;
  }
  return static_cast<std::int32_t>(value);
}

std::string& TaskDisplay::Text(int index) {
  return const_cast<std::string&>(static_cast<const TaskDisplay*>(this)->Text(index));
}

const std::string& TaskDisplay::Text(int index) const {
  static constexpr std::string TaskDisplay::*kTexts[kDisplayTextCount] = {
      &TaskDisplay::inUse,     &TaskDisplay::time,      &TaskDisplay::remaining,
      &TaskDisplay::category,  &TaskDisplay::mode,      &TaskDisplay::action,
      &TaskDisplay::operation, &TaskDisplay::parameter, &TaskDisplay::addedAt,
      &TaskDisplay::syncFlag};
  assert(index >= 0 && index < kDisplayTextCount);
  return this->*kTexts[index];
}

std::string& TaskSlot::Field(int index) {
  return const_cast<std::string&>(static_cast<const TaskSlot*>(this)->Field(index));
}

const std::string& TaskSlot::Field(int index) const {
  static constexpr std::string TaskSlot::*kFields[kRecordFieldCount] = {
      &TaskSlot::inUse,   &TaskSlot::hour,     &TaskSlot::minute,    &TaskSlot::category,
      &TaskSlot::mode,    &TaskSlot::action,   &TaskSlot::operation, &TaskSlot::parameter,
      &TaskSlot::addedAt, &TaskSlot::syncFlag, &TaskSlot::extra1,    &TaskSlot::extra2};
  assert(index >= 0 && index < kRecordFieldCount);
  return this->*kFields[index];
}

std::string TaskSlot::PipeText() const {
  std::string text;
  for (int i = 0; i < kPipeFieldCount; ++i) {
    if (i > 0) text += '|';
    text += Field(i);
  }
  return text;
}

std::int32_t TaskSlot::SecondsOfRecord() const {
  const std::int64_t total = (std::int64_t{FieldInt(hour)} * 60 + FieldInt(minute)) * 60;
  return total > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(total);
}

TaskSlot& TaskTable::operator[](int slot) {
  assert(slot >= 0 && slot < kSlotCount);
  return slots_[static_cast<std::size_t>(slot)];
}

const TaskSlot& TaskTable::operator[](int slot) const {
  assert(slot >= 0 && slot < kSlotCount);
  return slots_[static_cast<std::size_t>(slot)];
}

std::optional<int> TaskTable::FindFreeSlot() const {
  for (int s = kFirstTaskSlot; s <= kLastTaskSlot; ++s) {
    if ((*this)[s].Free()) return s;
  }
  return std::nullopt;
}

void TaskTable::Free(int slot) {
  (*this)[slot].inUse = "0";
}

void TaskTable::LoadFetchedRecord(int slot, std::string_view record) {
  TaskSlot& task = (*this)[slot];
  std::size_t start = 0;
  for (int i = 0; i < kRecordFieldCount; ++i) {
    if (start > record.size()) {
      task.Field(i).clear();
      continue;
    }
    const std::size_t bar = record.find('|', start);
    const std::size_t end = bar == std::string_view::npos ? record.size() : bar;
    task.Field(i) = std::string(record.substr(start, end - start));
    start = end + 1;
  }

  TaskDisplay& display = task.display;
  display.inUse = task.inUse;
  display.remaining = "0";
  NameByCode(task.category, kCategoryNames, display.category);
  NameByCode(task.mode, kModeNames, display.mode);
  NameByCode(task.action, kActionNames, display.action);
  NameByCode(task.operation, kOperationNames, display.operation);
  display.parameter = task.parameter;
  display.syncFlag = task.syncFlag;
  task.seconds = task.SecondsOfRecord();
}

}  // namespace tasks
