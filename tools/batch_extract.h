#pragma once
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "tools/status_sink.h"
#include "tools/tool_settings.h"

namespace tools {

// The texts and check boxes of the extract page (GBK).
struct ExtractFields {
  std::string folder;
  std::string format;
  std::array<std::string, 4> startMarkers;
  std::array<std::string, 4> endMarkers;
  std::string lineTemplate;
  std::string saveFolder;
  std::string saveFile = "JieQu.txt";
  bool contain = false;
  bool checkDuplicate = false;
  bool autoLine = false;
  bool eachIdentifier = false;
  bool eachFile = false;
};

ExtractFields ExtractFieldsFromSettings(const std::optional<ToolSettings>& settings);
ToolSettings ExtractFieldsToSettings(const ExtractFields& fields);

// Every piece between a start and the next end marker, in order; with
// `contain` the markers are part of the piece.
std::vector<std::string> FindPieces(std::string_view text, std::string_view startMarker,
                                    std::string_view endMarker, bool contain);

// Fills the template's tokens ("[1]".."[4]", "[*]", with "|default") from the
// four values; empty when no token found a value.
std::string CombineLine(std::string_view lineTemplate, const std::array<std::string, 4>& values,
                        std::string_view path);

// The result lines of one file's text, empty lines dropped.
std::vector<std::string> ExtractLines(const ExtractFields& fields, std::string_view text,
                                      std::string_view path);

// Output name of line `number` (from 1) of `count` lines of one file, when
// each line goes to a file of its own.
std::string EachFileName(std::string_view stem, std::string_view saveFile, int number, int count);

// Appends the lines (empty ones skipped) to folder/fileName as one locked
// write, so overlapping runs keep each call's lines together. All of them or
// none reach the file; false when they could not be written.
bool AppendLines(platform::FileSystem& files, const std::string& folder,
                 const std::string& fileName, const std::vector<std::string>& lines,
                 bool checkDuplicate, bool autoLine);

// The status line of a result file that could not be written.
std::string ResultWriteFailedText(const std::string& path);

// One run over the folder: progress per file, then "处理完成！", or, when a
// result file could not be written, a line naming it; PostFinished last.
// Lines go to the result file in blocks as the files give them; a run that
// fails to write takes back what it appended. True when the run completed.
bool RunExtract(platform::FileSystem& files, const ExtractFields& fields, StatusSink& sink);

}  // namespace tools
