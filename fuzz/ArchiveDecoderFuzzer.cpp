// Feeds arbitrary bytes to the configuration archive reader. Whatever the
// input, reading must end in an archive or one of its errors; an archive it
// accepts must write and read back as the same archive.

#include "settings/ConfigurationArchive.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "archive fuzzer: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using glidra::ConfigurationArchive;
    using glidra::ConfigurationArchiveError;

    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto archive = ConfigurationArchive::decode(input);
    if (!archive) return 0;

    // What was accepted passed validation, so writing it can only fail on
    // size: pretty-printing makes a compact document larger.
    const auto encoded = archive->encoded();
    if (!encoded) {
        if (encoded.error() != ConfigurationArchiveError::tooLarge) fail("an accepted archive does not write");
        return 0;
    }
    const auto again = ConfigurationArchive::decode(encoded.value());
    if (!again) fail("a written archive does not read back");
    if (!(again.value() == archive.value())) fail("a written archive reads back different");
    return 0;
}
