#include "tools/icons/picture.h"

#include <algorithm>
#include <cmath>
#include <span>

namespace icons {

const std::array<Rgba, 16> kSixteenColours = {{
    {0, 0, 0, 255},
    {128, 0, 0, 255},
    {0, 128, 0, 255},
    {128, 128, 0, 255},
    {0, 0, 128, 255},
    {128, 0, 128, 255},
    {0, 128, 128, 255},
    {192, 192, 192, 255},
    {128, 128, 128, 255},
    {255, 0, 0, 255},
    {0, 255, 0, 255},
    {255, 255, 0, 255},
    {0, 0, 255, 255},
    {255, 0, 255, 255},
    {0, 255, 255, 255},
    {255, 255, 255, 255},
}};

namespace {

struct Vec {
    double x;
    double y;
};
Vec operator-(Vec a, Vec b) {
    return {a.x - b.x, a.y - b.y};
}
Vec operator+(Vec a, Vec b) {
    return {a.x + b.x, a.y + b.y};
}
Vec operator*(Vec a, double k) {
    return {a.x * k, a.y * k};
}
double length(Vec v) {
    return std::hypot(v.x, v.y);
}
double dot(Vec a, Vec b) {
    return a.x * b.x + a.y * b.y;
}

// Signed distances: negative inside, positive outside, in picture units (the
// picture spans 0..1 in both directions, y downwards).
double circle(Vec p, Vec centre, double radius) {
    return length(p - centre) - radius;
}

double round_box(Vec p, Vec min, Vec max, double radius) {
    const Vec centre = (min + max) * 0.5;
    const Vec half = (max - min) * 0.5;
    const Vec q{std::abs(p.x - centre.x) - half.x + radius,
                std::abs(p.y - centre.y) - half.y + radius};
    return length({std::max(q.x, 0.0), std::max(q.y, 0.0)}) + std::min(std::max(q.x, q.y), 0.0) -
           radius;
}

double segment(Vec p, Vec a, Vec b) {
    const Vec ab = b - a;
    const double t = std::clamp(dot(p - a, ab) / dot(ab, ab), 0.0, 1.0);
    return length(p - (a + ab * t));
}

// Approximate distance to an axis-aligned ellipse's outline (good enough for
// thin grid lines, which is all it draws).
double ellipse_outline(Vec p, Vec centre, double rx, double ry) {
    const Vec d = p - centre;
    const Vec n{d.x / rx, d.y / ry};
    const double f = length(n) - 1.0;
    const double gradient = length({n.x / rx, n.y / ry}) / std::max(length(n), 1e-9);
    return std::abs(f) / std::max(gradient, 1e-9);
}

bool in_polygon(Vec p, std::span<const Vec> points) {
    bool inside = false;
    for (std::size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
        const Vec a = points[i];
        const Vec b = points[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) {
            inside = !inside;
        }
    }
    return inside;
}

// What a point of the picture shows; each material has a shaded true colour
// and one colour of the 16.
enum class Material {
    None,
    Ocean,
    Land,
    Grid,
    GlobeEdge,
    Paper,
    PaperEdge,
    Ink,
    BodyTop,
    BodyFront,
    BodyEdge,
    Slot,
    Lip,
    Led,
    Button,
};

constexpr std::size_t kMaterialCount = std::size_t(Material::Button) + 1;

// How far in front a material lies: 0 nothing, 1 globe, 2 printer, 3 sheet.
int depth_of(Material m) {
    switch (m) {
    case Material::None:
        return 0;
    case Material::Ocean:
    case Material::Land:
    case Material::Grid:
    case Material::GlobeEdge:
        return 1;
    case Material::Paper:
    case Material::PaperEdge:
    case Material::Ink:
        return 3;
    default:
        return 2;
    }
}

Material edge_of(Material m) {
    switch (depth_of(m)) {
    case 1:
        return Material::GlobeEdge;
    case 3:
        return Material::PaperEdge;
    default:
        return Material::BodyEdge;
    }
}

struct Hit {
    Material material = Material::None;
    double shade = 0; // 0 lit .. 1 in shadow
};

// The globe, relative to its centre in units of its radius.
constexpr Vec kGlobeCentre{0.37, 0.38};
constexpr double kGlobeRadius = 0.35;
constexpr Vec kAmericas[] = {{-0.80, -0.30}, {-0.72, -0.58}, {-0.40, -0.78}, {-0.05, -0.66},
                             {-0.12, -0.40}, {-0.30, -0.22}, {-0.22, -0.02}, {-0.02, 0.12},
                             {-0.10, 0.45},  {-0.28, 0.80},  {-0.42, 0.40},  {-0.55, 0.05},
                             {-0.66, -0.12}};
constexpr Vec kEurafrica[] = {{0.18, -0.72}, {0.52, -0.70}, {0.62, -0.48}, {0.50, -0.34},
                              {0.74, -0.22}, {0.66, 0.18},  {0.48, 0.58},  {0.32, 0.34},
                              {0.18, 0.02},  {0.30, -0.22}, {0.14, -0.38}};

// The printer: body, paper slot, front details.
constexpr Vec kBodyMin{0.08, 0.52};
constexpr Vec kBodyMax{0.96, 0.90};
constexpr double kBodyRadius = 0.07;
constexpr double kSeamY = 0.64;
constexpr Vec kSlotMin{0.40, 0.555};
constexpr Vec kSlotMax{0.88, 0.605};
constexpr Vec kPaperMin{0.46, 0.10};
constexpr Vec kPaperMax{0.82, 0.585};
constexpr Vec kLipMin{0.38, 0.585};
constexpr Vec kLipMax{0.90, 0.625};
constexpr Vec kLedCentre{0.84, 0.77};
constexpr Vec kButtonMin{0.16, 0.74};
constexpr Vec kButtonMax{0.34, 0.80};

struct Detail {
    double pixel;   // one pixel in picture units
    double stroke;  // outline width
    bool grid;      // meridians and parallels on the globe
    int text_lines; // printed lines on the sheet
    bool flat;      // no shading
};

Detail detail_for(int size, bool flat) {
    const double pixel = 1.0 / size;
    Detail d{};
    d.pixel = pixel;
    // Flat pictures get their outlines from whole pixels afterwards (see
    // DrawSixteenColour); a drawn line of one pixel would land on two.
    d.stroke = flat ? 0.0 : std::max(0.018, 1.1 * pixel);
    d.grid = !flat && size >= 32;
    d.flat = flat;
    // Lines need a clear pixel between them.
    d.text_lines =
        std::clamp(int((kPaperMax.y - 0.10 - kPaperMin.y) / std::max(0.07, 3 * pixel)), 1, 5);
    return d;
}

Hit globe(Vec p, const Detail& d) {
    const double edge = circle(p, kGlobeCentre, kGlobeRadius);
    if (edge > 0) {
        return {};
    }
    if (edge > -d.stroke) {
        return {Material::GlobeEdge, 0};
    }
    const Vec local = (p - kGlobeCentre) * (1.0 / kGlobeRadius);
    // Light from the upper left.
    const double shade = std::clamp(length(local - Vec{-0.45, -0.5}) / 1.6, 0.0, 1.0);
    if (d.grid) {
        const double half = d.stroke * 0.35;
        for (double k : {0.001, 0.5, 0.85}) {
            if (ellipse_outline(p, kGlobeCentre, kGlobeRadius * k, kGlobeRadius) < half) {
                return {Material::Grid, shade};
            }
        }
        for (double s : {-0.5, 0.0, 0.5}) {
            if (std::abs(local.y - s) * kGlobeRadius < half) {
                return {Material::Grid, shade};
            }
        }
    }
    if (in_polygon(local, kAmericas) || in_polygon(local, kEurafrica)) {
        return {Material::Land, shade};
    }
    return {Material::Ocean, shade};
}

Hit sheet(Vec p, const Detail& d) {
    const double edge = round_box(p, kPaperMin, kPaperMax, 0.01);
    if (edge > 0) {
        return {};
    }
    if (edge > -d.stroke * 0.8) {
        return {Material::PaperEdge, 0};
    }
    // Printed lines of uneven length, the way a receipt looks.
    constexpr double kLengths[] = {0.24, 0.17, 0.21, 0.12, 0.19};
    const double top = kPaperMin.y + 0.08;
    const double spacing = (kPaperMax.y - 0.10 - top) / std::max(1, d.text_lines - 1);
    const double thickness = d.flat ? d.pixel : std::max(0.022, d.pixel);
    for (int i = 0; i < d.text_lines; ++i) {
        double y = d.text_lines == 1 ? top + 0.1 : top + i * spacing;
        if (d.flat) {
            // On a pixel row's centre, so that the line fills one row.
            y = (std::floor(y / d.pixel) + 0.5) * d.pixel;
        }
        const Vec a{kPaperMin.x + 0.06, y};
        const Vec b{a.x + kLengths[i], y};
        if (segment(p, a, b) < thickness * 0.5) {
            return {Material::Ink, 0};
        }
    }
    return {Material::Paper, (p.x - kPaperMin.x) / (kPaperMax.x - kPaperMin.x) * 0.25};
}

Hit printer(Vec p, const Detail& d) {
    const double edge = round_box(p, kBodyMin, kBodyMax, kBodyRadius);
    if (edge > 0) {
        return {};
    }
    if (edge > -d.stroke) {
        return {Material::BodyEdge, 0};
    }
    if (circle(p, kLedCentre, 0.04) < 0) {
        return {Material::Led, 0};
    }
    if (round_box(p, kButtonMin, kButtonMax, 0.015) < 0) {
        return {Material::Button, 0};
    }
    if (round_box(p, kSlotMin, kSlotMax, 0.015) < 0) {
        return {Material::Slot, 0};
    }
    if (!d.flat && std::abs(p.y - kSeamY) < d.stroke * 0.4) {
        return {Material::BodyEdge, 0};
    }
    const double shade = (p.y - kBodyMin.y) / (kBodyMax.y - kBodyMin.y);
    return {p.y < kSeamY ? Material::BodyTop : Material::BodyFront, shade};
}

// Front to back: the lip of the slot covers the sheet's foot, the sheet comes
// out of the printer, and the printer stands in front of the globe.
Hit scene(Vec p, const Detail& d) {
    if (!d.flat && round_box(p, kLipMin, kLipMax, 0.015) < 0 &&
        round_box(p, kBodyMin, kBodyMax, kBodyRadius) < -d.stroke) {
        return {Material::Lip, 0};
    }
    if (Hit h = sheet(p, d); h.material != Material::None) {
        return h;
    }
    if (Hit h = printer(p, d); h.material != Material::None) {
        return h;
    }
    return globe(p, d);
}

struct Colour {
    double r, g, b;
};
Colour mix(Colour lit, Colour dark, double t) {
    return {lit.r + (dark.r - lit.r) * t, lit.g + (dark.g - lit.g) * t,
            lit.b + (dark.b - lit.b) * t};
}

Colour true_colour_of(const Hit& h) {
    switch (h.material) {
    case Material::Ocean:
        return mix({120, 180, 250}, {18, 62, 160}, h.shade);
    case Material::Land:
        return mix({140, 210, 100}, {34, 118, 44}, h.shade);
    case Material::Grid:
        return mix({190, 225, 255}, {70, 120, 200}, h.shade);
    case Material::GlobeEdge:
        return {16, 36, 96};
    case Material::Paper:
        return mix({255, 255, 255}, {200, 200, 205}, h.shade);
    case Material::PaperEdge:
        return {110, 110, 118};
    case Material::Ink:
        return {48, 48, 60};
    case Material::BodyTop:
        return mix({236, 236, 240}, {190, 190, 198}, h.shade);
    case Material::BodyFront:
        return mix({170, 172, 182}, {104, 106, 118}, h.shade);
    case Material::BodyEdge:
        return {44, 44, 52};
    case Material::Slot:
        return {30, 30, 34};
    case Material::Lip:
        return {214, 214, 220};
    case Material::Led:
        return {40, 220, 70};
    case Material::Button:
        return {70, 72, 84};
    case Material::None:
        break;
    }
    return {0, 0, 0};
}

int sixteen_colour_of(Material m) {
    constexpr int kBlack = 0, kGreen = 2, kNavy = 4, kSilver = 7, kGrey = 8, kLime = 10, kBlue = 12,
                  kAqua = 14, kWhite = 15;
    switch (m) {
    case Material::Ocean:
        return kBlue;
    case Material::Land:
        return kGreen;
    case Material::Grid:
        return kAqua;
    case Material::GlobeEdge:
        return kNavy;
    case Material::Paper:
    case Material::Lip:
        return kWhite;
    case Material::PaperEdge:
        return kGrey;
    case Material::Ink:
    case Material::BodyEdge:
    case Material::Slot:
    case Material::Button:
        return kBlack;
    case Material::BodyTop:
        return kSilver;
    case Material::BodyFront:
        return kGrey;
    case Material::Led:
        return kLime;
    case Material::None:
        break;
    }
    return kBlack;
}

// Samples per pixel along each axis.
constexpr int kSamples = 8;

Vec sample_point(int x, int y, int sx, int sy, int size) {
    return {(x + (sx + 0.5) / kSamples) / size, (y + (sy + 0.5) / kSamples) / size};
}

} // namespace

Image draw_true_colour(int size) {
    const Detail detail = detail_for(size, false);
    Image image{size, std::vector<Rgba>(std::size_t(size) * std::size_t(size))};
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            // Average premultiplied colour over the samples, then undo the
            // premultiplication for the stored straight-alpha pixel.
            double r = 0, g = 0, b = 0, covered = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const Hit h = scene(sample_point(x, y, sx, sy, size), detail);
                    if (h.material == Material::None) {
                        continue;
                    }
                    const Colour c = true_colour_of(h);
                    r += c.r;
                    g += c.g;
                    b += c.b;
                    covered += 1;
                }
            }
            Rgba& out = image.pixels[std::size_t(y) * std::size_t(size) + std::size_t(x)];
            if (covered == 0) {
                out = {0, 0, 0, 0};
                continue;
            }
            auto channel = [&](double sum) {
                return std::uint8_t(std::clamp(std::lround(sum / covered), 0L, 255L));
            };
            out = {channel(r), channel(g), channel(b),
                   std::uint8_t(std::lround(255.0 * covered / (kSamples * kSamples)))};
        }
    }
    return image;
}

Image draw_sixteen_colour(int size) {
    const Detail detail = detail_for(size, true);
    const auto at = [size](int x, int y) {
        return std::size_t(y) * std::size_t(size) + std::size_t(x);
    };

    // The material that most of each pixel shows; empty counts as one, so
    // that shapes do not grow.
    std::vector<Material> shown(std::size_t(size) * std::size_t(size));
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            std::array<int, kMaterialCount> votes{};
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    ++votes[std::size_t(scene(sample_point(x, y, sx, sy, size), detail).material)];
                }
            }
            shown[at(x, y)] =
                Material(std::max_element(votes.begin(), votes.end()) - votes.begin());
        }
    }

    // Outlines one pixel wide: the pixels of a shape that border on
    // something behind it, or on nothing.
    const auto depth_at = [&](int x, int y) {
        return x < 0 || y < 0 || x >= size || y >= size ? 0 : depth_of(shown[at(x, y)]);
    };
    Image image{size, std::vector<Rgba>(std::size_t(size) * std::size_t(size))};
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            Material m = shown[at(x, y)];
            const int depth = depth_of(m);
            if (depth > 0 && (depth_at(x - 1, y) < depth || depth_at(x + 1, y) < depth ||
                              depth_at(x, y - 1) < depth || depth_at(x, y + 1) < depth)) {
                m = edge_of(m);
            }
            image.pixels[at(x, y)] = m == Material::None
                                         ? Rgba{0, 0, 0, 0}
                                         : kSixteenColours[std::size_t(sixteen_colour_of(m))];
        }
    }
    return image;
}

} // namespace icons
