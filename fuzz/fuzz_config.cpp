// SPDX-License-Identifier: GPL-3.0-or-later
// The INI reader and the configuration load on arbitrary file contents: no crash, no
// out-of-range count, and two loads of the same file agree.
#include "FuzzInput.h"
#include "config/Configuration.h"
#include "config/IniFile.h"

#include <QDir>
#include <QFile>
#include <unistd.h>

using namespace ostrand;

namespace {

QString TempFile() {
    static const QString path = [] {
        QByteArray name = QDir::tempPath().toLocal8Bit() + "/ostrand-fuzz-XXXXXX.ini";
        const int fd = ::mkstemps(name.data(), 4);
        if (fd < 0) fuzz::Fail("cannot create a temporary file");
        ::close(fd);
        return QString::fromLocal8Bit(name);
    }();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = TempFile();
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }

    IniFile ini;
    ini.SetFilename(path);
    const QString value = ini.GetString("RadioDef", "Name1", "none");
    if (value.size() > IniFile::kMaxValue) fuzz::Fail("value longer than the limit");
    if (value.contains(QChar(0))) fuzz::Fail("NUL inside a value");
    ini.GetNumber("Serial", "CommPort", 1);
    ini.GetString("DCGList", "DCG1");

    Configuration first;
    LoadConfiguration(path, first);
    if (first.DefinitionCount() > kMaxDefinitions) fuzz::Fail("too many definitions");
    if (first.DCGCount > kMaxDCG) fuzz::Fail("DCG count beyond the list");
    if (first.CGCount < 0 || first.CGCount > kMaxCG) fuzz::Fail("CG count beyond the list");
    for (int d = 0; d <= first.DefinitionCount() + 1; ++d) {
        first.Definition(d);
        first.TableFor(d);
    }
    first.SerialDevice();

    Configuration second;
    LoadConfiguration(path, second);
    if (second.Names != first.Names || second.DCGList != first.DCGList ||
        second.DCGCount != first.DCGCount || second.CGCount != first.CGCount ||
        second.RefTables != first.RefTables || second.CommPort != first.CommPort)
        fuzz::Fail("two loads of one file differ");
    return 0;
}
