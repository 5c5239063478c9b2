#pragma once
// The traffic graph inside the main window: ten series of integer values, condensed into
// one point per step of its own timer and drawn as a scrolling line graph with a text line
// per series. Mouse input falls through to the parent. User-interface thread only.
// For a batch of configuration calls, switch setUpdatesEnabled off and on around them: the
// plot is still redrawn off-screen by each call, and the window repaints once at the end.

#include "CHistogramModel.h"
#include "CHistogramPlot.h"
#include "ColorRef.h"

#include <QBasicTimer>
#include <QFont>
#include <QFontMetrics>
#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#if defined(__GNUC__) || defined(__clang__)
#define CORVALA_PRINTF_LIKE(formatArg, firstArg) __attribute__((format(printf, formatArg, firstArg)))
#else
#define CORVALA_PRINTF_LIKE(formatArg, firstArg)
#endif

class CHistogramCtrl : public QWidget {
    Q_OBJECT

public:
    explicit CHistogramCtrl(QWidget *parent = nullptr);

    // Operations that end in a redraw return RebuildBuffer's result.
    int SetBackColor(ColorRef color);
    int SetGridVisible(int horizontal, int vertical);
    int SetGridColor(ColorRef horizontal, ColorRef vertical);
    int SetGridSize(int xStep, int yStep);
    // size in tenths of a point; label and face must not be null (UTF-8).
    int SetSeries(int index, ColorRef color, int width, const char *label, const char *face, int size,
                  int enabled);
    // 0 stops the scroll timer.
    int SetStepInterval(int interval);
    int SetRange(std::int32_t minimum, std::int32_t maximum);
    int AddValue(int index, std::int32_t value);
    int SetValueText(int index, int redraw, const char *format, ...) CORVALA_PRINTF_LIKE(4, 5);
    int SetValueText(int index, int redraw, const QString &text);
    int ClearHistory(int index);
    int RebuildBuffer();

    // One tick of the scroll timer: the automatic range, then the step.
    void Step();

    const CHistogramModel &Model() const { return m_model; }
    // What a series' text line shows, empty outside 0..9.
    QString Label(int index) const;
    QString ValueText(int index) const;
    const QImage &BackBuffer() const { return m_plot.Image(); }

    // With a formatter the top of the range is written small in the bottom-right corner, over
    // the plot as the text lines are; without one (the default) nothing is.
    void SetScaleFormatter(std::function<QString(std::int32_t top)> formatter);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    // A text as drawn, cut to the width it was last drawn in: cutting shapes the whole text,
    // so the cut is kept until the text, the font or the width changes.
    struct TextLine {
        QString text;
        QString shown;
        int width = -1; // what `shown` was cut to; -1: to be cut again
        void Set(const QString &value);
        const QString &Shown(const QFontMetrics &metrics, int width);
    };
    struct SeriesText {
        QColor color;
        TextLine label;
        TextLine value;
        std::optional<QFont> font; // none until the series is configured: no text line
        std::optional<QFontMetrics> metrics;
        int lineHeight = 0;
    };

    int ApplySeries(int index, ColorRef color, int width, const QString &label, const QString &face,
                    int size, int enabled);
    void SetSeriesFont(int index, const QString &face, int size);
    void SyncPixelRatio();
    void CopyPlot(QPainter &painter, const QRect &dirty);
    void DrawTextLines(QPainter &painter);
    void DrawScale(QPainter &painter);

    CHistogramModel m_model;
    CHistogramPlot m_plot;
    std::array<SeriesText, CHistogramModel::kSeriesCount> m_aText;
    QBasicTimer m_scrollTimer;
    std::function<QString(std::int32_t)> m_scaleFormatter;
};
