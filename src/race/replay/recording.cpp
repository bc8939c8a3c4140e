// The recording's file. A header that says what it is before anything is
// trusted, then one zlib stream holding the ticks as runs of equal ticks
// (a race at a steady rate repeats its frame time and scale for minutes,
// and the keys change a few times a second), the path as differences of
// the coordinates' bits (exact, and small while the car moves smoothly)
// and the levels.
//
//   "VR2R"  magic
//   u16     RecordingVersion
//   u32     random state    i32 car, refresh rate, start level, score, level
//   u8      name length, then the name's bytes
//   u32     ticks, path points, levels, body bytes, body CRC-32
//   ...     the zlib stream of the body, to the file's end
//
// Numbers are little-endian; in the body, counts and differences are
// base-128 varints, the differences zigzag coded.
#include "race/replay/recording.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace {

constexpr char Magic[4] = {'V', 'R', '2', 'R'};
constexpr size_t MaxBodyBytes = size_t{64} << 20;
// The highest values a recording can honestly hold.
constexpr int32_t MaxCar = 6;
constexpr int32_t MaxRefreshRate = 1000;
constexpr int32_t MaxStartLevel = 1000;
constexpr int32_t MaxFrameMs = 1000;
constexpr double MaxSpeedFactor = 100;

// ---- writing

struct TWriter {
  std::vector<uint8_t>& Out;
  void U8(uint8_t v) { Out.push_back(v); }
  void U16(uint16_t v) {
    U8(static_cast<uint8_t>(v));
    U8(static_cast<uint8_t>(v >> 8));
  }
  void U32(uint32_t v) {
    for (int i = 0; i < 4; ++i) U8(static_cast<uint8_t>(v >> (8 * i)));
  }
  void U64(uint64_t v) {
    for (int i = 0; i < 8; ++i) U8(static_cast<uint8_t>(v >> (8 * i)));
  }
  void Var(uint32_t v) {
    while (v >= 0x80) {
      U8(static_cast<uint8_t>(v | 0x80));
      v >>= 7;
    }
    U8(static_cast<uint8_t>(v));
  }
  void Signed(int32_t v) { Var((static_cast<uint32_t>(v) << 1) ^ static_cast<uint32_t>(v >> 31)); }
};

uint32_t FloatBits(float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, sizeof bits);
  return bits;
}

bool SameTick(const TRecordedTick& a, const TRecordedTick& b) {
  return a.Kind == b.Kind && a.Keys == b.Keys && a.LagCount == b.LagCount && a.FrameMs == b.FrameMs &&
         std::memcmp(&a.SpeedFactor, &b.SpeedFactor, sizeof(double)) == 0;
}

void WriteBody(const TRecording& r, TWriter& w) {
  const std::vector<TRecordedTick>& ticks = r.Ticks;
  for (size_t i = 0; i < ticks.size();) {
    size_t run = 1;
    while (i + run < ticks.size() && SameTick(ticks[i], ticks[i + run])) ++run;
    const TRecordedTick& t = ticks[i];
    w.Var(static_cast<uint32_t>(run));
    w.U8(t.Kind);
    w.U8(t.Keys);
    w.Signed(t.LagCount);
    w.Signed(t.FrameMs);
    uint64_t bits;
    std::memcpy(&bits, &t.SpeedFactor, sizeof bits);
    w.U64(bits);
    i += run;
  }
  // Each coordinate as its own stream: alike numbers side by side pack best.
  uint32_t prev = 0;
  for (const TGhostPoint& p : r.Path) w.Signed(static_cast<int32_t>(FloatBits(p.TownX) - std::exchange(prev, FloatBits(p.TownX))));
  prev = 0;
  for (const TGhostPoint& p : r.Path) w.Signed(static_cast<int32_t>(FloatBits(p.TownY) - std::exchange(prev, FloatBits(p.TownY))));
  int16_t heading = 0;
  for (const TGhostPoint& p : r.Path) w.Signed(static_cast<int16_t>(p.Heading - std::exchange(heading, p.Heading)));
  for (const TGhostPoint& p : r.Path) w.U8(p.Visible);
  for (const TRecordedLevel& l : r.Levels) {
    w.Signed(l.Level);
    w.Var(l.FirstTick);
    w.Var(l.FirstPathPoint);
    w.U32(l.TownFingerprint);
  }
}

// ---- reading

struct TReader {
  const uint8_t* Data;
  size_t Size;
  size_t At = 0;
  bool Short = false;  // read past the end: every later read gives 0

  bool Has(size_t n) {
    if (Size - At >= n) return true;
    Short = true;
    return false;
  }
  uint8_t U8() { return Has(1) ? Data[At++] : 0; }
  uint16_t U16() {
    if (!Has(2)) return 0;
    const uint16_t v = static_cast<uint16_t>(Data[At] | Data[At + 1] << 8);
    At += 2;
    return v;
  }
  uint32_t U32() {
    if (!Has(4)) return 0;
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(Data[At + i]) << (8 * i);
    At += 4;
    return v;
  }
  uint64_t U64() {
    if (!Has(8)) return 0;
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v |= static_cast<uint64_t>(Data[At + i]) << (8 * i);
    At += 8;
    return v;
  }
  int32_t I32() { return static_cast<int32_t>(U32()); }
  uint32_t Var() {
    uint32_t v = 0;
    for (int shift = 0; shift < 35; shift += 7) {
      if (!Has(1)) return 0;
      const uint8_t b = Data[At++];
      if (shift == 28 && b > 0x0F) {  // more than 32 bits
        Short = true;
        return 0;
      }
      v |= static_cast<uint32_t>(b & 0x7F) << shift;
      if (!(b & 0x80)) return v;
    }
    return v;
  }
  int32_t Signed() {
    const uint32_t v = Var();
    return static_cast<int32_t>((v >> 1) ^ (0u - (v & 1)));
  }
};

bool Refuse(std::string& error, const std::string& why) {
  error = why;
  return false;
}

// The body's zlib stream, inflated into at most bodyBytes; the buffer grows
// with what really comes out, so a header that only claims a large body
// costs nothing.
bool Inflate(const uint8_t* data, size_t size, size_t bodyBytes, std::vector<uint8_t>& body) {
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return false;
  z.next_in = const_cast<Bytef*>(data);
  z.avail_in = static_cast<uInt>(size);
  body.clear();
  int status = Z_OK;
  while (status == Z_OK) {
    const size_t have = body.size();
    const size_t room = std::min<size_t>(bodyBytes + 1 - have, 1 << 16);
    if (room == 0) break;
    body.resize(have + room);
    z.next_out = body.data() + have;
    z.avail_out = static_cast<uInt>(room);
    status = inflate(&z, Z_NO_FLUSH);
    body.resize(have + (room - z.avail_out));
    if (status == Z_BUF_ERROR && z.avail_in == 0) break;  // the stream stops short
  }
  const bool whole = status == Z_STREAM_END && z.avail_in == 0 && body.size() == bodyBytes;
  inflateEnd(&z);
  return whole;
}

bool ReadTicks(TReader& in, uint32_t count, std::vector<TRecordedTick>& ticks, std::string& error) {
  ticks.clear();
  while (ticks.size() < count) {
    const uint32_t run = in.Var();
    TRecordedTick t;
    t.Kind = in.U8();
    t.Keys = in.U8();
    t.LagCount = in.Signed();
    t.FrameMs = in.Signed();
    const uint64_t bits = in.U64();
    std::memcpy(&t.SpeedFactor, &bits, sizeof bits);
    if (in.Short) return Refuse(error, "the recording's ticks are cut short");
    if (run == 0 || run > count - ticks.size()) return Refuse(error, "the recording's ticks do not add up");
    if (t.Kind > rtResume) return Refuse(error, "the recording holds a tick of an unknown kind");
    if (t.LagCount < 0 || t.FrameMs < 0 || t.FrameMs > MaxFrameMs || !std::isfinite(t.SpeedFactor) ||
        !(t.SpeedFactor > 0) || t.SpeedFactor > MaxSpeedFactor)
      return Refuse(error, "the recording holds a tick no game could have run");
    ticks.insert(ticks.end(), run, t);
  }
  return true;
}

bool ReadPath(TReader& in, uint32_t count, std::vector<TGhostPoint>& path, std::string& error) {
  if (!in.Has(size_t{count} * 4)) return Refuse(error, "the recording's path is cut short");  // four bytes a point at least
  path.assign(count, TGhostPoint{});
  uint32_t bits = 0;
  for (TGhostPoint& p : path) {
    bits += static_cast<uint32_t>(in.Signed());
    std::memcpy(&p.TownX, &bits, sizeof bits);
  }
  bits = 0;
  for (TGhostPoint& p : path) {
    bits += static_cast<uint32_t>(in.Signed());
    std::memcpy(&p.TownY, &bits, sizeof bits);
  }
  int16_t heading = 0;
  for (TGhostPoint& p : path) {
    heading = static_cast<int16_t>(heading + in.Signed());
    p.Heading = heading;
  }
  for (TGhostPoint& p : path) p.Visible = in.U8();
  if (in.Short) return Refuse(error, "the recording's path is cut short");
  for (const TGhostPoint& p : path)
    if (!std::isfinite(p.TownX) || !std::isfinite(p.TownY) || p.Visible > 1)
      return Refuse(error, "the recording's path holds a point off any town");
  return true;
}

bool ReadLevels(TReader& in, uint32_t count, const TRecording& r, std::vector<TRecordedLevel>& levels,
                std::string& error) {
  levels.assign(count, TRecordedLevel{});
  uint32_t lastTick = 0, lastPoint = 0;
  for (TRecordedLevel& l : levels) {
    l.Level = in.Signed();
    l.FirstTick = in.Var();
    l.FirstPathPoint = in.Var();
    l.TownFingerprint = in.U32();
    if (in.Short) return Refuse(error, "the recording's levels are cut short");
    if (l.Level < 1 || l.FirstTick < lastTick || l.FirstTick > r.Ticks.size() || l.FirstPathPoint < lastPoint ||
        l.FirstPathPoint > r.Path.size())
      return Refuse(error, "the recording's levels do not follow its ticks");
    lastTick = l.FirstTick;
    lastPoint = l.FirstPathPoint;
  }
  return true;
}

}  // namespace

std::vector<uint8_t> EncodeRecording(const TRecording& r) {
  std::vector<uint8_t> body;
  TWriter b{body};
  WriteBody(r, b);

  std::vector<uint8_t> out;
  TWriter w{out};
  for (char c : Magic) w.U8(static_cast<uint8_t>(c));
  w.U16(RecordingVersion);
  w.U32(r.RandomState);
  w.U32(static_cast<uint32_t>(r.SelectedCar));
  w.U32(static_cast<uint32_t>(r.RefreshRate));
  w.U32(static_cast<uint32_t>(r.StartLevel));
  w.U32(static_cast<uint32_t>(r.FinalScore));
  w.U32(static_cast<uint32_t>(r.FinalLevel));
  const size_t nameBytes = std::min(r.Name.size(), MaxRecordedNameBytes);
  w.U8(static_cast<uint8_t>(nameBytes));
  out.insert(out.end(), r.Name.begin(), r.Name.begin() + static_cast<std::ptrdiff_t>(nameBytes));
  w.U32(static_cast<uint32_t>(r.Ticks.size()));
  w.U32(static_cast<uint32_t>(r.Path.size()));
  w.U32(static_cast<uint32_t>(r.Levels.size()));
  w.U32(static_cast<uint32_t>(body.size()));
  w.U32(static_cast<uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size()))));

  uLongf packed = compressBound(static_cast<uLong>(body.size()));
  const size_t header = out.size();
  out.resize(header + packed);
  if (compress2(out.data() + header, &packed, body.data(), static_cast<uLong>(body.size()), 9) != Z_OK) return {};
  out.resize(header + packed);
  return out;
}

bool DecodeRecording(const uint8_t* data, size_t size, TRecording& out, std::string& error) {
  if (size > MaxRecordingFileBytes) return Refuse(error, "the recording is larger than any game could make");
  TReader in{data, size};
  if (!in.Has(sizeof Magic) || std::memcmp(data, Magic, sizeof Magic) != 0)
    return Refuse(error, "not a recording of this game");
  in.At = sizeof Magic;
  const uint16_t version = in.U16();
  if (in.Short) return Refuse(error, "the recording is cut short");
  if (version != RecordingVersion)
    return Refuse(error, "the recording is of format version " + std::to_string(version) + ", this game reads version " +
                             std::to_string(RecordingVersion));
  TRecording r;
  r.RandomState = in.U32();
  r.SelectedCar = in.I32();
  r.RefreshRate = in.I32();
  r.StartLevel = in.I32();
  r.FinalScore = in.I32();
  r.FinalLevel = in.I32();
  const size_t nameBytes = in.U8();
  if (nameBytes > MaxRecordedNameBytes) return Refuse(error, "the recording's name is too long");
  if (in.Has(nameBytes)) {
    r.Name.assign(reinterpret_cast<const char*>(data + in.At), nameBytes);
    in.At += nameBytes;
  }
  const uint32_t ticks = in.U32(), points = in.U32(), levels = in.U32(), bodyBytes = in.U32(), crc = in.U32();
  if (in.Short) return Refuse(error, "the recording is cut short");
  if (r.SelectedCar < 1 || r.SelectedCar > MaxCar || r.RefreshRate < 0 || r.RefreshRate > MaxRefreshRate ||
      r.StartLevel < 1 || r.StartLevel > MaxStartLevel)
    return Refuse(error, "the recording's start is not one the game can make");
  if (ticks > MaxRecordedTicks || points > ticks || levels > MaxRecordedLevels || bodyBytes > MaxBodyBytes)
    return Refuse(error, "the recording claims more than any game could hold");
  for (unsigned char c : r.Name)
    if (c < 0x20) return Refuse(error, "the recording's name holds a control character");

  std::vector<uint8_t> body;
  if (!Inflate(data + in.At, size - in.At, bodyBytes, body))
    return Refuse(error, "the recording is damaged or cut short (its packed body does not unpack)");
  if (crc32(0, body.data(), static_cast<uInt>(body.size())) != crc)
    return Refuse(error, "the recording is damaged (its checksum does not match)");

  TReader b{body.data(), body.size()};
  if (!ReadTicks(b, ticks, r.Ticks, error) || !ReadPath(b, points, r.Path, error) ||
      !ReadLevels(b, levels, r, r.Levels, error))
    return false;
  if (b.At != body.size()) return Refuse(error, "the recording holds more than it says");
  size_t raceTicks = 0;
  for (const TRecordedTick& t : r.Ticks) raceTicks += t.Kind == rtRace;
  if (raceTicks != r.Path.size()) return Refuse(error, "the recording's path does not follow its ticks");
  out = std::move(r);
  return true;
}
