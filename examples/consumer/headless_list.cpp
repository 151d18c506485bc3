// Lists an archive's members with the control alone: no toolkit, no desktop services.
#include <quenarch/base/automation_error.h>
#include <quenarch/control/headless_host.h>
#include <quenarch/control/headless_platform.h>
#include <quenarch/control/property_bag.h>
#include <quenarch/control/quen_archive.h>

#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: headless-list ARCHIVE\n";
        return 2;
    }
    quenarch::HeadlessHost host;
    quenarch::QuenArchive control(host, quenarch::headlessPlatform());
    quenarch::MemoryPropertyBag properties;
    control.ReadProperties(properties);
    try {
        control.LetArchive(quenarch::Variant(argv[1]));
    } catch (const quenarch::AutomationError& error) {
        std::cerr << "headless-list: " << error.what() << '\n';
        return 1;
    }
    for (auto moved = control.MoveFirst(); moved == 0; moved = control.MoveNext())
        std::cout << control.ItemFileName() << '\t' << control.ItemUnCompressed() << '\n';
    std::cout << control.ArchiveType() << '\n';
    return 0;
}
