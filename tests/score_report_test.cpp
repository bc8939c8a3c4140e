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

// Codes worked out by hand from the record texts: eight symbols for every
// five bytes, the alphabet without I, O, Z and 0.
TEST(ScoreReport, RecordIsPaddedToWholeGroupsAndKeepsEmptyFields) {
  const std::string url = ScoreReportUrl("", 0, "");
  EXPECT_EQ(url.find(VT_SCORE_SERVER "/cgi/version.pl?hs&prg=Voltrace2&inf="), 0u);
  // "type=0|name=|score=0|key=V|p=|add=|z=" is 37 bytes: three "0"s make 40.
  EXPECT_EQ(Query(url), "QT61A3K7GB8G62MPNW81265DP73GLRKSRTXYL8K7L38HARM6NFUGJRM6RJ8VANBS");
  // "type=0|name=abc|score=0|key=V|p=|add=|z=" is already 40 bytes: no "0".
  EXPECT_EQ(Query(ScoreReportUrl("abc", 0, "")), "QT61A3K7GB8G62MPNW8YC2VDRT3YG55UNW8VA9DMNX6V4XV6QA8122MENS8128T7");
  // Cyrillic letters count one byte each (Ваня is C2 E0 ED FF, РФ is D0 D4):
  // 44 bytes and one "0".
  EXPECT_EQ(Query(ScoreReportUrl(Cp1251FromUtf8("Ваня"), -5, Cp1251FromUtf8("РФ"))),
            "QT61A3K7GB8G62MPNW86F2HP978HG25RQKUV4MKXRTXYL8K7L38HARM6NFUGJRQS4T8HWRKS");
}

TEST(ScoreReport, OnlineTablePage) {
  EXPECT_EQ(OnlineTableUrl(), VT_SCORE_SERVER "/cgi/version.pl?prg=Voltrace2&show&type=0");
}

}  // namespace
