// The colour pictures: the application's thermometer, the cold snowflake,
// the hot match and the countdown's hazard sign. The 16-pixel ones are
// placed by hand; from 20 pixels up the shapes are drawn by formula on the
// grid itself, their thin lines kept at least a pixel and a bit wide so they
// never break up into dots.
#include <array>

#include "painter.h"

namespace calorix::resources {

namespace {

const double kSqrt3 = std::sqrt(3.0);

// A line half-width in design units, widened so the line stays at least
// 1.2 pixels across on the canvas.
double Stroke(const Canvas& canvas, double halfWidth) { return std::max(halfWidth, 0.6 / canvas.Scale()); }

IconImage FromArt(std::span<const std::string_view> rows) { return ArtCanvas(rows).Finish(); }

// ---------------------------------------------------------------------------
// The application: a thermometer with a red column and bulb.

constexpr std::array<std::string_view, 16> kThermometer16 = {
    ".......KK.......",
    "......KWWK......",
    "......KWSK.KK...",
    "......KWSK......",
    "......KWSK.K....",
    "......KRSK......",
    "......KRRK.KK...",
    "......KRRK......",
    "......KRRK.K....",
    ".....KKRRKK.....",
    "....KRRRRRRK....",
    "...KRWWRRRRRK...",
    "...KRWRRRRRRK...",
    "...KRRRRRRRRK...",
    "....KRRRRRRK....",
    ".....KKKKKK.....",
};

IconImage Thermometer(int size) {
  if (size < 20) return FromArt(kThermometer16);
  Canvas canvas(size);
  const double cx = 16;
  const Point tubeTop{cx, 5.5};
  const Point tubeBottom{cx, 21};
  const Point bulb{cx, 25};
  canvas.Fill(Capsule(tubeTop, tubeBottom, 4.5), colour::kBlack);
  canvas.Fill(Disc(bulb, 6.5), colour::kBlack);
  canvas.Fill(Capsule(tubeTop, tubeBottom, 3.0), colour::kWhite);
  canvas.Fill(Disc(bulb, 5.0), colour::kRed);
  // A shade down the glass, then the column standing a little above the
  // middle of the scale, and a glint on the bulb.
  canvas.Fill(Box(cx + 1.5, tubeTop.y - 1.0, cx + 3.0, tubeBottom.y + 1.0), colour::kSilver);
  canvas.Fill(Capsule(Point{cx, 12}, Point{cx, bulb.y}, Stroke(canvas, 1.5)), colour::kRed);
  canvas.Fill(Disc(Point{bulb.x - 2.2, bulb.y - 2.0}, Stroke(canvas, 1.2)), colour::kWhite);
  // Scale marks to the right of the tube.
  const double markHeight = std::max(1.0, 1.0 / canvas.Scale());
  for (int mark = 0; mark < 5; ++mark) {
    const double y = 7 + 3 * mark;
    const double length = mark % 2 == 0 ? 4.0 : 2.5;
    canvas.Fill(Box(cx + 5.0, y, cx + 5.0 + length, y + markHeight), colour::kBlack);
  }
  return canvas.Finish();
}

// ---------------------------------------------------------------------------
// The cold picture: a six-armed cyan snowflake.

constexpr std::array<std::string_view, 16> kSnowflake16 = {
    "................",
    "................",
    "........C.......",
    "........C.......",
    ".......CCC......",
    "..CC.C..C..C.CC.",
    "....CC..C..CC...",
    "....C.CCCCC.C...",
    ".......CWC......",
    "....C.CCCCC.C...",
    "....CC..C..CC...",
    "..CC.C..C..C.CC.",
    ".......CCC......",
    "........C.......",
    "........C.......",
    "................",
};

IconImage Snowflake(int size) {
  if (size < 20) {
    Canvas canvas = ArtCanvas(kSnowflake16);
    canvas.Outline(colour::kNavy, false);
    return canvas.Finish();
  }
  Canvas canvas(size);
  const Point c{16, 16};
  const double reach = 13.6;
  const double half = kSqrt3 / 2.0;
  // Twigs: how far along the arm they sprout and how long they are, as
  // fractions of the arm. Below 24 pixels two pairs would run into one
  // another, so one pair sprouts between the two places.
  using Twigs = std::vector<std::pair<double, double>>;
  const Twigs twigs = size >= 24 ? Twigs{{0.42, 0.30}, {0.72, 0.22}} : Twigs{{0.58, 0.30}};
  // Arms at 90 degrees and every 60 from there.
  const std::array<Point, 6> arms = {
      Point{0, -1}, Point{half, -0.5}, Point{half, 0.5}, Point{0, 1}, Point{-half, 0.5}, Point{-half, -0.5},
  };
  for (const Point& d : arms) {
    const Point tip{c.x + reach * d.x, c.y + reach * d.y};
    canvas.Fill(Capsule(c, tip, Stroke(canvas, 1.0)), colour::kCyan);
    // Twigs branch off at 60 degrees either side of the arm, pointing outwards.
    const Point left{d.x * 0.5 - d.y * half, d.x * half + d.y * 0.5};
    const Point right{d.x * 0.5 + d.y * half, -d.x * half + d.y * 0.5};
    for (const auto& [along, length] : twigs) {
      const Point root{c.x + reach * along * d.x, c.y + reach * along * d.y};
      for (const Point& side : {left, right}) {
        const Point end{root.x + reach * length * side.x, root.y + reach * length * side.y};
        canvas.Fill(Capsule(root, end, Stroke(canvas, 0.8)), colour::kCyan);
      }
    }
  }
  canvas.Fill(Disc(c, 2.4), colour::kCyan);
  canvas.Outline(colour::kNavy, false);
  canvas.Fill(Disc(c, Stroke(canvas, 1.0)), colour::kWhite);
  return canvas.Finish();
}

// ---------------------------------------------------------------------------
// The hot picture: a burning match.

constexpr std::array<std::string_view, 16> kMatch16 = {
    "..........r.....",
    ".........rRr....",
    ".........rRRr...",
    "........rRRRr...",
    ".......rRRYRRr..",
    ".......rRYYYRr..",
    "......rRYYWYRr..",
    "......rRYWWYRr..",
    "......rRYrrYRr..",
    ".......rrrrrr...",
    "......KKrrrK....",
    ".....KYKrrK.....",
    "....KYK.KK......",
    "...KYK..........",
    "..KYK...........",
    "..KK............",
};

IconImage Match(int size) {
  if (size < 20) return FromArt(kMatch16);
  Canvas canvas(size);
  const Point foot{5.5, 30.0};
  const Point head{16.5, 18.0};
  // Stick, rimmed in black.
  canvas.Fill(Capsule(foot, head, 2.6), colour::kBlack);
  canvas.Fill(Capsule(foot, head, 1.5), colour::kYellow);
  // Flame: dark rim, red, then yellow and white towards the heart.
  const Point base{19.5, 12.0};
  const double radius = 5.8;
  const double height = 10.5;
  const double lean = -2.0;
  canvas.Fill(Drop(base, radius + 1.3, height + 1.8, lean), colour::kMaroon);
  canvas.Fill(Drop(base, radius, height, lean), colour::kRed);
  canvas.Fill(Drop(Point{base.x, base.y + 0.5}, radius * 0.6, height * 0.66, lean * 0.6), colour::kYellow);
  canvas.Fill(Drop(Point{base.x, base.y + 1.5}, 1.6, 4.0, 0), colour::kWhite);
  // The head, burning at the foot of the flame.
  canvas.Fill(Disc(head, 3.6), colour::kBlack);
  canvas.Fill(Disc(head, 2.6), colour::kMaroon);
  return canvas.Finish();
}

// ---------------------------------------------------------------------------
// The countdown's picture: a black trefoil on a yellow disc. The 16-pixel
// one has a bolder rim and blades of its own.

IconImage Trefoil(int size) {
  Canvas canvas(size);
  const bool small = size < 24;
  const Point c{16, 16};
  canvas.Fill(Disc(c, small ? 16.0 : 15.9), colour::kBlack);
  canvas.Fill(Disc(c, small ? 14.0 : 14.3), colour::kYellow);
  const double inner = small ? 5.2 : 3.7;
  const double outer = small ? 11.8 : 12.2;
  const double half = kSqrt3 / 2.0;  // cos 30: each blade spans 60 degrees
  const std::array<Point, 3> blades = {Point{0, 1}, Point{-half, -0.5}, Point{half, -0.5}};
  canvas.Fill(
      [&](Point p) {
        const double dx = p.x - c.x, dy = p.y - c.y;
        const double r = std::sqrt(dx * dx + dy * dy);
        if (r < inner || r > outer) return false;
        for (const Point& d : blades) {
          if ((dx * d.x + dy * d.y) >= half * r) return true;
        }
        return false;
      },
      colour::kBlack);
  canvas.Fill(Disc(c, small ? 2.2 : 2.3), colour::kBlack);
  return canvas.Finish();
}

}  // namespace

IconImage DrawAppImage(int size) { return Thermometer(size); }
IconImage DrawSnowflakeImage(int size) { return Snowflake(size); }
IconImage DrawFlameImage(int size) { return Match(size); }
IconImage DrawHazardImage(int size) { return Trefoil(size); }

}  // namespace calorix::resources
