#include "report/Rtf.h"

#include <cmath>
#include <cstdio>
#include <map>

#include "fields/Text.h"
#include "project/TextFile.h"

namespace pelmora {

namespace {

std::string Hex(const std::string& bytes) {
  std::string out;
  char buf[8];
  for (unsigned char c : bytes) {
    std::snprintf(buf, sizeof buf, "\\'%02x", c);
    out += buf;
  }
  return out;
}

// \uN takes a signed 16-bit number.
std::string UnicodeWord(unsigned v) {
  return "\\u" + std::to_string(v > 32767 ? static_cast<int>(v) - 65536 : static_cast<int>(v));
}

std::string EscapeText(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size();) {
    const size_t start = i;
    const char32_t cp = NextCodePoint(s, i);
    if (cp == '\\' || cp == '{' || cp == '}') {
      out += '\\';
      out += static_cast<char>(cp);
    } else if (cp == '\t') {
      out += "\\tab ";
    } else if (cp < 0x20) {
      continue;
    } else if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp > 0xFFFF) {
      const char32_t v = cp - 0x10000;
      out += "\\uc1" + UnicodeWord(0xD800 + static_cast<unsigned>(v >> 10)) + "?" +
             UnicodeWord(0xDC00 + static_cast<unsigned>(v & 0x3FF)) + "?";
    } else {
      const std::string utf8 = s.substr(start, i - start);
      std::string gbk;
      try {
        gbk = Utf8ToGbk(utf8, "");
      } catch (const FileError&) {
        gbk = "?";
      }
      out += "\\uc" + std::to_string(gbk.size()) + UnicodeWord(static_cast<unsigned>(cp)) + Hex(gbk);
    }
  }
  return out;
}

std::string FontName(const std::string& name) {
  try {
    return Hex(Utf8ToGbk(name, ""));
  } catch (const FileError&) {
    return "SimSun";
  }
}

// A paragraph that is a title or a heading: bold text that is not blank.
bool IsHeading(const RichParagraph& p) {
  bool text = false;
  for (const auto& r : p) {
    if (r.text.find_first_not_of(' ') == std::string::npos) continue;
    if (!r.bold) return false;
    text = true;
  }
  return text;
}

}  // namespace

std::string AlternativeFont(const std::string& name) {
  if (name == "Times New Roman") return "Liberation Serif";
  if (name == "Arial") return "Liberation Sans";
  if (name == "Courier New") return "Liberation Mono";
  return "AR PL UMing CN";
}

std::string ToRtf(const std::vector<RichParagraph>& paragraphs) {
  std::map<std::string, int> fonts{{"宋体", 0}};
  std::map<Color, int> colours;
  for (const auto& p : paragraphs)
    for (const auto& r : p) {
      fonts.emplace(r.fontName, static_cast<int>(fonts.size()));
      colours.emplace(r.color, static_cast<int>(colours.size()) + 1);
    }
  std::vector<std::string> fontByIndex(fonts.size());
  for (const auto& [name, i] : fonts) fontByIndex[static_cast<size_t>(i)] = name;

  // Simplified Chinese as the East Asian language, so that a reader picks the
  // simplified glyph variants when it must substitute a font.
  std::string out = "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052{\\fonttbl";
  for (size_t i = 0; i < fontByIndex.size(); ++i)
    out += "{\\f" + std::to_string(i) + "\\fnil\\fcharset134 " + FontName(fontByIndex[i]) + "{\\*\\falt " +
           AlternativeFont(fontByIndex[i]) + "};}";
  out += "}\r\n{\\colortbl ;";
  std::vector<Color> colourByIndex(colours.size());
  for (const auto& [c, i] : colours) colourByIndex[static_cast<size_t>(i - 1)] = c;
  for (Color c : colourByIndex) {
    Rgb rgb = ToRgb(c);
    out += "\\red" + std::to_string(rgb.r) + "\\green" + std::to_string(rgb.g) + "\\blue" + std::to_string(rgb.b) + ";";
  }
  out += "}\r\n";
  // A4 with the printed report's margins: 1.0 inch left and right, 0.7 inch top and
  // bottom (in twips); the page number centred in the footer.
  out += "\\paperw11906\\paperh16838\\margl1440\\margr1440\\margt1008\\margb1008\r\n";
  out +=
      "\\viewkind4\\uc1\\sectd\\pgwsxn11906\\pghsxn16838\\marglsxn1440\\margrsxn1440\\margtsxn1008"
      "\\margbsxn1008\\footery500\r\n";
  out += "{\\footer\\pard\\qc\\f0\\fs18 " + EscapeText("第 ") + "{\\field{\\*\\fldinst PAGE}{\\fldrslt 1}}" +
         EscapeText(" 页") + "\\par}\r\n";
  for (size_t p = 0; p < paragraphs.size(); ++p) {
    if (p) out += "\\par\r\n";
    // A heading stays on the page of the line that follows it.
    out += IsHeading(paragraphs[p]) ? "\\pard\\keepn\\f0\\fs21 " : "\\pard\\f0\\fs21 ";
    for (const auto& r : paragraphs[p]) {
      const long halfPoints = std::lround(r.pointSize * 2);
      out += "{\\f" + std::to_string(fonts[r.fontName]) + "\\fs" + std::to_string(halfPoints > 0 ? halfPoints : 21) +
             (r.bold ? "\\b" : "\\b0") + "\\cf" + std::to_string(colours[r.color]) + " " + EscapeText(r.text) + "}";
    }
  }
  out += "\r\n}\r\n";
  return out;
}

}  // namespace pelmora
