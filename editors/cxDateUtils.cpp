#include "editors/cxDateUtils.h"

#include "editors/cxClasses.h"

std::array<String, cxSmartDateWordCount> LoadSmartDateWords() {
  static const char* const kWords[cxSmartDateWordCount] = {
      "今天", "昨天", "明天", "星期日", "星期一", "星期二", "星期三", "星期四", "星期五", "星期六",
      "第一", "第二", "第三", "第四", "第五", "第六", "第七", "月初", "月末", "现在"};
  std::array<String, cxSmartDateWordCount> words;
  for (int i = 0; i < cxSmartDateWordCount; ++i) words[std::size_t(i)] = TranslateLibraryString(kWords[i]);
  return words;
}
