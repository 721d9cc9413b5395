#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <jerror.h>
#include <jpeglib.h>
#include <string>
#include <vector>

namespace vq::test {

// A JPEG file made by the library itself: `pixel` gives the samples of (x, y) in the colour space
// (one grey sample, three red-green-blue ones or four CMYK ones).
inline std::string MakeJpeg(int width, int height, J_COLOR_SPACE space,
                            const std::function<void(int, int, JSAMPLE*)>& pixel, bool progressive = false,
                            int quality = 90) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* memory = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &memory, &size);
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = space == JCS_GRAYSCALE ? 1 : space == JCS_CMYK ? 4 : 3;
    cinfo.in_color_space = space;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (progressive) jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(std::size_t(width) * std::size_t(cinfo.input_components));
    while (cinfo.next_scanline < cinfo.image_height) {
        for (int x = 0; x < width; ++x)
            pixel(x, int(cinfo.next_scanline),
                  row.data() + std::size_t(x) * std::size_t(cinfo.input_components));
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::string bytes(reinterpret_cast<const char*>(memory), size);
    std::free(memory);
    return bytes;
}

} // namespace vq::test
