// The settings file parser on arbitrary bytes: no crash, no hang, and a file it accepts is
// written back in a form it reads again to the same text.

#include "fuzz/fuzz_check.h"
#include "src/platform/internal/regfile.h"

#include <cstddef>
#include <cstdint>

using namespace platform::detail;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), int(size));
    const QString root = QStringLiteral("HKEY_CURRENT_USER");
    const RegParseResult parsed = parseRegFile(bytes, root);
    FUZZ_CHECK(parsed.ok || !parsed.error.isEmpty());
    if (!parsed.ok)
        return 0;
    const QByteArray written = writeRegFile(parsed.root, root);
    const RegParseResult again = parseRegFile(written, root);
    FUZZ_CHECK(again.ok);
    FUZZ_CHECK(writeRegFile(again.root, root) == written);
    return 0;
}
