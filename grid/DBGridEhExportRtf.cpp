// The rich-text exporter: a table with the grid's widths, colours, fonts and alignments, and
// multi-level titles as merged cells. The body is built in memory first, because the colour
// and font tables that precede it are only known once it is written.
#include "grid/DBGridEhImpExp.h"
#include "grid/GridUtilsEh.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <map>

String RtfEscaped(const String& Text) {
  String r;
  r.reserve(Text.size());
  for (std::size_t i = 0; i < Text.size();) {
    char32_t cp = DecodeUtf8(Text, i);
    switch (cp) {
      case '\\': r += "\\\\"; continue;
      case '{': r += "\\{"; continue;
      case '}': r += "\\}"; continue;
      case '\t': r += "\\tab "; continue;
      case '\r':
        if (i < Text.size() && Text[i] == '\n') ++i;
        r += "\\line ";
        continue;
      case '\n': r += "\\line "; continue;
      default: break;
    }
    if (cp < 0x80) {
      r.push_back(static_cast<char>(cp));
      continue;
    }
    // Beyond the basic plane a character goes as its two UTF-16 halves.
    auto unit = [&r](unsigned u) { r += "\\u" + std::to_string(static_cast<int16_t>(u)) + "?"; };
    if (cp > 0xFFFF) {
      unit(0xD800 + ((cp - 0x10000) >> 10));
      unit(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      unit(cp);
    }
  }
  return r;
}

namespace {

String ColorKey(TColor Color) {
  COLORREF rgb = ColorToRGB(Color);
  return Format("%3d%3d%3d", {int(rgb & 0xFF), int((rgb >> 8) & 0xFF), int((rgb >> 16) & 0xFF)});
}

using TTitleMatrix = std::vector<std::vector<TDBGridEhExportAsRTF::TTitleCell>>;

// The grid's title tree with each caption one level high: a leaf less deep than the deepest
// column reaches down to the bottom, so its height covers the levels it lacks.
struct TTitleTree {
  THeadTreeNode Root;
  std::vector<THeadTreeNode*> Leaves;
  explicit TTitleTree(TCustomDBGridEh* Grid) {
    Root.BuildFromColumns(Grid, Leaves);
    THeadTreeNode::CalcTitleBandHeights(&Root, [](THeadTreeNode*) { return 1; });
  }
  THeadTreeNode* Parent(THeadTreeNode* Node) const { return Node->ParentNode == &Root ? nullptr : Node->ParentNode; }
};

// Row 0 the leaves, higher rows the upper levels: each round records every column's node,
// then the columns lowest so far climb one level.
TTitleMatrix BuildTitleMatrix(const TTitleTree& Tree, TColumnsEhList* Columns, std::vector<THeadTreeNode*>& Nodes) {
  std::vector<THeadTreeNode*> cur;
  std::vector<int> acc;
  for (int i = 0; i < Columns->Count(); ++i) {
    cur.push_back(Tree.Leaves[static_cast<std::size_t>(Columns->Items(i)->Index())]);
    acc.push_back(cur.back()->NodeHeight);
  }
  auto id = [&Nodes](THeadTreeNode* N) {
    auto at = std::find(Nodes.begin(), Nodes.end(), N);
    if (at != Nodes.end()) return static_cast<int>(at - Nodes.begin());
    Nodes.push_back(N);
    return static_cast<int>(Nodes.size()) - 1;
  };
  TTitleMatrix m;
  for (bool moved = true; moved;) {
    std::vector<TDBGridEhExportAsRTF::TTitleCell> row;
    for (THeadTreeNode* n : cur) row.push_back({id(n), n->NodeText, 1, 1});
    m.push_back(std::move(row));
    int least = *std::min_element(acc.begin(), acc.end());
    moved = false;
    for (std::size_t c = 0; c < cur.size(); ++c)
      if (THeadTreeNode* up = Tree.Parent(cur[c]); acc[c] == least && up) {
        cur[c] = up;
        acc[c] += up->NodeHeight;
        moved = true;
      }
  }
  return m;
}

void ComputeSpans(TTitleMatrix& M) {
  int cols = static_cast<int>(M[0].size());
  for (int L = static_cast<int>(M.size()) - 1; L >= 0; --L)
    for (int c = 0; c < cols; ++c) {
      auto& cell = M[L][c];
      if (cell.Node < 0) continue;
      int rs = 1, cs = 1;
      for (int r = L - 1; r >= 0 && M[r][c].Node == cell.Node; --r, ++rs) M[r][c].Node = -1;
      for (int k = c + 1; k < cols && M[L][k].Node == cell.Node; ++k, ++cs) M[L][k].Node = -1;
      for (int r = L - 1; r > L - rs; --r)
        for (int k = c + 1; k < c + cs; ++k) M[r][k].Node = -1;
      cell.RowSpan = rs;
      cell.ColSpan = cs;
    }
}

// Left, top, right, bottom of every cell: all four minus what a merged area takes away.
std::vector<std::vector<std::array<bool, 4>>> TitleBorders(const TTitleMatrix& M) {
  std::vector<std::vector<std::array<bool, 4>>> b(M.size(), std::vector<std::array<bool, 4>>(M[0].size(), {true, true, true, true}));
  for (int L = 0; L < static_cast<int>(M.size()); ++L)
    for (int c = 0; c < static_cast<int>(M[L].size()); ++c) {
      const auto& cell = M[L][c];
      if (cell.Node < 0 || (cell.RowSpan == 1 && cell.ColSpan == 1)) continue;
      int bottom = L - cell.RowSpan + 1, last = c + cell.ColSpan - 1;
      for (int r = bottom; r <= L; ++r)
        for (int k = c; k <= last; ++k) {
          if (k != c) b[r][k][0] = false;
          if (r != L) b[r][k][1] = false;
          if (k != last) b[r][k][2] = false;
          if (r != bottom) b[r][k][3] = false;
        }
    }
  return b;
}

}  // namespace

// ================================================================ the exporter

TDBGridEhExportAsRTF::TDBGridEhExportAsRTF() = default;
TDBGridEhExportAsRTF::~TDBGridEhExportAsRTF() = default;

void TDBGridEhExportAsRTF::ExportGridToStream(TStream* AStream, bool AllRecords) {
  FCache = std::make_unique<TMemoryStreamEh>();
  FCache->SetHalfMemoryDelta(32768);  // 64 KiB steps
  FColors = std::make_unique<TStringList>();
  FFonts = std::make_unique<TStringList>();
  struct TFree {
    TDBGridEhExportAsRTF* E;
    ~TFree() {
      E->FCache.reset();
      E->FColors.reset();
      E->FFonts.reset();
      E->FRgb.clear();
    }
  } freeTables{this};
  for (TColor c : {clBlack, clWhite, clBtnFace}) ColorIndex(c);
  TDBGridEhExport::ExportGridToStream(FCache.get(), AllRecords);
  SetStream(AStream);
  // A walk that exported nothing leaves nothing to write.
  if (FCache->Size() == 0) return;
  PutRtfLine("{\\rtf0\\ansi");
  String colors = "{\\colortbl";
  for (int i = 0; i < FColors->Count(); ++i) {
    COLORREF rgb = FRgb[static_cast<std::size_t>(i)];
    colors += Format("\\red%d\\green%d\\blue%d;", {int(rgb & 0xFF), int((rgb >> 8) & 0xFF), int((rgb >> 16) & 0xFF)});
  }
  PutRtfLine(colors + "}");
  String fonts = "{\\fonttbl";
  for (int i = 0; i < FFonts->Count(); ++i) fonts += "\\f" + IntToStr(i) + "\\fnil " + RtfEscaped(FFonts->Strings(i)) + ";";
  PutRtfLine(fonts + "}");
  AStream->WriteBuffer(FCache->Memory(), FCache->Size());
}

void TDBGridEhExportAsRTF::EmitSuffix() { PutRtf("}"); }

int TDBGridEhExportAsRTF::ColorIndex(TColor Color) {
  String key = ColorKey(Color);
  for (int i = 0; i < FColors->Count(); ++i)
    if (FColors->Strings(i) == key) return i;
  FRgb.push_back(ColorToRGB(Color));
  return FColors->Add(key);
}

int TDBGridEhExportAsRTF::FontIndex(const String& Name) {
  for (int i = 0; i < FFonts->Count(); ++i)
    if (AnsiCompareText(FFonts->Strings(i), Name) == 0) return i;
  return FFonts->Add(Name);
}

String TDBGridEhExportAsRTF::AlignmentWord(TAlignment Alignment) {
  switch (Alignment) {
    case taRightJustify: return "\\qr";
    case taCenter: return "\\qc";
    default: return "\\ql";
  }
}

void TDBGridEhExportAsRTF::PutStyledText(TFont* Font, const String& Text, TColor Background) {
  String s = "\\fs" + IntToStr(Font->Size() * 2);
  static const std::pair<TFontStyle, const char*> words[] = {
      {fsBold, "\\b"}, {fsItalic, "\\i"}, {fsStrikeOut, "\\strike"}, {fsUnderline, "\\ul"}};
  for (const auto& [style, word] : words)
    if (Font->Style().Contains(style)) s += word;
  s += "\\f" + IntToStr(FontIndex(Font->Name())) + "\\cf" + IntToStr(ColorIndex(Font->Color())) + "\\cb" +
       IntToStr(ColorIndex(Background)) + " " + RtfEscaped(Text);
  PutRtf(s);
}

void TDBGridEhExportAsRTF::EmitCellBorders(bool Left, bool Top, bool Right, bool Bottom) {
  const std::pair<bool, const char*> sides[] = {{Left, "\\clbrdrl"}, {Top, "\\clbrdrt"}, {Bottom, "\\clbrdrb"}, {Right, "\\clbrdrr"}};
  for (const auto& [set, word] : sides)
    if (set) PutRtfLine(String(word) + "\\brdrs\\brdrcf0");
}

int TDBGridEhExportAsRTF::PixelsPerInch() const { return DBGrid()->Font()->PixelsPerInch(); }

std::vector<int> TDBGridEhExportAsRTF::CellEdges(TColumnsEhList* Columns) const {
  std::vector<int> edges;
  int right = 0;
  for (int i = 0; i < Columns->Count(); ++i) {
    right += static_cast<int>(std::lround(Columns->Items(i)->Width() / double(PixelsPerInch()) * 1440));
    edges.push_back(right);
  }
  return edges;
}

void TDBGridEhExportAsRTF::BeginRow(TColumnsEhList* Columns, const std::vector<int>& Shading,
                                    const std::vector<std::array<bool, 4>>& Borders) {
  PutRtfLine("\\trowd\\trgaph40");
  std::vector<int> edges = CellEdges(Columns);
  for (std::size_t i = 0; i < edges.size(); ++i) {
    const auto& b = Borders[i];
    EmitCellBorders(b[0], b[1], b[2], b[3]);
    // The cell's own background; a pattern colour at full shading would print black.
    PutRtfLine("\\clcbpat" + IntToStr(Shading[i]) + "\\cellx" + IntToStr(edges[i]));
  }
  PutRtfLine("{\\trrh0");
}

void TDBGridEhExportAsRTF::EndRow() { PutRtfLine("\\pard\\intbl\\row}"); }

void TDBGridEhExportAsRTF::EmitRecord(TColumnsEhList* Columns) {
  std::vector<int> shading;
  TFont font;
  for (int i = 0; i < Columns->Count(); ++i) {
    TColumnEh* col = Columns->Items(i);
    font.Assign(col->Font());
    TColor bg = col->Color();
    if (DBGrid()->OnGetCellParams) DBGrid()->OnGetCellParams(DBGrid(), col, &font, bg, TGridDrawState());
    shading.push_back(ColorIndex(bg));
  }
  BeginRow(Columns, shading, std::vector<std::array<bool, 4>>(Columns->Count(), {true, true, true, true}));
  TDBGridEhExport::EmitRecord(Columns);
  EndRow();
}

void TDBGridEhExportAsRTF::EmitDataCell(TColumnEh*, TColCellParamsEh* Params) {
  PutRtf("\\pard\\intbl{" + AlignmentWord(Params->Alignment()) + "\\sb" + Spacing() + "\\sa" + Spacing());
  PutStyledText(Params->Font(), Params->Text(), Params->Background());
  PutRtfLine("\\cell}");
}

void TDBGridEhExportAsRTF::EmitFooter(TColumnsEhList* Columns, int FooterNo) {
  std::vector<int> shading;
  TFont font;
  for (int c = 0; c < Columns->Count(); ++c) {
    TColumnEh* col = Columns->Items(c);
    TColumnFooterEh* footer = col->FooterAt(FooterNo);
    font.Assign(footer->Font());
    TColor bg = footer->Color();
    TAlignment align = footer->Alignment();
    String text = FooterText(col, FooterNo, c);
    DBGrid()->FireGetFooterParams(col->Index(), FooterNo, col, &font, bg, align, TGridDrawState(), text);
    shading.push_back(ColorIndex(bg));
  }
  BeginRow(Columns, shading, std::vector<std::array<bool, 4>>(Columns->Count(), {true, true, true, true}));
  TDBGridEhExport::EmitFooter(Columns, FooterNo);
  EndRow();
}

void TDBGridEhExportAsRTF::EmitFooterCell(int, int, const String& Text, TAlignment Alignment, TColor Background,
                                          TFont* Font, TColumnEh*) {
  PutRtf("\\pard\\intbl{" + AlignmentWord(Alignment) + "\\sb" + Spacing() + "\\sa" + Spacing());
  PutStyledText(Font, Text, Background);
  PutRtfLine("\\cell}");
}

void TDBGridEhExportAsRTF::EmitTitle(TColumnsEhList* Columns) {
  if (Columns->Count() == 0) return;
  if (DBGrid()->UseMultiTitle()) EmitMultiTitle(Columns);
  else EmitSingleTitle(Columns);
}

void TDBGridEhExportAsRTF::EmitSingleTitle(TColumnsEhList* Columns) {
  std::vector<int> shading;
  for (int i = 0; i < Columns->Count(); ++i) shading.push_back(ColorIndex(Columns->Items(i)->Title()->Color()));
  BeginRow(Columns, shading, std::vector<std::array<bool, 4>>(Columns->Count(), {true, true, true, true}));
  for (int i = 0; i < Columns->Count(); ++i) {
    TColumnTitleEh* t = Columns->Items(i)->Title();
    PutRtf("\\pard\\intbl{" + AlignmentWord(t->Alignment()) + "\\sb" + Spacing() + "\\sa" + Spacing());
    PutStyledText(t->Font(), t->Caption(), t->Color());
    PutRtfLine("\\cell}");
  }
  EndRow();
}

void TDBGridEhExportAsRTF::EmitMultiTitle(TColumnsEhList* Columns) {
  String n = IntToStr(std::abs(static_cast<int>(
      std::lround(DBGrid()->VTitleMargin() / 2.0 / PixelsPerInch() * 1440 - 20))));
  TTitleTree tree(DBGrid());
  std::vector<THeadTreeNode*> nodes;
  TTitleMatrix m = BuildTitleMatrix(tree, Columns, nodes);
  ComputeSpans(m);
  auto borders = TitleBorders(m);
  for (int L = static_cast<int>(m.size()) - 1; L >= 0; --L) {
    std::vector<int> shading;
    for (int c = 0; c < Columns->Count(); ++c) {
      TColor bg = L > 0 ? DBGrid()->FixedColor() : Columns->Items(c)->Title()->Color();
      shading.push_back(ColorIndex(bg));
    }
    BeginRow(Columns, shading, borders[L]);
    for (int c = 0; c < Columns->Count(); ++c) {
      TColumnTitleEh* t = Columns->Items(c)->Title();
      TFont* font = L > 0 ? DBGrid()->TitleFont() : t->Font();
      TColor bg = L > 0 ? DBGrid()->FixedColor() : t->Color();
      const auto& cell = m[L][c];
      PutRtf("\\pard\\intbl{\\qc" + (cell.Node >= 0 ? "\\sb" + n + "\\sa" + n : String()));
      PutStyledText(font, cell.Node >= 0 ? cell.Text : String(), bg);
      PutRtfLine("\\cell}");
    }
    EndRow();
  }
}
