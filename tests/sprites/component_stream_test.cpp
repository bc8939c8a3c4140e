// The component-stream reader, writer and text form, checked against streams
// and texts produced by an independent implementation (tests/fixtures).
#include <gtest/gtest.h>

#include <cctype>
#include <cstddef>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "sprites/component_stream.h"

namespace {

std::vector<uint8_t> ReadFixture(const std::string& name) {
  std::ifstream f(std::string(VT_FIXTURES) + "/" + name, std::ios::binary);
  EXPECT_TRUE(f.good()) << name;
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

class StreamFixture : public ::testing::TestWithParam<const char*> {};

TEST_P(StreamFixture, TextMatchesTheReferenceByteForByte) {
  std::vector<uint8_t> stream = ReadFixture(GetParam());
  std::vector<uint8_t> text = ReadFixture(std::string(GetParam()) + ".txt");
  EXPECT_EQ(ObjectBinaryToText(stream), std::string(text.begin(), text.end()));
}

TEST_P(StreamFixture, WritingTheParsedTreeGivesTheSameBytes) {
  std::vector<uint8_t> stream = ReadFixture(GetParam());
  EXPECT_EQ(WriteComponentStream(ReadComponentStream(stream)), stream);
}

TEST_P(StreamFixture, EveryTruncationFailsInsideTheBytesItHas) {
  std::vector<uint8_t> stream = ReadFixture(GetParam());
  for (size_t n = 0; n < stream.size(); ++n) {
    // A buffer of exactly n bytes, so a sanitizer sees any read past it.
    std::vector<uint8_t> cut(stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(n));
    try {
      ReadComponentStream(cut);
      ADD_FAILURE() << "stream cut to " << n << " bytes was accepted";
    } catch (const EStreamError& e) {
      EXPECT_LE(e.Offset, n);
      EXPECT_NE(std::string(e.what()).find("offset " + std::to_string(e.Offset)), std::string::npos) << e.what();
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, StreamFixture, ::testing::Values("sample-types.bin", "sample.dxg", "sample-waves.dxw"),
                         [](const auto& info) {
                           std::string n = info.param;
                           for (char& c : n)
                             if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                           return n;
                         });

// "TPF0", object "T" with no name, one property "P" whose value type byte
// sits at offset 9.
const std::string Head = std::string("TPF0\x01T\x00\x01P", 9);

struct TMalformed {
  const char* Label;
  std::string Bytes;
  const char* Problem;
  size_t Offset;
};

void PrintTo(const TMalformed& c, std::ostream* os) { *os << c.Label; }

class MalformedStream : public ::testing::TestWithParam<TMalformed> {};

TEST_P(MalformedStream, IsRefusedWithTheProblemAndItsOffset) {
  const TMalformed& c = GetParam();
  try {
    ReadComponentStream(Bytes(c.Bytes));
    FAIL() << "accepted";
  } catch (const EStreamError& e) {
    EXPECT_NE(std::string(e.what()).find(c.Problem), std::string::npos) << e.what();
    EXPECT_EQ(e.Offset, c.Offset) << e.what();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MalformedStream,
    ::testing::Values(
        TMalformed{"Empty", "", "empty", 0},
        TMalformed{"WrongSignature", std::string("TPF1\x01T\x00\x00\x00", 9), "no TPF0 signature", 0},
        TMalformed{"HugeBinary", Head + std::string("\x0A\xF0\xFF\xFF\xFF\x01\x02", 7), "binary data", 14},
        TMalformed{"HugeWideString", Head + std::string("\x12\x00\x00\x00\x80", 5), "wide string", 14},
        TMalformed{"HugeLongString", Head + std::string("\x0C\xFF\xFF\xFF\x7F", 5), "long string", 14},
        TMalformed{"UnknownValueType", Head + "\x63", "unknown value type 99", 9},
        TMalformed{"EndMarkerAsValue", Head + std::string("\x00\x00\x00", 3), "end-of-list marker", 9},
        TMalformed{"ItemWithoutListMarker", Head + std::string("\x0E\x06\x01x\x00\x00\x00", 7), "list marker", 10},
        TMalformed{"EndlessNesting", Head + std::string(100000, '\x01'), "nesting", 9 + 100},
        TMalformed{"ShortStringPastEnd", std::string("TPF0\x10TSho", 8), "class name", 5}),
    [](const auto& info) { return std::string(info.param.Label); });

TEST(ComponentStream, ValuesTheFixturesLackSurviveWriteAndRead) {
  TStreamObject root;
  root.ClassName = "TRoot";
  root.Name = "Root";
  auto add = [](std::vector<TStreamProperty>& props, const char* name, TStreamValue v) {
    props.push_back(TStreamProperty{name, std::move(v)});
  };
  TStreamValue single;
  single.Type = TValueType::vaSingle;
  single.Float = 1.5;
  TStreamValue date;
  date.Type = TValueType::vaDate;
  date.Float = 36526.25;
  TStreamValue currency;
  currency.Type = TValueType::vaCurrency;
  currency.Int = 123456;
  TStreamValue qword;
  qword.Type = TValueType::vaQWord;
  qword.Int = -1;
  TStreamValue ustring;
  ustring.Type = TValueType::vaUString;
  ustring.WStr = u"\u0416'";
  add(root.Properties, "S", single);
  add(root.Properties, "D", date);
  add(root.Properties, "C", currency);
  add(root.Properties, "Q", qword);
  add(root.Properties, "U", ustring);
  add(root.Properties, "Empty", TStreamValue::String(""));
  add(root.Properties, "Long", TStreamValue::String(std::string(300, 'x')));

  TStreamValue collection;
  collection.Type = TValueType::vaCollection;
  TStreamCollectionItem ordered;
  ordered.HasOrder = true;
  ordered.OrderType = TValueType::vaInt16;
  ordered.Order = 2;
  add(ordered.Properties, "Tag", TStreamValue::Integer(70000));
  collection.Items.push_back(ordered);
  add(root.Properties, "Items", collection);

  TStreamObject child;
  child.Flags = TStreamObject::ffInherited | TStreamObject::ffChildPos;
  child.ChildPosType = TValueType::vaInt8;
  child.ChildPos = 3;
  child.ClassName = "TChild";
  child.Name = "Kid";
  TStreamObject inlined;
  inlined.Flags = TStreamObject::ffInline;
  inlined.ClassName = "TFrame";
  root.Children = {child, inlined};

  std::vector<uint8_t> bytes = WriteComponentStream(root);
  TStreamObject back = ReadComponentStream(bytes);
  EXPECT_EQ(WriteComponentStream(back), bytes);
  EXPECT_EQ(ComponentToText(back),
            "object Root: TRoot\n"
            "  S = 1.5s\n"
            "  D = 36526.25d\n"
            "  C = 123456c\n"
            "  Q = 18446744073709551615\n"
            "  U = #1046''''\n"
            "  Empty = ''\n"
            "  Long = '" + std::string(300, 'x') + "'\n"
            "  Items = <  \n"
            "    item[2]\n"
            "      Tag = 70000\n"
            "    end>\n"
            "  inherited Kid: TChild[3]\n"
            "  end\n"
            "  inline TFrame\n"
            "  end\n"
            "end\n");
  EXPECT_EQ(back.Properties[6].Value.Type, TValueType::vaLString);
  EXPECT_EQ(back.Properties[7].Value.Items[0].Properties[0].Value.Type, TValueType::vaInt32);
}

TEST(ComponentStream, WriterRefusesValuesItsTypesCannotHold) {
  TStreamObject root;
  root.ClassName = std::string(256, 'T');
  EXPECT_THROW(WriteComponentStream(root), EArchiveError);

  root.ClassName = "T";
  TStreamValue narrow;
  narrow.Type = TValueType::vaInt8;
  narrow.Int = 200;
  root.Properties.push_back(TStreamProperty{"P", narrow});
  EXPECT_THROW(WriteComponentStream(root), EArchiveError);
}

}  // namespace
