// The graphics module through compiled PascalScript programs: colours and enumerations,
// drawing on bitmaps, pictures and metafiles, and objects the script may not free.
#include "ScriptTestUtil.h"
#include "core/StringList.h"

namespace {

String Joined() {
  String s;
  for (const Variant& v : ScriptTestEmitted()) s += (s.empty() ? "" : "|") + VarToStr(v);
  return s;
}

String RunScript(const String& Source) {
  auto s = NewTestScript();
  ScriptTestEmitted().clear();
  s->Lines()->SetText(Source);
  if (!s->CompileSource()) return "error: " + s->CompileError() + " at " + s->CompileErrorPos();
  try {
    s->RunProgram();
  } catch (const Exception& e) {
    return "raised: " + e.Message() + (Joined().empty() ? String() : " after " + Joined());
  }
  return Joined();
}

struct TCase {
  const char* Source;
  const char* Expect;
};

void RunTable(std::initializer_list<TCase> Cases) {
  for (const TCase& c : Cases) EXPECT_EQ(RunScript(c.Source), c.Expect) << c.Source;
}

}  // namespace

TEST(ScriptGraphics, ColoursAndEnumerations) {
  RunTable({
      {"begin Emit(clRed); Emit(clBlue); Emit(clBtnFace); Emit(clNone); Emit(clDefault); Emit(clMedGray) end.",
       "255|16711680|-16777201|536870911|536870912|10789024"},
      {"begin Emit(fsBold + fsItalic); Emit(psDot); Emit(pmXor); Emit(bsClear); Emit(fpFixed) end.", "3|2|14|1|2"},
  });
}

TEST(ScriptGraphics, DrawingOnBitmaps) {
  RunTable({
      {"var b: TBitmap; begin b := TBitmap.Create; b.Width := 10; b.Height := 10; b.Canvas.Brush.Color := clRed;"
       " b.Canvas.Pen.Color := clBlue; b.Canvas.Rectangle(0, 0, 10, 10); Emit(b.Canvas.Pixels[5, 5]);"
       " Emit(b.Canvas.Pixels[0, 0]); b.Canvas.Pixels[5, 5] := clLime; Emit(b.Canvas.Pixels[5, 5]); b.Free end.",
       "255|16711680|65280"},
      // A 2 by 2 bitmap stretched over 100 by 50 pixels.
      {"var a, b: TBitmap; begin a := TBitmap.Create; a.Width := 2; a.Height := 2; a.Canvas.Brush.Color := clRed;"
       " a.Canvas.Pen.Color := clRed; a.Canvas.Rectangle(0, 0, 2, 2); b := TBitmap.Create; b.Width := 120; b.Height := 60;"
       " b.Canvas.Brush.Color := clWhite; b.Canvas.Rectangle(-1, -1, 121, 61); b.Canvas.StretchDraw(0, 0, 100, 50, a);"
       " Emit(b.Canvas.Pixels[99, 49]); Emit(b.Canvas.Pixels[100, 50]); b.Canvas.Draw(110, 0, a);"
       " Emit(b.Canvas.Pixels[111, 1]); Emit(b.Canvas.Pixels[112, 2]); a.Free; b.Free end.",
       "255|16777215|255|16777215"},
      {"var b: TBitmap; begin b := TBitmap.Create; b.Width := 50; b.Height := 20; Emit(b.Canvas.TextWidth('') = 0);"
       " Emit(b.Canvas.TextWidth('WWW') > b.Canvas.TextWidth('W')); Emit(b.Canvas.TextHeight('W') > 0);"
       " b.Canvas.MoveTo(0, 0); b.Canvas.LineTo(10, 0); b.Canvas.Ellipse(0, 0, 10, 10);"
       " b.Canvas.RoundRect(0, 0, 20, 10, 4, 4); b.Canvas.TextOut(0, 0, 'x'); b.Free end.",
       "True|True|True"},
      {"var c: TCanvas; begin c := TCanvas.Create; try c.Rectangle(0, 0, 1, 1) finally c.Free end end.",
       "raised: Canvas does not allow drawing"},
  });
}

TEST(ScriptGraphics, PicturesMetafilesAndOwnership) {
  RunTable({
      {"var p: TPicture; begin p := TPicture.Create; Emit(p.Width); try p.LoadFromFile('x.xyz') finally"
       " Emit(p.Width); p.Free end end.",
       "raised: Unknown picture file extension (.xyz) after 0|0"},
      {"var g: TGraphic; begin g := TGraphic.Create end.",
       "raised: Cannot create an instance of the abstract class TGraphic"},
      {"var m: TMetafile; c: TMetafileCanvas; begin m := TMetafile.Create; c := TMetafileCanvas.Create(m, 0);"
       " c.Rectangle(0, 0, 40, 30); c.Free; Emit(m.Width > 0); m.Free end.",
       "True"},
      {"var m: TMetafile; begin m := TMetafile.Create; try TMetafileCanvas.Create(m, 5) finally m.Free end end.",
       "raised: Unknown reference device"},
      // What another object owns is not the script's to free; what it made is.
      {"var b: TBitmap; begin b := TBitmap.Create; try b.Canvas.Free finally b.Free end end.",
       "raised: Cannot free a TCanvas that belongs to another object"},
      {"var b: TBitmap; begin b := TBitmap.Create; try b.Canvas.Font.Free finally b.Free end end.",
       "raised: Cannot free a TFont that belongs to another object"},
      {"var f: TFont; p: TPen; r: TBrush; begin f := TFont.Create; p := TPen.Create; r := TBrush.Create;"
       " f.Size := 12; Emit(f.Size); f.Free; p.Free; r.Free end.",
       "12"},
  });
}
