// icon-render OUT-DIR SIZE...: writes the program's icon as OUT-DIR/SIZE.png
// for each size, drawn by the same code as the icon of its windows, so that
// the desktop's menus show the same mark. Runs at build time without a
// display.
#include "dialogs/Logo.h"

#include <QString>
#include <charconv>
#include <filesystem>
#include <iostream>
#include <string_view>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: icon-render OUT-DIR SIZE...\n";
        return 2;
    }
    const std::filesystem::path out = argv[1];
    std::filesystem::create_directories(out);
    for (int i = 2; i < argc; ++i) {
        const std::string_view text = argv[i];
        int size = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), size);
        if (error != std::errc{} || end != text.data() + text.size() || size < 1 || size > 1024) {
            std::cerr << "icon-render: '" << text << "' is no icon size\n";
            return 2;
        }
        const auto file = out / (std::string(text) + ".png");
        if (!korvana::dialogs::applicationIconImage(size).save(
                QString::fromStdString(file.string()), "PNG")) {
            std::cerr << "icon-render: cannot write " << file.string() << '\n';
            return 1;
        }
    }
    return 0;
}
