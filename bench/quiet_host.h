// A host for the benchmark programs: fixed options, no stop, errors on stderr, nothing else.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "engine/host.h"
#include "text/charset.h"

namespace gw::bench {

class QuietHost : public Host {
 public:
  explicit QuietHost(Options options = Options::FormDefaults())
      : options_(std::make_shared<Options>(std::move(options))) {}
  std::shared_ptr<const Options> currentOptions() override { return options_; }
  std::string previewSourceText() override { return {}; }
  BlockedWordSettings blockedWordSettings() override { return {}; }
  void setStatus(std::string_view) override {}
  bool stopRequested() override { return false; }
  void reportError(std::string_view text) override {
    std::fprintf(stderr, "%s\n", GbkToUtf8(text).c_str());
  }

 private:
  std::shared_ptr<Options> options_;
};

}  // namespace gw::bench
