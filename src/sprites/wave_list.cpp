#include "sprites/wave_list.h"

#include <utility>

#include "sprites/archive_format.h"
#include "sprites/lookup_error.h"

TWaveCollection MDXWaveList;

void TWaveCollection::LoadFromFile(const std::string& path) {
  Items = LoadWaveArchive(path);
  Reindex();
}

TWaveCollectionItem& TWaveCollection::Find(const std::string& name) {
  int i = Index.Find(name);
  if (i < 0 || static_cast<size_t>(i) >= Items.size()) throw ELookupError("Wave '" + name + "' not found");
  TWaveCollectionItem& item = Items[static_cast<size_t>(i)];
  if (item.Source.File) ReadWaitingWave(item);
  return item;
}

bool TWaveCollection::ReadNextWaiting() {
  for (; CheckedUpTo < Items.size(); ++CheckedUpTo)
    if (Items[CheckedUpTo].Source.File) {
      ReadWaitingWave(Items[CheckedUpTo++]);
      return true;
    }
  return false;
}

void TWaveCollection::Clear() {
  Items.clear();
  Index.Clear();
}

void TWaveCollection::Reindex() {
  CheckedUpTo = 0;
  Index.Clear();
  for (size_t i = 0; i < Items.size(); ++i) Index.Add(Items[i].Name, static_cast<int>(i));
}
