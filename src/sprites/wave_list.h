#pragma once
// The named sound list MDXWaveList, loaded from the sound archive at start-up.
#include <cstdint>
#include <string>
#include <vector>

#include "sprites/archive_file.h"
#include "sprites/name_index.h"

struct TWaveCollectionItem {
  std::string Name;
  std::vector<uint8_t> Wave;  // a complete RIFF WAV file; read by Find while it still waits in Source
  TWaitingBytes Source;       // the file's bytes, for a sound loaded from a file
  bool Looped = false;
  int MaxPlayingCount = 0;  // copies that may sound at once; 0 = no limit

  // Playback state, owned by the sound module.
  int Buffer = -1;                 // the platform's sound handle, -1 until first played
  std::vector<int> Copies;         // voices of a non-looped item, oldest first
};

class TWaveCollection {
 public:
  // Throws EArchiveError. Every sound's header is checked here; its bytes
  // are read when Find first returns it.
  void LoadFromFile(const std::string& path);
  // The item, its wave read. Throws ELookupError "Wave '%s' not found".
  TWaveCollectionItem& Find(const std::string& name);
  void Clear();
  // Rebuilds the name lookup after Items were filled or changed directly.
  void Reindex();
  // Reads the first sound still waiting in its file; false when none waits.
  bool ReadNextWaiting();

  std::vector<TWaveCollectionItem> Items;

 private:
  TNameIndex Index;
  size_t CheckedUpTo = 0;  // no item before this one waits
};

extern TWaveCollection MDXWaveList;
