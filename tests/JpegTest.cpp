#include "store/Jpeg.h"

#include <gtest/gtest.h>
#include <jpeglib.h>
#include <cstdlib>
#include <vector>

namespace {

// A picture of one colour, written row by row from a single row, so that even a very large one
// costs little memory. stored is the colour space inside the file; an Adobe marker says that
// four-channel inks are stored inverted.
QByteArray uniformJpeg(int width, int height, J_COLOR_SPACE input, J_COLOR_SPACE stored,
                       bool adobeMarker, std::vector<unsigned char> pixel) {
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = int(pixel.size());
    info.in_color_space = input;
    jpeg_set_defaults(&info);
    jpeg_set_colorspace(&info, stored);
    info.write_Adobe_marker = adobeMarker;
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row;
    for (int x = 0; x < width; ++x)
        row.insert(row.end(), pixel.begin(), pixel.end());
    JSAMPROW rows[] = {row.data()};
    while (info.next_scanline < info.image_height)
        jpeg_write_scanlines(&info, rows, 1);
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray result(reinterpret_cast<const char*>(buffer), qsizetype(size));
    std::free(buffer);
    return result;
}

QByteArray detailedJpeg() {
    RgbImage image;
    image.width = 64;
    image.height = 64;
    for (int i = 0; i < 64 * 64 * 3; ++i)
        image.pixels.append(char((i * 37) % 251));
    return encodeJpeg(image);
}

}  // namespace

TEST(Jpeg, PrintColoursAndLargeSourcesShowTheirPicture) {
    const struct {
        const char* name;
        int width, height;
        J_COLOR_SPACE input, stored;
        bool adobeMarker;
        std::vector<unsigned char> pixel;  // red, in the input's channels
        int minWidth, minHeight;
        int shownWidth, shownHeight;
    } cases[] = {
        {"RGB", 32, 16, JCS_RGB, JCS_YCbCr, false, {255, 0, 0}, 0, 0, 32, 16},
        {"CMYK", 32, 16, JCS_CMYK, JCS_CMYK, false, {0, 255, 255, 0}, 0, 0, 32, 16},
        {"Adobe CMYK, inverted", 32, 16, JCS_CMYK, JCS_CMYK, true, {255, 0, 0, 255}, 0, 0, 32, 16},
        {"Adobe YCCK, inverted", 32, 16, JCS_CMYK, JCS_YCCK, true, {255, 0, 0, 255}, 0, 0, 32, 16},
        // 41 megapixels: a box of 200 x 150 takes it at 1/8, without a box at 1/2.
        {"large, scaled for a box",
         8200,
         5000,
         JCS_RGB,
         JCS_YCbCr,
         false,
         {255, 0, 0},
         200,
         150,
         1025,
         625},
        {"large, no box", 8200, 5000, JCS_RGB, JCS_YCbCr, false, {255, 0, 0}, 0, 0, 4100, 2500},
    };
    for (const auto& c : cases) {
        const auto image =
            decodeJpeg(uniformJpeg(c.width, c.height, c.input, c.stored, c.adobeMarker, c.pixel),
                       c.minWidth, c.minHeight);
        ASSERT_TRUE(image.has_value()) << c.name;
        EXPECT_EQ(image->width, c.shownWidth) << c.name;
        EXPECT_EQ(image->height, c.shownHeight) << c.name;
        const qsizetype centre =
            (qsizetype(image->height / 2) * image->width + image->width / 2) * 3;
        const auto channel = [&](int k) {
            return int(static_cast<unsigned char>(image->pixels[centre + k]));
        };
        EXPECT_GT(channel(0), 240) << c.name;
        EXPECT_LT(channel(1), 16) << c.name;
        EXPECT_LT(channel(2), 16) << c.name;
    }
}

TEST(Jpeg, DataCutShortShowsNothing) {
    const QByteArray whole = detailedJpeg();
    ASSERT_TRUE(decodeJpeg(whole).has_value());
    const QByteArray cut = whole.left(whole.size() * 3 / 4);
    const struct {
        const char* name;
        QByteArray data;
    } cases[] = {
        {"ends in the picture data", cut},
        {"closed with an end marker", cut + QByteArray("\xFF\xD9", 2)},
        {"headers only", whole.left(200)},
    };
    for (const auto& c : cases)
        EXPECT_FALSE(decodeJpeg(c.data).has_value()) << c.name;
}
