#include "ui/InspectorText.h"

#include <QCoreApplication>

namespace {

QString Bytes(std::uint32_t colorRef)
{
    return QStringLiteral("%1, %2, %3")
        .arg(colorRef & 0xFF)
        .arg((colorRef >> 8) & 0xFF)
        .arg((colorRef >> 16) & 0xFF);
}

QString Triple(double a, double b, double c)
{
    return QStringLiteral("(%1, %2, %3)").arg(a, 0, 'f', 3).arg(b, 0, 'f', 3).arg(c, 0, 'f', 3);
}

} // namespace

QStringList InspectorLines(const SPixelFacts& f)
{
    QStringList lines;
    lines << QCoreApplication::translate("InspectorText", "坐标 (%1, %2)").arg(f.x).arg(f.y);
    lines << QCoreApplication::translate("InspectorText", "颜色 %1").arg(Bytes(f.colour));
    if (!f.recorded)
        return lines; // the records come with the next frame
    if (f.drawing == SPixelFacts::kLines)
        lines << QCoreApplication::translate("InspectorText", "深度 无（线条不做深度测试）");
    else if (f.hasDepth)
        lines << QCoreApplication::translate("InspectorText", "深度 %1").arg(f.depth, 0, 'f', 3);
    else
        lines << QCoreApplication::translate("InspectorText", "深度 背景");
    if (!f.drawn) {
        lines << QCoreApplication::translate("InspectorText", "面片 无（背景）");
        return lines;
    }
    lines << QCoreApplication::translate("InspectorText", "面片 i = %1, j = %2").arg(f.i).arg(f.j);
    if (f.hasNormal)
        lines << QCoreApplication::translate("InspectorText", "插值法向 %1")
                     .arg(Triple(f.normal.x, f.normal.y, f.normal.z));
    if (f.hasColour) {
        lines << QCoreApplication::translate("InspectorText", "插值颜色 %1")
                     .arg(Triple(f.interpolated.r, f.interpolated.g, f.interpolated.b));
        QStringList corners;
        for (std::uint32_t corner : f.corners)
            corners << QStringLiteral("(%1)").arg(Bytes(corner));
        lines << QCoreApplication::translate("InspectorText", "角点颜色 %1")
                     .arg(corners.join(QStringLiteral(" ")));
    }
    if (f.hasTexel)
        lines << QCoreApplication::translate("InspectorText", "纹素 (%1, %2)").arg(f.u).arg(f.v);
    return lines;
}
