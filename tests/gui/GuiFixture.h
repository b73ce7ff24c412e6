// Shared set-up of the window tests: a configuration and preferences written into the test's
// own home before the window is created, and access to the window's controls by name.
#pragma once

#include "app/frmDelta.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <memory>
#include <optional>

namespace fixture {

// Four Delta-SX / Delta-S definitions on one divider table, one whose table does not exist,
// a short DCG list (023, 025 and 754 only) and a few CG tones.
inline const char* kIni = R"([Serial]
CommPort=1
[RadioDef]
Name1=VHF SX high
TxMult1=1
RxMult1=1
IFFreq1=45.0
RefOsc1=13.2
RefIndex1=3
RefTable1=1
RadioID1=17
Injection1=HI
DefaultExt1=DSX
Name2=UHF SX x3
TxMult2=3
RxMult2=3
IFFreq2=21.4
RefOsc2=13.2
RefIndex2=2
RefTable2=1
RadioID2=17
Injection2=LO
Name3=VHF S
TxMult3=1
RxMult3=1
IFFreq3=45.0
RefOsc3=13.2
RefIndex3=3
RefTable3=1
RadioID3=16
Injection3=LO
Name4=VHF SX inverted
TxMult4=1
RxMult4=1
IFFreq4=45.0
RefOsc4=13.2
RefIndex4=3
RefTable4=1
RadioID4=17
DCGInvertTx4=TRUE
DCGInvertRx4=TRUE
Name5=No table
TxMult5=1
RxMult5=1
IFFreq5=45.0
RefOsc5=13.2
RefTable5=7
RadioID5=17
[RefTableDef]
Index1Table1=3168
Index2Table1=2640
Index3Table1=2112
Index4Table1=3312
Index5Table1=2760
Index6Table1=2208
Index7Table1=2400
[DCGList]
DCG1=023
DCG2=025
DCG3=754
[CGList]
CG1=67.0
CG2=71.9
CG3=100.0
CG4=131.8
)";

inline QString Home() {
    return qEnvironmentVariable("OSTRAND_HOME");
}

inline void WriteFile(const QString& name, const QByteArray& content) {
    QDir().mkpath(Home());
    QFile file(Home() + u'/' + name);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

inline void WriteIni(const char* text = kIni) {
    WriteFile(QStringLiteral("Ostrand.ini"), text);
}

// Absent texts are removed from the store.
inline void WritePreferences(std::optional<QString> clear, std::optional<QString> index) {
    QSettings s(QStringLiteral("Ostrand"), QStringLiteral("Ostrand"));
    s.remove(QStringLiteral("Defaults"));
    s.beginGroup(QStringLiteral("Defaults"));
    if (clear) s.setValue(QStringLiteral("ClearOnNewBandSelect"), *clear);
    if (index) s.setValue(QStringLiteral("RadioIndex"), *index);
    s.endGroup();
    s.sync();
}

inline QString StoredPreference(const char* key) {
    QSettings s(QStringLiteral("Ostrand"), QStringLiteral("Ostrand"));
    return s.value(QStringLiteral("Defaults/") + QLatin1StringView(key)).toString();
}

// The window shown and active, so that focus moves as for an operator.
inline std::unique_ptr<ostrand::frmDelta> Open() {
    auto w = std::make_unique<ostrand::frmDelta>();
    w->show();
    w->activateWindow();
    if (!QTest::qWaitForWindowActive(w.get())) qWarning("window did not become active");
    return w;
}

template <typename T> T* Find(const ostrand::frmDelta& w, const QString& name) {
    T* found = w.findChild<T*>(name);
    if (!found) qFatal("no control %s", qPrintable(name));
    return found;
}

inline QString Name(const char* stem, int row) {
    return QStringLiteral("%1_%2").arg(QLatin1StringView(stem)).arg(row);
}

// Typing into a field as an operator: focus, replace the text, then leave it.
inline void Enter(ostrand::frmDelta& w, const QString& name, const QString& text) {
    auto* edit = Find<QLineEdit>(w, name);
    edit->setFocus(Qt::TabFocusReason);
    edit->clear();
    QTest::keyClicks(edit, text);
    w.cmdRead->setFocus(Qt::TabFocusReason);
}

// What the operator sees in every row: the eleven fields of the channel record.
inline QStringList RowTexts(const ostrand::frmDelta& w, int r) {
    auto text = [&](const char* stem) { return Find<QLineEdit>(w, Name(stem, r))->text(); };
    auto index = [&](const char* stem) {
        return QString::number(Find<QComboBox>(w, Name(stem, r))->currentIndex());
    };
    auto box = [&](const char* stem) {
        return QString::number(Find<QCheckBox>(w, Name(stem, r))->isChecked());
    };
    return {text("txtTXFreq"), text("txtRxFreq"), index("cmbRef"), text("txtTxTone"),
            text("txtRxTone"), box("chkSTE"),     index("cmbCCT"), box("chkTxW"),
            box("chkTxZ"),     box("chkRxW"),     box("chkRxZ")};
}

inline QList<QStringList> Grid(const ostrand::frmDelta& w) {
    QList<QStringList> rows;
    for (int r = 0; r < 16; ++r)
        rows << RowTexts(w, r);
    return rows;
}

} // namespace fixture
