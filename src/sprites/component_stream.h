#pragma once
// The binary component stream ("TPF0") that holds the picture and sound
// archives: one object with its class name, object name, typed properties and
// child objects. Parsed into plain structs, written back byte for byte, and
// printed in the usual text form for inspecting an archive.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <span>
#include <vector>

#include "sprites/lookup_error.h"

enum class TValueType : uint8_t {
  vaNull = 0,
  vaList = 1,
  vaInt8 = 2,
  vaInt16 = 3,
  vaInt32 = 4,
  vaExtended = 5,  // 80-bit float
  vaString = 6,    // short string, 8-bit length
  vaIdent = 7,
  vaFalse = 8,
  vaTrue = 9,
  vaBinary = 10,  // 32-bit length
  vaSet = 11,
  vaLString = 12,  // 32-bit length
  vaNil = 13,
  vaCollection = 14,
  vaSingle = 15,
  vaCurrency = 16,  // 64-bit integer scaled by 10000
  vaDate = 17,      // double
  vaWString = 18,   // UTF-16, 32-bit length in code units
  vaInt64 = 19,
  vaUTF8String = 20,  // 32-bit length in bytes
  vaUString = 21,     // UTF-16 like vaWString
  vaQWord = 22,
};

// A malformed or truncated stream; Offset is where the reader gave up.
class EStreamError : public EArchiveError {
 public:
  EStreamError(const std::string& problem, size_t offset);
  size_t Offset;
};

struct TStreamProperty;
struct TStreamCollectionItem;

struct TStreamValue {
  TValueType Type = TValueType::vaNil;
  int64_t Int = 0;  // vaInt8..vaInt64; vaCurrency unscaled; vaQWord's bits; a NaN vaSingle's bits
  double Float = 0;  // vaSingle, vaDate; vaExtended rounded to double
  std::array<uint8_t, 10> Extended{};  // vaExtended exactly as stored
  std::string Str;      // vaString, vaLString, vaIdent, vaUTF8String (raw bytes)
  std::u16string WStr;  // vaWString, vaUString
  std::vector<uint8_t> Bytes;  // vaBinary
  // vaBinary read with borrowing: the data stays in the parsed buffer and
  // Bytes is empty. Read it through BinaryData().
  const uint8_t* Borrowed = nullptr;
  size_t BorrowedSize = 0;
  std::vector<std::string> Set;  // vaSet element names
  std::vector<TStreamValue> List;  // vaList
  std::vector<TStreamCollectionItem> Items;  // vaCollection

  bool IsInteger() const;
  std::span<const uint8_t> BinaryData() const {
    return Borrowed ? std::span<const uint8_t>(Borrowed, BorrowedSize) : std::span<const uint8_t>(Bytes);
  }
  bool IsBoolean() const { return Type == TValueType::vaFalse || Type == TValueType::vaTrue; }

  // The narrowest integer type that holds v, as the component writer picks it.
  static TStreamValue Integer(int64_t v);
  static TStreamValue Boolean(bool v);
  // A short string when it fits in 255 bytes, a long one otherwise.
  static TStreamValue String(const std::string& s);
  static TStreamValue Ident(const std::string& s);
  static TStreamValue Binary(std::vector<uint8_t> bytes);
};

struct TStreamProperty {
  std::string Name;
  TStreamValue Value;
};

struct TStreamCollectionItem {
  bool HasOrder = false;  // an integer written before the item's list marker
  TValueType OrderType = TValueType::vaInt8;
  int64_t Order = 0;
  std::vector<TStreamProperty> Properties;

  const TStreamProperty* FindProperty(const std::string& name) const;
};

struct TStreamObject {
  enum : uint8_t { ffInherited = 1, ffChildPos = 2, ffInline = 4 };
  uint8_t Flags = 0;
  // The stream had the flags byte before the class name even though no flag
  // needed it (or to tell an empty class name from the end of a child list);
  // kept so that writing back gives the bytes that were read.
  bool FlagsPrefix = false;
  TValueType ChildPosType = TValueType::vaInt8;
  int64_t ChildPos = 0;  // only with ffChildPos
  std::string ClassName;
  std::string Name;
  std::vector<TStreamProperty> Properties;
  std::vector<TStreamObject> Children;

  // Property names compare without regard to ASCII letter case.
  const TStreamProperty* FindProperty(const std::string& name) const;
};

// Parses a whole stream: the "TPF0" signature, then the root object. Bytes
// after the root object are ignored; *used, when given, receives how many
// bytes the signature and the root object took. Throws EStreamError.
TStreamObject ReadComponentStream(const uint8_t* data, size_t size, size_t* used = nullptr);
// Puts the stream's bytes from Offset on, Size of them, at Into; throws
// EArchiveError when it cannot.
using TStreamFetch = std::function<void(size_t offset, size_t size, uint8_t* into)>;
// The same, with binary values left in Data (see TStreamValue::Borrowed):
// for a tree that is only read, while Data is alive, such as a picture
// archive decoded at start-up. Copying megabytes of pictures only to decode
// them would double the start-up's memory. With Fetch, the stream is read
// through it a little at a time, never a borrowed binary's bytes, and Data
// is only the address the binaries' places are given from (Data + offset):
// whoever reads one fetches it.
TStreamObject ReadComponentStreamBorrowing(const uint8_t* data, size_t size, const TStreamFetch* fetch = nullptr);
TStreamObject ReadComponentStream(const std::vector<uint8_t>& bytes);

// Writes the signature and the object; values keep their stored types, so
// a parsed stream is written back unchanged. Throws EArchiveError for a value
// that its type cannot hold (a short string over 255 bytes, an integer too
// wide for its type).
std::vector<uint8_t> WriteComponentStream(const TStreamObject& root);

// The text form: "object Name: TClass", "  Prop = value", ..., "end", with
// LF line ends.
std::string ComponentToText(const TStreamObject& root);
std::string ObjectBinaryToText(const std::vector<uint8_t>& bytes);
