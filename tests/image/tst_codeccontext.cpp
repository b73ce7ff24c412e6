#include "image/ChannelRow.h"

#include <QTest>

using namespace ostrand;

class TestCodecContext : public QObject {
    Q_OBJECT
private slots:
    void contextFromConfiguration_data() {
        QTest::addColumn<int>("definition");
        QTest::addColumn<int>("dcgCount");
        QTest::addColumn<int>("cgCount");
        QTest::addColumn<int>("divider3");
        QTest::addColumn<int>("dcgSize");
        QTest::addColumn<int>("cgSize");
        QTest::newRow("selected definition's table and the filled slots")
            << 2 << 3 << 2 << 2112 << 3 << 2;
        QTest::newRow("no definition selected: all dividers 0") << 0 << 3 << 2 << 0 << 3 << 2;
        QTest::newRow("empty lists") << 2 << 0 << 0 << 2112 << 0 << 0;
        QTest::newRow("counts beyond the tables are cut to them")
            << 2 << 255 << 500 << 2112 << kMaxDCG + 1 << kMaxCG;
        QTest::newRow("negative CG count reads as none") << 2 << 1 << -4 << 2112 << 1 << 0;
    }
    void contextFromConfiguration() {
        QFETCH(int, definition);
        QFETCH(int, dcgCount);
        QFETCH(int, cgCount);
        QFETCH(int, divider3);
        QFETCH(int, dcgSize);
        QFETCH(int, cgSize);
        Configuration cfg;
        cfg.Names = {"Low band", "High band"};
        cfg.Defs[2].RefTable = 3;
        cfg.RefTables[3] = {0, 2112, 2640, 2112, 1056, 0, 0, 0};
        for (int i = 1; i < int(cfg.DCGList.size()); ++i)
            cfg.DCGList[size_t(i)] = int16_t(i);
        for (int i = 1; i < int(cfg.CGList.size()); ++i)
            cfg.CGList[size_t(i)] = 60.0f + i;
        cfg.DCGCount = uint8_t(dcgCount);
        cfg.CGCount = int16_t(cgCount);
        CodecContext ctx;
        ctx.SetFromConfiguration(cfg, definition);
        QCOMPARE(int(ctx.Dividers[3]), divider3);
        QCOMPARE(int(ctx.DCGList.size()), dcgSize);
        QCOMPARE(int(ctx.CGList.size()), cgSize);
        if (dcgSize > 0) QCOMPARE(int(ctx.DCGList.front()), 1); // slot 1 is entry 1
        if (cgSize > 0) QCOMPARE(ctx.CGList.back(), 60.0f + cgSize);
    }
};

QTEST_GUILESS_MAIN(TestCodecContext)
#include "tst_codeccontext.moc"
