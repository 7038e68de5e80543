#include "store/Jpeg.h"

#include <jerror.h>
#include <jpeglib.h>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>

namespace {

// libjpeg reports fatal errors through error_exit, which must not return: jump back instead.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    bool truncated = false;  // the data ended before the picture did
};

void onError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

// Warnings about corrupt data are not shown. Running out of data, or meeting a marker where
// picture data should go on (data cut short and closed with an end marker), means a
// truncated photo: the rest would be painted grey.
void onMessage(j_common_ptr info, int level) {
    if (level < 0 &&
        (info->err->msg_code == JWRN_JPEG_EOF || info->err->msg_code == JWRN_HIT_MARKER))
        reinterpret_cast<ErrorManager*>(info->err)->truncated = true;
}

// A picture decoded larger than this is damaged data, not a photo; a large source still shows
// when the decoder's scaling brings it below.
constexpr long MaxPixels = 40L * 1000 * 1000;

long outputPixels(jpeg_decompress_struct& info) {
    jpeg_calc_output_dimensions(&info);
    return long(info.output_width) * long(info.output_height);
}

// Print sources deliver CMYK (or YCCK, which the decoder turns into CMYK). Files with an
// Adobe marker store the inks inverted, as Photoshop writes them.
void cmykToRgb(const unsigned char* cmyk, unsigned char* rgb, unsigned width, bool inverted) {
    for (unsigned x = 0; x < width; ++x, cmyk += 4, rgb += 3) {
        const unsigned k = inverted ? cmyk[3] : 255u - cmyk[3];
        for (int c = 0; c < 3; ++c) {
            const unsigned ink = inverted ? cmyk[c] : 255u - cmyk[c];
            rgb[c] = static_cast<unsigned char>((ink * k + 127) / 255);
        }
    }
}

}  // namespace

std::optional<RgbImage> decodeJpeg(const QByteArray& data, int minWidth, int minHeight) {
    if (data.size() < 4)
        return std::nullopt;
    jpeg_decompress_struct info;
    ErrorManager errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = onError;
    errors.base.emit_message = onMessage;
    // Everything the jump may skip over lives outside this frame's locals that change later.
    struct Work {
        RgbImage image;
        QByteArray cmykRow;  // one row of a four-channel picture
    };
    auto* work = new Work;
    RgbImage* image = &work->image;
    const auto fail = [&]() -> std::optional<RgbImage> {
        jpeg_destroy_decompress(&info);
        delete work;
        return std::nullopt;
    };
    if (setjmp(errors.jump))
        return fail();
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK)
        return fail();
    // The decoder does not turn four-channel pictures into RGB: they come out as CMYK.
    const bool fourChannels =
        info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = fourChannels ? JCS_CMYK : JCS_RGB;
    // The decoder scales by 1/2, 1/4 or 1/8 almost for free; take the smallest that still fills
    // the picture box.
    if (minWidth > 0 && minHeight > 0) {
        for (unsigned denom : {8u, 4u, 2u}) {
            if ((info.image_width + denom - 1) / denom >= unsigned(minWidth) &&
                (info.image_height + denom - 1) / denom >= unsigned(minHeight)) {
                info.scale_num = 1;
                info.scale_denom = denom;
                break;
            }
        }
    }
    // What counts is the size decoded: scale further down where the source is that large.
    while (outputPixels(info) > MaxPixels && info.scale_denom < 8)
        info.scale_denom *= 2;
    if (outputPixels(info) > MaxPixels)
        return fail();
    jpeg_start_decompress(&info);
    image->width = int(info.output_width);
    image->height = int(info.output_height);
    image->pixels.resize(qsizetype(image->width) * image->height * 3);
    if (fourChannels)
        work->cmykRow.resize(qsizetype(image->width) * 4);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = reinterpret_cast<JSAMPROW>(image->pixels.data()) +
                       std::size_t(info.output_scanline) * std::size_t(image->width) * 3;
        if (!fourChannels) {
            jpeg_read_scanlines(&info, &row, 1);
            continue;
        }
        JSAMPROW inks = reinterpret_cast<JSAMPROW>(work->cmykRow.data());
        jpeg_read_scanlines(&info, &inks, 1);
        cmykToRgb(inks, row, info.output_width, info.saw_Adobe_marker);
    }
    jpeg_finish_decompress(&info);
    if (errors.truncated)
        return fail();
    jpeg_destroy_decompress(&info);
    RgbImage result = std::move(*image);
    delete work;
    return result;
}

QByteArray encodeJpeg(const RgbImage& image, int quality) {
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() < qsizetype(image.width) * image.height * 3)
        return QByteArray();
    jpeg_compress_struct info;
    ErrorManager errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = onError;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&info);
        std::free(buffer);
        return QByteArray();
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(image.width);
    info.image_height = JDIMENSION(image.height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(reinterpret_cast<const JSAMPLE*>(
            image.pixels.constData() +
            std::size_t(info.next_scanline) * std::size_t(image.width) * 3));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray result(reinterpret_cast<const char*>(buffer), qsizetype(size));
    std::free(buffer);
    return result;
}
