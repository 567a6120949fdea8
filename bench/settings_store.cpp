// Times a first save of the main window's 43 options into a fresh settings file and a second
// save that rewrites every value, in the folder given on the command line: once with every
// edit replacing the file on its own, once with each save as one batch. Figures are medians.
//
//   gw_bench_settings_store --folder DIR [--repeat N]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "settings/settings_store.h"
#include "text/charset.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

enum class Kind { Check, Text, Number, Bool };

struct Row {
  const char* key;  // UTF-8
  Kind kind;
  const char* text;  // text rows: the value written by the first save
};

// The options of section "基本配置" in the order a save writes them.
const Row kRows[] = {
    {"选择框删除日期", Kind::Check, ""},
    {"选择框删除表情", Kind::Check, ""},
    {"选择框删除网址", Kind::Check, ""},
    {"选择框删除邮箱", Kind::Check, ""},
    {"选择框删除数字", Kind::Check, ""},
    {"选择框删除字母", Kind::Check, ""},
    {"选择框自定义替换", Kind::Check, ""},
    {"选择框过滤屏蔽词", Kind::Check, ""},
    {"选择框插入到标题", Kind::Check, ""},
    {"繁简转换", Kind::Number, ""},
    {"欲替换", Kind::Text, "一|换"},
    {"替换为", Kind::Text, "yi|huang"},
    {"选择框正则替换", Kind::Check, ""},
    {"选择框忽视大小写", Kind::Check, ""},
    {"最多字数a", Kind::Text, "100"},
    {"最少字数a", Kind::Text, ""},
    {"选择框最少字数", Kind::Check, ""},
    {"选择框最多字数", Kind::Check, ""},
    {"选择框打乱消息顺序", Kind::Check, ""},
    {"合并1", Kind::Text, "1"},
    {"合并2", Kind::Text, "3"},
    {"分隔符", Kind::Text, "，。，。！"},
    {"组合数1", Kind::Text, "3"},
    {"组合数2", Kind::Text, "10"},
    {"标题最少字数", Kind::Text, "10"},
    {"扩展名", Kind::Text, "txt"},
    {"选择框段落插入", Kind::Check, ""},
    {"前缀", Kind::Text, "<p>"},
    {"后缀", Kind::Text, "</p>"},
    {"选择框插入词", Kind::Check, ""},
    {"插入词", Kind::Text, "春天|夏日|秋风|https://example.com/"},
    {"插入词1", Kind::Text, "1"},
    {"插入词2", Kind::Text, "3"},
    {"标题关键词", Kind::Text, ""},
    {"标题位置", Kind::Number, ""},
    {"保存文件夹", Kind::Text, "/home/user/文章"},
    {"忽略网址", Kind::Bool, ""},
    {"忽略数字", Kind::Bool, ""},
    {"数位", Kind::Text, "5"},
    {"忽略指定", Kind::Bool, ""},
    {"忽略字符", Kind::Text, "包邮|电话|联系"},
    {"文件编码", Kind::Number, ""},
    {"选择文件", Kind::Text, "/home/user/聊天/群一.txt\r\n/home/user/聊天/群二.txt"},
};
static_assert(std::size(kRows) == 43);

// One save: every row in table order. `pass` varies the values so that a rewrite changes them.
bool Save(gw::SettingsStore& store, const std::vector<std::string>& keys, int pass, bool batched) {
  gw::SettingsStore::Batch batch(store);
  if (!batched) {
    batch.finish();
  }
  bool ok = true;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const bool flag = (i + static_cast<std::size_t>(pass)) % 2 == 0;
    switch (kRows[i].kind) {
      case Kind::Check:
      case Kind::Bool:
        ok = store.writeBool(keys[i], flag) && ok;
        break;
      case Kind::Number:
        ok = store.writeNumber(keys[i], static_cast<double>((i + pass) % 5)) && ok;
        break;
      case Kind::Text:
        ok = store.writeText(keys[i], gw::Utf8ToGbk(kRows[i].text) + (pass ? "+" : "")) && ok;
        break;
    }
  }
  return batch.finish() && ok;
}

double Milliseconds(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  fs::path folder;
  int repeat = 5;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string_view option = argv[i];
    if (option == "--folder") {
      folder = argv[i + 1];
    } else if (option == "--repeat") {
      repeat = std::max(1, std::atoi(argv[i + 1]));
    }
  }
  if (folder.empty()) {
    std::fprintf(stderr, "usage: gw_bench_settings_store --folder DIR [--repeat N]\n");
    return 2;
  }
  std::vector<std::string> keys;
  for (const Row& row : kRows) {
    keys.push_back(gw::Utf8ToGbk(row.key));
  }
  const fs::path file = folder / "bench-settings.ini";
  for (const bool batched : {false, true}) {
    std::vector<double> firstSave;
    std::vector<double> rewrite;
    for (int run = 0; run < repeat; ++run) {
      fs::remove(file);
      gw::SettingsStore store;
      if (!store.setPath(file, 0)) {
        std::fprintf(stderr, "cannot open %s\n", file.c_str());
        return 1;
      }
      store.setSection(gw::Utf8ToGbk("基本配置"));
      const auto start = Clock::now();
      const bool firstOk = Save(store, keys, 0, batched);
      const auto middle = Clock::now();
      const bool secondOk = Save(store, keys, 1, batched);
      const auto end = Clock::now();
      if (!firstOk || !secondOk) {
        std::fprintf(stderr, "a write failed\n");
        return 1;
      }
      firstSave.push_back(Milliseconds(middle - start));
      rewrite.push_back(Milliseconds(end - middle));
    }
    std::printf("%-9s %-36s first save %8.2f ms   rewrite %8.2f ms   total %8.2f ms\n",
                batched ? "batched" : "per edit", folder.c_str(), Median(firstSave),
                Median(rewrite), Median(firstSave) + Median(rewrite));
  }
  std::error_code ignored;
  fs::remove(file, ignored);
  fs::path lock = file;
  lock += ".lock";
  fs::remove(lock, ignored);
  return 0;
}
