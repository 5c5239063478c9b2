#include "CMonitorDlg.h"

#include "DialogUnits.h"

namespace {

constexpr int kMinWidth = 240;
constexpr int kMinHeight = 80;

} // namespace

CMonitorDlg::CMonitorDlg(QWidget *parent)
    : QDialog(parent, Qt::Tool | Qt::FramelessWindowHint)
{
    const DialogUnits units;
    setMinimumSize(kMinWidth, kMinHeight);
    resize(units.X(130), units.Y(50));
}

void CMonitorDlg::accept()
{
}

void CMonitorDlg::reject()
{
}
