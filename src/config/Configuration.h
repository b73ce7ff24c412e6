// SPDX-License-Identifier: GPL-3.0-or-later
// The radio definitions, reference divider tables and code lists read from Ostrand.ini.
#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

namespace ostrand {

struct RadioDefinition {
    float EnforceHi = 0;
    float EnforceLo = 0;
    bool Injection = false; // true: high-side injection
    uint8_t TxMult = 0;
    uint8_t RxMult = 0;
    float IFFreq = 0;
    float RefOsc = 0;
    uint8_t RefIndex = 0;
    uint8_t RefTable = 0;
    QString DefaultExt;
    bool DCGInvertTx = false;
    bool DCGInvertRx = false;
    int16_t RadioID = 0;
};

using DividerTable = std::array<int16_t, 8>; // index 1..7 used; 0 never

constexpr int kMaxDefinitions = 50;
constexpr int kMaxRefTables = 10;
constexpr int kMaxDCG = 99;
constexpr int kMaxCG = 50;

struct Configuration {
    uint8_t CommPort = 1;
    QString Device;    // [Serial] Device: a device path that takes precedence over CommPort
    QStringList Names; // band list items; definition n is Names[n - 1]
    std::array<RadioDefinition, kMaxDefinitions + 1> Defs{}; // slot 0 never filled
    std::array<DividerTable, kMaxRefTables + 1> RefTables{}; // row 0 never filled
    std::array<int16_t, kMaxDCG + 2> DCGList{};              // slots 1..DCGCount
    uint8_t DCGCount = 0;
    std::array<float, kMaxCG + 1> CGList{}; // slots 1..CGCount
    int16_t CGCount = 0;

    int DefinitionCount() const { return int(Names.size()); }
    // Definition d (1-based); slot 0 (all zero) for anything out of range.
    const RadioDefinition& Definition(int d) const;
    // The divider table definition d uses; all zeros when the definition or its RefTable
    // names no table (0, above 10, no band selected).
    const DividerTable& TableFor(int d) const;
    // The serial device to open: Device when set, else /dev/ttyS(CommPort - 1).
    QString SerialDevice() const;
};

// Reads the whole file into cfg (CommPort, definitions and band names, divider tables, DCG
// and CG lists) with the reading rules of IniFile. A missing, unreadable or oversized file
// reads as a file with no keys; the result then says why (IniFile::Problem), else it is
// empty. Values beyond the new counts are left as an earlier load put them.
QString LoadConfiguration(const QString& path, Configuration& cfg);

} // namespace ostrand
