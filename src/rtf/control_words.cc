#include "rtf/control_words.h"

#include <array>
#include <utility>

namespace mlf::rtf {

namespace {

// Control words are looked up for every one read, so the table is a small open-addressing
// hash table rather than a general map.
class WordTable {
 public:
  WordTable(std::initializer_list<std::pair<std::string_view, Word>> words) {
    for (const auto& [name, word] : words) {
      size_t slot = Hash(name);
      while (!slots_[slot].first.empty()) slot = (slot + 1) % kSize;
      slots_[slot] = {name, word};
    }
  }

  Word Find(std::string_view name) const {
    for (size_t slot = Hash(name);; slot = (slot + 1) % kSize) {
      const auto& entry = slots_[slot];
      if (entry.first.empty()) return Word::kUnknown;
      if (entry.first == name) return entry.second;
    }
  }

 private:
  static constexpr size_t kSize = 1024;  // well over twice the number of words

  static size_t Hash(std::string_view name) {
    uint32_t h = 2166136261u;
    for (char c : name) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    return h % kSize;
  }

  std::array<std::pair<std::string_view, Word>, kSize> slots_{};
};

}  // namespace

Word LookUpWord(std::string_view name) {
  static const WordTable kWords = {
      {"rtf", Word::kRtf}, {"ansi", Word::kAnsi}, {"mac", Word::kMac}, {"pc", Word::kPc},
      {"pca", Word::kPca}, {"ansicpg", Word::kAnsicpg}, {"deff", Word::kDeff},
      {"fonttbl", Word::kFonttbl}, {"colortbl", Word::kColortbl},
      // Document-level destinations kept verbatim with the document.
      {"stylesheet", Word::kHeaderGroup}, {"info", Word::kHeaderGroup},
      {"revtbl", Word::kHeaderGroup}, {"rsidtbl", Word::kHeaderGroup},
      {"generator", Word::kHeaderGroup}, {"filetbl", Word::kHeaderGroup},
      {"xmlnstbl", Word::kHeaderGroup}, {"latentstyles", Word::kHeaderGroup},
      {"themedata", Word::kHeaderGroup}, {"colorschememapping", Word::kHeaderGroup},
      {"datastore", Word::kHeaderGroup}, {"mmathPr", Word::kHeaderGroup},
      {"defchp", Word::kHeaderGroup}, {"defpap", Word::kHeaderGroup},
      {"pgdsctbl", Word::kHeaderGroup}, {"userprops", Word::kHeaderGroup},
      {"listtable", Word::kListtable}, {"listoverridetable", Word::kListoverridetable},
      {"field", Word::kField}, {"fldinst", Word::kFldinst}, {"fldrslt", Word::kFldrslt},
      {"pict", Word::kPict}, {"shppict", Word::kShppict}, {"nonshppict", Word::kNonshppict},
      // Destinations with content the model cannot show in the text flow.
      {"object", Word::kOpaqueGroup}, {"shp", Word::kOpaqueGroup},
      {"shpgrp", Word::kOpaqueGroup}, {"do", Word::kOpaqueGroup},
      {"header", Word::kOpaqueGroup}, {"headerl", Word::kOpaqueGroup},
      {"headerr", Word::kOpaqueGroup}, {"headerf", Word::kOpaqueGroup},
      {"footer", Word::kOpaqueGroup}, {"footerl", Word::kOpaqueGroup},
      {"footerr", Word::kOpaqueGroup}, {"footerf", Word::kOpaqueGroup},
      {"footnote", Word::kOpaqueGroup}, {"annotation", Word::kOpaqueGroup},
      {"xe", Word::kOpaqueGroup}, {"tc", Word::kOpaqueGroup}, {"txe", Word::kOpaqueGroup},
      {"pntext", Word::kPntext}, {"listtext", Word::kListtext}, {"pn", Word::kPn},
      {"nesttableprops", Word::kNesttableprops}, {"nonesttables", Word::kNonesttables},
      {"upr", Word::kUpr}, {"ud", Word::kUd},
      {"f", Word::kF}, {"fnil", Word::kFnil}, {"froman", Word::kFroman},
      {"fswiss", Word::kFswiss}, {"fmodern", Word::kFmodern}, {"fscript", Word::kFscript},
      {"fdecor", Word::kFdecor}, {"ftech", Word::kFtech}, {"fbidi", Word::kFbidi},
      {"fcharset", Word::kFcharset}, {"cpg", Word::kCpg}, {"fprq", Word::kFprq},
      {"red", Word::kRed}, {"green", Word::kGreen}, {"blue", Word::kBlue},
      {"plain", Word::kPlain}, {"fs", Word::kFs}, {"b", Word::kB}, {"i", Word::kI},
      {"ul", Word::kUl}, {"uld", Word::kUld}, {"uldb", Word::kUldb},
      {"uldash", Word::kUldash}, {"uldashd", Word::kUldash}, {"uldashdd", Word::kUldash},
      {"ulldash", Word::kUldash}, {"ulwave", Word::kUlwave}, {"ululdbwave", Word::kUlwave},
      {"ulhwave", Word::kUlwave}, {"ulth", Word::kUlth}, {"ulthd", Word::kUlth},
      {"ulthdash", Word::kUlth}, {"ulw", Word::kUlw}, {"ulnone", Word::kUlnone},
      {"strike", Word::kStrike}, {"striked", Word::kStrike}, {"super", Word::kSuper},
      {"sub", Word::kSub}, {"nosupersub", Word::kNosupersub}, {"cf", Word::kCf},
      {"cb", Word::kCb}, {"highlight", Word::kHighlight}, {"v", Word::kV},
      // Character properties without a field of the model: language, capitals, spacing,
      // character styles, revision marks.
      {"lang", Word::kCharExtra}, {"langfe", Word::kCharExtra}, {"langnp", Word::kCharExtra},
      {"langfenp", Word::kCharExtra}, {"noproof", Word::kCharExtra}, {"caps", Word::kCharExtra},
      {"scaps", Word::kCharExtra}, {"outl", Word::kCharExtra}, {"shad", Word::kCharExtra},
      {"embo", Word::kCharExtra}, {"impr", Word::kCharExtra}, {"kerning", Word::kCharExtra},
      {"expnd", Word::kCharExtra}, {"expndtw", Word::kCharExtra},
      {"charscalex", Word::kCharExtra}, {"up", Word::kCharExtra}, {"dn", Word::kCharExtra},
      {"cs", Word::kCharExtra}, {"revised", Word::kCharExtra}, {"deleted", Word::kCharExtra},
      {"revauth", Word::kCharExtra}, {"revauthdel", Word::kCharExtra},
      {"revdttm", Word::kCharExtra}, {"revdttmdel", Word::kCharExtra},
      {"crauth", Word::kCharExtra}, {"crdate", Word::kCharExtra}, {"ulc", Word::kCharExtra},
      {"chcbpat", Word::kCharExtra}, {"chcfpat", Word::kCharExtra},
      {"chshdng", Word::kCharExtra}, {"webhidden", Word::kCharExtra},
      // Paragraph properties without a field of the model: style, keeping, widow control.
      {"s", Word::kParaExtra}, {"keep", Word::kParaExtra}, {"keepn", Word::kParaExtra},
      {"widctlpar", Word::kParaExtra}, {"nowidctlpar", Word::kParaExtra},
      {"hyphpar", Word::kParaExtra}, {"outlinelevel", Word::kParaExtra},
      {"noline", Word::kParaExtra}, {"contextualspace", Word::kParaExtra},
      {"sbauto", Word::kParaExtra}, {"saauto", Word::kParaExtra}, {"rtlpar", Word::kParaExtra},
      {"ltrpar", Word::kParaExtra}, {"aspalpha", Word::kParaExtra},
      {"aspnum", Word::kParaExtra}, {"adjustright", Word::kParaExtra},
      {"faauto", Word::kParaExtra}, {"nosnaplinegrid", Word::kParaExtra},
      {"pard", Word::kPard}, {"ql", Word::kQl}, {"qc", Word::kQc}, {"qr", Word::kQr},
      {"qj", Word::kQj}, {"qd", Word::kQj}, {"li", Word::kLi}, {"ri", Word::kRi},
      {"fi", Word::kFi}, {"sb", Word::kSb}, {"sa", Word::kSa}, {"sl", Word::kSl},
      {"slmult", Word::kSlmult}, {"tx", Word::kTx}, {"tqr", Word::kTqr}, {"tqc", Word::kTqc},
      {"tqdec", Word::kTqdec}, {"tldot", Word::kTldot}, {"tlmdot", Word::kTldot},
      {"tlhyph", Word::kTlhyph}, {"tlul", Word::kTlul}, {"tlth", Word::kTlth},
      {"tleq", Word::kTleq}, {"pagebb", Word::kPagebb}, {"intbl", Word::kIntbl}, {"itap", Word::kItap},
      {"ls", Word::kLs}, {"ilvl", Word::kIlvl},
      {"par", Word::kPar}, {"sect", Word::kSect}, {"line", Word::kLine}, {"tab", Word::kTab},
      {"page", Word::kPage}, {"emdash", Word::kEmdash}, {"endash", Word::kEndash},
      {"emspace", Word::kEmspace}, {"enspace", Word::kEnspace}, {"qmspace", Word::kQmspace},
      {"bullet", Word::kBullet}, {"lquote", Word::kLquote}, {"rquote", Word::kRquote},
      {"ldblquote", Word::kLdblquote}, {"rdblquote", Word::kRdblquote}, {"zwj", Word::kZwj},
      {"zwnj", Word::kZwnj}, {"ltrmark", Word::kLtrmark}, {"rtlmark", Word::kRtlmark},
      {"u", Word::kU}, {"uc", Word::kUc},
      {"cell", Word::kCell}, {"row", Word::kRow}, {"nestcell", Word::kNestcell},
      {"nestrow", Word::kNestrow}, {"trowd", Word::kTrowd}, {"cellx", Word::kCellx},
      {"trleft", Word::kTrleft}, {"trgaph", Word::kTrgaph},
      {"pnlvlblt", Word::kPnlvlblt}, {"pnlvlbody", Word::kPnlvlbody},
      {"pnlvlcont", Word::kPnlvlcont}, {"pnlvl", Word::kPnlvl}, {"pndec", Word::kPndec},
      {"pnucltr", Word::kPnucltr}, {"pnlcltr", Word::kPnlcltr}, {"pnucrm", Word::kPnucrm},
      {"pnlcrm", Word::kPnlcrm}, {"pnstart", Word::kPnstart},
      {"pntxtb", Word::kPntxtb}, {"pntxta", Word::kPntxta},
      {"list", Word::kList}, {"listlevel", Word::kListlevel}, {"levelnfc", Word::kLevelnfc},
      {"levelnfcn", Word::kLevelnfc}, {"levelstartat", Word::kLevelstartat},
      {"leveltext", Word::kLeveltext}, {"levelnorestart", Word::kLevelnorestart},
      {"listid", Word::kListid}, {"listoverride", Word::kListoverride},
      {"lfolevel", Word::kLfolevel}, {"listoverridestartat", Word::kListoverridestartat},
      {"pngblip", Word::kPngblip}, {"jpegblip", Word::kJpegblip}, {"emfblip", Word::kEmfblip},
      {"wmetafile", Word::kWmetafile}, {"dibitmap", Word::kDibitmap},
      {"wbitmap", Word::kWbitmap}, {"macpict", Word::kMacpict},
      {"pmmetafile", Word::kPmmetafile}, {"picw", Word::kPicw}, {"pich", Word::kPich},
      {"picwgoal", Word::kPicwgoal}, {"pichgoal", Word::kPichgoal},
      {"picscalex", Word::kPicscalex}, {"picscaley", Word::kPicscaley},
      {"piccropl", Word::kPiccropl}, {"piccropr", Word::kPiccropr},
      {"piccropt", Word::kPiccropt}, {"piccropb", Word::kPiccropb},
      {"paperw", Word::kLayout}, {"paperh", Word::kLayout}, {"margl", Word::kLayout},
      {"margr", Word::kLayout}, {"margt", Word::kLayout}, {"margb", Word::kLayout},
      {"landscape", Word::kLayout}, {"deftab", Word::kLayout}, {"gutter", Word::kLayout},
      {"facingp", Word::kLayout}, {"margmirror", Word::kLayout},
  };
  return kWords.Find(name);
}

}  // namespace mlf::rtf
