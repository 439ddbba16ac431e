// orvane-batch: the three batch tools without their pages, for scripts and for
// machines without a desktop. Arguments are UTF-8; they become the GBK texts
// the page fields would hold, and every status line is printed back as UTF-8.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <new>
#include <optional>
#include <string>
#include <thread>

#include "platform/files/path_text.h"
#include "platform/files/std_file_system.h"
#include "platform/ini_profile_files.h"
#include "platform/linux/curl_http.h"
#include "platform/text_codec.h"
#include "tools/batch_download.h"
#include "tools/batch_extract.h"
#include "tools/batch_replace.h"
#include "tools/tool_settings.h"

namespace {

constexpr int kRefused = 1;
constexpr int kUsage = 2;

class PrintSink : public tools::StatusSink {
 public:
  explicit PrintSink(bool flushEachLine) : flushEachLine_(flushEachLine) {}
  void PostStatus(std::string text) override {
    // Paths may hold names GBK cannot spell; they print as the system has them.
    std::string line = platform::Utf8FromPathText(text);
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
    if (flushEachLine_) std::fflush(stdout);
  }

 private:
  bool flushEachLine_;
};

int Refuse(const std::string& gbkMessage) {
  std::fprintf(stderr, "%s\n", text::GbkToUtf8(gbkMessage).c_str());
  return kRefused;
}

int Usage(const char* message) {
  std::fprintf(stderr, "orvane-batch: %s\n", message);
  return kUsage;
}

// A text option that, when given, replaces what the settings file held.
struct TextOption {
  std::string utf8;
  CLI::Option* option = nullptr;
  void Add(CLI::App* app, const std::string& name, const std::string& help) {
    option = app->add_option(name, utf8, help);
    // A character GBK cannot hold would turn into "?" and then match or write
    // something else than what was typed.
    option->check(
        [](const std::string& value) {
          return text::GbkToUtf8(text::Utf8ToGbk(value)) == value
                     ? std::string()
                     : "holds text GBK cannot hold: " + value;
        },
        "GBK");
  }
  void ApplyTo(std::string& field) const {
    if (option->count() > 0) field = text::Utf8ToGbk(utf8);
  }
};

struct FlagOption {
  bool value = false;
  CLI::Option* option = nullptr;
  void Add(CLI::App* app, const std::string& name, const std::string& help) {
    option = app->add_flag(name, value, help + " (" + name + "=false clears it)");
  }
  void ApplyTo(bool& field) const {
    if (option->count() > 0) field = value;
  }
};

struct Services {
  platform::StdFileSystem files;
  platform::IniProfileFiles profiles{files};
  platform::CurlHttp http;
};

std::optional<tools::ToolSettings> StartingSettings(Services& services, tools::ToolKind tool,
                                                    bool useSettings) {
  if (!useSettings) return std::nullopt;
  return tools::ToolSettingsFile(services.files, services.profiles, tool).Load();
}

std::optional<int> ParseMode(const std::string& utf8) {
  if (utf8 == "0" || utf8 == "1" || utf8 == "2") return utf8[0] - '0';
  std::string gbk = text::Utf8ToGbk(utf8);
  for (int mode : {tools::kDirectReplace, tools::kRangeReplace, tools::kMarkerReplace}) {
    if (gbk == tools::ReplaceModeText(mode)) return mode;
  }
  return std::nullopt;
}

}  // namespace

int Main(int argc, char** argv) {
  CLI::App app{
      "Batch text tools over every matching file below a folder.\n"
      "Texts are UTF-8 and are held as GBK, as the tool pages hold them; status lines\n"
      "print as UTF-8, one per line. Exit code 0 when a run completed, 1 when its start\n"
      "was refused (the reason on standard error) or an error ended it, 2 for a usage error\n"
      "(a text GBK cannot hold is one).",
      "orvane-batch"};
  app.require_subcommand(1, 1);
  bool useSettings = false;
  const std::string settingsHelp =
      "start from the tool's settings file in the config folder beside this program "
      "(read only); options given replace its values";

  // replace
  CLI::App* replace = app.add_subcommand(
      "replace", "Rewrite each file whose extension is listed, in the encoding it was read in.");
  replace->add_flag("--settings", useSettings, settingsHelp + " (Pitihuan.ini)");
  TextOption rFolder, rFormat, rKeyword, rEnd, rWith;
  std::string rMode;
  rFolder.Add(replace, "--folder", "folder to walk (required)");
  rFormat.Add(replace, "--format", "extensions separated by ';', e.g. \"txt;htm\"");
  CLI::Option* rModeOption = replace->add_option(
      "--mode", rMode,
      "0 replace the keyword, 1 replace between keyword and end marker, 2 replace the "
      "markers too; without a mode every file is reported as an unknown mode and left alone");
  rKeyword.Add(replace, "--keyword", "keyword (required)");
  rEnd.Add(replace, "--end", "end marker (modes 1 and 2)");
  rWith.Add(replace, "--with", "replacement; in modes 1 and 2 \"[*]\" stands for the text between");

  // extract
  CLI::App* extract = app.add_subcommand(
      "extract", "Cut pieces between markers out of each file and append result lines.");
  extract->add_flag("--settings", useSettings, settingsHelp + " (Pijiequ.ini)");
  TextOption eFolder, eFormat, eTemplate, eSaveFolder, eSaveFile;
  TextOption eStart[4], eEnd[4];
  FlagOption eContain, eNoDuplicates, eAutoLine, eEachIdentifier, eEachFile;
  eFolder.Add(extract, "--folder", "folder to walk (required)");
  eFormat.Add(extract, "--format", "file name ending, case ignored; empty takes every file");
  for (int i = 0; i < 4; ++i) {
    std::string n = std::to_string(i + 1);
    eStart[i].Add(extract, "--start" + n, "start marker of pair " + n);
    eEnd[i].Add(extract, "--end" + n, "end marker of pair " + n);
  }
  eTemplate.Add(extract, "--template",
                "line template: [1]..[4] the pieces, [*] all four, [n|default], "
                "default \".\" the file name, \"_.\" the name after the line");
  eSaveFolder.Add(extract, "--save-folder", "folder of the result files (required)");
  eSaveFile.Add(extract, "--save-file", "result file name (default JieQu.txt)");
  eContain.Add(extract, "--contain", "pieces keep their markers");
  eNoDuplicates.Add(extract, "--no-duplicates", "drop lines repeated within one run");
  eAutoLine.Add(extract, "--auto-line", "end each line with CR LF");
  eEachIdentifier.Add(extract, "--each-identifier", "one line per piece instead of per row");
  eEachFile.Add(extract, "--each-file", "one result file per line");

  // download
  CLI::App* download = app.add_subcommand(
      "download", "Download every URL found between markers in the matching files.");
  download->add_flag("--settings", useSettings, settingsHelp + " (Pidownload.ini)");
  TextOption dFolder, dFormat, dSaveFolder, dStart, dEnd, dUrl, dInterval;
  FlagOption dMirror, dSkip;
  std::string dConflict;
  dFolder.Add(download, "--folder", "folder to walk (required, must exist)");
  dFormat.Add(download, "--format",
              "file name masks separated by ';' (* and ?); a text without * gets *. in front");
  dSaveFolder.Add(download, "--save-folder", "folder the downloads go to (required)");
  dStart.Add(download, "--start", "start marker of a URL part");
  dEnd.Add(download, "--end", "end marker of a URL part");
  dUrl.Add(download, "--url",
           "URL prefix; or a template where [*] stands for the part; or a name template "
           "where [*.] stands for the part and the text after it replaces its extension");
  dMirror.Add(download, "--mirror", "save in folders that mirror the URL path");
  dInterval.Add(download, "--interval", "seconds to wait after each download");
  dSkip.Add(download, "--skip-existing", "leave save paths that already exist alone");
  CLI::Option* dConflictOption =
      download
          ->add_option("--on-conflict", dConflict,
                       "without --skip-existing: overwrite an existing file, or rename the new "
                       "one to name(1).ext, name(2).ext, ...")
          ->check(CLI::IsMember({"overwrite", "rename"}));

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    // The parser has codes of its own for each kind of mistake; --help is not one.
    return app.exit(e) == 0 ? 0 : kUsage;
  }

  Services services;
  if (replace->parsed()) {
    tools::ReplaceFields fields = tools::ReplaceFieldsFromSettings(
        StartingSettings(services, tools::ToolKind::Replace, useSettings));
    rFolder.ApplyTo(fields.folder);
    rFormat.ApplyTo(fields.format);
    rKeyword.ApplyTo(fields.keyword);
    rEnd.ApplyTo(fields.endMarker);
    rWith.ApplyTo(fields.replacement);
    if (rModeOption->count() > 0) {
      std::optional<int> mode = ParseMode(rMode);
      if (!mode) return Usage("--mode takes 0, 1 or 2");
      fields.mode = *mode;
    }
    if (std::optional<std::string> refusal = tools::CheckReplaceStart(fields)) {
      return Refuse(*refusal);
    }
    PrintSink sink(false);
    tools::FixedReplaceSource source(fields);
    return tools::RunReplace(services.files, source, sink) ? 0 : kRefused;
  }

  if (extract->parsed()) {
    tools::ExtractFields fields = tools::ExtractFieldsFromSettings(
        StartingSettings(services, tools::ToolKind::Extract, useSettings));
    eFolder.ApplyTo(fields.folder);
    eFormat.ApplyTo(fields.format);
    for (int i = 0; i < 4; ++i) {
      eStart[i].ApplyTo(fields.startMarkers[i]);
      eEnd[i].ApplyTo(fields.endMarkers[i]);
    }
    eTemplate.ApplyTo(fields.lineTemplate);
    eSaveFolder.ApplyTo(fields.saveFolder);
    eSaveFile.ApplyTo(fields.saveFile);
    eContain.ApplyTo(fields.contain);
    eNoDuplicates.ApplyTo(fields.checkDuplicate);
    eAutoLine.ApplyTo(fields.autoLine);
    eEachIdentifier.ApplyTo(fields.eachIdentifier);
    eEachFile.ApplyTo(fields.eachFile);
    // An empty field means the root of the drive to the page; a script that
    // forgot an option should not walk or write there.
    if (fields.folder.empty()) return Usage("extract needs --folder");
    if (fields.saveFolder.empty()) return Usage("extract needs --save-folder");
    PrintSink sink(false);
    return tools::RunExtract(services.files, fields, sink) ? 0 : kRefused;
  }

  tools::DownloadFields fields = tools::DownloadFieldsFromSettings(
      StartingSettings(services, tools::ToolKind::Download, useSettings));
  dFolder.ApplyTo(fields.folder);
  dFormat.ApplyTo(fields.format);
  dSaveFolder.ApplyTo(fields.saveFolder);
  dStart.ApplyTo(fields.startMarker);
  dEnd.ApplyTo(fields.endMarker);
  dUrl.ApplyTo(fields.urlText);
  dInterval.ApplyTo(fields.intervalText);
  if (dMirror.option->count() > 0) {
    fields.modeText = dMirror.value ? tools::kMirrorSaveText : tools::kFlatSaveText;
  }
  dSkip.ApplyTo(fields.checkDuplicate);
  int policy = tools::kSkipExisting;
  if (dConflictOption->count() > 0) {
    fields.checkDuplicate = false;  // an explicit answer wins over a ticked box
    policy = dConflict == "overwrite" ? tools::kOverwrite : tools::kRenameNew;
  } else if (!fields.checkDuplicate) {
    // The page asks at this point; a script has to say it up front.
    return Usage("without --skip-existing, say --on-conflict overwrite or rename");
  }
  if (fields.saveFolder.empty()) return Usage("download needs --save-folder");
  tools::DownloadJob job = tools::MakeDownloadJob(fields, policy);
  if (std::optional<std::string> refusal = tools::CheckDownloadStart(services.files, job)) {
    return Refuse(*refusal);
  }
  PrintSink sink(true);
  tools::DownloadServices downloadServices{
      services.files, services.http, [] { std::this_thread::sleep_for(std::chrono::seconds(1)); }};
  tools::RunDownload(downloadServices, job, sink);
  return 0;
}

int main(int argc, char** argv) {
  // Extract and download have no guard of their own; what escapes a run ends it.
  try {
    return Main(argc, argv);
  } catch (const std::bad_alloc&) {
    return Refuse("内存不足！");
  } catch (...) {
    return Refuse("发生未知错误！");
  }
}
