#include <gtest/gtest.h>

#include <cstdlib>

#include "gfx/cp1251.h"
#include "screens/score_report.h"

namespace {

TEST(ScoreReport, EncodesBitsAndSymbols) {
  EXPECT_EQ(EncodeBits("abcde"), "0110000101100010011000110110010001100101");
  EXPECT_EQ(EncodeBase32("0110000101100010011000110110010001100101"), "NFTGG3DF");
  // Digits short of a whole group are padded at the front.
  EXPECT_EQ(EncodeBase32("1"), "B");
  EXPECT_EQ(EncodeBase32("111111"), "B9");
  EXPECT_EQ(EncodeBits(""), "");
  // A Cyrillic letter is its one Windows-1251 byte: Я is 0xDF.
  EXPECT_EQ(EncodeBits(Cp1251FromUtf8("Я")), "11011111");
}

std::string Query(const std::string& url) { return url.substr(url.find("inf=") + 4); }

// The expected codes were worked out apart from the game (bytes to bits to
// symbols by hand-written script) for the key letter "V".
struct TReportCase {
  const char* Name;
  int32_t Score;
  const char* Country;
  const char* Code;
};

TEST(ScoreReport, RecordsTravelAsTheirExactCodes) {
  ASSERT_STREQ(VT_REPORT_KEY, "V") << "the codes below are for the key letter V";
  const TReportCase cases[] = {
      // "type=0|name=|score=0|key=V|p=|add=|z=" is 37 bytes: "000" makes 40.
      {"", 0, "", "QT61A3K7GB8G62MPNW81265DP73GLRKSRTXYL8K7L38HARM6NFUGJRM6RJ8VANBS"},
      // "type=0|name=abc|score=0|key=V|p=|add=|z=" is already 40 bytes: no "0".
      {"abc", 0, "", "QT61A3K7GB8G62MPNW8YC2VDRT3YG55UNW8VA9DMNX6V4XV6QA8122MENS8128T7"},
      // 50 bytes already: no padding at all.
      {"Иван", 12345, "Минск",
       "QT61A3K7GB8G62MPNW86T21A7X8HG25RQKUV4NKUGN4DL9DMNX6V4XV6QA8122MENS8634HP8HXH28T7"},
      // Cyrillic letters one byte each, a minus sign, one "0".
      {"Ваня", -5, "РФ", "QT61A3K7GB8G62MPNW86F2HP978HG25RQKUV4MKXRTXYL8K7L38HARM6NFUGJRQS4T8HWRKS"},
  };
  for (const TReportCase& c : cases)
    EXPECT_EQ(Query(ScoreReportUrl(Cp1251FromUtf8(c.Name), c.Score, Cp1251FromUtf8(c.Country))), c.Code) << c.Name;
}

TEST(ScoreReport, AddressesComeFromTheBuildOrTheEnvironment) {
  unsetenv("VOLTRACE2_SCORE_SERVER");
  EXPECT_EQ(OnlineTableUrl(), VT_SCORE_SERVER "/cgi/version.pl?prg=Voltrace2&show&type=0");
  EXPECT_EQ(ScoreReportUrl("", 0, "").rfind(VT_SCORE_SERVER "/cgi/version.pl?hs&prg=Voltrace2&inf=", 0), 0u);
  // A friend's service, written with or without the closing slash.
  setenv("VOLTRACE2_SCORE_SERVER", "http://10.0.0.7:8080/", 1);
  EXPECT_EQ(OnlineTableUrl(), "http://10.0.0.7:8080/cgi/version.pl?prg=Voltrace2&show&type=0");
  EXPECT_EQ(ScoreReportUrl("", 0, ""),
            "http://10.0.0.7:8080/cgi/version.pl?hs&prg=Voltrace2&inf="
            "QT61A3K7GB8G62MPNW81265DP73GLRKSRTXYL8K7L38HARM6NFUGJRM6RJ8VANBS");
  setenv("VOLTRACE2_SCORE_SERVER", "", 1);  // set but empty: the build's address
  EXPECT_EQ(OnlineTableUrl(), VT_SCORE_SERVER "/cgi/version.pl?prg=Voltrace2&show&type=0");
  unsetenv("VOLTRACE2_SCORE_SERVER");
}

}  // namespace
