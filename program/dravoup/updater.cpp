#include "program/dravoup/updater.h"

#include <optional>
#include <utility>

#include "online/server_request.h"
#include "program/dravoup/sha256.h"

namespace dravoup {

std::string FailureText(UpdateFailure failure) {
  // Every failure before the replacement leaves the old program as it was.
  const std::string unchanged = "原程序未改动。";
  switch (failure) {
    case UpdateFailure::None:
      return {};
    case UpdateFailure::BadParameters:
      return "升级参数有误，无法升级。" + unchanged;
    case UpdateFailure::ProgramMissing:
      return "在升级程序所在的文件夹里找不到 Orvane，无法升级。";
    case UpdateFailure::StillRunning:
      return "Orvane 仍在运行，等待超时。请先退出 Orvane 再升级。" + unchanged;
    case UpdateFailure::ServerUnreachable:
      return "无法连接升级服务器。" + unchanged;
    case UpdateFailure::NoAddress:
      return "升级服务器没有给出新版本的下载地址。" + unchanged;
    case UpdateFailure::DownloadFailed:
      return "新版本下载失败或不完整。" + unchanged;
    case UpdateFailure::ChecksumMismatch:
      return "下载的新版本校验不符，已丢弃。" + unchanged;
    case UpdateFailure::NotReplaced:
      return "无法替换程序文件（只读或没有写入权限）。" + unchanged;
    case UpdateFailure::StartFailed:
      return "新版本已安装，但未能启动，请手动启动 Orvane。";
  }
  return {};
}

Updater::Updater(UpdaterServices services, UpdateParameters parameters, std::string programPath)
    : services_(services), parameters_(std::move(parameters)), program_(std::move(programPath)) {}

bool Updater::ProgramRunning() {
  return services_.lock.HeldElsewhere(kProgramLockName);
}

UpdateFailure Updater::Discard(UpdateFailure failure) {
  services_.files.Remove(DownloadPath());
  return failure;
}

UpdateFailure Updater::Fetch() {
  if (program_.empty() || !services_.files.Exists(program_)) return UpdateFailure::ProgramMissing;
  // What an earlier run left is no download of ours.
  services_.files.Remove(DownloadPath());

  const online::TextReply reply =
      online::ServerTextRequest(services_.http, parameters_.queryAddress);
  if (!reply.ok()) {
    return reply.failure == online::RequestFailure::Exception ? UpdateFailure::ServerUnreachable
                                                              : UpdateFailure::NoAddress;
  }
  const std::optional<DownloadOffer> offer = ParseDownloadOffer(reply.Joined());
  if (!offer) return UpdateFailure::NoAddress;

  // Only a whole body with a success status reaches the file.
  if (!online::ServerFileDownload(services_.http, services_.files, offer->address,
                                  DownloadPath())) {
    return Discard(UpdateFailure::DownloadFailed);
  }
  const std::optional<std::string> bytes = services_.files.ReadFile(DownloadPath());
  // An empty file is no program, whatever the server says of it.
  if (!bytes || bytes->empty()) return Discard(UpdateFailure::DownloadFailed);
  if (!offer->sha256.empty() && Sha256Hex(*bytes) != offer->sha256) {
    return Discard(UpdateFailure::ChecksumMismatch);
  }
  return UpdateFailure::None;
}

UpdateFailure Updater::Install() {
  return services_.files.ReplaceKeepingBackup(program_, DownloadPath(), BackupPath())
             ? UpdateFailure::None
             : UpdateFailure::NotReplaced;
}

void Updater::Abandon() {
  services_.files.Remove(DownloadPath());
}

UpdateFailure Updater::Start() {
  // Quoted, so a folder name with spaces stays one argument.
  return services_.shell.Exec("\"" + program_ + "\"") ? UpdateFailure::None
                                                      : UpdateFailure::StartFailed;
}

}  // namespace dravoup
