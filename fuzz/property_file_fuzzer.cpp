// Feeds arbitrary text to the property-file reader, and what it accepts to a control. Errors
// must stay short and printable; what is read, and what the control then saves, must be written
// back as text that reads back as itself.

#include "quenarch/control/file_property_bag.h"
#include "quenarch/control/headless_host.h"
#include "quenarch/control/headless_platform.h"
#include "quenarch/control/quen_archive.h"
#include "quenarch/base/automation_error.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

const std::filesystem::path fileName = "fuzz.qprops";

void checkReadsBackAsItself(const quenarch::FilePropertyBag& bag)
{
    const std::string text = bag.text(fileName);
    if (quenarch::FilePropertyBag::parse(text, fileName).text(fileName) != text) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const quenarch::Platform platform = quenarch::headlessPlatform();
    quenarch::FilePropertyBag bag;
    try {
        bag = quenarch::FilePropertyBag::parse({reinterpret_cast<const char*>(data), size}, fileName);
    } catch (const quenarch::PropertyFileError& error) {
        const char* message = error.what();
        if (std::strlen(message) > 1000) std::abort();
        for (const char* c = message; *c != '\0'; ++c)
            if (static_cast<unsigned char>(*c) < 0x20) std::abort();
        return 0;
    }
    checkReadsBackAsItself(bag);

    quenarch::HeadlessHost host;
    quenarch::QuenArchive control(host, platform);
    try {
        control.ReadProperties(bag);
    } catch (const quenarch::AutomationError&) {
        return 0;
    }
    quenarch::FilePropertyBag saved;
    control.WriteProperties(saved);
    checkReadsBackAsItself(saved);
    return 0;
}
