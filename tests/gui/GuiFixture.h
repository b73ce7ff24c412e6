// Shared set-up of the window tests: a configuration and preferences written into the test's
// own home before the window is created, edits made as an operator makes them, and the grid
// read back as the operator sees it.
#pragma once

#include "app/MainWindow.h"
#include "image/PersonalityFile.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QTest>
#include <memory>

namespace fixture {

using ostrand::MainWindow;

// Dialogs that answer as the test set them and remember the questions asked.
struct Dialogs : ostrand::FileDialogs, ostrand::MessageBoxes {
    QString open, save; // the paths the file dialogs return
    QStringList asked;  // question titles
    QString openFilter; // the filter the Open dialog came up with
    QString OpenFile(const ostrand::FileDialogRequest& r) override {
        return openFilter = r.selectedFilter, open;
    }
    QString SaveFile(const ostrand::FileDialogRequest&) override { return save; }
    bool AskYesNoStop(const QString&, const QString& title) override {
        return asked << title, false;
    }
    void Inform(const QString&, const QString&) override {}
};

// 1: Delta-SX high side x1; 2: Delta-SX low side x3 on IF 21.4; 3: Delta-S; 4: Delta-SX with
// both inversions; 5: a divider table that does not exist. DCG list 023, 025 and 754 only.
inline QByteArray Ini(const QString& device = {}) {
    const char* defs[] = {
        "Name=VHF SX high;TxMult=1;RxMult=1;IFFreq=45.0;RefIndex=3;RadioID=17;Injection=HI",
        "Name=UHF SX x3;TxMult=3;RxMult=3;IFFreq=21.4;RefIndex=2;RadioID=17;Injection=LO",
        "Name=VHF S;TxMult=1;RxMult=1;IFFreq=45.0;RefIndex=3;RadioID=16;Injection=LO;"
        "DefaultExt=DSX",
        "Name=VHF SX inverted;TxMult=1;RxMult=1;IFFreq=45.0;RefIndex=3;RadioID=17;"
        "DCGInvertTx=TRUE;DCGInvertRx=TRUE",
        "Name=No table;TxMult=1;RxMult=1;IFFreq=45.0;RadioID=17;RefTable=7"};
    QByteArray ini = "[Serial]\nDevice=" + device.toUtf8() + "\n[RadioDef]\n";
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

inline QString Home(const char* file = "") {
    return qEnvironmentVariable("OSTRAND_HOME") + QLatin1StringView(file);
}

// A personality file in the test's home holding `image`; its path.
inline QString WriteImage(const char* name, const ostrand::EEImage& image) {
    QFile file(Home(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) qFatal("cannot write %s", name);
    file.write(ostrand::FormatPersonality(image));
    return file.fileName();
}

inline void WriteIni(const QByteArray& text = Ini()) {
    QDir().mkpath(Home());
    QFile file(Home("/Ostrand.ini"));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

// Null texts are left out of the store.
inline void WritePreferences(const QString& clear = {}, const QString& index = {}) {
    QSettings s(QStringLiteral("Ostrand"), QStringLiteral("Ostrand"));
    s.remove(QStringLiteral("Defaults"));
    if (!clear.isNull()) s.setValue(QStringLiteral("Defaults/ClearOnNewBandSelect"), clear);
    if (!index.isNull()) s.setValue(QStringLiteral("Defaults/RadioIndex"), index);
}

inline QString StoredPreference(const char* key) {
    QSettings s(QStringLiteral("Ostrand"), QStringLiteral("Ostrand"));
    return s.value(QStringLiteral("Defaults/") + QLatin1StringView(key)).toString();
}

// The window shown and active, so that focus moves as for an operator.
inline std::unique_ptr<MainWindow> Open(const ostrand::MainWindowServices& services = {}) {
    auto w = std::make_unique<MainWindow>(services);
    w->show();
    w->activateWindow();
    if (!QTest::qWaitForWindowActive(w.get())) qWarning("window did not become active");
    return w;
}

// The window on band `band` (-1: none), the option to clear the grid unchecked.
inline std::unique_ptr<MainWindow> OpenOnBand(int band,
                                              const ostrand::MainWindowServices& services = {}) {
    WritePreferences("False", QString::number(band));
    return Open(services);
}

template <typename T = QWidget> T* Find(const MainWindow& w, const QString& name, int row = -1) {
    T* found = w.findChild<T*>(row < 0 ? name : QStringLiteral("%1_%2").arg(name).arg(row));
    if (!found) qFatal("no control %s %d", qPrintable(name), row);
    return found;
}

inline QString Text(const MainWindow& w, const char* name) {
    QWidget* c = Find(w, QLatin1StringView(name));
    if (auto* label = qobject_cast<QLabel*>(c)) return label->text();
    return qobject_cast<QLineEdit*>(c)->text();
}

// Edits as an operator makes them, in order: "name=value" pairs separated by ';'. A text field
// is focused, typed into and left; a list takes the position; a box or label with no value is
// clicked, a box with a value takes it as its check mark; a menu item is triggered.
inline void Apply(MainWindow& w, const QString& edits) {
    for (const QString& edit : edits.split(u';', Qt::SkipEmptyParts)) {
        const QString value = edit.section(u'=', 1);
        if (auto* item = w.findChild<QAction*>(edit)) {
            item->trigger();
            continue;
        }
        QWidget* c = Find(w, edit.section(u'=', 0, 0));
        if (auto* text = qobject_cast<QLineEdit*>(c)) {
            text->setFocus(Qt::TabFocusReason);
            text->clear();
            QTest::keyClicks(text, value);
            Find(w, "cmdRead")->setFocus(Qt::TabFocusReason);
        } else if (auto* list = qobject_cast<QComboBox*>(c)) {
            list->setCurrentIndex(value.toInt());
        } else if (auto* box = qobject_cast<QCheckBox*>(c); box && !value.isEmpty()) {
            box->setChecked(value == u'1');
        } else {
            QTest::mouseClick(c, Qt::LeftButton);
        }
    }
}

// The eleven fields of row r joined by commas: texts, list positions and check marks (0/1).
inline QString Row(const MainWindow& w, int r) {
    QStringList cells;
    for (const char* stem : {"txtTXFreq", "txtRxFreq", "cmbRef", "txtTxTone", "txtRxTone", "chkSTE",
                             "cmbCCT", "chkTxW", "chkTxZ", "chkRxW", "chkRxZ"}) {
        QWidget* c = Find(w, QLatin1StringView(stem), r);
        if (auto* e = qobject_cast<QLineEdit*>(c))
            cells << e->text();
        else if (auto* l = qobject_cast<QComboBox*>(c))
            cells << QString::number(l->currentIndex());
        else
            cells << QString::number(qobject_cast<QCheckBox*>(c)->isChecked());
    }
    return cells.join(u',');
}

inline QStringList Grid(const MainWindow& w) {
    QStringList rows;
    for (int r = 0; r < 16; ++r)
        rows << Row(w, r);
    return rows;
}

} // namespace fixture
