#include "chart/Fonts.h"

namespace pelmora::chart {

namespace {
bool Songti(const std::string& name) { return name == "宋体" || name == "SimSun"; }
}  // namespace

const std::vector<std::string>& FontFallbacks(const std::string& name) {
  static const std::vector<std::string> kChinese = {"AR PL UMing CN", "Noto Serif CJK SC", "WenQuanYi Micro Hei"};
  static const std::vector<std::string> kTimes = {"Liberation Serif", "AR PL UMing CN", "Noto Serif CJK SC"};
  return name == "Times New Roman" ? kTimes : kChinese;
}

const char* GenericFamily(const std::string& name) {
  return Songti(name) || name == "Times New Roman" ? "serif" : "sans-serif";
}

std::string FamilyList(const std::string& name, bool withName, const std::string& separator) {
  std::string list = withName ? name : std::string();
  for (const std::string& face : FontFallbacks(name)) list += (list.empty() ? "" : separator) + face;
  return list + separator + GenericFamily(name);
}

}  // namespace pelmora::chart
