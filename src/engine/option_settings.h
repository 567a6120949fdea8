// The options and the blocked-word settings as the settings file stores them.
#pragma once

#include "engine/blocked_words.h"
#include "engine/options.h"
#include "settings/settings_store.h"

namespace gw {

// Sections "基本配置" and "扩展配置": every stored option, in save order, read with its present
// value as the default, so an absent or empty entry keeps the value it had.
void LoadMainSettings(SettingsStore& store, Options& options);

// Writes every stored option of section "基本配置" in save order, then those of "扩展配置", as one
// batch: the file holds either all of them or none. A file without "扩展配置" gets the section
// added after the others; "基本配置" is written as it always was. False when the file could not
// be written.
bool SaveMainSettings(SettingsStore& store, const Options& options);

// Section "屏蔽词过滤器". Words are separated by line breaks when "换行符" or the option button's
// own key "单选框换行符" reads 真 (the settings window stores the latter).
BlockedWordSettings ReadBlockedWordSettings(SettingsStore& store);

}  // namespace gw
