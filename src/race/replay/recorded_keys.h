#pragma once
// The race's held actions as a recorded frame's key bits, both ways: the
// recorder reads them, the playback holds them again.
#include <cstdint>

uint8_t RecordedKeysHeld();
void HoldRecordedKeys(uint8_t keys);
