// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/Configuration.h"

#include "common/Numbers.h"
#include "config/IniFile.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ostrand {

namespace {

const QString kSerial = QStringLiteral("Serial");
const QString kRadioDef = QStringLiteral("RadioDef");
const QString kRefTableDef = QStringLiteral("RefTableDef");
const QString kDCGList = QStringLiteral("DCGList");
const QString kCGList = QStringLiteral("CGList");

QString Numbered(const char* stem, int n) {
    return QLatin1String(stem) + QString::number(n);
}

// Out-of-range integers are configuration errors; the nearest representable value is the
// least surprising reading (a RefTable of 300 still names no table, a CommPort of -1 the
// first port).
uint8_t ToU8(qint64 v) {
    return uint8_t(std::clamp<qint64>(v, 0, 255));
}

int16_t ToI16(qint64 v) {
    return int16_t(std::clamp<qint64>(v, std::numeric_limits<int16_t>::min(),
                                      std::numeric_limits<int16_t>::max()));
}

bool IsWord(const QString& value, QLatin1String word) {
    return value.compare(word, Qt::CaseInsensitive) == 0;
}

// The CPU type: the leading number of the text, to the nearest whole number; a text that does
// not start with a number gives 0, a type no radio has, so a write is checked against the
// radio's own answer rather than assuming a layout.
int16_t RadioIdOf(const QString& text) {
    const double v = std::round(ParseLenient(text));
    if (v <= std::numeric_limits<int16_t>::min()) return std::numeric_limits<int16_t>::min();
    if (v >= std::numeric_limits<int16_t>::max()) return std::numeric_limits<int16_t>::max();
    return int16_t(v);
}

float DecimalOf(const QString& text) {
    return float(ParseLenient(text));
}

const RadioDefinition kNoDefinition{};
const DividerTable kNoTable{};

} // namespace

const RadioDefinition& Configuration::Definition(int d) const {
    if (d < 1 || d > DefinitionCount() || d > kMaxDefinitions) return kNoDefinition;
    return Defs[size_t(d)];
}

const DividerTable& Configuration::TableFor(int d) const {
    const RadioDefinition& def = Definition(d);
    if (&def == &kNoDefinition || def.RefTable < 1 || def.RefTable > kMaxRefTables) return kNoTable;
    return RefTables[def.RefTable];
}

QString Configuration::SerialDevice() const {
    if (!Device.isEmpty()) return Device;
    // CommPort counts from 1 (COM1 is the first port); 0 is taken as the first port too.
    return QStringLiteral("/dev/ttyS") + QString::number(CommPort > 0 ? CommPort - 1 : 0);
}

QString LoadConfiguration(const QString& path, Configuration& cfg) {
    IniFile ini;
    ini.SetFilename(path);

    cfg.CommPort = ToU8(ini.GetNumber(kSerial, QStringLiteral("CommPort"), 1));
    cfg.Device = ini.GetString(kSerial, QStringLiteral("Device"));

    cfg.Names.clear();
    for (int n = 1; n <= kMaxDefinitions; ++n) {
        const QString name = ini.GetString(kRadioDef, Numbered("Name", n));
        if (name.isEmpty()) break;
        cfg.Names.append(name);

        auto text = [&](const char* stem, const QString& def) {
            return ini.GetString(kRadioDef, Numbered(stem, n), def);
        };
        auto number = [&](const char* stem, qint32 def) {
            return ini.GetNumber(kRadioDef, Numbered(stem, n), def);
        };
        const QString none = QStringLiteral("None");
        RadioDefinition& d = cfg.Defs[size_t(n)];
        d.EnforceHi = DecimalOf(text("EnforceHi", none));
        d.EnforceLo = DecimalOf(text("EnforceLo", none));
        d.TxMult = ToU8(number("TxMult", 0));
        d.RxMult = ToU8(number("RxMult", 0));
        d.IFFreq = DecimalOf(text("IFFreq", none));
        d.RefOsc = DecimalOf(text("RefOsc", QStringLiteral("13.2")));
        d.RefIndex = ToU8(number("RefIndex", 0));
        d.RefTable = ToU8(number("RefTable", 1));
        d.DefaultExt = text("DefaultExt", QStringLiteral("D"));
        d.RadioID = RadioIdOf(text("RadioID", QStringLiteral("17")));
        d.Injection = IsWord(text("Injection", {}), QLatin1String("HI"));
        d.DCGInvertTx = IsWord(text("DCGInvertTx", {}), QLatin1String("TRUE"));
        d.DCGInvertRx = IsWord(text("DCGInvertRx", {}), QLatin1String("TRUE"));
    }

    for (int i = 1; i <= kMaxRefTables; ++i) {
        const QString table = QString::number(i);
        auto key = [&](int j) { return Numbered("Index", j) + QStringLiteral("Table") + table; };
        if (ini.GetNumber(kRefTableDef, key(1), -1) == -1) break;
        for (int j = 1; j <= 7; ++j)
            cfg.RefTables[size_t(i)][size_t(j)] = ToI16(ini.GetNumber(kRefTableDef, key(j), 0));
    }

    int dcg = 0;
    for (int k = 1; k <= kMaxDCG; ++k) {
        const QString text = ini.GetString(kDCGList, Numbered("DCG", k));
        if (text.isEmpty()) break;
        cfg.DCGList[size_t(k)] = ToI16(ParseOctal(text));
        dcg = k;
    }
    cfg.DCGCount = uint8_t(dcg);

    // The table holds kMaxCG tones and the tone codec relies on that bound: entries beyond it
    // are not read.
    int cg = 0;
    for (int k = 1; k <= kMaxCG; ++k) {
        const QString text = ini.GetString(kCGList, Numbered("CG", k));
        if (text.isEmpty()) break;
        cfg.CGList[size_t(k)] = DecimalOf(text);
        cg = k;
    }
    cfg.CGCount = int16_t(cg);
    return ini.Problem();
}

} // namespace ostrand
