#pragma once
// [CORVALA_EXTRA]: the readout, notification-area, graph-scale, interface-source and totals
// options, all off by default. Unlike the other sections it never writes a default: a
// first start leaves the file as it was, and Save writes only the keys whose value differs
// from what the file was last known to hold. Getters on any thread; Load and Save on the
// user-interface thread.

#include "CSetBase.h"

#include <array>

class CSetExtra : public CSetBase {
public:
    enum Key {
        kRateUnit,
        kRateBase,
        kRateDecimals,
        kTrayTip,
        kTrayIcon,
        kGraphTip,
        kGraphScale,
        kSource,
        kTotals,
        kCapMib,
        kCapDay,
        kKeyCount
    };
    // Values of RATE_UNIT, RATE_BASE and SOURCE.
    static constexpr int kUnitBytes = 0;
    static constexpr int kUnitBits = 1;
    static constexpr int kBaseBinary = 1024;
    static constexpr int kBaseDecimal = 1000;
    static constexpr int kSourceNamed = 0;        // the interface of [CNTBASE]
    static constexpr int kSourcePhysicalSum = 1;  // every physical interface, summed
    static constexpr int kSourceDefaultRoute = 2; // the interface that carries the default route

    // Reads every key; a missing, malformed or out-of-range value gives the default. Also
    // serves to re-read the section after the options were applied. Writes nothing.
    int Load(const std::string &path) override;
    // Writes the keys changed since the last Load or Save, and only those.
    int Save(const std::string &path) override;
    // Every value to its default, in memory.
    void Reset() override;

    static const char *KeyName(Key key);
    static int DefaultOf(Key key);
    static bool IsValid(Key key, int value);
    // The smallest and the largest value a key takes (RATE_BASE takes only these two).
    static int MinimumOf(Key key);
    static int MaximumOf(Key key);

    int GetValue(Key key) const;
    // 0, and no change, for a value the key does not take.
    int SetValue(Key key, int value);

    int GetRateUnit() const { return GetValue(kRateUnit); }
    int SetRateUnit(int unit) { return SetValue(kRateUnit, unit); }
    int GetRateBase() const { return GetValue(kRateBase); }
    int SetRateBase(int base) { return SetValue(kRateBase, base); }
    int GetRateDecimals() const { return GetValue(kRateDecimals); }
    int SetRateDecimals(int decimals) { return SetValue(kRateDecimals, decimals); }
    int GetTrayTip() const { return GetValue(kTrayTip); }
    int SetTrayTip(int on) { return SetValue(kTrayTip, on); }
    int GetTrayIcon() const { return GetValue(kTrayIcon); }
    int SetTrayIcon(int on) { return SetValue(kTrayIcon, on); }
    int GetGraphTip() const { return GetValue(kGraphTip); }
    int SetGraphTip(int on) { return SetValue(kGraphTip, on); }
    int GetGraphScale() const { return GetValue(kGraphScale); }
    int SetGraphScale(int on) { return SetValue(kGraphScale, on); }
    int GetSource() const { return GetValue(kSource); }
    int SetSource(int source) { return SetValue(kSource, source); }
    int GetTotals() const { return GetValue(kTotals); }
    int SetTotals(int on) { return SetValue(kTotals, on); }
    int GetCapMib() const { return GetValue(kCapMib); }
    int SetCapMib(int mebibytes) { return SetValue(kCapMib, mebibytes); }
    int GetCapDay() const { return GetValue(kCapDay); }
    int SetCapDay(int day) { return SetValue(kCapDay, day); }

private:
    using Values = std::array<int, kKeyCount>;
    static Values Defaults();

    Values m_anValues = Defaults(); // guarded by m_lock
    Values m_anStored = Defaults(); // what the file holds as far as we know; guarded by m_lock
};
