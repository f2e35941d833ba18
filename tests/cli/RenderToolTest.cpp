// Runs of the built orbo-render program.

#include <gtest/gtest.h>

#include "render/BandWorkers.h"
#include "render/DepthImage.h"
#include "render/TorusRenderer.h"

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

namespace {

struct ToolRun
{
    int status = -1;
    QString out;
    QString err;
};

ToolRun RenderTool(const QStringList& args, const QString& workingDir = QString(),
                   QByteArray* standardOutput = nullptr)
{
    QProcess process;
    if (!workingDir.isEmpty())
        process.setWorkingDirectory(workingDir);
    process.start(QStringLiteral(ORBO_RENDER), args);
    process.waitForFinished(-1);
    ToolRun run;
    if (process.exitStatus() == QProcess::NormalExit)
        run.status = process.exitCode();
    const QByteArray out = process.readAllStandardOutput();
    if (standardOutput)
        *standardOutput = out;
    run.out = QString::fromUtf8(out);
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

class RenderToolTest : public ::testing::Test
{
protected:
    // The default texture is looked for in the working folder only, never in an
    // install of the program on this machine.
    RenderToolTest() { qputenv("ORBO_DATA_DIR", QByteArray()); }

    QString Path(const QString& name) const { return m_dir.filePath(name); }
    bool Empty() const { return QDir(m_dir.path()).isEmpty(); }
    QTemporaryDir m_dir;
};

TEST_F(RenderToolTest, DefaultFrameIsAWireframeOfTheWindowSize)
{
    const ToolRun run = RenderTool({"-o", Path("f.png")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QImage image(Path("f.png"));
    ASSERT_EQ(image.size(), QSize(520, 600));
    EXPECT_FALSE(image.hasAlphaChannel());
    int lit = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            lit += (image.pixel(x, y) & 0xFFFFFF) != 0 ? 1 : 0;
    EXPECT_GT(lit, 1000);
}

TEST_F(RenderToolTest, BadCommandLineWritesNothing)
{
    const QStringList cases[] = {
        {"--ring-radius", "50", "-o", Path("f.png")},
        {"--angle-x", "nan", "-o", Path("f.png")},
        {"--size", "100000x10", "-o", Path("f.png")},
        {"--frames", "3", "-o", Path("f.png")},
        {"--bogus", "-o", Path("f.png")},
        {"--mode", "surface"},
        {"--threads", "0", "-o", Path("f.png")},
        {"--threads", "257", "-o", Path("f.png")},
        {"--threads", "1.5", "-o", Path("f.png")},
        {"--facets", "-3", "-o", Path("f.png")},
        {"--facets", "ten", "-o", Path("f.png")},
        {"--depth-image", Path("d.png")}, // the wireframe has no depth buffer
        {"--mode", "surface", "--depth-image", "-"},
        {"--mode", "surface", "--depth-image", Path("d.png"), "--frames", "2", "-o", Path("f%d.png")},
        {"--history", "0,0", "--bench", "3"},
        {"--history", "0,0", "--inspect", "1,0"},
        {"--history", "300,0"},
    };
    for (const QStringList& args : cases) {
        const ToolRun run = RenderTool(args);
        EXPECT_EQ(run.status, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(run.err.startsWith("orbo-render: ")) << run.err.toStdString();
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
        EXPECT_TRUE(Empty()) << args.join(' ').toStdString();
    }
}

TEST_F(RenderToolTest, UnreadableTextureOrOutputFailsWithStatus1)
{
    QFile bad(Path("bad.bmp"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("BM not really an image");
    bad.close();
    ToolRun run = RenderTool({"--mode", "texture", "--texture", Path("bad.bmp"), "-o", Path("f.png")});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains(Path("bad.bmp"))) << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(Path("f.png")));

    // The default texture is looked for in the working folder.
    run = RenderTool({"--mode", "texture", "-o", Path("f.png")}, m_dir.path());
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains("./Data/texture1.bmp")) << run.err.toStdString();

    run = RenderTool({"-o", Path("missing/f.png")});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains(Path("missing/f.png"))) << run.err.toStdString();
}

TEST_F(RenderToolTest, TextureModeReadsTheDefaultTextureFromTheWorkingFolder)
{
    const ToolRun run = RenderTool({"--mode", "texture", "-o", Path("t.png")}, ORBO_SOURCE_DIR);
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(QImage(Path("t.png")).size(), QSize(520, 600));
}

// Pixel 20,10 lies on facet (0, 4), which spans the outer equator in front of
// the eye; the frame's corner is empty. The keys printed follow the drawing.
TEST_F(RenderToolTest, InspectPrintsThePixelsFacts)
{
    const struct
    {
        QStringList args;
        QStringList lines;
        QStringList absent;
    } cases[] = {
        {{"--inspect", "-250,290"},
         {"x=-250", "y=290", "colour=0,0,0", "drawing=lines", "depth=none", "facet=none"},
         {"normal=", "texel="}},
        {{"--mode", "surface", "--shading", "phong", "--inspect", "20,10"},
         {"x=20", "y=10", "drawing=phong", "facet=0,4", "depth=304.348968", "normal=0.0"},
         {"texel=", "corner-colours="}},
        {{"--mode", "surface", "--inspect", "20,10"},
         {"drawing=gouraud", "facet=0,4", "colour-interpolated=0.9", "corner-colours="},
         {"normal="}},
        {{"--mode", "surface", "--inspect", "-250,290"}, {"depth=background", "facet=none"}, {"normal="}},
        // Before its facet is drawn the pixel is background; from then on it is that facet's.
        {{"--mode", "surface", "--facets", "0", "--inspect", "20,10"}, {"depth=background", "facet=none"}, {}},
        {{"--mode", "surface", "--facets", "5", "--inspect", "20,10"}, {"facet=0,4"}, {}},
        {{"--mode", "texture", "--light", "off", "--inspect", "20,10"},
         {"drawing=texture", "facet=0,4", "texel=9,74"},
         {"normal="}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const ToolRun run = RenderTool(c.args, ORBO_SOURCE_DIR);
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
        const QStringList printed = run.out.split('\n', Qt::SkipEmptyParts);
        for (const QString& line : printed)
            EXPECT_TRUE(line.contains('=')) << line.toStdString();
        for (const QString& expected : c.lines)
            EXPECT_TRUE(printed.filter(QRegularExpression("^" + QRegularExpression::escape(expected))).size() == 1)
                << expected.toStdString() << " in\n" << run.out.toStdString();
        for (const QString& key : c.absent)
            EXPECT_FALSE(run.out.contains(key)) << key.toStdString();
    }
    EXPECT_TRUE(Empty()) << "no image without -o";

    // With -o the frame is written too, and the colour printed is its pixel's.
    const ToolRun run = RenderTool({"--mode", "surface", "--inspect", "20,10", "-o", Path("i.png")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QColor pixel = QImage(Path("i.png")).pixelColor(260 + 20, 300 - 10);
    EXPECT_TRUE(run.out.contains(QStringLiteral("colour=%1,%2,%3\n").arg(pixel.red()).arg(pixel.green()).arg(pixel.blue())))
        << run.out.toStdString();
}

// --history: every drawing, whole and partial frames, one and three threads.
// Its lines follow --inspect's; the last colour written is the pixel's, and a
// pixel of a filled drawing that no sample passed is background.
TEST_F(RenderToolTest, HistoryEndsInThePixelsColour)
{
    const QStringList drawings[] = {{"--mode", "wireframe"},
                                    {"--mode", "surface"},
                                    {"--mode", "surface", "--shading", "phong"},
                                    {"--mode", "texture", "--light", "off"},
                                    {"--mode", "texture"}};
    const QRegularExpression entry(
        "^sample=(\\d+) order=(\\d+) facet=\\d+,\\d+( x=\\S+ depth=\\S+ tested-against=\\S+ passed=([01]))?"
        "( colour=(\\d+,\\d+,\\d+))?$");
    for (const QStringList& drawing : drawings) {
        for (const QString threads : {"1", "3"}) {
            for (const QStringList& limit : {QStringList(), QStringList{"--facets", "30"}}) {
                // A pixel of an edge of facet (0, 5), and one behind the front of the ring.
                for (const QString pixel : {"0,-33", "-96,-25"}) {
                    const QStringList args = drawing + limit + QStringList{"--threads", threads, "--history", pixel};
                    SCOPED_TRACE(args.join(' ').toStdString());
                    const ToolRun run = RenderTool(args, ORBO_SOURCE_DIR);
                    ASSERT_EQ(run.status, 0) << run.err.toStdString();
                    const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
                    const int at = static_cast<int>(lines.indexOf(QRegularExpression("^history=\\d+$")));
                    ASSERT_GT(at, 0) << run.out.toStdString();
                    EXPECT_TRUE(lines.first().startsWith("x=")) << "after the facts of --inspect";
                    ASSERT_EQ(lines.size() - at - 1, lines[at].mid(8).toInt());
                    QString last;
                    for (int k = at + 1; k < lines.size(); ++k) {
                        const QRegularExpressionMatch m = entry.match(lines[k]);
                        ASSERT_TRUE(m.hasMatch()) << lines[k].toStdString();
                        EXPECT_EQ(m.captured(1).toInt(), k - at - 1);
                        EXPECT_EQ(m.captured(3).isEmpty(), drawing[1] == "wireframe");
                        EXPECT_EQ(m.captured(5).isEmpty(), m.captured(4) == "0");
                        if (!m.captured(6).isEmpty())
                            last = m.captured(6);
                    }
                    const QString colour = lines.filter(QRegularExpression("^colour=")).value(0).mid(7);
                    EXPECT_EQ(last.isEmpty() ? QString("0,0,0") : last, colour) << run.out.toStdString();
                }
            }
        }
    }
}

// --depth-image writes the depth buffer the renderer holds, level by level,
// and prints its range; -o is optional then.
TEST_F(RenderToolTest, DepthImageIsTheDepthBuffer)
{
    const ToolRun run = RenderTool({"--mode", "surface", "--size", "160x120", "--angle-x", "40", "--threads", "3",
                                    "--facets", "150", "--depth-image", Path("d.png")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QImage written(Path("d.png"));
    ASSERT_EQ(written.format(), QImage::Format_Grayscale16);
    ASSERT_EQ(written.size(), QSize(160, 120));

    CTorusRenderer renderer;
    CRenderSettings settings;
    settings.m_nMode = kModeSurface;
    renderer.Setup(settings, 40.0, 0.0);
    renderer.SetFacetLimit(150);
    renderer.SetInspection(true);
    CPixelSink frame(160, 120);
    renderer.RenderFrame(frame);
    CDepthImage depth;
    ASSERT_TRUE(depth.Take(renderer, frame));
    int drawn = 0;
    for (int row = 0; row < 120; ++row) {
        const auto* levels = reinterpret_cast<const std::uint16_t*>(written.constScanLine(row));
        for (int col = 0; col < 160; ++col) {
            ASSERT_EQ(levels[col], depth.Level(col, row)) << col << "," << row;
            drawn += levels[col] != 0 ? 1 : 0;
        }
    }
    EXPECT_GT(drawn, 1000);
    EXPECT_TRUE(run.out.contains(QString::asprintf("depth-min=%.6f\ndepth-max=%.6f\n", depth.Least(),
                                                   depth.Greatest())))
        << run.out.toStdString();
}

TEST_F(RenderToolTest, FramesAreNumberedFromZeroAndTurn)
{
    const ToolRun run = RenderTool({"--frames", "3", "--size", "64x48", "-o", Path("f%02d.png")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files),
              QStringList({"f00.png", "f01.png", "f02.png"}));
    EXPECT_NE(QImage(Path("f00.png")), QImage(Path("f01.png")));
}

// The images one after another in a stream: binary PPMs as orbo-render writes
// them (header "P6\nW H\n255\n"), or PNGs, cut after their IEND chunk.
QList<QImage> SplitStream(const QByteArray& stream, const char* format)
{
    QList<QImage> images;
    qsizetype at = 0;
    while (at < stream.size()) {
        qsizetype end = stream.size();
        if (QByteArray(format) == "ppm") {
            const QList<QByteArray> header = stream.mid(at, 32).split('\n');
            const QList<QByteArray> size = header.value(1).split(' ');
            if (header.value(0) != "P6" || size.size() != 2)
                break;
            end = at + header[0].size() + header[1].size() + header.value(2).size() + 3 +
                  size[0].toLongLong() * size[1].toLongLong() * 3;
        } else {
            for (qsizetype chunk = at + 8; chunk + 12 <= stream.size();) {
                const auto* b = reinterpret_cast<const uchar*>(stream.constData() + chunk);
                const qsizetype length = (qsizetype{b[0]} << 24) | (b[1] << 16) | (b[2] << 8) | b[3];
                const bool last = stream.mid(chunk + 4, 4) == "IEND";
                chunk += 12 + length;
                if (last) {
                    end = chunk;
                    break;
                }
            }
        }
        images.append(QImage::fromData(stream.mid(at, end - at), format));
        at = end;
    }
    return images;
}

// A sequence is the frames drawn one at a time, in order: as numbered files,
// and as a stream of PPMs or of PNGs on the standard output.
TEST_F(RenderToolTest, SequencesAreTheSingleFramesInOrder)
{
    const QStringList scene = {"--mode", "surface", "--shading", "phong", "--size", "61x47", "--angle-x", "340"};
    ToolRun run = RenderTool(scene + QStringList{"--frames", "7", "--compression", "9", "-o", Path("f%d.png")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    QByteArray ppm, png;
    run = RenderTool(scene + QStringList{"--frames", "7", "--format", "ppm", "-o", "-"}, QString(), &ppm);
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    run = RenderTool(scene + QStringList{"--frames", "7", "-o", "-"}, QString(), &png);
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QList<QImage> ppms = SplitStream(ppm, "ppm"), pngs = SplitStream(png, "png");
    ASSERT_EQ(ppms.size(), 7);
    ASSERT_EQ(pngs.size(), 7);
    for (int n = 0; n < 7; ++n) {
        SCOPED_TRACE(n);
        const QImage file(Path(QStringLiteral("f%1.png").arg(n)));
        ASSERT_EQ(file.size(), QSize(61, 47));
        EXPECT_EQ(ppms[n].convertToFormat(QImage::Format_RGB32), file.convertToFormat(QImage::Format_RGB32));
        EXPECT_EQ(pngs[n].convertToFormat(QImage::Format_RGB32), file.convertToFormat(QImage::Format_RGB32));
    }
    // 5 degrees a frame from 340: frame 4 is at 360, frame 5 back at 0.
    run = RenderTool(scene.mid(0, 6) + QStringList{"--angle-x", "0", "-o", Path("single.png")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(QImage(Path("single.png")), QImage(Path("f5.png")));

    // A pattern ending in .ppm names PPM files.
    run = RenderTool(scene + QStringList{"--frames", "2", "-o", Path("p%d.ppm")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    QFile first(Path("p1.ppm"));
    ASSERT_TRUE(first.open(QIODevice::ReadOnly));
    EXPECT_TRUE(first.readAll().startsWith("P6\n61 47\n255\n"));
}

// --facets stops the frame after that many facets; more than there are is the whole frame.
TEST_F(RenderToolTest, FacetsStopTheFrameEarly)
{
    for (const QString facets : {"0", "40", "100000"}) {
        const ToolRun run = RenderTool(
            {"--mode", "surface", "--size", "200x160", "--facets", facets, "-o", Path("f" + facets + ".png")});
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
    }
    ASSERT_EQ(RenderTool({"--mode", "surface", "--size", "200x160", "-o", Path("all.png")}).status, 0);
    const QImage none(Path("f0.png")), some(Path("f40.png")), all(Path("all.png"));
    EXPECT_EQ(QImage(Path("f100000.png")), all);
    EXPECT_NE(some, all);
    EXPECT_NE(some, none);
    EXPECT_EQ(none.pixel(100, 80) & 0xFFFFFF, 0u) << "no facet, a black frame";
}

TEST_F(RenderToolTest, EmptyFrameAndBenchWriteNoFile)
{
    ToolRun run = RenderTool({"--size", "0x600", "-o", Path("f.png")});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.err.contains("no image was written")) << run.err.toStdString();

    run = RenderTool({"--bench", "2", "--size", "32x32", "--mode", "surface"}, m_dir.path());
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith("frames=2 size=32x32 mode=surface")) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains("ms_per_frame min=")) << run.out.toStdString();
    EXPECT_TRUE(Empty());

    // The first line names the threads that filled the facets: no more than the
    // processors run at once, whatever was asked.
    for (int threads : {1, 256}) {
        run = RenderTool({"--bench", "1", "--threads", QString::number(threads), "--size", "16x16"}, m_dir.path());
        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        const QString used = QStringLiteral(" threads=%1").arg(std::min(threads, CBandWorkers::MaxThreads()));
        EXPECT_TRUE(run.out.section('\n', 0, 0).endsWith(used)) << run.out.toStdString();
    }
    EXPECT_TRUE(Empty());
}

// Commands run by bash, for arguments that are not UTF-8 ($'\xff').
int Shell(const std::string& folder, const std::string& command)
{
    const std::string script = folder + "/run.sh";
    std::ofstream(script) << command << '\n';
    return WEXITSTATUS(std::system(("bash '" + script + "'").c_str()));
}

TEST_F(RenderToolTest, OutputToPipesDevicesAndStandardOutput)
{
    QByteArray png;
    ToolRun run = RenderTool({"--size", "8x8", "-o", "-"}, QString(), &png);
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(QImage::fromData(png, "png").size(), QSize(8, 8));

    run = RenderTool({"--size", "8x8", "-o", "/dev/full"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains("No space left on device")) << run.err.toStdString();
    EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
    struct stat info {};
    ASSERT_EQ(::stat("/dev/full", &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));

    // A pipe stays a pipe and receives the image.
    const std::string fifo = Path("pipe").toStdString();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    run = RenderTool({"--size", "8x8", "-o", Path("pipe")});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    char head[4] = {};
    EXPECT_EQ(::read(reader, head, 4), 4);
    EXPECT_EQ(std::string(head + 1, 3), "PNG");
    ::close(reader);
    ASSERT_EQ(::stat(fifo.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));

    // As a texture a pipe is refused at once.
    run = RenderTool({"--mode", "texture", "--texture", Path("pipe"), "-o", Path("t.png")});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains("not a regular file")) << run.err.toStdString();
    ::unlink(fifo.c_str());
}

TEST_F(RenderToolTest, NamesThatAreNotUtf8AreUsedAsGiven)
{
    const std::string dir = m_dir.path().toStdString();
    const std::string tool = ORBO_RENDER;
    ASSERT_EQ(Shell(dir, "cd '" + dir + "' && '" + tool + "' --size 8x8 -o $'\\xff.png' && '" + tool +
                    "' --size 9x9 -o $'\\xfe.png' && cp " ORBO_SOURCE_DIR
                    "/tests/imageio/textures/seeds/bpp24.bmp $'t\\xff.bmp' && '" +
                    tool + "' --mode texture --size 8x8 --texture $'t\\xff.bmp' -o t.png"),
              0);
    std::ifstream a(dir + "/\xff.png"), b(dir + "/\xfe.png");
    EXPECT_TRUE(a.good());
    EXPECT_TRUE(b.good());
    // A missing one is named escaped, on one line.
    ToolRun run = RenderTool({"--mode", "texture", "--texture", QString::fromUtf8("m\n\x1b.bmp"), "-o", Path("f.png")});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains("'m\\n\\e.bmp'")) << run.err.toStdString();
    EXPECT_EQ(run.err.count('\n'), 1);
    Shell(dir, "rm -f '" + dir + "'/$'\\xff.png' '" + dir + "'/$'\\xfe.png' '" + dir + "'/$'t\\xff.bmp'");
}

// What the image library says about a file it reads shows only when asked:
// a PNG whose text chunk is damaged loads, the library's warning with --verbose
// only; a cut one gives our one line.
TEST_F(RenderToolTest, LibraryWarningsOnlyWithVerbose)
{
    QFile rgb(QStringLiteral(ORBO_SOURCE_DIR "/tests/imageio/textures/seeds/rgb.png"));
    ASSERT_TRUE(rgb.open(QIODevice::ReadOnly));
    QByteArray png = rgb.readAll();
    // After the header: a text chunk whose checksum is wrong.
    png.insert(33, QByteArray::fromHex("0000000174455874") + "x" + QByteArray::fromHex("00000000"));
    QFile damaged(Path("damaged.png"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write(png);
    damaged.close();
    ToolRun run = RenderTool({"--mode", "texture", "--texture", Path("damaged.png"), "-o", Path("f.png")});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.err, "");
    run = RenderTool({"--verbose", "--mode", "texture", "--texture", Path("damaged.png"), "-o", Path("f.png")});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.err.contains("CRC error")) << run.err.toStdString();

    const QString cut = QStringLiteral(ORBO_SOURCE_DIR "/tests/imageio/textures/bad/png-cut.png");
    run = RenderTool({"--mode", "texture", "--texture", cut, "-o", Path("f.png")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
}

// Runs a bash script with $R naming orbo-render, in folder; the status of the
// script's last command, and what it wrote to stderr.
ToolRun Script(const QString& folder, const QString& script)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("R", QStringLiteral(ORBO_RENDER));
    process.setProcessEnvironment(env);
    process.start("bash", {"-c", script});
    // A run that hangs fails instead of stalling the tests.
    const bool finished = process.waitForFinished(120000);
    if (!finished) {
        process.kill();
        process.waitForFinished(-1);
    }
    ToolRun run;
    run.status = finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// Every failed write says why on one line and ends with status 1: a file-size
// limit, a full or closed standard output, a reader that has gone. None leaves a
// file behind.
TEST_F(RenderToolTest, FailedWritesAreReportedWithStatus1)
{
    // A device node of our own for "disk full" (character device 1,7), else the system's.
    QString full = Path("full");
    if (::mknod(full.toLocal8Bit().constData(), S_IFCHR | 0666, makedev(1, 7)) != 0 ||
        Script(m_dir.path(), "echo x > full").status == 0)
        full = "/dev/full";
    if (!QFile::exists(full))
        GTEST_SKIP() << "no device node for a full disk: cannot make one and /dev/full is missing";
    const struct
    {
        QString script;
        QString reason;
    } cases[] = {
        {"ulimit -f 4; \"$R\" --size 1000x1000 --mode surface -o x.png", "File too large"},
        {"\"$R\" --inspect 0,0 > " + full, "No space left on device"},
        {"\"$R\" --bench 1 --size 8x8 > " + full, "No space left on device"},
        {"\"$R\" --help > " + full, "No space left on device"},
        {"\"$R\" --version > " + full, "No space left on device"},
        {"\"$R\" --version >&-", "Bad file descriptor"},
        {"\"$R\" --inspect 0,0 >&-", "Bad file descriptor"},
        // The reader has gone before the image is written.
        {"{ sleep 0.3; exec \"$R\" -o -; } | true; exit ${PIPESTATUS[0]}", "Broken pipe"},
        // A sequence stops at the first frame that cannot be written, and leaves
        // no part of it.
        {"ulimit -f 4; \"$R\" --frames 3 --size 1000x1000 --mode surface -o 'x%d.png'", "File too large"},
        {"\"$R\" --frames 40 --size 64x64 --format ppm -o - | head -c 100 >/dev/null; exit ${PIPESTATUS[0]}",
         "Broken pipe"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script.toStdString());
        const ToolRun run = Script(m_dir.path(), c.script);
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(run.err.startsWith("orbo-render: ")) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(c.reason)) << run.err.toStdString();
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
        EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
                  full == Path("full") ? QStringList{"full"} : QStringList{});
    }
}

// Threads that cannot be started (a limit on processes, here binding a user
// without privileges) leave the caller's thread to draw, and the run says so.
TEST_F(RenderToolTest, ThreadsThatCannotStartLeaveTheCallersThread)
{
    if (CBandWorkers::MaxThreads() < 2)
        GTEST_SKIP() << "one processor: one thread is asked for";
    const QString as = ::geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
    if (Script(m_dir.path(), as + "\"$R\" --version").status != 0)
        GTEST_SKIP() << "orbo-render cannot be run as another user here";
    const ToolRun run =
        Script(m_dir.path(), "export ASAN_OPTIONS=detect_leaks=0; " + as +
                                 "prlimit --nproc=1 \"$R\" --bench 2 --threads 2 --size 64x64 --mode surface");
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.section('\n', 0, 0).endsWith(" threads=1")) << run.out.toStdString();
    EXPECT_EQ(run.err, "orbo-render: only 1 of 2 threads could be started (Resource temporarily "
                       "unavailable); drawing with 1\n");
}

// Memory that runs out, on any thread, ends the run with status 1 and the
// reason: never an abort, never a hang. Limits below what a 16384 x 16384
// frame needs (1 GB for its pixels, about 1.1 GB of address space in all with
// its encoding), the last within a few per cent of it.
TEST_F(RenderToolTest, MemoryThatRunsOutEndsTheRunWithStatus1)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer needs more address space than any limit here leaves";
#else
    for (int megabytes : {300, 1040, 1080}) {
        SCOPED_TRACE(megabytes);
        const ToolRun run = Script(m_dir.path(), QStringLiteral("ulimit -v %1; \"$R\" --size 16384x16384 --mode "
                                                                "surface --threads 2 -o big.png")
                                                     .arg(megabytes * 1024));
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(run.err.contains("not enough memory")) << run.err.toStdString();
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
        EXPECT_TRUE(Empty());
    }
#endif
}

} // namespace
