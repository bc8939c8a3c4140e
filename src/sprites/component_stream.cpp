#include "sprites/component_stream.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <utility>

namespace {

// Deeper nesting than this is a corrupt file, not an archive; the limit keeps
// a run of list markers from exhausting the stack.
constexpr int MaxNesting = 100;

// Every value, property, collection item, set name and object costs a few
// hundred bytes in memory however few bytes it takes in the file, so a file
// of one-byte values would cost two hundred times its size. The game's
// archives hold about six hundred of them each; a stream with a hundred
// times that is no archive of the game.
constexpr size_t MaxEntries = size_t{1} << 16;

const char Signature[4] = {'T', 'P', 'F', '0'};

bool SameAsciiName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + 32);
    if (x != y) return false;
  }
  return true;
}

const TStreamProperty* FindIn(const std::vector<TStreamProperty>& props, const std::string& name) {
  for (const TStreamProperty& p : props)
    if (SameAsciiName(p.Name, name)) return &p;
  return nullptr;
}

bool IsOrderType(uint8_t t) {
  return t == static_cast<uint8_t>(TValueType::vaInt8) || t == static_cast<uint8_t>(TValueType::vaInt16) ||
         t == static_cast<uint8_t>(TValueType::vaInt32) || t == static_cast<uint8_t>(TValueType::vaInt64);
}

// ---------------------------------------------------------------- reading

class TStreamReader {
 public:
  TStreamReader(const uint8_t* data, size_t size, bool borrow = false, const TStreamFetch* fetch = nullptr)
      : Data(data), Size(size), Borrow(borrow), Fetch(fetch) {}

  TStreamObject ReadRoot() {
    if (Size == 0) Fail("empty stream", 0);
    if (Size >= 4) Need(4, "the signature");
    if (Size < 4 || std::memcmp(At(0), Signature, 4) != 0) Fail("not a component stream (no TPF0 signature)", 0);
    Pos = 4;
    return ReadObject(0);
  }

  size_t Used() const { return Pos; }

 private:
  const uint8_t* Data;
  size_t Size;
  bool Borrow;
  const TStreamFetch* Fetch;
  size_t Pos = 0;
  size_t Entries = 0;
  // With Fetch: the stream's bytes from WindowAt on, as far as they were
  // last fetched. Data then only gives the borrowed binaries' addresses.
  std::vector<uint8_t> Window;
  size_t WindowAt = 0;

  const uint8_t* At(size_t pos) const { return Fetch ? Window.data() + (pos - WindowAt) : Data + pos; }

  [[noreturn]] static void Fail(const std::string& problem, size_t at) { throw EStreamError(problem, at); }

  size_t Left() const { return Size - Pos; }

  // N more bytes lie in the stream, whether or not they have been fetched.
  void Within(uint64_t n, const char* what) {
    if (n > Left())
      Fail(std::string("stream ends inside ") + what + " (" + std::to_string(n) + " bytes needed, " +
               std::to_string(Left()) + " left)",
           Pos);
  }
  // N more bytes lie in the stream and can be read at At(Pos).
  void Need(uint64_t n, const char* what) {
    Within(n, what);
    if (!Fetch || (Pos >= WindowAt && Pos + n <= WindowAt + Window.size())) return;
    // A little ahead, so the small values of an item come in one read.
    WindowAt = Pos;
    Window.resize(std::max<size_t>(static_cast<size_t>(n), std::min<size_t>(Left(), 4096)));
    (*Fetch)(WindowAt, Window.size(), Window.data());
  }
  void Count(size_t at) {
    if (++Entries > MaxEntries)
      Fail("more than " + std::to_string(MaxEntries) + " values, far more than any archive of the game holds", at);
  }

  uint8_t Peek(const char* what) {
    Need(1, what);
    return *At(Pos);
  }
  uint8_t U8(const char* what) {
    Need(1, what);
    return *At(Pos++);
  }
  uint64_t LittleEndian(int bytes, const char* what) {
    Need(static_cast<uint64_t>(bytes), what);
    uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | At(Pos)[i];
    Pos += static_cast<size_t>(bytes);
    return v;
  }
  uint32_t U32(const char* what) { return static_cast<uint32_t>(LittleEndian(4, what)); }

  std::string Bytes(uint64_t n, const char* what) {
    Need(n, what);
    std::string s(reinterpret_cast<const char*>(At(Pos)), static_cast<size_t>(n));
    Pos += static_cast<size_t>(n);
    return s;
  }
  std::string ShortString(const char* what) {
    uint8_t len = U8(what);
    return Bytes(len, what);
  }

  void CheckDepth(int depth, size_t at) {
    if (depth > MaxNesting) Fail("nesting deeper than " + std::to_string(MaxNesting) + " levels", at);
  }

  int64_t ReadInteger(TValueType t, const char* what) {
    switch (t) {
      case TValueType::vaInt8: return static_cast<int8_t>(U8(what));
      case TValueType::vaInt16: return static_cast<int16_t>(LittleEndian(2, what));
      case TValueType::vaInt32: return static_cast<int32_t>(LittleEndian(4, what));
      default: return static_cast<int64_t>(LittleEndian(8, what));
    }
  }

  TStreamObject ReadObject(int depth) {
    CheckDepth(depth, Pos);
    Count(Pos);
    TStreamObject obj;
    uint8_t first = Peek("an object header");
    if ((first & 0xF0) == 0xF0) {
      ++Pos;
      obj.FlagsPrefix = true;
      obj.Flags = first & 0x0F;
      if (obj.Flags & TStreamObject::ffChildPos) {
        size_t at = Pos;
        uint8_t t = U8("a child position");
        if (!IsOrderType(t)) Fail("child position is not an integer (value type " + std::to_string(t) + ")", at);
        obj.ChildPosType = static_cast<TValueType>(t);
        obj.ChildPos = ReadInteger(obj.ChildPosType, "a child position");
      }
    }
    obj.ClassName = ShortString("a class name");
    obj.Name = ShortString("an object name");
    ReadProperties(obj.Properties, depth);
    while (Peek("the child object list") != 0) obj.Children.push_back(ReadObject(depth + 1));
    ++Pos;
    return obj;
  }

  void ReadProperties(std::vector<TStreamProperty>& props, int depth) {
    while (Peek("a property list") != 0) {
      Count(Pos);
      TStreamProperty p;
      p.Name = ShortString("a property name");
      p.Value = ReadValue(depth);
      props.push_back(std::move(p));
    }
    ++Pos;
  }

  TStreamValue ReadValue(int depth) {
    size_t at = Pos;
    Count(at);
    uint8_t t = U8("a value type");
    if (t == 0 || t > static_cast<uint8_t>(TValueType::vaQWord))
      Fail(t == 0 ? std::string("end-of-list marker where a value was expected")
                  : "unknown value type " + std::to_string(t),
           at);
    return ReadValueOf(static_cast<TValueType>(t), depth, at);
  }

  TStreamValue ReadValueOf(TValueType t, int depth, size_t at) {
    TStreamValue v;
    v.Type = t;
    switch (t) {
      case TValueType::vaList:
        CheckDepth(depth + 1, at);
        while (Peek("a list") != 0) v.List.push_back(ReadValue(depth + 1));
        ++Pos;
        break;
      case TValueType::vaInt8:
      case TValueType::vaInt16:
      case TValueType::vaInt32:
      case TValueType::vaInt64:
        v.Int = ReadInteger(t, "an integer");
        break;
      case TValueType::vaQWord:
      case TValueType::vaCurrency:
        v.Int = static_cast<int64_t>(LittleEndian(8, "a 64-bit value"));
        break;
      case TValueType::vaExtended: {
        Need(10, "an extended float");
        std::memcpy(v.Extended.data(), At(Pos), 10);
        Pos += 10;
        uint64_t mantissa = 0;
        for (int i = 7; i >= 0; --i) mantissa = (mantissa << 8) | v.Extended[static_cast<size_t>(i)];
        int exponent = (v.Extended[8] | (v.Extended[9] << 8)) & 0x7FFF;
        bool negative = (v.Extended[9] & 0x80) != 0;
        if (exponent == 0x7FFF)
          v.Float = (mantissa << 1) == 0 ? std::numeric_limits<double>::infinity()
                                         : std::numeric_limits<double>::quiet_NaN();
        else
          v.Float = static_cast<double>(
              std::ldexp(static_cast<long double>(mantissa), (exponent == 0 ? 1 : exponent) - 16383 - 63));
        if (negative) v.Float = -v.Float;
        break;
      }
      case TValueType::vaSingle: {
        uint32_t bits = static_cast<uint32_t>(LittleEndian(4, "a single float"));
        float f;
        std::memcpy(&f, &bits, 4);
        v.Float = f;
        // Widening a NaN may change its payload; keep the stored bits.
        if (std::isnan(f)) v.Int = bits;
        break;
      }
      case TValueType::vaDate: {
        uint64_t bits = LittleEndian(8, "a date");
        std::memcpy(&v.Float, &bits, 8);
        break;
      }
      case TValueType::vaString:
      case TValueType::vaIdent:
        v.Str = ShortString("a short string");
        break;
      case TValueType::vaLString:
      case TValueType::vaUTF8String: {
        uint32_t len = U32("a string length");
        v.Str = Bytes(len, "a long string");
        break;
      }
      case TValueType::vaWString:
      case TValueType::vaUString: {
        uint32_t len = U32("a wide string length");
        Need(static_cast<uint64_t>(len) * 2, "a wide string");
        v.WStr.resize(len);
        for (uint32_t i = 0; i < len; ++i) v.WStr[i] = static_cast<char16_t>(LittleEndian(2, "a wide string"));
        break;
      }
      case TValueType::vaBinary: {
        uint32_t len = U32("a binary length");
        // Borrowed data is left where it lies: with Fetch, never read here.
        Within(len, "binary data");
        if (Borrow) {
          v.Borrowed = Data + Pos, v.BorrowedSize = len;
        } else {
          Need(len, "binary data");
          v.Bytes.assign(At(Pos), At(Pos) + len);
        }
        Pos += len;
        break;
      }
      case TValueType::vaSet:
        for (;;) {
          Count(Pos);
          std::string name = ShortString("a set");
          if (name.empty()) break;
          v.Set.push_back(std::move(name));
        }
        break;
      case TValueType::vaCollection:
        CheckDepth(depth + 1, at);
        while (Peek("a collection") != 0) {
          Count(Pos);
          TStreamCollectionItem item;
          size_t itemAt = Pos;
          uint8_t marker = U8("a collection item");
          if (IsOrderType(marker)) {
            item.HasOrder = true;
            item.OrderType = static_cast<TValueType>(marker);
            item.Order = ReadInteger(item.OrderType, "a collection item's order");
            itemAt = Pos;
            marker = U8("a collection item");
          }
          if (marker != static_cast<uint8_t>(TValueType::vaList))
            Fail("collection item does not start with a list marker (value type " + std::to_string(marker) + ")",
                 itemAt);
          ReadProperties(item.Properties, depth + 1);
          v.Items.push_back(std::move(item));
        }
        ++Pos;
        break;
      case TValueType::vaFalse:
      case TValueType::vaTrue:
      case TValueType::vaNil:
      case TValueType::vaNull:
        break;
    }
    return v;
  }
};

// ---------------------------------------------------------------- writing

class TStreamWriter {
 public:
  std::vector<uint8_t> Out;

  void Object(const TStreamObject& obj, bool child) {
    // A child whose class name is empty would start with the byte that ends
    // the child list; the flags byte in front keeps it a child.
    if (obj.Flags != 0 || obj.FlagsPrefix || (child && obj.ClassName.empty())) {
      U8(static_cast<uint8_t>(0xF0 | (obj.Flags & 0x0F)));
      if (obj.Flags & TStreamObject::ffChildPos) TypedInteger(obj.ChildPosType, obj.ChildPos, "child position");
    }
    ShortString(obj.ClassName, "class name");
    ShortString(obj.Name, "object name");
    Properties(obj.Properties);
    for (const TStreamObject& c : obj.Children) Object(c, true);
    U8(0);
  }

 private:
  void U8(uint8_t b) { Out.push_back(b); }
  void LittleEndian(uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) Out.push_back(static_cast<uint8_t>(v >> (8 * i)));
  }
  void Raw(const void* p, size_t n) {
    const uint8_t* b = static_cast<const uint8_t*>(p);
    Out.insert(Out.end(), b, b + n);
  }
  void Length32(size_t n, const std::string& what) {
    if (n > 0xFFFFFFFFu) throw EArchiveError(what + " is too long for the stream");
    LittleEndian(n, 4);
  }
  void ShortString(const std::string& s, const std::string& what) {
    if (s.size() > 255) throw EArchiveError(what + " '" + s.substr(0, 32) + "...' is longer than 255 bytes");
    U8(static_cast<uint8_t>(s.size()));
    Raw(s.data(), s.size());
  }
  void TypedInteger(TValueType t, int64_t v, const std::string& what) {
    int bytes = 0;
    int64_t lo = 0, hi = 0;
    switch (t) {
      case TValueType::vaInt8: bytes = 1, lo = INT8_MIN, hi = INT8_MAX; break;
      case TValueType::vaInt16: bytes = 2, lo = INT16_MIN, hi = INT16_MAX; break;
      case TValueType::vaInt32: bytes = 4, lo = INT32_MIN, hi = INT32_MAX; break;
      case TValueType::vaInt64: bytes = 8, lo = INT64_MIN, hi = INT64_MAX; break;
      default: throw EArchiveError(what + " must be an integer type");
    }
    if (v < lo || v > hi) throw EArchiveError(what + " " + std::to_string(v) + " does not fit its integer type");
    U8(static_cast<uint8_t>(t));
    LittleEndian(static_cast<uint64_t>(v), bytes);
  }
  void Properties(const std::vector<TStreamProperty>& props) {
    for (const TStreamProperty& p : props) {
      ShortString(p.Name, "property name");
      Value(p.Value, p.Name);
    }
    U8(0);
  }

  void Value(const TStreamValue& v, const std::string& prop) {
    switch (v.Type) {
      case TValueType::vaInt8:
      case TValueType::vaInt16:
      case TValueType::vaInt32:
      case TValueType::vaInt64:
        TypedInteger(v.Type, v.Int, "value of " + prop);
        return;
      case TValueType::vaNull:
        throw EArchiveError("property " + prop + " has no value");
      default:
        break;
    }
    U8(static_cast<uint8_t>(v.Type));
    switch (v.Type) {
      case TValueType::vaList:
        for (const TStreamValue& item : v.List) Value(item, prop);
        U8(0);
        break;
      case TValueType::vaExtended: Raw(v.Extended.data(), 10); break;
      case TValueType::vaSingle: {
        float f = static_cast<float>(v.Float);
        uint32_t bits;
        std::memcpy(&bits, &f, 4);
        if (std::isnan(v.Float) && std::isnan(f) && v.Int != 0) bits = static_cast<uint32_t>(v.Int);
        LittleEndian(bits, 4);
        break;
      }
      case TValueType::vaDate: {
        uint64_t bits;
        std::memcpy(&bits, &v.Float, 8);
        LittleEndian(bits, 8);
        break;
      }
      case TValueType::vaCurrency:
      case TValueType::vaQWord: LittleEndian(static_cast<uint64_t>(v.Int), 8); break;
      case TValueType::vaString:
      case TValueType::vaIdent: ShortString(v.Str, "value of " + prop); break;
      case TValueType::vaLString:
      case TValueType::vaUTF8String:
        Length32(v.Str.size(), "value of " + prop);
        Raw(v.Str.data(), v.Str.size());
        break;
      case TValueType::vaWString:
      case TValueType::vaUString:
        Length32(v.WStr.size(), "value of " + prop);
        for (char16_t c : v.WStr) LittleEndian(c, 2);
        break;
      case TValueType::vaBinary:
        Length32(v.Bytes.size(), "value of " + prop);
        Raw(v.Bytes.data(), v.Bytes.size());
        break;
      case TValueType::vaSet:
        for (const std::string& s : v.Set) {
          if (s.empty()) throw EArchiveError("set element of " + prop + " is empty");
          ShortString(s, "set element of " + prop);
        }
        U8(0);
        break;
      case TValueType::vaCollection:
        for (const TStreamCollectionItem& item : v.Items) {
          if (item.HasOrder) TypedInteger(item.OrderType, item.Order, "item order of " + prop);
          U8(static_cast<uint8_t>(TValueType::vaList));
          Properties(item.Properties);
        }
        U8(0);
        break;
      default:  // vaFalse, vaTrue, vaNil carry no data
        break;
    }
  }
};

// ---------------------------------------------------------------- text

// A float the way the component text form prints an extended:
// sign or space, one digit, 20 decimals, "E", signed 4-digit exponent.
std::string ExtendedText(const std::array<uint8_t, 10>& e) {
  uint64_t mantissa = 0;
  for (int i = 7; i >= 0; --i) mantissa = (mantissa << 8) | e[static_cast<size_t>(i)];
  int exponent = (e[8] | (e[9] << 8)) & 0x7FFF;
  bool negative = (e[9] & 0x80) != 0;
  if (exponent == 0x7FFF) {
    if ((mantissa << 1) != 0) return "Nan";
    return negative ? "-Inf" : "+Inf";
  }
  long double magnitude = std::ldexp(static_cast<long double>(mantissa), (exponent == 0 ? 1 : exponent) - 16383 - 63);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.20Le", magnitude);
  const char* ePos = std::strchr(buf, 'e');
  if (!ePos) return buf;
  int exp10 = std::atoi(ePos + 1);
  std::string s(1, negative ? '-' : ' ');
  s.append(buf, static_cast<size_t>(ePos - buf));
  char expBuf[16];
  std::snprintf(expBuf, sizeof expBuf, "E%c%04d", exp10 < 0 ? '-' : '+', exp10 < 0 ? -exp10 : exp10);
  return s + expBuf;
}

// The shortest general form with 15 significant digits, exponent without '+'
// or leading zeros ("1.5", "1E20", "2.5E-7").
std::string GeneralFloatText(double v) {
  if (std::isnan(v)) return "Nan";
  if (std::isinf(v)) return v < 0 ? "-Inf" : "+Inf";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15G", v);
  std::string s = buf;
  size_t e = s.find('E');
  if (e == std::string::npos) return s;
  std::string mantissa = s.substr(0, e);
  int exp10 = std::atoi(s.c_str() + e + 1);
  return mantissa + "E" + std::to_string(exp10);
}

class TTextWriter {
 public:
  std::string Out;

  void Object(const TStreamObject& obj, const std::string& indent) {
    Out += indent;
    if (obj.Flags & TStreamObject::ffInherited)
      Out += "inherited";
    else if (obj.Flags & TStreamObject::ffInline)
      Out += "inline";
    else
      Out += "object";
    Out += ' ';
    if (!obj.Name.empty()) Out += obj.Name + ": ";
    Out += obj.ClassName;
    if (obj.Flags & TStreamObject::ffChildPos) Out += "[" + std::to_string(obj.ChildPos) + "]";
    Out += '\n';
    Properties(obj.Properties, indent + "  ");
    for (const TStreamObject& child : obj.Children) Object(child, indent + "  ");
    Out += indent + "end\n";
  }

 private:
  void Properties(const std::vector<TStreamProperty>& props, const std::string& indent) {
    for (const TStreamProperty& p : props) {
      Out += indent + p.Name + " = ";
      Value(p.Value, indent);
    }
  }

  // Printable ASCII goes inside quotes (a quote doubled), everything else
  // becomes #code outside them.
  void Chars(const std::vector<uint32_t>& codes) {
    if (codes.empty()) {
      Out += "''";
      return;
    }
    bool inString = false;
    for (uint32_t c : codes) {
      bool printable = c >= 32 && c < 127;
      if (printable != inString) {
        Out += '\'';
        inString = printable;
      }
      if (c == '\'')
        Out += "''";
      else if (printable)
        Out += static_cast<char>(c);
      else
        Out += "#" + std::to_string(c);
    }
    if (inString) Out += '\'';
  }

  static std::vector<uint32_t> ByteCodes(const std::string& s) {
    std::vector<uint32_t> codes;
    codes.reserve(s.size());
    for (unsigned char c : s) codes.push_back(c);
    return codes;
  }

  // Decodes lead bytes as they come; a sequence cut short by the end of the
  // string uses only the bytes that are there.
  static std::vector<uint32_t> Utf8Codes(const std::string& s) {
    std::vector<uint32_t> codes;
    size_t i = 0;
    auto next = [&]() -> uint32_t { return i < s.size() ? (static_cast<unsigned char>(s[i++]) & 0x3Fu) : 0u; };
    while (i < s.size()) {
      uint32_t c = static_cast<unsigned char>(s[i++]);
      if (c & 0x80) {
        if ((c & 0xE0) == 0xC0) {
          c = (c & 0x1F) << 6;
          c |= next();
        } else if ((c & 0xF0) == 0xE0) {
          c = (c & 0x0F) << 12;
          c |= next() << 6;
          c |= next();
        } else {
          c = (c & 0x07) << 18;
          c |= next() << 12;
          c |= next() << 6;
          c |= next();
        }
      }
      codes.push_back(c);
    }
    return codes;
  }

  void Value(const TStreamValue& v, const std::string& indent) {
    switch (v.Type) {
      case TValueType::vaList:
        Out += '(';
        if (!v.List.empty()) Out += '\n';
        for (const TStreamValue& item : v.List) {
          Out += indent + "  ";
          Value(item, indent + "  ");
        }
        Out += indent + ")\n";
        break;
      case TValueType::vaInt8:
      case TValueType::vaInt16:
      case TValueType::vaInt32:
      case TValueType::vaInt64: Out += std::to_string(v.Int) + "\n"; break;
      case TValueType::vaQWord: Out += std::to_string(static_cast<uint64_t>(v.Int)) + "\n"; break;
      case TValueType::vaExtended: Out += ExtendedText(v.Extended) + "\n"; break;
      case TValueType::vaSingle: Out += GeneralFloatText(v.Float) + "s\n"; break;
      case TValueType::vaDate: Out += GeneralFloatText(v.Float) + "d\n"; break;
      case TValueType::vaCurrency: Out += GeneralFloatText(static_cast<double>(v.Int)) + "c\n"; break;
      case TValueType::vaString:
      case TValueType::vaLString:
        Chars(ByteCodes(v.Str));
        Out += '\n';
        break;
      case TValueType::vaUTF8String:
        Chars(Utf8Codes(v.Str));
        Out += '\n';
        break;
      case TValueType::vaWString:
      case TValueType::vaUString:
        Chars(std::vector<uint32_t>(v.WStr.begin(), v.WStr.end()));
        Out += '\n';
        break;
      case TValueType::vaIdent: Out += v.Str + "\n"; break;
      case TValueType::vaFalse: Out += "False\n"; break;
      case TValueType::vaTrue: Out += "True\n"; break;
      case TValueType::vaNil: Out += "nil\n"; break;
      case TValueType::vaNull: Out += "null\n"; break;
      case TValueType::vaBinary: {
        static const char Hex[] = "0123456789ABCDEF";
        Out += "{\n";
        for (size_t at = 0; at < v.Bytes.size(); at += 32) {
          Out += indent + "  ";
          size_t end = at + 32 < v.Bytes.size() ? at + 32 : v.Bytes.size();
          for (size_t i = at; i < end; ++i) {
            Out += Hex[v.Bytes[i] >> 4];
            Out += Hex[v.Bytes[i] & 15];
          }
          Out += '\n';
        }
        Out += indent + "}\n";
        break;
      }
      case TValueType::vaSet:
        Out += '[';
        for (size_t i = 0; i < v.Set.size(); ++i) {
          if (i) Out += ", ";
          Out += v.Set[i];
        }
        Out += "]\n";
        break;
      case TValueType::vaCollection:
        Out += '<';
        for (const TStreamCollectionItem& item : v.Items) {
          Out += indent + "\n";
          Out += indent + "  item";
          if (item.HasOrder) Out += "[" + std::to_string(item.Order) + "]";
          Out += '\n';
          Properties(item.Properties, indent + "    ");
          Out += indent + "  end";
        }
        Out += ">\n";
        break;
    }
  }
};

}  // namespace

EStreamError::EStreamError(const std::string& problem, size_t offset)
    : EArchiveError(problem + " at offset " + std::to_string(offset)), Offset(offset) {}

bool TStreamValue::IsInteger() const {
  return Type == TValueType::vaInt8 || Type == TValueType::vaInt16 || Type == TValueType::vaInt32 ||
         Type == TValueType::vaInt64;
}

TStreamValue TStreamValue::Integer(int64_t v) {
  TStreamValue r;
  r.Int = v;
  if (v >= INT8_MIN && v <= INT8_MAX)
    r.Type = TValueType::vaInt8;
  else if (v >= INT16_MIN && v <= INT16_MAX)
    r.Type = TValueType::vaInt16;
  else if (v >= INT32_MIN && v <= INT32_MAX)
    r.Type = TValueType::vaInt32;
  else
    r.Type = TValueType::vaInt64;
  return r;
}

TStreamValue TStreamValue::Boolean(bool v) {
  TStreamValue r;
  r.Type = v ? TValueType::vaTrue : TValueType::vaFalse;
  return r;
}

TStreamValue TStreamValue::String(const std::string& s) {
  TStreamValue r;
  r.Type = s.size() <= 255 ? TValueType::vaString : TValueType::vaLString;
  r.Str = s;
  return r;
}

TStreamValue TStreamValue::Ident(const std::string& s) {
  TStreamValue r;
  r.Type = TValueType::vaIdent;
  r.Str = s;
  return r;
}

TStreamValue TStreamValue::Binary(std::vector<uint8_t> bytes) {
  TStreamValue r;
  r.Type = TValueType::vaBinary;
  r.Bytes = std::move(bytes);
  return r;
}

const TStreamProperty* TStreamCollectionItem::FindProperty(const std::string& name) const {
  return FindIn(Properties, name);
}

const TStreamProperty* TStreamObject::FindProperty(const std::string& name) const {
  return FindIn(Properties, name);
}

TStreamObject ReadComponentStream(const uint8_t* data, size_t size, size_t* used) {
  TStreamReader reader(data, size);
  TStreamObject root = reader.ReadRoot();
  if (used) *used = reader.Used();
  return root;
}

TStreamObject ReadComponentStreamBorrowing(const uint8_t* data, size_t size, const TStreamFetch* fetch) {
  return TStreamReader(data, size, true, fetch).ReadRoot();
}

TStreamObject ReadComponentStream(const std::vector<uint8_t>& bytes) {
  return ReadComponentStream(bytes.data(), bytes.size());
}

std::vector<uint8_t> WriteComponentStream(const TStreamObject& root) {
  TStreamWriter w;
  w.Out.assign(Signature, Signature + 4);
  w.Object(root, false);
  return std::move(w.Out);
}

std::string ComponentToText(const TStreamObject& root) {
  TTextWriter w;
  w.Object(root, "");
  return std::move(w.Out);
}

std::string ObjectBinaryToText(const std::vector<uint8_t>& bytes) { return ComponentToText(ReadComponentStream(bytes)); }
