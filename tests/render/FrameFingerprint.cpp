#include "FrameFingerprint.h"

#include "imageio/TextureFile.h"
#include "raster/PixelSink.h"
#include "render/TorusRenderer.h"

#include <QCryptographicHash>

#include <array>
#include <string_view>

#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <sstream>

namespace {

template <std::size_t N>
int IndexOf(const std::array<std::string_view, N>& names, const std::string& word)
{
    for (std::size_t i = 0; i < N; ++i)
        if (word == names[i])
            return static_cast<int>(i);
    return -1;
}

std::string Exact(double v)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", v);
    return text;
}

// A 37 x 23 texture with a different colour in every texel, so that every
// sampling decision shows in the frame.
CTexture SmallTexture()
{
    std::vector<std::uint8_t> texels;
    for (int v = 0; v < 23; ++v)
        for (int u = 0; u < 37; ++u) {
            texels.push_back(static_cast<std::uint8_t>(u * 7));
            texels.push_back(static_cast<std::uint8_t>(v * 11));
            texels.push_back(static_cast<std::uint8_t>((u * v * 13) ^ 0x5a));
            texels.push_back(0);
        }
    return CTexture(37, 23, std::move(texels));
}

// A fixed linear congruential sequence: the table must not depend on the
// standard library's random engines or distributions.
class CSequence
{
public:
    int Between(int lo, int hi) // inclusive
    {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return lo + static_cast<int>((m_state >> 33) % static_cast<std::uint64_t>(hi - lo + 1));
    }

private:
    std::uint64_t m_state = 20261207ULL;
};

} // namespace

std::string SFrameCase::ToLine() const
{
    std::ostringstream line;
    line << "mode=" << kModeNames[static_cast<std::size_t>(mode)]
         << " light=" << kLightNames[static_cast<std::size_t>(light)]
         << " shading=" << kShadingNames[static_cast<std::size_t>(shading)]
         << " steps=" << surfaceSteps << 'x' << sectionSteps << " radii=" << ringRadius << ','
         << sectionRadius << " size=" << width << 'x' << height << " angles=" << Exact(angleX) << ','
         << Exact(angleY) << " texture=" << texture << " sha256=" << digest;
    return line.str();
}

bool SFrameCase::FromLine(const std::string& line, SFrameCase& out)
{
    std::map<std::string, std::string> fields;
    std::istringstream words(line);
    std::string word;
    while (words >> word) {
        const std::size_t eq = word.find('=');
        if (eq == std::string::npos)
            return false;
        fields[word.substr(0, eq)] = word.substr(eq + 1);
    }
    if (fields.size() != 9)
        return false;
    SFrameCase c;
    c.mode = IndexOf(kModeNames, fields["mode"]);
    c.light = IndexOf(kLightNames, fields["light"]);
    c.shading = IndexOf(kShadingNames, fields["shading"]);
    c.texture = fields["texture"];
    c.digest = fields["sha256"];
    char sep1 = 0, sep2 = 0, sep3 = 0, sep4 = 0;
    std::istringstream steps(fields["steps"]), radii(fields["radii"]), size(fields["size"]);
    steps >> c.surfaceSteps >> sep1 >> c.sectionSteps;
    radii >> c.ringRadius >> sep2 >> c.sectionRadius;
    size >> c.width >> sep3 >> c.height;
    const std::string& angles = fields["angles"];
    const std::size_t comma = angles.find(',');
    if (comma == std::string::npos)
        return false;
    char* end = nullptr;
    c.angleX = std::strtod(angles.c_str(), &end);
    sep4 = *end;
    c.angleY = std::strtod(angles.c_str() + comma + 1, &end);
    if (c.mode < 0 || c.light < 0 || c.shading < 0 || sep1 != 'x' || sep2 != ',' || sep3 != 'x' ||
        sep4 != ',' || *end != '\0' || (c.texture != "default" && c.texture != "small"))
        return false;
    out = c;
    return true;
}

std::vector<SFrameCase> FingerprintCases()
{
    std::vector<SFrameCase> cases;
    // Every drawing at the window's defaults, including the combinations the panel
    // never offers (texture with the light on and Gouraud draws nothing).
    for (int mode = 0; mode < 3; ++mode)
        for (int light = 0; light < 2; ++light)
            for (int shading = 0; shading < 2; ++shading) {
                SFrameCase c;
                c.mode = mode;
                c.light = light;
                c.shading = shading;
                cases.push_back(c);
            }
    // Image sizes from a single pixel to larger than the depth buffer, odd and even.
    const int sizes[][2] = {{1, 1}, {2, 2}, {1, 600}, {520, 1}, {3, 5}, {200, 200}, {799, 601},
                            {800, 600}, {1001, 999}, {1300, 1200}};
    for (const auto& s : sizes)
        for (int mode = 0; mode < 3; ++mode) {
            SFrameCase c;
            c.mode = mode;
            c.shading = mode == 2 ? 1 : mode == 1 ? (s[0] % 2) : 0;
            c.width = s[0];
            c.height = s[1];
            c.angleX = 35.0;
            c.angleY = -20.5;
            cases.push_back(c);
        }
    // The ends of every slider.
    const int extremes[][4] = {{100, 20, 6, 6}, {300, 120, 36, 36}, {100, 120, 36, 6}, {300, 20, 6, 36}};
    for (const auto& e : extremes)
        for (int drawing = 0; drawing < 5; ++drawing) {
            SFrameCase c;
            c.ringRadius = e[0];
            c.sectionRadius = e[1];
            c.surfaceSteps = e[2];
            c.sectionSteps = e[3];
            c.mode = drawing < 1 ? 0 : drawing < 3 ? 1 : 2;
            c.shading = drawing == 2 || drawing >= 3 ? 1 : 0;
            c.light = drawing == 3 ? 0 : 1;
            c.angleX = 60.0;
            c.angleY = 15.0;
            cases.push_back(c);
        }
    // A fixed spread over everything else: every step count, fractional and
    // negative angles about both axes, both textures.
    CSequence seq;
    for (int n = 0; n < 240; ++n) {
        SFrameCase c;
        c.mode = seq.Between(0, 2);
        c.light = seq.Between(0, 1);
        c.shading = seq.Between(0, 1);
        c.surfaceSteps = seq.Between(6, 36);
        c.sectionSteps = seq.Between(6, 36);
        c.ringRadius = seq.Between(100, 300);
        c.sectionRadius = seq.Between(20, 120);
        const bool large = seq.Between(0, 9) == 0;
        c.width = large ? seq.Between(801, 1300) : seq.Between(1, 800);
        c.height = large ? seq.Between(601, 1200) : seq.Between(1, 600);
        c.angleX = seq.Between(-72000, 72000) / 100.0;
        c.angleY = seq.Between(-3600, 3600) / 40.0;
        if (seq.Between(0, 3) == 0)
            c.angleX = static_cast<double>(seq.Between(0, 72)) * 5.0; // the animation's own angles
        c.texture = seq.Between(0, 2) == 0 ? "small" : "default";
        cases.push_back(c);
    }
    return cases;
}

std::string RenderDigest(const SFrameCase& frame, const std::string& sourceDir, int threads, bool inspect)
{
    CRenderSettings settings;
    settings.m_nMode = frame.mode;
    settings.m_nLight = frame.light;
    settings.m_nShading = frame.shading;
    settings.m_nSurfaceSteps = frame.surfaceSteps;
    settings.m_nSectionSteps = frame.sectionSteps;
    settings.m_nRingRadius = frame.ringRadius;
    settings.m_nSectionRadius = frame.sectionRadius;
    CTorusRenderer renderer;
    if (threads > 0)
        renderer.SetThreadCount(threads);
    std::shared_ptr<const CTexture> texture;
    if (frame.texture == "small") {
        static const auto small = std::make_shared<const CTexture>(SmallTexture());
        texture = small;
    } else {
        static std::shared_ptr<const CTexture> defaultTexture; // read once for the whole table
        if (!defaultTexture) {
            CTexture loaded;
            std::string error;
            if (!LoadTextureFile(sourceDir + "/Data/texture1.bmp", loaded, error))
                return std::string();
            defaultTexture = std::make_shared<const CTexture>(std::move(loaded));
        }
        texture = defaultTexture;
    }
    renderer.Setup(settings, frame.angleX, frame.angleY, texture);
    renderer.SetInspection(inspect);
    CPixelSink sink(frame.width, frame.height);
    renderer.RenderFrame(sink);

    std::vector<char> rgb;
    rgb.reserve(sink.Pixels().size() * 3);
    for (std::uint32_t p : sink.Pixels()) {
        rgb.push_back(static_cast<char>(p & 0xFF));
        rgb.push_back(static_cast<char>((p >> 8) & 0xFF));
        rgb.push_back(static_cast<char>((p >> 16) & 0xFF));
    }
    return QCryptographicHash::hash(QByteArrayView(rgb.data(), static_cast<qsizetype>(rgb.size())),
                                    QCryptographicHash::Sha256)
        .toHex()
        .toStdString();
}
