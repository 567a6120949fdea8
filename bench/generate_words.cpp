// Writes N distinct invented words of 2 to 6 characters (Chinese, Latin or both), in GBK,
// separated by a separator text (default "|") or by CR LF.
//
//   gw_generate_words --seed N --count N --output FILE [--separator TEXT | --lines]
//
// The same seed and count give the same bytes on every machine. The separator is given in the
// terminal's UTF-8 and written in GBK.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "generator_random.h"
#include "generator_text.h"
#include "text/charset.h"

namespace {

using gw::bench::Characters;
using gw::bench::Random;

// Common Chinese characters, all in code page 936.
constexpr std::string_view kHanzi =
    "春夏秋冬风花雪月山水云雨江河湖海星光天地日明清新青红白黑金银木林森竹梅兰菊松石玉珠宝书画琴"
    "诗词歌舞茶酒饭菜果米面包糖盐油香甜苦辣家园城市乡村街路桥门窗灯火车船马牛羊鱼鸟龙虎猫狗兔鹿"
    "东南西北中上下左右前后里外大小多少长短高低快慢新旧好美乐安平和顺福喜运财富贵强健心意情思想"
    "学习工作生活时间空年季节晨夜早晚阳阴温暖凉冷热寒远近深浅轻重开关来去走跑飞游看听说读写画唱";

constexpr std::string_view kLetters = "abcdefghijklmnopqrstuvwxyz";

std::string Word(Random& random, const std::vector<std::string>& hanzi) {
  const int length = random.Between(2, 6);
  const std::uint64_t kind = random.Below(10);  // 6 Chinese, 3 Latin, 1 mixed
  std::string word;
  for (int i = 0; i < length; ++i) {
    const bool chinese = kind < 6 || (kind == 9 && random.Below(2) == 0);
    if (chinese) {
      word += hanzi[random.Below(hanzi.size())];
    } else {
      word += kLetters[random.Below(kLetters.size())];
    }
  }
  return word;
}

int Usage() {
  std::cerr << "usage: gw_generate_words --seed N --count N --output FILE "
               "[--separator TEXT | --lines]\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::uint64_t seed = 1;
  long long count = -1;
  std::string output;
  std::string separator = "|";
  bool lines = false;
  bool separatorGiven = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view option = argv[i];
    if (option == "--lines") {
      lines = true;
      continue;
    }
    if (i + 1 >= argc) {
      return Usage();
    }
    const char* value = argv[++i];
    if (option == "--seed") {
      seed = std::strtoull(value, nullptr, 10);
    } else if (option == "--count") {
      count = std::strtoll(value, nullptr, 10);
    } else if (option == "--output") {
      output = value;
    } else if (option == "--separator") {
      separator = value;
      separatorGiven = true;
    } else {
      return Usage();
    }
  }
  if (count < 0 || output.empty() || (lines && separatorGiven)) {
    return Usage();
  }
  separator = lines ? std::string("\r\n") : gw::Utf8ToGbk(separator);

  std::ofstream file(output, std::ios::binary | std::ios::trunc);
  if (!file) {
    std::cerr << "gw_generate_words: cannot write " << output << "\n";
    return 1;
  }
  Random random(seed);
  const std::vector<std::string> hanzi = Characters(kHanzi);
  std::unordered_set<std::string> seen;
  std::string text;
  long long made = 0;
  long long attempts = 0;
  // Words of up to six characters from these pools run out only far beyond any sensible count;
  // the attempt limit keeps an absurd request from looping forever.
  const long long maxAttempts = count * 50 + 1000;
  while (made < count && attempts < maxAttempts) {
    ++attempts;
    std::string word = Word(random, hanzi);
    if (!seen.insert(word).second) {
      continue;
    }
    if (made > 0) {
      text += separator;
    }
    text += gw::Utf8ToGbk(word);
    ++made;
  }
  file.write(text.data(), static_cast<std::streamsize>(text.size()));
  file.close();
  if (!file || made < count) {
    std::cerr << "gw_generate_words: wrote " << made << " of " << count << " words to " << output
              << "\n";
    return 1;
  }
  return 0;
}
