#include <gtest/gtest.h>

#include "gfx/cp1251.h"
#include "screens/score_report.h"

namespace {

TEST(ScoreReport, EncodesBitsAndSymbols) {
  EXPECT_EQ(EncodeBits("abcde"), "0110000101100010011000110110010001100101");
  EXPECT_EQ(EncodeBase32(EncodeBits("abcde")), "NFTGG3DF");
  // Digits short of a whole group are padded at the front.
  EXPECT_EQ(EncodeBase32("1"), "B");
  EXPECT_EQ(EncodeBase32("111111"), "B9");
  EXPECT_EQ(EncodeBits(""), "");
  // A Cyrillic letter is its one Windows-1251 byte: Я is 0xDF.
  EXPECT_EQ(EncodeBits(Cp1251FromUtf8("Я")), "11011111");
}

std::string Query(const std::string& url) { return url.substr(url.find("inf=") + 4); }

TEST(ScoreReport, RecordIsPaddedToWholeGroupsAndKeepsEmptyFields) {
  const std::string url = ScoreReportUrl("", 0, "");
  EXPECT_EQ(url.find(VT_SCORE_SERVER "/cgi/version.pl?hs&prg=Voltrace2&inf="), 0u);
  // "type=0|name=|score=0|key=V|p=|add=|z=" is 37 bytes: three "0"s make 40,
  // which is 64 symbols.
  const std::string code = Query(url);
  EXPECT_EQ(code.size(), 64u);
  EXPECT_EQ(code, EncodeBase32(EncodeBits("type=0|name=|score=0|key=V|p=|add=|z=000")));
  // Cyrillic names count one byte a letter.
  const std::string cyrillic = Query(ScoreReportUrl(Cp1251FromUtf8("Ваня"), -5, Cp1251FromUtf8("РФ")));
  EXPECT_EQ(cyrillic, EncodeBase32(EncodeBits(Cp1251FromUtf8("type=0|name=Ваня|score=-5|key=V|p=|add=РФ|z=") + "0")));
}

TEST(ScoreReport, OnlineTablePage) {
  EXPECT_EQ(OnlineTableUrl(), VT_SCORE_SERVER "/cgi/version.pl?prg=Voltrace2&show&type=0");
}

}  // namespace
