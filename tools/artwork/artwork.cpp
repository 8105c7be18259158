// artwork: draws the program's bitmaps and icons from a text description.
//
//   artwork.exe DESCRIPTION OUTDIR
//
// The description (faces.txt) lists every output file, the faces of every
// image list, the pictures and the pictograms; see the comment at the top of
// faces.txt for its line format. Everything is drawn with GDI into 32-bit DIB
// sections: shapes are rendered with 4x4 (pictograms) or 8x8 (rounded boxes)
// supersampling for smooth edges, text is drawn by GDI directly so small words
// stay crisp at 100%. Outputs are 24-bit BMP files, 32-bit ICO files, and a
// contact sheet (contact.bmp) that shows every image with its index.
//
// A word that does not fit its face, an unknown name or a malformed line stops
// the run with the file and line, so a broken description never produces a
// half-updated set.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// ---------------------------------------------------------------- errors

struct Failure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

std::string g_where;  // "file:line" of the line being worked on

[[noreturn]] void fail(const std::string& msg) {
  throw Failure(g_where.empty() ? msg : g_where + ": " + msg);
}

// ---------------------------------------------------------------- colours

struct Colour {
  float r = 0, g = 0, b = 0;
};

std::map<std::string, Colour> g_colours;

Colour parseColour(const std::string& s) {
  auto it = g_colours.find(s);
  if (it != g_colours.end()) return it->second;
  Colour c;
  if (s.size() == 7 && s[0] == '#') {
    char* end = nullptr;
    unsigned long v = std::strtoul(s.c_str() + 1, &end, 16);
    if (*end) fail("bad colour '" + s + "'");
    c.r = float((v >> 16) & 255);
    c.g = float((v >> 8) & 255);
    c.b = float(v & 255);
    return c;
  }
  int r, g, b;
  char tail;
  if (std::sscanf(s.c_str(), "%d,%d,%d%c", &r, &g, &b, &tail) == 3) {
    c.r = float(r);
    c.g = float(g);
    c.b = float(b);
    return c;
  }
  fail("unknown colour '" + s + "'");
}

Colour lerp(const Colour& a, const Colour& b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// Colour at t (0..1) of evenly spaced stops.
Colour ramp(const std::vector<Colour>& stops, float t) {
  if (stops.size() == 1) return stops[0];
  if (t <= 0) return stops.front();
  if (t >= 1) return stops.back();
  float pos = t * float(stops.size() - 1);
  size_t i = size_t(pos);
  if (i >= stops.size() - 1) return stops.back();
  return lerp(stops[i], stops[i + 1], pos - float(i));
}

COLORREF toRef(const Colour& c) {
  return RGB(int(c.r + 0.5f), int(c.g + 0.5f), int(c.b + 0.5f));
}

// ---------------------------------------------------------------- numbers

double num(const std::string& s) {
  char* end = nullptr;
  double v = std::strtod(s.c_str(), &end);
  if (s.empty() || *end) fail("'" + s + "' is not a number");
  return v;
}

int inum(const std::string& s) { return int(std::lround(num(s))); }

// ---------------------------------------------------------------- canvas

// A 32-bit top-down DIB section with a memory DC, so GDI and direct pixel
// work share one buffer. Pixels are B, G, R, A bytes. Opaque canvases ignore
// the alpha byte (GDI text writes 0 there); transparent canvases (icons) keep
// straight, non-premultiplied alpha and are never drawn on by GDI.
class Canvas {
 public:
  Canvas(int w, int h, bool transparent) : w_(w), h_(h), transparent_(transparent) {
    if (w <= 0 || h <= 0 || w > 8192 || h > 8192) fail("bad picture size");
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bmp_ = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bmp_) fail("CreateDIBSection failed");
    px_ = static_cast<uint8_t*>(bits);
    std::memset(px_, 0, size_t(w) * size_t(h) * 4);
    dc_ = CreateCompatibleDC(nullptr);
    old_ = SelectObject(dc_, bmp_);
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
    DeleteObject(bmp_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  int w() const { return w_; }
  int h() const { return h_; }
  bool transparent() const { return transparent_; }
  HDC dc() const { return dc_; }
  uint8_t* at(int x, int y) {
    GdiFlush();
    return px_ + (size_t(y) * size_t(w_) + size_t(x)) * 4;
  }
  const uint8_t* at(int x, int y) const {
    GdiFlush();
    return px_ + (size_t(y) * size_t(w_) + size_t(x)) * 4;
  }

  // Lays colour c with coverage a (0..1) over the pixel.
  void blend(int x, int y, const Colour& c, float a) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_ || a <= 0) return;
    if (a > 1) a = 1;
    uint8_t* p = at(x, y);
    if (!transparent_) {
      p[0] = uint8_t(p[0] + (c.b - p[0]) * a + 0.5f);
      p[1] = uint8_t(p[1] + (c.g - p[1]) * a + 0.5f);
      p[2] = uint8_t(p[2] + (c.r - p[2]) * a + 0.5f);
      p[3] = 255;
      return;
    }
    float da = p[3] / 255.0f;
    float oa = a + da * (1 - a);
    if (oa <= 0) return;
    auto mix = [&](float src, uint8_t dst) {
      return uint8_t((src * a + dst * da * (1 - a)) / oa + 0.5f);
    };
    p[0] = mix(c.b, p[0]);
    p[1] = mix(c.g, p[1]);
    p[2] = mix(c.r, p[2]);
    p[3] = uint8_t(oa * 255 + 0.5f);
  }

  void set(int x, int y, const Colour& c) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
    uint8_t* p = at(x, y);
    p[0] = uint8_t(c.b + 0.5f);
    p[1] = uint8_t(c.g + 0.5f);
    p[2] = uint8_t(c.r + 0.5f);
    p[3] = 255;
  }

  Colour get(int x, int y) const {
    const uint8_t* p = at(x, y);
    return {float(p[2]), float(p[1]), float(p[0])};
  }
  float alpha(int x, int y) const { return at(x, y)[3] / 255.0f; }

  // Copies a w x h block of src at (sx, sy) to (dx, dy), opaque.
  void copyFrom(const Canvas& src, int sx, int sy, int w, int h, int dx, int dy) {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        int X = sx + x, Y = sy + y;
        if (X < 0 || Y < 0 || X >= src.w() || Y >= src.h()) fail("copied block lies outside its source");
        set(dx + x, dy + y, src.get(X, Y));
      }
  }

 private:
  int w_, h_;
  bool transparent_;
  HBITMAP bmp_ = nullptr;
  HDC dc_ = nullptr;
  HGDIOBJ old_ = nullptr;
  uint8_t* px_ = nullptr;
};

// ---------------------------------------------------------------- shapes

// Coverage of a rounded rectangle (x, y, w, h, radius r) at pixel (px, py),
// by 8x8 supersampling.
float roundCoverage(double x, double y, double w, double h, double r, int px, int py) {
  if (r * 2 > w) r = w / 2;
  if (r * 2 > h) r = h / 2;
  const int n = 8;
  int inside = 0;
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i) {
      double sx = px + (i + 0.5) / n, sy = py + (j + 0.5) / n;
      if (sx < x || sy < y || sx > x + w || sy > y + h) continue;
      double cx = sx < x + r ? x + r : (sx > x + w - r ? x + w - r : sx);
      double cy = sy < y + r ? y + r : (sy > y + h - r ? y + h - r : sy);
      double dx = sx - cx, dy = sy - cy;
      if (dx * dx + dy * dy <= r * r) ++inside;
    }
  return float(inside) / float(n * n);
}

// Calls f(px, py, coverage) for every pixel touched by the rounded rectangle.
template <class F>
void forRound(Canvas& c, double x, double y, double w, double h, double r, F f) {
  int x0 = std::max(0, int(std::floor(x))), y0 = std::max(0, int(std::floor(y)));
  int x1 = std::min(c.w(), int(std::ceil(x + w))), y1 = std::min(c.h(), int(std::ceil(y + h)));
  for (int py = y0; py < y1; ++py)
    for (int px = x0; px < x1; ++px) {
      float a = roundCoverage(x, y, w, h, r, px, py);
      if (a > 0) f(px, py, a);
    }
}

void fillRound(Canvas& c, double x, double y, double w, double h, double r, const std::vector<Colour>& stops,
               bool horizontal = false) {
  forRound(c, x, y, w, h, r, [&](int px, int py, float a) {
    float t = horizontal ? float((px + 0.5 - x) / w) : float((py + 0.5 - y) / h);
    c.blend(px, py, ramp(stops, t), a);
  });
}

// A one-pixel outline along the inside of the rounded rectangle.
void frameRound(Canvas& c, double x, double y, double w, double h, double r, const Colour& col, float alpha = 1) {
  forRound(c, x, y, w, h, r, [&](int px, int py, float a) {
    float inner = roundCoverage(x + 1, y + 1, w - 2, h - 2, std::max(0.0, r - 1), px, py);
    c.blend(px, py, col, (a - inner) * alpha);
  });
}

// White (or any colour) laid over the top half of the shape, alpha a0 at the
// top fading to a1 at the middle: the glass highlight of a button.
void glossRound(Canvas& c, double x, double y, double w, double h, double r, float a0, float a1, const Colour& col) {
  forRound(c, x, y, w, h / 2, std::min(r, h / 2), [&](int px, int py, float a) {
    float full = roundCoverage(x, y, w, h, r, px, py);
    float t = float((py + 0.5 - y) / (h / 2));
    c.blend(px, py, col, std::min(a, full) * (a0 + (a1 - a0) * t));
  });
}

// ---------------------------------------------------------------- fonts

struct FontDef {
  std::string face;
  int px = 11;
  bool bold = false, italic = false, underline = false, aa = false;
  int heavy = 0;  // extra pixels of stroke, added by overstriking
  HFONT handle = nullptr;
};
std::map<std::string, FontDef> g_fonts;

FontDef& font(const std::string& name) {
  auto it = g_fonts.find(name);
  if (it == g_fonts.end()) fail("unknown font '" + name + "'");
  return it->second;
}

HFONT makeFont(FontDef& f) {
  if (f.handle) return f.handle;
  f.handle = CreateFontA(-f.px, 0, 0, 0, f.bold ? FW_BOLD : FW_NORMAL, f.italic, FALSE, FALSE, ANSI_CHARSET,
                         OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, f.aa ? ANTIALIASED_QUALITY : NONANTIALIASED_QUALITY,
                         DEFAULT_PITCH | FF_DONTCARE, f.face.c_str());
  if (!f.handle) fail("cannot create font " + f.face);
  // A missing face would silently become another font: refuse that.
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, f.handle);
  char got[LF_FACESIZE] = {};
  GetTextFaceA(dc, LF_FACESIZE, got);
  SelectObject(dc, old);
  DeleteDC(dc);
  if (lstrcmpiA(got, f.face.c_str()) != 0) fail("font '" + f.face + "' is not installed (got '" + got + "')");
  return f.handle;
}

// Where a line of text really puts ink, measured by drawing it: Wine's
// advance widths for small hinted Tahoma run a few pixels past the glyphs,
// which would push centred words off centre and underlines past the word.
struct Ink {
  int left = 0, right = 0;  // inked columns [left, right) relative to the start x
  int height = 0, ascent = 0;
  int width() const { return right - left; }
};

Ink measure(FontDef& f, const std::string& s) {
  static std::map<std::pair<const FontDef*, std::string>, Ink> cache;
  auto key = std::make_pair(&f, s);
  auto it = cache.find(key);
  if (it != cache.end()) return it->second;
  HDC probe = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(probe, makeFont(f));
  SIZE sz{};
  GetTextExtentPoint32A(probe, s.c_str(), int(s.size()), &sz);
  TEXTMETRICA tm{};
  GetTextMetricsA(probe, &tm);
  SelectObject(probe, old);
  DeleteDC(probe);
  Ink ink;
  ink.height = tm.tmHeight;
  ink.ascent = tm.tmAscent;
  int pad = tm.tmHeight + 4;
  Canvas c(sz.cx + 2 * pad + 1, tm.tmHeight + 1, false);
  HGDIOBJ o2 = SelectObject(c.dc(), makeFont(f));
  SetBkMode(c.dc(), TRANSPARENT);
  SetTextColor(c.dc(), RGB(255, 255, 255));
  SetTextAlign(c.dc(), TA_LEFT | TA_TOP | TA_NOUPDATECP);
  TextOutA(c.dc(), pad, 0, s.c_str(), int(s.size()));
  SelectObject(c.dc(), o2);
  GdiFlush();
  int first = -1, last = -1;
  for (int x = 0; x < c.w(); ++x)
    for (int y = 0; y < c.h(); ++y)
      if (c.at(x, y)[2] > 40) {
        if (first < 0) first = x;
        last = x;
        break;
      }
  if (first >= 0) {
    ink.left = first - pad;
    ink.right = last + 1 + f.heavy - pad;
  }
  cache[key] = ink;
  return ink;
}

// Draws one line of text with its top-left at (x, y) and returns the right
// edge of its ink. An underlined font gets its line drawn here, under the ink.
int drawText(Canvas& c, FontDef& f, const Colour& col, int x, int y, const std::string& s) {
  if (f.heavy > 0) {
    // Wine's Tahoma Bold is bold only in its small bitmap sizes; larger
    // headings get their weight by spreading the glyph coverage sideways,
    // as GDI's own simulated bold does.
    Ink ink = measure(f, s);
    int pad = ink.height + 4;
    Canvas m(ink.right + 2 * pad, ink.height + 1, false);
    HGDIOBJ o = SelectObject(m.dc(), makeFont(f));
    SetBkMode(m.dc(), TRANSPARENT);
    SetTextColor(m.dc(), RGB(255, 255, 255));
    SetTextAlign(m.dc(), TA_LEFT | TA_TOP | TA_NOUPDATECP);
    TextOutA(m.dc(), pad, 0, s.c_str(), int(s.size()));
    SelectObject(m.dc(), o);
    GdiFlush();
    for (int py = 0; py < m.h(); ++py)
      for (int px = 0; px < m.w(); ++px) {
        int best = 0;
        for (int k = 0; k <= f.heavy && px - k >= 0; ++k) best = std::max<int>(best, m.at(px - k, py)[2]);
        if (best) c.blend(x + px - pad, y + py, col, best / 255.0f);
      }
    if (f.underline)
      for (int u = x + ink.left; u < x + ink.right; ++u) c.blend(u, y + ink.ascent + 1, col, 1);
    return x + ink.right;
  }
  HDC dc = c.dc();
  HGDIOBJ old = SelectObject(dc, makeFont(f));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, toRef(col));
  SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
  TextOutA(dc, x, y, s.c_str(), int(s.size()));
  SelectObject(dc, old);
  GdiFlush();
  Ink ink = measure(f, s);
  if (f.underline)
    for (int u = x + ink.left; u < x + ink.right; ++u) c.blend(u, y + ink.ascent + 1, col, 1);
  return x + ink.right;
}

// ---------------------------------------------------------------- pictograms

// A pictogram is a list of shapes on a 16 x 16 grid. Each shape is rendered
// on its own as a coverage mask (4x supersampled, GDI white on black) and laid
// over the target in its colour, or in a vertical gradient across the
// shape's own height.
struct PictOp {
  std::string kind;  // disc ring oval ovalring box boxframe poly line arc use
  std::vector<double> v;
  std::vector<Colour> colours;  // one colour or gradient stops
  double width = 1;             // pen width in grid units
  float alpha = 1;
  std::string ref;  // for "use"
};

struct Pictogram {
  std::vector<PictOp> ops;
};
std::map<std::string, Pictogram> g_picts;

struct Xform {
  double ox = 0, oy = 0, s = 1;  // grid point p maps to p * s + o (grid units)
};

class Scratch {
 public:
  explicit Scratch(int size) : c(size, size, false) {}
  Canvas c;
};

void renderOp(Canvas& dst, int X, int Y, int size, const PictOp& op, const Xform& xf, float alpha, int depth);

void renderPict(Canvas& dst, int X, int Y, int size, const std::string& name, const Xform& xf = {}, float alpha = 1,
                int depth = 0) {
  if (depth > 8) fail("pictogram '" + name + "' uses itself");
  auto it = g_picts.find(name);
  if (it == g_picts.end()) fail("unknown pictogram '" + name + "'");
  for (const PictOp& op : it->second.ops) renderOp(dst, X, Y, size, op, xf, alpha, depth);
}

void renderOp(Canvas& dst, int X, int Y, int size, const PictOp& op, const Xform& xf, float alpha, int depth) {
  if (op.kind == "use") {
    Xform inner{xf.ox + op.v[0] * xf.s, xf.oy + op.v[1] * xf.s, xf.s * op.v[2]};
    renderPict(dst, X, Y, size, op.ref, inner, alpha * op.alpha, depth + 1);
    return;
  }
  const int ss = 4;
  const int n = size * ss;
  const double k = double(n) / 16.0;  // supersample pixels per grid unit
  auto P = [&](double gx, double gy) {
    POINT p{LONG(std::lround((gx * xf.s + xf.ox) * k)), LONG(std::lround((gy * xf.s + xf.oy) * k))};
    return p;
  };
  auto L = [&](double g) { return LONG(std::lround(g * xf.s * k)); };

  Scratch sc(n);
  HDC dc = sc.c.dc();
  HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
  LOGBRUSH lb{BS_SOLID, RGB(255, 255, 255), 0};
  HPEN pen = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_ROUND | PS_JOIN_ROUND,
                          DWORD(std::max<LONG>(1, L(op.width))), &lb, 0, nullptr);
  HGDIOBJ oldB = SelectObject(dc, GetStockObject(NULL_BRUSH));
  HGDIOBJ oldP = SelectObject(dc, GetStockObject(NULL_PEN));
  SetPolyFillMode(dc, WINDING);
  const std::vector<double>& v = op.v;
  auto need = [&](size_t count) {
    if (v.size() < count) fail("pictogram shape '" + op.kind + "' needs " + std::to_string(count) + " numbers");
  };
  auto ellipse = [&](double cx, double cy, double rx, double ry) {
    POINT a = P(cx - rx, cy - ry), b = P(cx + rx, cy + ry);
    Ellipse(dc, a.x, a.y, b.x, b.y);
  };
  if (op.kind == "disc" || op.kind == "oval") {
    SelectObject(dc, white);
    if (op.kind == "disc") {
      need(3);
      ellipse(v[0], v[1], v[2], v[2]);
    } else {
      need(4);
      ellipse(v[0], v[1], v[2], v[3]);
    }
  } else if (op.kind == "ring" || op.kind == "ovalring") {
    SelectObject(dc, pen);
    if (op.kind == "ring") {
      need(3);
      ellipse(v[0], v[1], v[2], v[2]);
    } else {
      need(4);
      ellipse(v[0], v[1], v[2], v[3]);
    }
  } else if (op.kind == "box" || op.kind == "boxframe") {
    need(4);
    SelectObject(dc, op.kind == "box" ? HGDIOBJ(white) : HGDIOBJ(pen));
    POINT a = P(v[0], v[1]), b = P(v[0] + v[2], v[1] + v[3]);
    double r = v.size() > 4 ? v[4] : 0;
    if (r > 0)
      RoundRect(dc, a.x, a.y, b.x, b.y, L(r * 2), L(r * 2));
    else
      Rectangle(dc, a.x, a.y, b.x, b.y);
  } else if (op.kind == "poly" || op.kind == "line") {
    if (v.size() < 4 || v.size() % 2) fail("pictogram '" + op.kind + "' needs pairs of x,y");
    std::vector<POINT> pts;
    for (size_t i = 0; i + 1 < v.size(); i += 2) pts.push_back(P(v[i], v[i + 1]));
    if (op.kind == "poly") {
      SelectObject(dc, white);
      Polygon(dc, pts.data(), int(pts.size()));
    } else {
      SelectObject(dc, pen);
      Polyline(dc, pts.data(), int(pts.size()));
    }
  } else if (op.kind == "arc") {
    need(5);
    SelectObject(dc, pen);
    const double pi = 3.14159265358979323846;
    double a0 = v[3] * pi / 180;
    POINT c = P(v[0], v[1]);
    double r = v[2] * xf.s * k;
    MoveToEx(dc, LONG(std::lround(c.x + r * std::cos(a0))), LONG(std::lround(c.y - r * std::sin(a0))), nullptr);
    AngleArc(dc, c.x, c.y, DWORD(std::lround(r)), FLOAT(v[3]), FLOAT(v[4]));
  } else {
    fail("unknown pictogram shape '" + op.kind + "'");
  }
  SelectObject(dc, oldB);
  SelectObject(dc, oldP);
  DeleteObject(white);
  DeleteObject(pen);
  GdiFlush();

  // Coverage per target pixel, and the rows the shape spans for its gradient.
  std::vector<float> cov(size_t(size) * size_t(size), 0.0f);
  int top = size, bottom = -1;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      int sum = 0;
      for (int j = 0; j < ss; ++j)
        for (int i = 0; i < ss; ++i) sum += sc.c.at(x * ss + i, y * ss + j)[2];
      float a = float(sum) / float(255 * ss * ss);
      cov[size_t(y) * size_t(size) + size_t(x)] = a;
      if (a > 0) {
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
    }
  if (bottom < 0) return;
  for (int y = top; y <= bottom; ++y) {
    float t = bottom > top ? float(y - top) / float(bottom - top) : 0.0f;
    Colour col = ramp(op.colours, t);
    for (int x = 0; x < size; ++x) {
      float a = cov[size_t(y) * size_t(size) + size_t(x)];
      if (a > 0) dst.blend(X + x, Y + y, col, a * alpha * op.alpha);
    }
  }
}

// ---------------------------------------------------------------- tokens

// Splits a line into words; "quoted text" is one word (\" is a quote inside
// it), # starts a comment outside quotes.
std::vector<std::string> tokens(const std::string& line) {
  std::vector<std::string> out;
  size_t i = 0;
  while (i < line.size()) {
    char ch = line[i];
    if (ch == ' ' || ch == '\t' || ch == '\r') {
      ++i;
      continue;
    }
    // "# " (or a lone "#" at the end) starts a comment; "#1C3F7A" is a colour.
    if (ch == '#' && (i + 1 >= line.size() || line[i + 1] == ' ' || line[i + 1] == '\t')) break;
    if (ch == '"') {
      std::string s = "\"";  // a leading quote marks the word as text
      ++i;
      while (i < line.size() && line[i] != '"') {
        // Only \" and \\ are escapes, so Windows paths read as written.
        if (line[i] == '\\' && i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\')) ++i;
        s += line[i++];
      }
      if (i >= line.size()) fail("unclosed quote");
      ++i;
      out.push_back(s);
      continue;
    }
    std::string s;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') s += line[i++];
    out.push_back(s);
  }
  return out;
}

bool isText(const std::string& t) { return !t.empty() && t[0] == '"'; }
std::string text(const std::string& t) {
  if (!isText(t)) fail("expected \"text\", got '" + t + "'");
  return t.substr(1);
}

// key=value options after the fixed words of a line.
struct Options {
  std::map<std::string, std::string> kv;
  std::vector<std::string> flags;
  bool has(const std::string& k) const { return kv.count(k) != 0; }
  bool flag(const std::string& f) const {
    for (auto& x : flags)
      if (x == f) return true;
    return false;
  }
  std::string get(const std::string& k, const std::string& def = "") const {
    auto it = kv.find(k);
    return it == kv.end() ? def : it->second;
  }
};

Options options(const std::vector<std::string>& t, size_t from) {
  Options o;
  for (size_t i = from; i < t.size(); ++i) {
    size_t eq = t[i].find('=');
    if (eq == std::string::npos || isText(t[i]))
      o.flags.push_back(t[i]);
    else
      o.kv[t[i].substr(0, eq)] = t[i].substr(eq + 1);
  }
  return o;
}

// ---------------------------------------------------------------- styles

struct StateStyle {
  bool box = false;
  Colour border, top, bottom, inner, textCol, shadow;
  bool hasInner = false, hasShadow = false;
  float gloss = 0;
  int shift = 0;
};

struct Style {
  std::string layout = "row";  // row: pictogram left, word right; tile: pictogram above word
  int radius = 4;
  std::string fontName;
  int pictSize = 16, pictX = 6, pictY = 4;
  int textX = 28, textY = 0;
  std::string textAlign = "left";
  StateStyle st[3];  // idle, hover, down
};
std::map<std::string, Style> g_styles;

// ---------------------------------------------------------------- outputs

struct Output {
  std::string file;
  std::unique_ptr<Canvas> canvas;
  int imgW = 0, imgH = 0, count = 1;
  bool list = false, keyed = false, preview = false;
  Colour matte;  // keyed lists: what half-covered edge pixels are laid over
  std::vector<std::string> labels;  // per image, for the contact sheet
};
std::vector<std::unique_ptr<Output>> g_outputs;
std::map<std::string, Output*> g_byName;

Output& output(const std::string& name) {
  auto it = g_byName.find(name);
  if (it == g_byName.end()) fail("'" + name + "' is not made before this line");
  return *it->second;
}

void writeFile(const std::string& path, const std::vector<uint8_t>& data) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) fail("cannot write " + path);
  size_t n = std::fwrite(data.data(), 1, data.size(), f);
  if (std::fclose(f) != 0 || n != data.size()) fail("cannot write " + path);
}

void put16(std::vector<uint8_t>& d, unsigned v) {
  d.push_back(uint8_t(v));
  d.push_back(uint8_t(v >> 8));
}
void put32(std::vector<uint8_t>& d, uint32_t v) {
  put16(d, v & 0xFFFF);
  put16(d, v >> 16);
}

const Colour kKey{255, 0, 255};

// 24-bit bottom-up BMP. A keyed output turns pixels under half covered into
// the key colour and lays the rest over its matte colour.
void writeBmp(const std::string& path, const Canvas& c, bool keyed, const Colour& matte) {
  int w = c.w(), h = c.h();
  int stride = (w * 3 + 3) & ~3;
  std::vector<uint8_t> d;
  uint32_t imageSize = uint32_t(stride) * uint32_t(h);
  d.push_back('B');
  d.push_back('M');
  put32(d, 14 + 40 + imageSize);
  put32(d, 0);
  put32(d, 14 + 40);
  put32(d, 40);
  put32(d, uint32_t(w));
  put32(d, uint32_t(h));
  put16(d, 1);
  put16(d, 24);
  put32(d, BI_RGB);
  put32(d, imageSize);
  put32(d, 2835);
  put32(d, 2835);
  put32(d, 0);
  put32(d, 0);
  for (int y = h - 1; y >= 0; --y) {
    size_t rowStart = d.size();
    for (int x = 0; x < w; ++x) {
      Colour col = c.get(x, y);
      if (keyed) {
        float a = c.alpha(x, y);
        col = a < 0.5f ? kKey : lerp(matte, col, std::min(1.0f, a));
      }
      d.push_back(uint8_t(col.b + 0.5f));
      d.push_back(uint8_t(col.g + 0.5f));
      d.push_back(uint8_t(col.r + 0.5f));
    }
    while (d.size() - rowStart < size_t(stride)) d.push_back(0);
  }
  writeFile(path, d);
}

// ICO with one 32-bit image (alpha and AND mask) per canvas.
void writeIco(const std::string& path, const std::vector<const Canvas*>& imgs) {
  std::vector<uint8_t> d;
  put16(d, 0);
  put16(d, 1);
  put16(d, unsigned(imgs.size()));
  std::vector<std::vector<uint8_t>> bodies;
  for (const Canvas* c : imgs) {
    int w = c->w(), h = c->h();
    std::vector<uint8_t> b;
    int maskStride = ((w + 31) / 32) * 4;
    put32(b, 40);
    put32(b, uint32_t(w));
    put32(b, uint32_t(h * 2));
    put16(b, 1);
    put16(b, 32);
    put32(b, BI_RGB);
    put32(b, uint32_t(w * h * 4 + maskStride * h));
    put32(b, 0);
    put32(b, 0);
    put32(b, 0);
    put32(b, 0);
    for (int y = h - 1; y >= 0; --y)
      for (int x = 0; x < w; ++x) {
        const uint8_t* p = c->at(x, y);
        b.push_back(p[0]);
        b.push_back(p[1]);
        b.push_back(p[2]);
        b.push_back(p[3]);
      }
    for (int y = h - 1; y >= 0; --y) {
      std::vector<uint8_t> row(size_t(maskStride), 0);
      for (int x = 0; x < w; ++x)
        if (c->alpha(x, y) < 0.5f) row[size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
      b.insert(b.end(), row.begin(), row.end());
    }
    bodies.push_back(b);
  }
  uint32_t offset = uint32_t(6 + 16 * imgs.size());
  for (size_t i = 0; i < imgs.size(); ++i) {
    d.push_back(uint8_t(imgs[i]->w() >= 256 ? 0 : imgs[i]->w()));
    d.push_back(uint8_t(imgs[i]->h() >= 256 ? 0 : imgs[i]->h()));
    d.push_back(0);
    d.push_back(0);
    put16(d, 1);
    put16(d, 32);
    put32(d, uint32_t(bodies[i].size()));
    put32(d, offset);
    offset += uint32_t(bodies[i].size());
  }
  for (auto& b : bodies) d.insert(d.end(), b.begin(), b.end());
  writeFile(path, d);
}

// ---------------------------------------------------------------- faces

// Draws one button face over whatever the canvas already holds (the backdrop).
void drawFace(Canvas& c, const Style& s, int state, const std::string& pict, const std::string& word) {
  const StateStyle& st = s.st[state];
  int W = c.w(), H = c.h();
  double r = s.radius;
  if (st.box) {
    fillRound(c, 0, 0, W, H, r, {st.border});
    fillRound(c, 1, 1, W - 2, H - 2, std::max(0.0, r - 1), {st.top, st.bottom});
    if (st.gloss > 0) glossRound(c, 1, 1, W - 2, H - 2, std::max(0.0, r - 1), st.gloss, st.gloss * 0.25f, {255, 255, 255});
    if (st.hasInner) frameRound(c, 1, 1, W - 2, H - 2, std::max(0.0, r - 1), st.inner, 0.85f);
  }
  int d = st.shift;
  FontDef& f = font(s.fontName);
  std::vector<std::string> lines;
  {
    std::string cur;
    for (char ch : word) {
      if (ch == '|') {
        lines.push_back(cur);
        cur.clear();
      } else {
        cur += ch;
      }
    }
    lines.push_back(cur);
  }
  int lineH = measure(f, "Ag").height;
  if (s.layout == "row") {
    if (pict != "-") renderPict(c, s.pictX + d, (H - s.pictSize) / 2 + d, s.pictSize, pict);
    int total = lineH * int(lines.size());
    int y = (H - total) / 2 + d;
    for (auto& ln : lines) {
      Ink ink = measure(f, ln);
      int avail = W - s.textX - 3;
      if (ink.width() > avail)
        fail("the word \"" + ln + "\" is " + std::to_string(ink.width()) + " px wide, the face has room for " +
             std::to_string(avail));
      int x = s.textAlign == "center" ? s.textX + (avail - ink.width()) / 2 - ink.left : s.textX;
      if (st.hasShadow) drawText(c, f, st.shadow, x + d + 1, y + 1, ln);
      drawText(c, f, st.textCol, x + d, y, ln);
      y += lineH;
    }
  } else if (s.layout == "tile") {
    if (pict != "-") renderPict(c, (W - s.pictSize) / 2 + d, s.pictY + d, s.pictSize, pict);
    int y = s.textY + d;
    for (auto& ln : lines) {
      Ink ink = measure(f, ln);
      if (ink.width() > W - 4)
        fail("the word \"" + ln + "\" is " + std::to_string(ink.width()) + " px wide, the tile has room for " +
             std::to_string(W - 4));
      int x = (W - ink.width()) / 2 - ink.left;
      if (st.hasShadow) drawText(c, f, st.shadow, x + d + 1, y + 1, ln);
      drawText(c, f, st.textCol, x + d, y, ln);
      y += lineH;
    }
  } else {
    fail("unknown layout '" + s.layout + "'");
  }
}

// Fills the face canvas with its backdrop: a colour, or a block of a picture
// made earlier ("Image8.bmp@10,12").
void paintBackdrop(Canvas& c, const std::string& backdrop) {
  if (backdrop.empty()) return;
  size_t at = backdrop.find('@');
  if (at == std::string::npos) {
    Colour col = parseColour(backdrop);
    for (int y = 0; y < c.h(); ++y)
      for (int x = 0; x < c.w(); ++x) c.set(x, y, col);
    return;
  }
  Output& src = output(backdrop.substr(0, at));
  int x = 0, y = 0;
  if (std::sscanf(backdrop.c_str() + at + 1, "%d,%d", &x, &y) != 2) fail("bad backdrop '" + backdrop + "'");
  c.copyFrom(*src.canvas, x, y, c.w(), c.h(), 0, 0);
}

// ---------------------------------------------------------------- pictures

struct PictureState {
  int lastRight = 0;
};

// The window outline of a preview: everything outside the rounded rectangle
// is painted with the colour (the shape the window region cuts).
void paintOutside(Canvas& c, double x, double y, double w, double h, double r, const Colour& col) {
  for (int py = 0; py < c.h(); ++py)
    for (int px = 0; px < c.w(); ++px) {
      float a = roundCoverage(x, y, w, h, r, px, py);
      if (a < 1) c.blend(px, py, col, 1 - a);
    }
}

void pictureOp(Canvas& c, const std::vector<std::string>& t, PictureState& ps) {
  const std::string& op = t[0];
  auto need = [&](size_t n) {
    if (t.size() < n) fail("'" + op + "' needs " + std::to_string(n - 1) + " values");
  };
  auto stops = [&](size_t from, size_t to) {
    std::vector<Colour> v;
    for (size_t i = from; i < to; ++i) v.push_back(parseColour(t[i]));
    if (v.empty()) fail("'" + op + "' needs a colour");
    return v;
  };
  if (op == "fill") {
    need(2);
    Colour col = parseColour(t[1]);
    for (int y = 0; y < c.h(); ++y)
      for (int x = 0; x < c.w(); ++x) c.set(x, y, col);
  } else if (op == "rect") {
    need(6);
    fillRound(c, num(t[1]), num(t[2]), num(t[3]), num(t[4]), 0, {parseColour(t[5])});
  } else if (op == "vgrad" || op == "hgrad") {
    need(6);
    fillRound(c, num(t[1]), num(t[2]), num(t[3]), num(t[4]), 0, stops(5, t.size()), op == "hgrad");
  } else if (op == "vblend") {
    need(8);
    double x = num(t[1]), y = num(t[2]), w = num(t[3]), h = num(t[4]);
    Colour col = parseColour(t[5]);
    float a0 = float(num(t[6])), a1 = float(num(t[7]));
    forRound(c, x, y, w, h, 0, [&](int px, int py, float a) {
      float tt = float((py + 0.5 - y) / h);
      c.blend(px, py, col, a * (a0 + (a1 - a0) * tt));
    });
  } else if (op == "round") {
    need(7);
    fillRound(c, num(t[1]), num(t[2]), num(t[3]), num(t[4]), num(t[5]), {parseColour(t[6])});
  } else if (op == "roundgrad") {
    need(7);
    fillRound(c, num(t[1]), num(t[2]), num(t[3]), num(t[4]), num(t[5]), stops(6, t.size()));
  } else if (op == "frame") {
    need(7);
    float a = t.size() > 7 ? float(num(t[7])) : 1.0f;
    frameRound(c, num(t[1]), num(t[2]), num(t[3]), num(t[4]), num(t[5]), parseColour(t[6]), a);
  } else if (op == "gloss") {
    need(8);
    glossRound(c, num(t[1]), num(t[2]), num(t[3]), num(t[4]), num(t[5]), float(num(t[6])), float(num(t[7])),
               {255, 255, 255});
  } else if (op == "text") {
    // text X Y FONT COLOUR "words" [w=N h=N align=left|center|right wrap shadow=C]
    need(6);
    Options o = options(t, 6);
    FontDef& f = font(t[3]);
    Colour col = parseColour(t[4]);
    std::string s = text(t[5]);
    int x = t[1][0] == '+' ? ps.lastRight + inum(t[1].substr(1)) : inum(t[1]);
    int y = inum(t[2]);
    HDC dc = c.dc();
    if (o.has("w") || o.flag("wrap")) {
      int w = o.has("w") ? inum(o.get("w")) : c.w() - x;
      int h = o.has("h") ? inum(o.get("h")) : c.h() - y;
      UINT fl = DT_NOPREFIX | DT_NOCLIP;
      std::string al = o.get("align", "left");
      fl |= al == "center" ? DT_CENTER : al == "right" ? DT_RIGHT : DT_LEFT;
      fl |= o.flag("wrap") ? DT_WORDBREAK : DT_SINGLELINE;
      HGDIOBJ old = SelectObject(dc, makeFont(f));
      SetBkMode(dc, TRANSPARENT);
      RECT probe{x, y, x + w, y + h};
      DrawTextA(dc, s.c_str(), int(s.size()), &probe, fl | DT_CALCRECT);
      if (probe.right > x + w || probe.bottom > y + h)
        fail("the text \"" + s + "\" does not fit " + std::to_string(w) + "x" + std::to_string(h));
      if (o.has("shadow")) {
        SetTextColor(dc, toRef(parseColour(o.get("shadow"))));
        RECT rs{x + 1, y + 1, x + w + 1, y + h + 1};
        DrawTextA(dc, s.c_str(), int(s.size()), &rs, fl);
      }
      SetTextColor(dc, toRef(col));
      RECT rc{x, y, x + w, y + h};
      DrawTextA(dc, s.c_str(), int(s.size()), &rc, fl);
      SelectObject(dc, old);
      GdiFlush();
      ps.lastRight = x + w;
    } else {
      if (x + measure(f, s).right > c.w()) fail("the text \"" + s + "\" runs past the right edge");
      if (o.has("shadow")) drawText(c, f, parseColour(o.get("shadow")), x + 1, y + 1, s);
      ps.lastRight = drawText(c, f, col, x, y, s);
    }
  } else if (op == "pict") {
    need(5);
    Options o = options(t, 5);
    renderPict(c, inum(t[2]), inum(t[3]), inum(t[4]), t[1], {}, float(num(o.get("alpha", "1"))));
  } else if (op == "place") {
    // place FILE[#INDEX] X Y
    need(4);
    std::string name = t[1];
    int index = 0;
    size_t hash = name.find('#');
    if (hash != std::string::npos) {
      index = inum(name.substr(hash + 1));
      name = name.substr(0, hash);
    }
    Output& src = output(name);
    if (index < 0 || index >= src.count) fail("no image " + std::to_string(index) + " in " + name);
    int X = inum(t[2]), Y = inum(t[3]);
    for (int y = 0; y < src.imgH; ++y)
      for (int x = 0; x < src.imgW; ++x) {
        int sx = index * src.imgW + x;
        if (src.keyed)
          c.blend(X + x, Y + y, src.canvas->get(sx, y), src.canvas->alpha(sx, y));
        else
          c.set(X + x, Y + y, src.canvas->get(sx, y));
      }
  } else if (op == "outside") {
    need(7);
    paintOutside(c, num(t[1]), num(t[2]), num(t[3]), num(t[4]), num(t[5]), parseColour(t[6]));
  } else {
    fail("unknown picture command '" + op + "'");
  }
}

// ---------------------------------------------------------------- parsing

struct Line {
  int number;
  std::vector<std::string> t;
};

std::string g_file;

std::vector<Line> readLines(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) fail("cannot read " + path);
  std::vector<Line> out;
  std::string cur;
  int number = 0;
  int ch;
  auto flush = [&]() {
    ++number;
    g_where = g_file + ":" + std::to_string(number);
    auto t = tokens(cur);
    if (!t.empty()) out.push_back({number, t});
    cur.clear();
  };
  while ((ch = std::fgetc(f)) != EOF) {
    if (ch == '\n')
      flush();
    else
      cur += char(ch);
  }
  if (!cur.empty()) flush();
  std::fclose(f);
  return out;
}

void at(const Line& l) { g_where = g_file + ":" + std::to_string(l.number); }

void parsePictOp(Pictogram& p, const std::vector<std::string>& t, std::vector<Colour>& brush, std::vector<Colour>& penCol,
                 double& penW, float& alpha) {
  const std::string& k = t[0];
  if (k == "brush") {
    if (t.size() < 2) fail("brush needs a colour");
    brush.clear();
    for (size_t i = 1; i < t.size(); ++i) brush.push_back(parseColour(t[i]));
    return;
  }
  if (k == "pen") {
    if (t.size() < 3) fail("pen needs a colour and a width");
    penCol.clear();
    for (size_t i = 1; i + 1 < t.size(); ++i) penCol.push_back(parseColour(t[i]));
    penW = num(t.back());
    return;
  }
  if (k == "alpha") {
    if (t.size() != 2) fail("alpha needs one value");
    alpha = float(num(t[1]));
    return;
  }
  PictOp op;
  op.kind = k;
  op.alpha = alpha;
  if (k == "use") {
    if (t.size() != 2 && t.size() != 5) fail("use NAME [DX DY SCALE]");
    op.ref = t[1];
    op.v = t.size() == 5 ? std::vector<double>{num(t[2]), num(t[3]), num(t[4])} : std::vector<double>{0, 0, 1};
    p.ops.push_back(op);
    return;
  }
  for (size_t i = 1; i < t.size(); ++i) {
    std::string s = t[i];
    size_t comma;
    while ((comma = s.find(',')) != std::string::npos) {
      op.v.push_back(num(s.substr(0, comma)));
      s = s.substr(comma + 1);
    }
    op.v.push_back(num(s));
  }
  bool stroked = k == "ring" || k == "ovalring" || k == "boxframe" || k == "line" || k == "arc";
  op.colours = stroked ? penCol : brush;
  op.width = penW;
  if (op.colours.empty()) fail(std::string(stroked ? "pen" : "brush") + " not set before '" + k + "'");
  p.ops.push_back(op);
}

void parseStateLine(StateStyle& st, const std::vector<std::string>& t) {
  Options o = options(t, 1);
  if (!o.flags.empty()) fail("unexpected '" + o.flags[0] + "'");
  for (auto& kv : o.kv) {
    const std::string& k = kv.first;
    const std::string& v = kv.second;
    if (k == "box")
      st.box = v == "1";
    else if (k == "border")
      st.border = parseColour(v);
    else if (k == "top")
      st.top = parseColour(v);
    else if (k == "bottom")
      st.bottom = parseColour(v);
    else if (k == "inner") {
      st.inner = parseColour(v);
      st.hasInner = true;
    } else if (k == "text")
      st.textCol = parseColour(v);
    else if (k == "shadow") {
      st.shadow = parseColour(v);
      st.hasShadow = true;
    } else if (k == "gloss")
      st.gloss = float(num(v));
    else if (k == "shift")
      st.shift = inum(v);
    else
      fail("unknown state setting '" + k + "'");
  }
}

void run(const std::string& descPath, const std::string& outDir) {
  g_file = descPath;
  std::vector<Line> lines = readLines(descPath);
  CreateDirectoryA(outDir.c_str(), nullptr);
  std::string previewDir = outDir + "\\preview";
  CreateDirectoryA(previewDir.c_str(), nullptr);

  struct IconJob {
    std::string file;
    std::vector<std::pair<int, std::string>> sizes;
  };
  std::vector<IconJob> icons;

  size_t i = 0;
  auto block = [&](size_t& j) {  // lines up to the matching "end"
    std::vector<Line> body;
    for (++j; j < lines.size(); ++j) {
      if (lines[j].t[0] == "end") return body;
      body.push_back(lines[j]);
    }
    fail("block without 'end'");
  };

  for (; i < lines.size(); ++i) {
    const Line& l = lines[i];
    at(l);
    const auto& t = l.t;
    const std::string& k = t[0];
    if (k == "colour") {
      if (t.size() != 3) fail("colour NAME VALUE");
      g_colours[t[1]] = parseColour(t[2]);
    } else if (k == "fontfile") {
      // A font file beside the description, loaded for this process only, so
      // the faces do not depend on what the Wine prefix has installed.
      if (t.size() != 2) fail("fontfile \"FILE\"");
      std::string dir = descPath;
      size_t slash = dir.find_last_of("\\/:");
      dir = slash == std::string::npos ? "" : dir.substr(0, slash + 1);
      std::string path = dir + text(t[1]);
      if (AddFontResourceExA(path.c_str(), FR_PRIVATE, nullptr) == 0) fail("cannot load font file " + path);
    } else if (k == "font") {
      if (t.size() < 4) fail("font NAME FACE PX [bold] [aa] [underline] [italic]");
      FontDef f;
      f.face = text(t[2]);
      f.px = inum(t[3]);
      for (size_t j = 4; j < t.size(); ++j) {
        if (t[j] == "bold")
          f.bold = true;
        else if (t[j] == "aa")
          f.aa = true;
        else if (t[j] == "underline")
          f.underline = true;
        else if (t[j] == "italic")
          f.italic = true;
        else if (t[j].rfind("heavy=", 0) == 0)
          f.heavy = inum(t[j].substr(6));
        else
          fail("unknown font flag '" + t[j] + "'");
      }
      g_fonts[t[1]] = f;
    } else if (k == "pictogram") {
      if (t.size() != 2) fail("pictogram NAME");
      Pictogram p;
      std::vector<Colour> brush, pen;
      double penW = 1;
      float alpha = 1;
      for (const Line& b : block(i)) {
        at(b);
        parsePictOp(p, b.t, brush, pen, penW, alpha);
      }
      g_picts[t[1]] = p;
    } else if (k == "style") {
      if (t.size() != 2 && t.size() != 3) fail("style NAME [BASE]");
      Style s;
      if (t.size() == 3) {
        auto it = g_styles.find(t[2]);
        if (it == g_styles.end()) fail("unknown style '" + t[2] + "'");
        s = it->second;
      }
      for (const Line& b : block(i)) {
        at(b);
        const auto& u = b.t;
        const std::string& key = u[0];
        if (key == "idle" || key == "hover" || key == "down") {
          parseStateLine(s.st[key == "idle" ? 0 : key == "hover" ? 1 : 2], u);
          continue;
        }
        if (u.size() != 2) fail("'" + key + "' needs one value");
        if (key == "layout")
          s.layout = u[1];
        else if (key == "radius")
          s.radius = inum(u[1]);
        else if (key == "font")
          s.fontName = u[1];
        else if (key == "pictsize")
          s.pictSize = inum(u[1]);
        else if (key == "pictx")
          s.pictX = inum(u[1]);
        else if (key == "picty")
          s.pictY = inum(u[1]);
        else if (key == "textx")
          s.textX = inum(u[1]);
        else if (key == "texty")
          s.textY = inum(u[1]);
        else if (key == "textalign")
          s.textAlign = u[1];
        else
          fail("unknown style setting '" + key + "'");
      }
      font(s.fontName);
      g_styles[t[1]] = s;
    } else if (k == "picture" || k == "preview") {
      if (t.size() != 4) fail(k + " FILE WIDTH HEIGHT");
      auto out = std::make_unique<Output>();
      out->file = t[1];
      out->imgW = inum(t[2]);
      out->imgH = inum(t[3]);
      out->preview = k == "preview";
      out->canvas = std::make_unique<Canvas>(out->imgW, out->imgH, false);
      out->labels.push_back("");
      PictureState ps;
      for (const Line& b : block(i)) {
        at(b);
        pictureOp(*out->canvas, b.t, ps);
      }
      at(l);
      if (g_byName.count(out->file)) fail("'" + out->file + "' is made twice");
      g_byName[out->file] = out.get();
      g_outputs.push_back(std::move(out));
    } else if (k == "list") {
      // list FILE W H [backdrop=...] [key=MATTE]
      if (t.size() < 4) fail("list FILE WIDTH HEIGHT [backdrop=...] [key=MATTE]");
      Options o = options(t, 4);
      auto out = std::make_unique<Output>();
      out->file = t[1];
      out->imgW = inum(t[2]);
      out->imgH = inum(t[3]);
      out->list = true;
      out->keyed = o.has("key");
      std::string matte = o.get("key");
      std::vector<Line> body = block(i);
      std::vector<std::unique_ptr<Canvas>> faces;
      for (const Line& b : body) {
        at(b);
        const auto& u = b.t;
        if (u[0] == "button") {
          // button STYLE PICT "Word" [backdrop=...]
          if (u.size() < 4) fail("button STYLE PICTOGRAM \"Word\" [backdrop=...]");
          if (out->keyed) fail("a keyed list holds images, not buttons");
          auto st = g_styles.find(u[1]);
          if (st == g_styles.end()) fail("unknown style '" + u[1] + "'");
          std::string word = text(u[3]);
          Options bo = options(u, 4);
          std::string backdrop = bo.get("backdrop", o.get("backdrop"));
          if (backdrop.empty()) fail("button without backdrop");
          static const char* names[3] = {"idle", "hover", "down"};
          for (int s = 0; s < 3; ++s) {
            auto face = std::make_unique<Canvas>(out->imgW, out->imgH, false);
            paintBackdrop(*face, backdrop);
            drawFace(*face, st->second, s, u[2], word);
            faces.push_back(std::move(face));
            out->labels.push_back(word + " " + names[s]);
          }
        } else if (u[0] == "image") {
          // image PICT [PICT...] "label": pictograms drawn over each other
          if (u.size() < 3) fail("image PICTOGRAM... \"label\"");
          auto face = std::make_unique<Canvas>(out->imgW, out->imgH, out->keyed);
          if (!out->keyed) paintBackdrop(*face, o.get("backdrop"));
          for (size_t j = 1; j + 1 < u.size(); ++j)
            renderPict(*face, 0, 0, std::min(out->imgW, out->imgH), u[j]);
          if (out->keyed) {
            // The bottom-left pixel names the transparent colour: keep it clear.
            face->at(0, out->imgH - 1)[3] = 0;
          }
          faces.push_back(std::move(face));
          out->labels.push_back(text(u.back()));
        } else {
          fail("unknown list entry '" + u[0] + "'");
        }
      }
      at(l);
      if (faces.empty()) fail("empty list");
      out->count = int(faces.size());
      out->canvas = std::make_unique<Canvas>(out->imgW * out->count, out->imgH, out->keyed);
      for (int f = 0; f < out->count; ++f)
        for (int y = 0; y < out->imgH; ++y)
          for (int x = 0; x < out->imgW; ++x) {
            uint8_t* d = out->canvas->at(f * out->imgW + x, y);
            const uint8_t* s = faces[size_t(f)]->at(x, y);
            std::memcpy(d, s, 4);
            if (!out->keyed) d[3] = 255;
          }
      if (out->keyed) out->matte = parseColour(matte);
      if (g_byName.count(out->file)) fail("'" + out->file + "' is made twice");
      g_byName[out->file] = out.get();
      g_outputs.push_back(std::move(out));
    } else if (k == "icon") {
      // icon FILE SIZE:PICT...
      if (t.size() < 3) fail("icon FILE SIZE:PICTOGRAM...");
      IconJob job;
      job.file = t[1];
      for (size_t j = 2; j < t.size(); ++j) {
        size_t colon = t[j].find(':');
        if (colon == std::string::npos) fail("icon sizes are written SIZE:PICTOGRAM");
        job.sizes.push_back({inum(t[j].substr(0, colon)), t[j].substr(colon + 1)});
        if (!g_picts.count(job.sizes.back().second)) fail("unknown pictogram '" + job.sizes.back().second + "'");
      }
      icons.push_back(job);
    } else {
      fail("unknown command '" + k + "'");
    }
  }
  g_where.clear();

  // Write everything only after the whole description drew without error.
  for (auto& o : g_outputs) {
    std::string path = (o->preview ? previewDir : outDir) + "\\" + o->file;
    writeBmp(path, *o->canvas, o->keyed, o->matte);
    std::printf("%-44s %4dx%-4d x%d\n", o->file.c_str(), o->imgW, o->imgH, o->count);
  }
  std::vector<std::unique_ptr<Canvas>> iconImgs;
  for (auto& job : icons) {
    std::vector<const Canvas*> imgs;
    for (auto& sz : job.sizes) {
      iconImgs.push_back(std::make_unique<Canvas>(sz.first, sz.first, true));
      renderPict(*iconImgs.back(), 0, 0, sz.first, sz.second);
      imgs.push_back(iconImgs.back().get());
    }
    writeIco(outDir + "\\" + job.file, imgs);
    std::printf("%-44s icon x%d\n", job.file.c_str(), int(imgs.size()));
  }

  // Contact sheet: every output at 100%, images of a list in rows with their
  // index under each, so the inventory can be checked by eye.
  FontDef labelFont;
  labelFont.face = "Tahoma";
  labelFont.px = 11;
  FontDef headFont = labelFont;
  headFont.bold = true;
  const int sheetW = 1240, gap = 6, margin = 10;
  struct Place {
    Output* o;
    int index, x, y;
  };
  std::vector<Place> places;
  std::vector<std::pair<std::string, int>> heads;
  int y = margin;
  for (auto& o : g_outputs) {
    if (o->preview) continue;
    heads.push_back({o->file + "  (" + std::to_string(o->imgW) + "x" + std::to_string(o->imgH) + ", " +
                         std::to_string(o->count) + (o->count == 1 ? " image)" : " images)"),
                     y});
    y += 18;
    int perRow = std::max(1, (sheetW - 2 * margin + gap) / (o->imgW + gap));
    if (o->count % 3 == 0 && perRow >= 3) perRow -= perRow % 3;
    for (int n = 0; n < o->count; ++n) {
      int col = n % perRow, row = n / perRow;
      places.push_back({o.get(), n, margin + col * (o->imgW + gap), y + row * (o->imgH + 16)});
    }
    int rows = (o->count + perRow - 1) / perRow;
    y += rows * (o->imgH + 16) + 8;
  }
  for (auto& job : icons) {
    heads.push_back({job.file, y});
    y += 18;
    int x = margin;
    for (auto& sz : job.sizes) {
      places.push_back({nullptr, sz.first, x, y});
      x += sz.first + gap * 2;
    }
    y += 48 + 8;
  }
  Canvas sheet(sheetW, y + margin, false);
  for (int yy = 0; yy < sheet.h(); ++yy)
    for (int xx = 0; xx < sheet.w(); ++xx) sheet.set(xx, yy, {236, 236, 236});
  for (auto& h : heads) drawText(sheet, headFont, {0, 0, 0}, margin, h.second, h.first);
  size_t nextIcon = 0;
  for (auto& p : places) {
    if (!p.o) {  // an icon, drawn over a checkerboard so its alpha shows
      const Canvas* img = iconImgs[nextIcon++].get();
      for (int yy = 0; yy < img->h(); ++yy)
        for (int xx = 0; xx < img->w(); ++xx) {
          bool dark = ((xx / 4) + (yy / 4)) % 2;
          sheet.set(p.x + xx, p.y + yy, dark ? Colour{200, 200, 200} : Colour{255, 255, 255});
          sheet.blend(p.x + xx, p.y + yy, img->get(xx, yy), img->alpha(xx, yy));
        }
      continue;
    }
    Output& o = *p.o;
    for (int yy = 0; yy < o.imgH; ++yy)
      for (int xx = 0; xx < o.imgW; ++xx) {
        int sx = p.index * o.imgW + xx;
        if (o.keyed) {
          float a = o.canvas->alpha(sx, yy);
          sheet.set(p.x + xx, p.y + yy, a < 0.5f ? kKey : lerp(o.matte, o.canvas->get(sx, yy), std::min(1.0f, a)));
        } else {
          sheet.set(p.x + xx, p.y + yy, o.canvas->get(sx, yy));
        }
      }
    if (o.count > 1) {
      // Wide images get their label, narrow ones only their index.
      std::string label = std::to_string(p.index);
      if (o.imgW >= 90 && size_t(p.index) < o.labels.size()) label += " " + o.labels[size_t(p.index)];
      drawText(sheet, labelFont, {90, 90, 90}, p.x, p.y + o.imgH + 1, label);
    }
  }
  writeBmp(previewDir + "\\contact.bmp", sheet, false, {});
  std::printf("%-44s %4dx%-4d\n", "preview\\contact.bmp", sheet.w(), sheet.h());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: artwork DESCRIPTION OUTDIR\n");
    return 2;
  }
  try {
    run(argv[1], argv[2]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "artwork: %s\n", e.what());
    return 1;
  }
  return 0;
}
