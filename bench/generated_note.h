// A generated note in the rich-edit control's style for the benchmarks: paragraphs of Latin
// text with formatting changes, accented letters, characters outside the code page, a link, a
// bulleted list and now and then a small picture.
#pragma once

#include <cstddef>
#include <string>

namespace mlf::bench {

// At least the given number of bytes of RTF.
inline std::string GeneratedNote(size_t bytes) {
  std::string rtf =
      "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
      "{\\f1\\froman\\fcharset0 Times New Roman;}{\\f2\\fnil\\fcharset2 Symbol;}}\r\n"
      "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\r\n"
      "\\viewkind4\\uc1\\pard\\f0\\fs20 ";
  // A real 4 x 4 PNG of 1024 bytes: a comment chunk of 906 "x" pads it out.
  std::string png =
      "\r\n89504e470d0a1a0a0000000d4948445200000004000000040802000000269309290000039274455874436f6d6d656e7400";
  for (int i = 0; i < 906; ++i) png += "78";
  png += "1eef4306000000294944415478da0dc7310100000cc23084551867452170cb9724121b1713048be353a9adeb67323b"
         "370fa7631341061a2b550000000049454e44ae426082";
  for (int i = 0; rtf.size() < bytes; ++i) {
    rtf += "The quick brown fox jumps over the lazy dog, \\b caf\\'e9\\b0  and \\i cr\\'e8me\\i0 ; "
           "\\cf1 red\\cf0 , \\ul under\\ulnone , \\f1\\fs24 Times\\f0\\fs20 , \\u8364? and "
           "\\u20013? text. Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do "
           "eiusmod tempor incididunt ut labore et dolore magna aliqua.\\par\r\n";
    if (i % 10 == 0)
      rtf += "See {\\field{\\*\\fldinst{HYPERLINK \"http://www.example.org/\"}}{\\fldrslt{\\ul\\cf2 "
             "the site}}}\\f0\\fs20  now.\\par\r\n"
             "\\pard{\\pntext\\f2\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf2\\pnindent0{\\pntxtb\\'B7}}"
             "\\fi-720\\li720 an item\\par\r\n\\pard ";
    if (i % 100 == 0) rtf += "{\\pict\\pngblip\\picw4\\pich4\\picwgoal600\\pichgoal600" + png + "}\\par\r\n";
  }
  return rtf + "}";
}

}  // namespace mlf::bench
