// Natural image sizes from file headers, and headers that must be refused.

#include <gtest/gtest.h>

#include "TestImages.h"
#include "host/word/fields/ImageInfo.h"

namespace paperloom::word::fields {
namespace {

using namespace test;

TEST(ImageInfo, ReadsSizeAndResolutionOfEachKind) {
    const auto png = ReadImageInfo(RedPng());
    ASSERT_TRUE(png);
    EXPECT_EQ(png->extension, "png");
    EXPECT_EQ(png->width, 30);
    EXPECT_EQ(png->height, 20);
    EXPECT_NEAR(png->dpiX, 150.0, 0.1);
    EXPECT_NEAR(png->WidthEmu(), 30 / 150.0 * 914400, 200);

    const auto jpeg = ReadImageInfo(JpegHeader(640, 480, 1, 300));
    ASSERT_TRUE(jpeg);
    EXPECT_EQ(jpeg->contentType, "image/jpeg");
    EXPECT_EQ(jpeg->width, 640);
    EXPECT_EQ(jpeg->height, 480);
    EXPECT_DOUBLE_EQ(jpeg->dpiY, 300);
    EXPECT_EQ(jpeg->WidthEmu(), 640 * 914400 / 300);
    const auto perCm = ReadImageInfo(JpegHeader(10, 10, 2, 100));
    ASSERT_TRUE(perCm);
    EXPECT_DOUBLE_EQ(perCm->dpiX, 254);
    const auto noUnits = ReadImageInfo(JpegHeader(10, 10, 0, 1));
    ASSERT_TRUE(noUnits);
    EXPECT_DOUBLE_EQ(noUnits->dpiX, 96);  // an aspect ratio only: the default resolution

    const auto gif = ReadImageInfo(GifHeader(96, 48));
    ASSERT_TRUE(gif);
    EXPECT_EQ(gif->WidthEmu(), 914400);
    EXPECT_EQ(gif->HeightEmu(), 457200);

    const auto bmp = ReadImageInfo(BmpHeader(200, -100, 3937));  // top-down rows
    ASSERT_TRUE(bmp);
    EXPECT_EQ(bmp->height, 100);
    EXPECT_NEAR(bmp->dpiX, 100.0, 0.01);
}

TEST(ImageInfo, RefusesDamagedOrUnknownHeaders) {
    EXPECT_FALSE(ReadImageInfo(""));
    EXPECT_FALSE(ReadImageInfo("plain text, no picture"));
    EXPECT_FALSE(ReadImageInfo(RedPng().substr(0, 20)));         // cut in IHDR
    EXPECT_FALSE(ReadImageInfo(JpegHeader(10, 10, 1, 72).substr(0, 30)));  // no frame header
    EXPECT_FALSE(ReadImageInfo(JpegHeader(0, 10, 1, 72)));
    EXPECT_FALSE(ReadImageInfo(GifHeader(0, 0)));
    EXPECT_FALSE(ReadImageInfo(BmpHeader(5000000, 10, 0)));     // absurd size
    EXPECT_FALSE(ReadImageInfo("BM" + std::string(30, '\0')));  // unknown header size
    // A PNG chunk length pointing far past the end stops the chunk walk, not the program.
    std::string png = RedPng();
    png[33] = '\x7f';
    EXPECT_TRUE(ReadImageInfo(png));
}

}  // namespace
}  // namespace paperloom::word::fields
