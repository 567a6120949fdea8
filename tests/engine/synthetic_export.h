// A chat export made up for tests that need megabytes of varied messages: several conversations,
// multi-line bodies, blank lines, chat markers (also next to line starts), web addresses, digit
// runs, a stamp inside a body now and then, lines that open with a stamp but carry no sender,
// and long punctuation runs. The same seed gives the same text.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "text/charset.h"

namespace gw::testing {

inline std::string SyntheticExport(std::size_t approximateBytes, std::uint32_t seed) {
  std::mt19937 random(seed);
  const auto pick = [&random](std::size_t count) {
    return static_cast<std::size_t>(random() % count);
  };
  const std::vector<std::string> words = {"今天",
                                          "天气",
                                          "不错",
                                          "我们",
                                          "一起",
                                          "去",
                                          "公园",
                                          "吧",
                                          "好的",
                                          "哈哈",
                                          "东京",
                                          "結構",
                                          "表情",
                                          "图片",
                                          "统计",
                                          "hello",
                                          "OK",
                                          "123456",
                                          "2024",
                                          "第三章",
                                          "，",
                                          "。",
                                          "！！",
                                          "？？",
                                          "……",
                                          "、",
                                          " ",
                                          "　",
                                          "[表情]",
                                          "[图片]",
                                          "http://example.com/a?b=1",
                                          "www.qq.com",
                                          "a@b.cn",
                                          "[",
                                          "]",
                                          "|"};
  const std::vector<std::string> senders = {"小王(12345)", "阿明<a@b.cn>", "管理员 小林",
                                            "系统消息(10000)"};
  const std::string equals(64, '=');
  std::string text;
  int conversation = 0;
  const auto header = [&] {
    text += "消息记录（此消息记录为文本格式，不支持重新导入）\r\n\r\n" + equals +
            "\r\n消息分组:我的群组\r\n" + equals + "\r\n消息对象:测试群" +
            std::to_string(++conversation) + "\r\n" + equals + "\r\n\r\n";
  };
  header();
  int record = 0;
  while (text.size() < approximateBytes * 2 / 3) {  // UTF-8 is about 1.5 times GBK here
    ++record;
    if (record % 700 == 0) {
      header();
    }
    const std::string stamp = "2024-0" + std::to_string(1 + pick(9)) + "-" +
                              std::to_string(10 + pick(18)) + " " + std::to_string(pick(24)) + ":" +
                              std::to_string(10 + pick(50)) + ":" + std::to_string(10 + pick(50));
    text += stamp + " " + senders[pick(senders.size())] + "\r\n";
    const std::size_t lines = 1 + pick(3);
    for (std::size_t line = 0; line < lines; ++line) {
      const std::size_t length = pick(12);
      for (std::size_t w = 0; w < length; ++w) {
        text += words[pick(words.size())];
      }
      switch (pick(40)) {
        case 0:
          text += " 2023-1-2 3:04:05 一个正文中的时间";  // a stamp inside a body
          break;
        case 1:
          text += "\r\n2023-11-12 13:14:15";  // a stamp line without a sender
          break;
        case 2:
          text += "\r\n[表情]";  // a marker at a line start
          break;
        case 3:
          text += "\r\n";  // a blank line
          break;
        default:
          break;
      }
      text += "\r\n";
    }
    text += "\r\n";
  }
  return Utf8ToGbk(text);
}

}  // namespace gw::testing
