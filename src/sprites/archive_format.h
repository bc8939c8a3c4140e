#pragma once
// The picture and sound archives (.dxg, .dxw): a component stream whose root
// object holds the collection "List" (and, for pictures, "ColorTable").
// Read by the image and wave lists; written by the asset generator.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "sprites/image_list.h"
#include "sprites/wave_list.h"

// The bytes of a Picture property: the graphic class name as a short string,
// then the graphic's data. We write "TBitmap" with a 32-bit length and a
// 32-bit BMP file; we read TBitmap (1, 4, 8, 16, 24, 32 bits, uncompressed)
// and TPngImage.
std::vector<uint8_t> EncodePicture(const TSurface& bitmap);
TSurface DecodePicture(std::span<const uint8_t> data);  // throws EArchiveError

// The bytes of a Wave property: a 32-bit length, then a RIFF WAV file.
std::vector<uint8_t> EncodeWave(const std::vector<uint8_t>& riff);
std::vector<uint8_t> DecodeWave(std::span<const uint8_t> data);  // throws EArchiveError

// The whole archive; the picture archive also carries a 1024-byte colour
// table (a grey ramp unless one is given). Same items give the same bytes.
std::vector<uint8_t> WriteImageArchive(const std::vector<TPictureCollectionItem>& items);
std::vector<uint8_t> WriteImageArchive(const std::vector<TPictureCollectionItem>& items,
                                       const std::vector<uint8_t>& colorTable);
std::vector<uint8_t> WriteWaveArchive(const std::vector<TWaveCollectionItem>& items);
// Items in archive order. Properties may come in any order; missing ones
// keep their defaults and unknown ones are skipped. Throws EArchiveError.
std::vector<TPictureCollectionItem> ReadImageArchive(const std::vector<uint8_t>& bytes,
                                                     std::vector<uint8_t>* colorTable = nullptr);
// The same, freeing Bytes once read: the start-up's way, to keep its peak low.
std::vector<TPictureCollectionItem> ReadImageArchive(std::vector<uint8_t>&& bytes,
                                                     std::vector<uint8_t>* colorTable = nullptr);
std::vector<TWaveCollectionItem> ReadWaveArchive(const std::vector<uint8_t>& bytes);

// A whole archive file; throws EArchiveError "<path>: <reason>".
std::vector<uint8_t> ReadArchiveFile(const std::string& path);
// ReadImageArchive of the file at Path, reading only the parts of the file
// the parse needs. Bitmaps with sound headers are left waiting in the file
// (see TWaitingBytes); the rest are decoded. Throws EArchiveError naming the
// file, also for a file cut short while it is read and for a lack of memory.
std::vector<TPictureCollectionItem> LoadImageArchive(const std::string& path, std::vector<uint8_t>* colorTable);
// Decodes a waiting picture into Item.Picture. The headers were checked at
// the load, so only a file changed since then can fail here: the picture is
// then left empty (it draws nothing) and one line on stderr says why.
void DecodeWaitingPicture(TPictureCollectionItem& item);
// ReadWaveArchive of the file at Path, the same way: the sounds' headers are
// checked and their bytes left waiting in the file.

std::vector<TWaveCollectionItem> LoadWaveArchive(const std::string& path);
// Test seam: called by the two loads above once the archive file is open,
// before any of it is read.
extern void (*ArchiveOpenedHook)(const std::string& path);
// Reads a waiting sound into Item.Wave; as with pictures, only a file
// changed since the load can fail here, and leaves the sound silent.
void ReadWaitingWave(TWaveCollectionItem& item);
