#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The process-wide table of timed tasks and the values the task windows share.
// Every text is GBK bytes, as the server and the pages hold it.
namespace tasks {

constexpr int kSlotCount = 10;  // slot 0 is never a task
constexpr int kFirstTaskSlot = 1;
constexpr int kLastTaskSlot = 9;
constexpr int kRecordFieldCount = 12;
constexpr int kPipeFieldCount = 10;  // fields 10 and 11 never travel to the server
constexpr int kDisplayTextCount = 10;

// Fields are compared the way strcmp compares them: as unsigned bytes.
// Answers below, equal to or above zero.
int CompareField(std::string_view a, std::string_view b);
inline bool FieldBelow(std::string_view a, std::string_view b) {
  return CompareField(a, b) < 0;
}
inline bool FieldAbove(std::string_view a, std::string_view b) {
  return CompareField(a, b) > 0;
}

// The integer of a field: its leading decimal digits, 0 when there are none.
// Saturates instead of overflowing, so a huge number from the server stays huge.
std::int32_t FieldInt(std::string_view text);

// The texts the pages show for one slot.
struct TaskDisplay {
  std::string inUse;      // 0: copy of the record's inUse
  std::string time;       // 1: "%s时%s分"
  std::string remaining;  // 2: time left of a countdown, "0" for other modes
  std::string category;   // 3
  std::string mode;       // 4: mode name
  std::string action;     // 5: action name
  std::string operation;  // 6: operation name
  std::string parameter;  // 7: parameter as shown
  std::string addedAt;    // 8: "%d时 %d分"
  std::string syncFlag;   // 9

  std::string& Text(int index);
  const std::string& Text(int index) const;
};

// One task record, its display texts and the counters kept beside it.
struct TaskSlot {
  std::string inUse;      // 0: "1" holds a task
  std::string hour;       // 1: as typed
  std::string minute;     // 2: as typed
  std::string category;   // 3
  std::string mode;       // 4: "0" set time, "1" countdown, "2" idle
  std::string action;     // 5: "0" shut down, "1" restart, "2" log off, "3" operation
  std::string operation;  // 6: "0" reminder, "1" alarm, "2" open file, "3" close program
  std::string parameter;  // 7
  std::string addedAt;    // 8
  std::string syncFlag;   // 9
  std::string extra1;     // 10
  std::string extra2;     // 11

  TaskDisplay display;
  std::int32_t seconds = 0;
  std::int32_t warned = 0;
  std::string serverId;

  std::string& Field(int index);
  const std::string& Field(int index) const;

  // The scheduler works on a slot only when it holds exactly "1".
  bool Scheduled() const { return inUse == "1"; }
  // The editor's notion of a free slot.
  bool Free() const { return FieldBelow(inUse, "1"); }
  // The list shows a slot when its inUse sorts above "0".
  bool Listed() const { return FieldAbove(inUse, "0"); }

  // Fields 0 to 9 joined by "|", nothing escaped.
  std::string PipeText() const;
  // (hour × 60 + minute) × 60 from the record's texts.
  std::int32_t SecondsOfRecord() const;
};

class TaskTable {
 public:
  TaskSlot& operator[](int slot);
  const TaskSlot& operator[](int slot) const;

  // The first slot from 1 to 9 whose inUse sorts below "1"; nullopt when all hold tasks.
  std::optional<int> FindFreeSlot() const;
  // A found slot may be filled only below the editor's slot limit.
  static bool SlotUsable(int slot, int slotLimit) { return slot < slotLimit; }

  // Marks the slot free; every other field stays as it was.
  void Free(int slot);
  std::string PipeText(int slot) const { return (*this)[slot].PipeText(); }
  std::int32_t SecondsOf(int slot) const { return (*this)[slot].SecondsOfRecord(); }

  // Replaces the slot's record with a "|"-separated record from the server
  // (missing fields empty, fields past the twelfth ignored) and derives the
  // display texts and seconds from it. `warned` and `serverId` stay.
  void LoadFetchedRecord(int slot, std::string_view record);

 private:
  std::array<TaskSlot, kSlotCount> slots_;
};

// Values the task windows and pages share beside the table.
struct SharedTaskValues {
  int editSlot = 0;
  int saveSlot = 0;
  int slotLimit = 0;
  int deleteRequested = 0;
  int tableFull = 0;
  int listDirty = 0;
  int bannerCreated = 0;
  int promptSlot = 0;
  int promptCountdown = 60;
  std::string promptActionName;
  std::string closeTarget;
  std::string chosenFile;
  std::string chosenFileTitle;
  int bannerHideCount = 2;
  std::string syncReply;
};

}  // namespace tasks
