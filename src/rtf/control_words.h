// The control words the reader acts on, looked up once per word.
#pragma once

#include <cstdint>
#include <string_view>

namespace mlf::rtf {

enum class Word : uint16_t {
  kUnknown,
  // document
  kRtf, kAnsi, kMac, kPc, kPca, kAnsicpg, kDeff,
  // destinations
  kFonttbl, kColortbl, kHeaderGroup, kListtable, kListoverridetable, kField, kFldinst, kFldrslt,
  kPict, kShppict, kNonshppict, kOpaqueGroup, kPntext, kListtext, kPn, kNesttableprops,
  kNonesttables, kUpr, kUd,
  // font table
  kF, kFnil, kFroman, kFswiss, kFmodern, kFscript, kFdecor, kFtech, kFbidi, kFcharset, kCpg, kFprq,
  // colour table
  kRed, kGreen, kBlue,
  // character formatting
  kPlain, kFs, kB, kI, kUl, kUld, kUldb, kUldash, kUlwave, kUlth, kUlw, kUlnone, kStrike,
  kSuper, kSub, kNosupersub, kCf, kCb, kHighlight, kV,
  kCharExtra,  // a character property the model keeps as RTF text
  // paragraph formatting
  kPard, kQl, kQc, kQr, kQj, kLi, kRi, kFi, kSb, kSa, kSl, kSlmult, kTx, kTqr, kTqc, kTqdec,
  kTldot, kTlhyph, kTlul, kTlth, kTleq, kPagebb, kIntbl, kItap, kLs, kIlvl,
  kParaExtra,  // a paragraph property the model keeps as RTF text
  // special characters and breaks
  kPar, kSect, kLine, kTab, kPage, kEmdash, kEndash, kEmspace, kEnspace, kQmspace, kBullet,
  kLquote, kRquote, kLdblquote, kRdblquote, kZwj, kZwnj, kLtrmark, kRtlmark, kU, kUc,
  // tables
  kCell, kRow, kNestcell, kNestrow, kTrowd, kCellx, kTrleft, kTrgaph,
  // old-style numbering
  kPnlvlblt, kPnlvlbody, kPnlvlcont, kPnlvl, kPndec, kPnucltr, kPnlcltr, kPnucrm, kPnlcrm,
  kPnstart, kPntxtb, kPntxta,
  // list table
  kList, kListlevel, kLevelnfc, kLevelstartat, kLeveltext, kLevelnorestart, kListid, kListoverride,
  kLfolevel, kListoverridestartat,
  // pictures
  kPngblip, kJpegblip, kEmfblip, kWmetafile, kDibitmap, kWbitmap, kMacpict, kPmmetafile, kPicw,
  kPich, kPicwgoal, kPichgoal, kPicscalex, kPicscaley, kPiccropl, kPiccropr, kPiccropt,
  kPiccropb,
  // page layout kept with the document
  kLayout,
};

Word LookUpWord(std::string_view name);

// Words that name what their group holds.
inline bool IsDestination(Word word) { return word >= Word::kFonttbl && word <= Word::kUd; }

}  // namespace mlf::rtf
