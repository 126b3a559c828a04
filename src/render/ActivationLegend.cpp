#include "render/ActivationLegend.h"

#include <GL/gl.h>

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "render/ActivationColours.h"

namespace vantrel {
namespace {

QColor ToQColor(const MapColour& c) {
    return QColor::fromRgbF(c.r, c.g, c.b);
}

int LegendFontPixels(int height) {
    return std::clamp(height / 45, 11, 20);
}

QString TickLabel(double ms, double step) {
    // Whole numbers when the step allows it; one decimal for finer steps.
    return QString::number(ms, 'f', step >= 1.0 ? 0 : 1);
}

}  // namespace

std::vector<double> LegendTicks(double maxMs) {
    if (!(maxMs > 0.0) || !std::isfinite(maxMs)) return {0.0};
    const double rough = maxMs / 5.0;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    double step = power;
    for (double factor : {1.0, 2.0, 5.0, 10.0}) {
        step = factor * power;
        if (step >= rough) break;
    }
    std::vector<double> ticks;
    for (double t = 0.0; t < maxMs - 0.35 * step; t += step) ticks.push_back(t);
    ticks.push_back(maxMs);
    return ticks;
}

QRect LegendBarRect(int width, int height) {
    const int font = LegendFontPixels(height);
    const int barHeight = std::clamp(height / 3, 60, 400);
    const int barWidth = std::max(12, font);
    const int right = width - 5 * font - 8;
    return QRect(right - barWidth, 2 * font + 12, barWidth, barHeight);
}

namespace {

const char* const kTitle = "activation (ms)";

QFont LegendFont(int height) {
    QFont font;
    font.setPixelSize(LegendFontPixels(height));
    return font;
}

int TitleLeft(const QRect& bar, const QFontMetrics& metrics) {
    const int labelWidth = metrics.horizontalAdvance("00000.0");
    return std::min(bar.left() - 6,
                    bar.right() + labelWidth + 6 - metrics.horizontalAdvance(kTitle));
}

}  // namespace

QRect LegendBackingRect(int width, int height) {
    const QFontMetrics metrics(LegendFont(height));
    const QRect bar = LegendBarRect(width, height);
    const int labelWidth = metrics.horizontalAdvance("00000.0");
    return QRect(QPoint(TitleLeft(bar, metrics) - 4, bar.top() - metrics.height() - 10),
                 QPoint(bar.right() + labelWidth + 10, bar.bottom() + metrics.height() / 2 + 6));
}

void DrawActivationLegend(QPainter& painter, int width, int height, double maxMs) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QFont font = LegendFont(height);
    painter.setFont(font);
    const QFontMetrics metrics(font);
    const QRect bar = LegendBarRect(width, height);
    const QString title = kTitle;
    const int left = TitleLeft(bar, metrics);
    // A light backing keeps the labels readable over any part of the scene.
    painter.fillRect(LegendBackingRect(width, height), QColor(255, 255, 255, 210));

    QLinearGradient gradient(bar.bottomLeft(), bar.topLeft());
    for (int i = 0; i <= 10; ++i) gradient.setColorAt(i / 10.0, ToQColor(ViridisAt(i / 10.0)));
    painter.fillRect(bar, gradient);
    painter.setPen(Qt::black);
    painter.drawRect(bar.adjusted(0, 0, -1, -1));

    painter.drawText(QPoint(left, bar.top() - 6), title);
    const std::vector<double> ticks = LegendTicks(maxMs);
    const double step = ticks.size() > 1 ? ticks[1] - ticks[0] : 1.0;
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        const double tick = ticks[i];
        const double fraction = maxMs > 0.0 ? tick / maxMs : 0.0;
        const int y = bar.bottom() - static_cast<int>(std::lround(fraction * (bar.height() - 1)));
        painter.drawLine(bar.right() + 1, y, bar.right() + 5, y);
        const bool last = i + 1 == ticks.size();
        painter.drawText(QPoint(bar.right() + 8, y + metrics.ascent() / 2 - 1),
                         TickLabel(tick, last ? 0.1 : step));
    }
    painter.restore();
}

}  // namespace vantrel

namespace vantrel {

void DrawActivationLegendOverlay(double maxMs, double devicePixelRatio) {
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    const double dpr = devicePixelRatio > 0.0 ? devicePixelRatio : 1.0;
    const int width = static_cast<int>(std::lround(viewport[2] / dpr));
    const int height = static_cast<int>(std::lround(viewport[3] / dpr));
    const QRect box = LegendBackingRect(width, height).intersected(QRect(0, 0, width, height));
    if (box.isEmpty()) return;
    QImage image(static_cast<int>(std::lround(box.width() * dpr)),
                 static_cast<int>(std::lround(box.height() * dpr)), QImage::Format_RGBA8888);
    image.fill(Qt::transparent);
    image.setDevicePixelRatio(dpr);
    {
        QPainter painter(&image);
        painter.translate(-box.topLeft());
        DrawActivationLegend(painter, width, height, maxMs);
    }
    // OpenGL rows run bottom up.
    const QImage rows = image.mirrored();
    const int x = static_cast<int>(std::lround(box.left() * dpr));
    const int y = viewport[3] - static_cast<int>(std::lround(box.top() * dpr)) - rows.height();

    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_TRANSFORM_BIT | GL_PIXEL_MODE_BIT |
                 GL_CURRENT_BIT);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, viewport[2], 0.0, viewport[3], -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glPixelZoom(1.0f, 1.0f);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glRasterPos2i(std::max(x, 0), std::max(y, 0));
    glDrawPixels(rows.width(), rows.height(), GL_RGBA, GL_UNSIGNED_BYTE, rows.constBits());
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopClientAttrib();
    glPopAttrib();
}

}  // namespace vantrel
