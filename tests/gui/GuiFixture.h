// Shared set-up of the window tests: a configuration and preferences written into the test's
// own home before the window is created, and access to the window's controls by name.
#pragma once

#include "app/frmDelta.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <memory>
#include <optional>

namespace fixture {

// Definitions 1..5: Delta-SX high-side x1, Delta-SX low-side x3 on IF 21.4, Delta-S, Delta-SX
// with both inversions, and one whose divider table does not exist; one table, a short DCG
// list (023, 025 and 754 only) and a few CG tones.
inline QByteArray Ini() {
    const char* defs[] = {
        "Name=VHF SX high;TxMult=1;RxMult=1;IFFreq=45.0;RefIndex=3;RadioID=17;Injection=HI",
        "Name=UHF SX x3;TxMult=3;RxMult=3;IFFreq=21.4;RefIndex=2;RadioID=17;Injection=LO",
        "Name=VHF S;TxMult=1;RxMult=1;IFFreq=45.0;RefIndex=3;RadioID=16;Injection=LO",
        "Name=VHF SX inverted;TxMult=1;RxMult=1;IFFreq=45.0;RefIndex=3;RadioID=17;"
        "DCGInvertTx=TRUE;DCGInvertRx=TRUE",
        "Name=No table;TxMult=1;RxMult=1;IFFreq=45.0;RadioID=17;RefTable=7"};
    QByteArray ini = "[Serial]\nCommPort=1\n[RadioDef]\n";
    for (int n = 1; n <= 5; ++n) {
        QByteArray def = QByteArray(defs[n - 1]) + ";RefOsc=13.2" + (n < 5 ? ";RefTable=1" : "");
        for (const QByteArray& kv : def.split(';'))
            ini += QByteArray(kv).replace('=', QByteArray::number(n) + '=') + '\n';
    }
    return ini + "[RefTableDef]\nIndex1Table1=3168\nIndex2Table1=2640\nIndex3Table1=2112\n"
                 "Index4Table1=3312\nIndex5Table1=2760\nIndex6Table1=2208\nIndex7Table1=2400\n"
                 "[DCGList]\nDCG1=023\nDCG2=025\nDCG3=754\n"
                 "[CGList]\nCG1=67.0\nCG2=71.9\nCG3=100.0\nCG4=131.8\n";
}

inline QString Home() {
    return qEnvironmentVariable("OSTRAND_HOME");
}

inline void WriteIni(const QByteArray& text = Ini()) {
    QDir().mkpath(Home());
    QFile file(Home() + QStringLiteral("/Ostrand.ini"));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
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
