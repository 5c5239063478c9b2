#include "CHistogramCtrl.h"

#include <QPaintEvent>
#include <QPainter>
#include <QTimerEvent>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <string>

namespace {

// Face names are cut where the Windows font interface cuts them.
constexpr int kMaxFaceLength = 31;
// Text lines start this far from the top and left, and stand this far apart.
constexpr int kTextMargin = 2;
constexpr int kMaxFontPixels = 4096;

bool IsSeriesIndex(int index) { return index >= 0 && index < CHistogramModel::kSeriesCount; }

// Texts of the settings file come in the system's code page (UTF-8 on Linux).
QString FormatText(const char *format, va_list args)
{
    // Value texts are short; the heap is only needed for unusually long ones.
    char buffer[256];
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(buffer, sizeof buffer, format, args);
    QString text;
    if (length >= static_cast<int>(sizeof buffer)) {
        std::string longer(static_cast<std::size_t>(length) + 1, '\0');
        std::vsnprintf(longer.data(), longer.size(), format, again);
        text = QString::fromLocal8Bit(longer.data(), length);
    } else if (length > 0) {
        text = QString::fromLocal8Bit(buffer, length);
    }
    va_end(again);
    return text;
}

QString CutFaceName(const QString &face)
{
    QString name = face.left(kMaxFaceLength);
    if (name.size() == kMaxFaceLength && name.back().isHighSurrogate())
        name.chop(1);
    return name;
}

} // namespace

CHistogramCtrl::CHistogramCtrl(QWidget *parent) : QWidget(parent)
{
    // Dragging and the context menu belong to the main window, over the graph as well.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // The paint covers every pixel with the plot, so Qt need not clear first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    RebuildBuffer();
}

int CHistogramCtrl::SetBackColor(ColorRef color)
{
    m_plot.SetBackColor(color);
    return RebuildBuffer();
}

int CHistogramCtrl::SetGridVisible(int horizontal, int vertical)
{
    m_plot.SetGridVisible(horizontal, vertical);
    return RebuildBuffer();
}

int CHistogramCtrl::SetGridColor(ColorRef horizontal, ColorRef vertical)
{
    m_plot.SetGridColors(horizontal, vertical);
    return RebuildBuffer();
}

int CHistogramCtrl::SetGridSize(int xStep, int yStep)
{
    if (!m_model.SetGridSize(xStep, yStep))
        return 0;
    return RebuildBuffer();
}

int CHistogramCtrl::SetSeries(int index, ColorRef color, int width, const char *label, const char *face,
                              int size, int enabled)
{
    if (label == nullptr || face == nullptr)
        return 0;
    // The label comes from the settings file, in the system's code page; the face is the
    // program's own text.
    return ApplySeries(index, color, width, QString::fromLocal8Bit(label), QString::fromUtf8(face), size,
                       enabled);
}

int CHistogramCtrl::SetStepInterval(int interval)
{
    // Qt refuses negative periods; such an interval leaves the graph standing still.
    if (interval > 0)
        m_scrollTimer.start(interval, this);
    else
        m_scrollTimer.stop();
    return 1;
}

int CHistogramCtrl::SetRange(std::int32_t minimum, std::int32_t maximum)
{
    m_model.SetRange(minimum, maximum);
    return RebuildBuffer();
}

int CHistogramCtrl::AddValue(int index, std::int32_t value) { return m_model.AddValue(index, value); }

int CHistogramCtrl::SetValueText(int index, int redraw, const char *format, ...)
{
    if (!IsSeriesIndex(index) || format == nullptr)
        return 0;
    va_list args;
    va_start(args, format);
    const QString text = FormatText(format, args);
    va_end(args);
    return SetValueText(index, redraw, text);
}

int CHistogramCtrl::SetValueText(int index, int redraw, const QString &text)
{
    if (!IsSeriesIndex(index))
        return 0;
    m_aText[static_cast<std::size_t>(index)].value.Set(text);
    // Without a redraw the text shows at the next repaint, which the next step asks for.
    return redraw != 0 ? RebuildBuffer() : 1;
}

int CHistogramCtrl::ClearHistory(int index)
{
    if (!m_model.ClearHistory(index))
        return 0;
    return RebuildBuffer();
}

int CHistogramCtrl::RebuildBuffer()
{
    m_model.SetClientSize(width(), height());
    if (!m_plot.Redraw(m_model, devicePixelRatioF()))
        return 0;
    // A no-op while the caller has switched updates off; switching them on repaints.
    update();
    return 1;
}

void CHistogramCtrl::Step()
{
    // A new range redraws the whole plot at the old values; the step then draws only its
    // right end. The window repaints whole: with the pixels scrolled on the X server instead,
    // only the strip and the text lines painted anew, the X server and the program together
    // spent about a tenth more.
    if (m_model.UpdateAutoRange())
        RebuildBuffer();
    const CHistogramModel::StepPoints points = m_model.Step();
    m_plot.DrawStep(m_model, points);
    update();
}

void CHistogramCtrl::paintEvent(QPaintEvent *event)
{
    SyncPixelRatio();
    QPainter painter(this);
    CopyPlot(painter, event->rect());
    DrawTextLines(painter);
    if (m_scaleFormatter)
        DrawScale(painter);
}

void CHistogramCtrl::SetScaleFormatter(std::function<QString(std::int32_t)> formatter)
{
    m_scaleFormatter = std::move(formatter);
    update();
}

// In the font and colour of the first shown series, whose unit the top is written in.
void CHistogramCtrl::DrawScale(QPainter &painter)
{
    for (int i = 0; i < CHistogramModel::kSeriesCount; ++i) {
        const SeriesText &text = m_aText[static_cast<std::size_t>(i)];
        if (!m_model.IsEnabled(i) || !text.font)
            continue;
        painter.setFont(*text.font);
        painter.setPen(text.color);
        painter.drawText(rect().adjusted(kTextMargin, kTextMargin, -4, -kTextMargin),
                         Qt::AlignRight | Qt::AlignBottom | Qt::TextSingleLine,
                         m_scaleFormatter(m_model.GetMaximum()));
        return;
    }
}

void CHistogramCtrl::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    RebuildBuffer();
}

void CHistogramCtrl::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_scrollTimer.timerId())
        Step();
    else
        QWidget::timerEvent(event);
}

int CHistogramCtrl::ApplySeries(int index, ColorRef color, int width, const QString &label,
                                const QString &face, int size, int enabled)
{
    if (!m_model.SetEnabled(index, enabled))
        return 0;
    m_plot.SetSeriesPen(index, color, width);
    SetSeriesFont(index, face, size);
    SeriesText &text = m_aText[static_cast<std::size_t>(index)];
    text.color = ToQColor(color);
    text.label.Set(label);
    return RebuildBuffer();
}

QString CHistogramCtrl::Label(int index) const
{
    return CHistogramModel::IsValidIndex(index) ? m_aText[static_cast<std::size_t>(index)].label.text : QString();
}

QString CHistogramCtrl::ValueText(int index) const
{
    return CHistogramModel::IsValidIndex(index) ? m_aText[static_cast<std::size_t>(index)].value.text : QString();
}

void CHistogramCtrl::SetSeriesFont(int index, const QString &face, int size)
{
    QFont font(CutFaceName(face));
    // Ten-pixel text on black: smoothed edges would only dim the series colour.
    font.setStyleStrategy(QFont::NoAntialias);
    // size is in tenths of a point: 720 tenths to the inch.
    const std::int64_t pixels = std::int64_t{logicalDpiY()} * size / 720;
    if (pixels > 0)
        font.setPixelSize(static_cast<int>(std::min<std::int64_t>(pixels, kMaxFontPixels)));
    SeriesText &text = m_aText[static_cast<std::size_t>(index)];
    text.font = font;
    text.metrics.emplace(font);
    text.lineHeight = text.metrics->size(Qt::TextSingleLine, QStringLiteral("TEXT")).height();
    text.label.width = text.value.width = -1;
}

void CHistogramCtrl::TextLine::Set(const QString &value)
{
    if (value == text)
        return;
    text = value;
    width = -1;
}

const QString &CHistogramCtrl::TextLine::Shown(const QFontMetrics &metrics, int lineWidth)
{
    if (width != lineWidth) {
        shown = metrics.elidedText(text, Qt::ElideRight, lineWidth);
        width = lineWidth;
    }
    return shown;
}

void CHistogramCtrl::SyncPixelRatio()
{
    // Moved to a screen of another pixel ratio: redraw the plot sharp for it.
    const QImage &image = m_plot.Image();
    if (!image.isNull() && image.devicePixelRatio() != devicePixelRatioF())
        m_plot.Redraw(m_model, devicePixelRatioF());
}

void CHistogramCtrl::CopyPlot(QPainter &painter, const QRect &dirty)
{
    const QImage &image = m_plot.Image();
    if (image.isNull()) {
        painter.fillRect(dirty, QColor(m_plot.GetBackColor()));
        return;
    }
    const qreal ratio = image.devicePixelRatio();
    const QRectF source(dirty.x() * ratio, dirty.y() * ratio, dirty.width() * ratio,
                        dirty.height() * ratio);
    painter.drawImage(QRectF(dirty), image, source);
}

void CHistogramCtrl::DrawTextLines(QPainter &painter)
{
    const int w = width();
    const int h = height();
    const int valueLeft = w / 2 + 1;
    int top = kTextMargin;
    for (int i = 0; i < CHistogramModel::kSeriesCount; ++i) {
        SeriesText &text = m_aText[static_cast<std::size_t>(i)];
        if (!m_model.IsEnabled(i) || !text.font)
            continue;
        painter.setFont(*text.font);
        painter.setPen(text.color);
        // Labels from the left edge to W - 1, values from the middle to W - 4.
        const QRect label(kTextMargin, top, w - 1 - kTextMargin, h - top);
        const QRect value(valueLeft, top, w - 4 - valueLeft, h - top);
        if (!text.label.text.isEmpty())
            painter.drawText(label, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                             text.label.Shown(*text.metrics, label.width()));
        if (!text.value.text.isEmpty())
            painter.drawText(value, Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine,
                             text.value.Shown(*text.metrics, value.width()));
        top += text.lineHeight + kTextMargin;
    }
}
