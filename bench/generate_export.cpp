// Writes a synthetic group-chat text export of about the requested size: the export header
// followed by message records, CR LF line ends throughout. Everything in it is invented.
//
//   gw_generate_export --seed N --megabytes M --output FILE [--encoding gbk|utf8]
//
// The same seed and size give the same bytes on every machine. GBK output holds only GBK
// characters; emoji appear only in UTF-8 output.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "generator_random.h"
#include "generator_text.h"
#include "text/charset.h"

namespace {

using gw::bench::Characters;
using gw::bench::Random;

// Common Chinese characters, all in code page 936.
constexpr std::string_view kHanzi =
    "的一是在不了有和人这中大为上个国我以要他时来用们生到作地于出就分对成会可主发年动同工也能下过"
    "子说产种面而方后多定行学法所民得经十三之进着等部度家电力里如水化高自二理起小物现实加量都两体"
    "制机当使点从业本去把性好应开它合还因由其些然前外天政四日那社义事平形相全表间样与关各重新线内"
    "数正心反你明看原又么利比或但质气第向道命此变条只没结解问意建月公无系军很情者最立代想已通并提"
    "直题党程展五果料象员革位入常文总次品式活设及管特件长求老头基资边流路级少图山统接知较将组见计"
    "别她手角期根论运农指几九区强放决西被干做必战先回则任取据处队南给色光门即保治北造百规热领七海"
    "口东导器压志世金增争济阶油思术极交受联什认六共权收证改清己美再采转更单风切打白教速花带安场身"
    "车例真务具万每目至达走积示议声报斗完类八离华名确才科张信马节话米整空元况今集温传土许步群广石"
    "记需段研界拉林律叫且究观越织装影算低持音众书布复容儿须际商非验连断深难近矿千周委素技备半办青"
    "省列习响约支般史感劳便团往酸历市克何除消构府称太准精值号率族维划选标写存候毛亲快效斯院查江型"
    "眼王按格养易置派层片始却专状育厂京识适属圆包火住调满县局照参红细引听该铁价严早饭茶聊周末晚";

constexpr std::string_view kSyllables[] = {"ka", "lo",  "mi", "ren", "tu",  "sha", "vo",  "zen",
                                           "pi", "dor", "el", "an",  "qu",  "ri",  "so",  "tal",
                                           "un", "ve",  "xo", "ya",  "bel", "cor", "fin", "gra"};

constexpr std::string_view kNickPrefixes[] = {"小", "阿", "老", "大", "", ""};
constexpr std::string_view kFolders[] = {"我的群聊", "同学群", "兴趣小组", "工作群", "默认分组"};
constexpr std::string_view kPunctuation[] = {"，", "。", "！", "？", "、", "；",
                                             "…",  ",",  ".",  "!",  "?",  " "};
constexpr std::string_view kMarkers[] = {"[图片]", "[表情]"};
constexpr std::string_view kTopLevel[] = {"com", "cn", "net", "org", "info"};
// Emoji outside the Basic Multilingual Plane and a few symbols outside code page 936.
constexpr std::string_view kEmoji[] = {"😀", "😂", "👍", "🎉", "🌸", "🍵", "🚀", "✨", "☕", "🐱"};

class ExportWriter {
 public:
  ExportWriter(std::uint64_t seed, bool utf8) : random_(seed), utf8_(utf8) {
    hanzi_ = Characters(kHanzi);
  }

  std::string Header() {
    const std::string rule(64, '=');
    std::string header = "消息记录（此消息记录为文本格式，不支持重新导入）\r\n\r\n";
    header += rule + "\r\n消息分组:" + std::string(Pick(kFolders)) + "\r\n";
    header += rule + "\r\n消息对象:" + Hanzi(2, 5) + "群\r\n";
    header += rule + "\r\n\r\n";
    return header;
  }

  std::string Record() {
    std::string record = SenderLine();
    const int lines = random_.Chance(70) ? 1 : random_.Between(2, 5);
    for (int i = 0; i < lines; ++i) {
      record += BodyLine();
      record += "\r\n";
    }
    record += "\r\n";
    return record;
  }

 private:
  template <std::size_t N>
  std::string_view Pick(const std::string_view (&items)[N]) {
    return items[random_.Below(N)];
  }

  std::string Number(int low, int high, bool pad) {
    const int value = random_.Between(low, high);
    std::string text = std::to_string(value);
    if (pad && text.size() < 2) {
      text.insert(0, "0");
    }
    return text;
  }

  std::string Digits(int length) {
    std::string digits;
    for (int i = 0; i < length; ++i) {
      digits.push_back(static_cast<char>('0' + random_.Below(10)));
    }
    if (digits[0] == '0') {
      digits[0] = '1';
    }
    return digits;
  }

  std::string Hanzi(int low, int high) {
    std::string text;
    const int count = random_.Between(low, high);
    for (int i = 0; i < count; ++i) {
      text += hanzi_[random_.Below(hanzi_.size())];
    }
    return text;
  }

  std::string Latin(int low, int high) {
    std::string word;
    const int count = random_.Between(low, high);
    for (int i = 0; i < count; ++i) {
      word += Pick(kSyllables);
    }
    return word;
  }

  std::string Nickname() {
    switch (random_.Below(4)) {
      case 0:
        return Latin(1, 3);
      case 1:
        return Latin(1, 2) + Number(1, 99, false);
      default:
        return std::string(Pick(kNickPrefixes)) + Hanzi(1, 3);
    }
  }

  std::string SenderLine() {
    const bool padded = random_.Chance(50);
    const char separator = random_.Chance(80) ? '-' : '/';
    std::string line = Number(2010, 2019, false);
    line += separator;
    line += Number(1, 12, padded);
    line += separator;
    line += Number(1, 28, padded);
    line.append(static_cast<std::size_t>(random_.Between(1, 4)), ' ');
    line += Number(0, 23, random_.Chance(50)) + ":" + Number(0, 59, random_.Chance(80)) + ":" +
            Number(0, 59, random_.Chance(80));
    line += " " + Nickname() + "(" + Digits(random_.Between(5, 10)) + ")\r\n";
    return line;
  }

  std::string Link() {
    std::string host = Latin(1, 3) + "." + std::string(Pick(kTopLevel));
    std::string path = random_.Chance(50) ? "/" + Latin(1, 2) : "";
    if (random_.Chance(30)) {
      path += "?id=" + Digits(random_.Between(2, 6));
    }
    return random_.Chance(60) ? "http://www." + host + path : "www." + host + path;
  }

  std::string Email() {
    return Latin(1, 2) + Number(1, 99, false) + "@" + Latin(1, 2) + "." +
           std::string(Pick(kTopLevel));
  }

  std::string BodyLine() {
    if (random_.Chance(3)) {
      return std::string(static_cast<std::size_t>(random_.Between(1, 6)), ' ');
    }
    std::string line;
    const int pieces = random_.Between(1, 8);
    for (int i = 0; i < pieces; ++i) {
      const std::uint64_t kind = random_.Below(100);
      if (kind < 50) {
        line += Hanzi(1, 8);
      } else if (kind < 62) {
        line += Latin(1, 3);
        line += ' ';
      } else if (kind < 74) {
        line += Pick(kPunctuation);
      } else if (kind < 82) {
        line += Pick(kMarkers);
      } else if (kind < 86) {
        line += Link();
        line += ' ';
      } else if (kind < 89) {
        line += Email();
        line += ' ';
      } else if (kind < 95) {
        line += Digits(random_.Between(1, 11));
      } else if (utf8_) {
        line += Pick(kEmoji);
      } else {
        line += Hanzi(1, 2);
      }
    }
    return line;
  }

  Random random_;
  bool utf8_;
  std::vector<std::string> hanzi_;
};

int Usage() {
  std::cerr << "usage: gw_generate_export --seed N --megabytes M --output FILE "
               "[--encoding gbk|utf8]\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::uint64_t seed = 1;
  double megabytes = -1;
  std::string output;
  std::string encoding = "gbk";
  for (int i = 1; i < argc; ++i) {
    const std::string_view option = argv[i];
    if (i + 1 >= argc) {
      return Usage();
    }
    const char* value = argv[++i];
    if (option == "--seed") {
      seed = std::strtoull(value, nullptr, 10);
    } else if (option == "--megabytes") {
      megabytes = std::strtod(value, nullptr);
    } else if (option == "--output") {
      output = value;
    } else if (option == "--encoding") {
      encoding = value;
    } else {
      return Usage();
    }
  }
  if (megabytes < 0 || output.empty() || (encoding != "gbk" && encoding != "utf8")) {
    return Usage();
  }
  const bool utf8 = encoding == "utf8";
  const auto target = static_cast<std::uint64_t>(megabytes * 1024 * 1024);

  std::ofstream file(output, std::ios::binary | std::ios::trunc);
  if (!file) {
    std::cerr << "gw_generate_export: cannot write " << output << "\n";
    return 1;
  }
  ExportWriter writer(seed, utf8);
  std::string chunk;
  std::uint64_t written = 0;
  const auto add = [&](const std::string& piece) {
    if (utf8) {
      chunk += piece;
    } else {
      chunk += gw::Utf8ToGbk(piece);
    }
  };
  add(writer.Header());
  while (written + chunk.size() < target) {
    add(writer.Record());
    if (chunk.size() >= (1u << 20)) {
      file.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
      written += chunk.size();
      chunk.clear();
    }
  }
  file.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
  file.close();
  if (!file) {
    std::cerr << "gw_generate_export: write failed for " << output << "\n";
    return 1;
  }
  return 0;
}
