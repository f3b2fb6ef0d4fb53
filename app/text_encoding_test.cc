#include "app/text_encoding.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "fuzz/text_model.h"

namespace {

// Random captures, 8-bit, with UTF-8's mark, or in UTF-16 of either order
// (sometimes with an odd last byte), made of log text in several scripts and
// unpaired surrogates, against the plain model of the decoding.
TEST(SourceText, AgreesWithTheModel) {
  const std::u16string pieces[] = {
      u"(bootloader) ", u"\r\n", u"\r", u"\n", u" ", u"abcdefghijklmnopqrstuvwxyz 0123456789",
      u"fastboot.exe : (bootloader) [  0.008] platf", u"日志中文日志中文日志中文",
      u"Жé", u"😀", u"\xD800", u"\xDC00", u"\x7F\x80\x7FF\x800\xFFFF"};
  std::mt19937 random(7);
  int decoded_elsewhere = 0;
  for (int round = 0; round < 6000; ++round) {
    std::u16string units;
    for (int i = random() % 24; i > 0; --i) units += pieces[random() % (sizeof pieces / sizeof *pieces)];
    std::string le = "\xFF\xFE", be = "\xFE\xFF";
    for (char16_t u : units) le += {char(u & 0xFF), char(u >> 8)}, be += {char(u >> 8), char(u & 0xFF)};
    std::string utf8 = DecodeModel(le), odd = random() % 2 ? "" : "\x41";
    // FF FF is no mark: the bytes are taken as they are.
    const std::string sources[] = {utf8, "\xEF\xBB\xBF" + utf8, "\xFF\xFF" + utf8, le + odd, be + odd};
    int kind = random() % 5;
    const std::string& source = sources[kind];
    EXPECT_EQ(PreparedText(source), DecodeModel(source)) << round;
    decoded_elsewhere += kind >= 3 && utf8.size() + 2 > source.size();
  }
  EXPECT_GT(decoded_elsewhere, 30);
}

}  // namespace
