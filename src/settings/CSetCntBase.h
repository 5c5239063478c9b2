#pragma once
// [TIME] and [CNTBASE]: sampling and display intervals, the counter group, the interface,
// and the graph's colours and grid. Read by the sampling thread, written by the options.

#include "CSetBase.h"
#include "ColorRef.h"

class CSetCntBase : public CSetBase {
public:
    int Load(const std::string &path) override;
    int Save(const std::string &path) override;
    void Reset() override;

    int GetCounterWait() const;
    int SetCounterWait(int wait);
    int GetDisplayWait() const;
    int SetDisplayWait(int wait);
    int GetType() const;
    int SetType(int type);
    std::string GetInsName() const;
    int SetInsName(const char *name); // 0 and no change without a name
    int GetInsIndex() const;
    int SetInsIndex(int index);
    ColorRef GetBackColor() const;
    int SetBackColor(ColorRef color);
    int GetGridSizeH() const;
    int SetGridSizeH(int size);
    int GetGridSizeV() const;
    int SetGridSizeV(int size);
    ColorRef GetGridColorH() const;
    int SetGridColorH(ColorRef color);
    ColorRef GetGridColorV() const;
    int SetGridColorV(ColorRef color);

private:
    // All guarded by m_lock.
    int m_nCounterWait = 0;
    int m_nDisplayWait = 0;
    int m_nType = 0;
    std::string m_strInsName;
    int m_nInsIndex = 0;
    ColorRef m_crBack = 0;
    int m_nGridSizeH = 0;
    int m_nGridSizeV = 0;
    ColorRef m_crGridH = 0;
    ColorRef m_crGridV = 0;
};
