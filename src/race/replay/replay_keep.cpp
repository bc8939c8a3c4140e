#include "race/replay/replay_keep.h"

#include <cstdio>
#include <filesystem>

#include "platform/file_checks.h"
#include "race/replay/replay_run.h"
#include "shell/save_files.h"

std::string KeptRecordingPath(const std::string& which) { return SaveFolder + "/" + which + ".vrec"; }

bool ReadRecordingFile(const std::string& path, TRecording& out, std::string& error) {
  std::vector<uint8_t> bytes;
  if (!ReadSaneFile(path, MaxRecordingFileBytes, bytes, &error)) return false;
  return DecodeRecording(bytes.data(), bytes.size(), out, error);
}

bool WriteRecordingFile(const std::string& path, const TRecording& recording) {
  const std::vector<uint8_t> bytes = EncodeRecording(recording);
  return WriteFileSafely(path, std::string(bytes.begin(), bytes.end()));
}

bool KeptRecording(const char* which, TRecording& out) {
  const std::string path = KeptRecordingPath(which);
  std::string error;
  if (ReadRecordingFile(path, out, error)) return true;
  // No file at all is the usual case and not worth a word.
  std::error_code ec;
  if (std::filesystem::exists(std::filesystem::symlink_status(path, ec))) std::fprintf(stderr, "voltrace2: recording %s refused: %s\n", path.c_str(), error.c_str());
  return false;
}

void KeepFinishedRecording(const TRecording& recording) {
  WriteRecordingFile(KeptRecordingPath("last"), recording);
  const std::string best = "best-" + std::to_string(recording.StartLevel);
  TRecording kept;
  if (KeptRecording(best.c_str(), kept) && kept.FinalScore >= recording.FinalScore) return;
  WriteRecordingFile(KeptRecordingPath(best), recording);
}
