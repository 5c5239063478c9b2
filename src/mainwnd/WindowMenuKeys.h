#pragma once
// The ways to a window's context menu, watched on its events: the right button (at the
// pointer; the press goes on to the window after the menu), and from the keyboard Shift+F10
// and the Menu key (at the window's top-left corner).

#include <QObject>
#include <QPoint>

class QWidget;

class WindowMenuKeys : public QObject {
    Q_OBJECT

public:
    explicit WindowMenuKeys(QWidget *window);

signals:
    void menuRequested(const QPoint &globalPos);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
};
