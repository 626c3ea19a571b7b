// Reads arbitrary bytes as an autostart entry, and writes them as the program
// path of the entry the program makes: whatever a file at our name holds,
// reading it ends in an entry or none, and an entry written for any program
// path reads back as that path, switched on.

#include "platform/linux/XdgAutostartLoginItems.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "autostart entry fuzzer: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using glidra::linux_platform::XdgAutostartLoginItems;
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));

    const auto read = XdgAutostartLoginItems::parseEntry(input);
    if (!read.isEntry && !read.program.isEmpty()) fail("a program read from no entry");

    const QString program = QString::fromUtf8(input);
    if (program.isEmpty()) return 0;
    if (XdgAutostartLoginItems::execProgram(XdgAutostartLoginItems::execArgument(program)) != program) {
        fail("an Exec argument does not read back as its program");
    }
    const auto written = XdgAutostartLoginItems::parseEntry(XdgAutostartLoginItems::desktopEntry(program));
    if (!written.isEntry) fail("a written entry reads as none");
    if (written.disabled) fail("a written entry reads as switched off");
    if (written.program != program) fail("a written entry starts another program");
    return 0;
}
