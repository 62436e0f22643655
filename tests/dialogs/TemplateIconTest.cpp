#include "dialogs/TemplateIcon.h"

#include "support/ScratchDir.h"

#include <QImage>
#include <gtest/gtest.h>

namespace korvana::dialogs {
namespace {

// A template's icon is shown when it can be read; anything else a template
// folder may bring gives the standard picture instead of an empty or a
// runaway image.
TEST(TemplateIcon, OnlyAReadableIconOfSensibleSizeReplacesTheStandardPicture) {
    test::ScratchDir scratch;
    const QIcon standard = standardTemplateIcon();
    QImage picture(16, 16, QImage::Format_ARGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(QString::fromStdString((scratch / "good.ico").string()), "PNG"));
    test::writeFile(scratch / "broken.ico", std::string("\0\0\1\0\1\0garbage", 14));
    test::writeFile(scratch / "huge.ico", std::string(2 * 1024 * 1024, '\0'));
    QImage giant(4000, 10, QImage::Format_RGB32);
    giant.fill(Qt::blue);
    ASSERT_TRUE(giant.save(QString::fromStdString((scratch / "giant.ico").string()), "PNG"));

    const QIcon good = templateIcon((scratch / "good.ico").string(), standard);
    EXPECT_NE(good.cacheKey(), standard.cacheKey());
    EXPECT_EQ(good.pixmap(32, 32).toImage().pixelColor(16, 16), QColor(Qt::red));
    for (const char* name : {"broken.ico", "huge.ico", "giant.ico", "missing.ico"}) {
        EXPECT_EQ(templateIcon((scratch / name).string(), standard).cacheKey(), standard.cacheKey())
            << name;
    }
    EXPECT_EQ(templateIcon("", standard).cacheKey(), standard.cacheKey());
}

} // namespace
} // namespace korvana::dialogs
