#include "toolkit/controls/TkJpeg.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>

// The library's headers expect the C standard types declared before them.
#include <jerror.h>
#include <jpeglib.h>

namespace vq {

VQ_IMPLEMENT_DYNCREATE(TkJpeg, Object)

namespace {

constexpr std::size_t kBufferSize = 4096;

// The error manager leaves a failing call by a long jump back into the function that set it up;
// that function keeps no object with a destructor alive across library calls.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf exit;
};

// File errors raised inside the library's callbacks are caught there and carried past the C
// frames in this record, to be raised again once the codec is destroyed.
struct SourceManager {
    jpeg_source_mgr pub;
    File* file;
    JOCTET* buffer;
    bool startOfFile;
    std::exception_ptr* failure;
};

struct DestinationManager {
    jpeg_destination_mgr pub;
    File* file;
    JOCTET* buffer;
    std::exception_ptr* failure;
};

[[noreturn]] void ErrorExit(j_common_ptr codec) {
    std::longjmp(reinterpret_cast<ErrorManager*>(codec->err)->exit, 1);
}

// Messages are counted, never shown.
void OutputMessage(j_common_ptr) {}

void InitSource(j_decompress_ptr codec) {
    reinterpret_cast<SourceManager*>(codec->src)->startOfFile = true;
}

boolean FillInputBuffer(j_decompress_ptr codec) {
    auto* source = reinterpret_cast<SourceManager*>(codec->src);
    std::uint32_t count = 0;
    try {
        count = source->file->Read(source->buffer, kBufferSize);
    } catch (...) {
        *source->failure = std::current_exception();
        ERREXIT(codec, JERR_FILE_READ);
    }
    if (count == 0) {
        if (source->startOfFile) ERREXIT(codec, JERR_INPUT_EMPTY);
        WARNMS(codec, JWRN_JPEG_EOF);
        // An end-of-image marker, so that a cut file ends as a whole one would.
        source->buffer[0] = JOCTET(0xFF);
        source->buffer[1] = JOCTET(JPEG_EOI);
        count = 2;
    }
    source->pub.next_input_byte = source->buffer;
    source->pub.bytes_in_buffer = count;
    source->startOfFile = false;
    return TRUE;
}

void SkipInputData(j_decompress_ptr codec, long count) {
    if (count <= 0) return;
    auto* source = reinterpret_cast<SourceManager*>(codec->src);
    while (std::size_t(count) > source->pub.bytes_in_buffer) {
        count -= long(source->pub.bytes_in_buffer);
        FillInputBuffer(codec);
    }
    source->pub.next_input_byte += count;
    source->pub.bytes_in_buffer -= std::size_t(count);
}

void TermSource(j_decompress_ptr) {}

void InitDestination(j_compress_ptr codec) {
    auto* destination = reinterpret_cast<DestinationManager*>(codec->dest);
    destination->buffer = static_cast<JOCTET*>(
        (*codec->mem->alloc_small)(reinterpret_cast<j_common_ptr>(codec), JPOOL_IMAGE, kBufferSize));
    destination->pub.next_output_byte = destination->buffer;
    destination->pub.free_in_buffer = kBufferSize;
}

void WriteOut(j_compress_ptr codec, std::size_t count, bool flush) {
    auto* destination = reinterpret_cast<DestinationManager*>(codec->dest);
    try {
        if (count) destination->file->Write(destination->buffer, std::uint32_t(count));
        if (flush) destination->file->Flush();
    } catch (...) {
        *destination->failure = std::current_exception();
        ERREXIT(codec, JERR_FILE_WRITE);
    }
}

boolean EmptyOutputBuffer(j_compress_ptr codec) {
    auto* destination = reinterpret_cast<DestinationManager*>(codec->dest);
    WriteOut(codec, kBufferSize, false);
    destination->pub.next_output_byte = destination->buffer;
    destination->pub.free_in_buffer = kBufferSize;
    return TRUE;
}

void TermDestination(j_compress_ptr codec) {
    auto* destination = reinterpret_cast<DestinationManager*>(codec->dest);
    WriteOut(codec, kBufferSize - destination->pub.free_in_buffer, true);
}

void SetUpErrors(ErrorManager& errors) {
    jpeg_std_error(&errors.pub);
    errors.pub.error_exit = ErrorExit;
    errors.pub.output_message = OutputMessage;
}

// The blue, green and red bytes of pixel x of a stored row of any depth.
void PixelBgr(const std::uint8_t* row, std::int32_t x, std::int32_t depth, const RGBQUAD* table,
              std::uint32_t tableSize, bool msbFirst, JSAMPLE* out) {
    if (depth <= 8) {
        std::uint32_t index = 0;
        if (depth == 8)
            index = row[x];
        else if (depth == 4)
            index = (row[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F;
        else
            index = (row[x / 8] >> (msbFirst ? 7 - x % 8 : x % 8)) & 1;
        const RGBQUAD colour = index < tableSize ? table[index] : RGBQUAD{};
        out[0] = colour.rgbBlue;
        out[1] = colour.rgbGreen;
        out[2] = colour.rgbRed;
    } else if (depth == 16) {
        const std::uint32_t value = row[2 * x] | row[2 * x + 1] << 8;
        auto expand = [](std::uint32_t c) { return JSAMPLE((c << 3) | (c >> 2)); };
        out[0] = expand(value & 31);
        out[1] = expand(value >> 5 & 31);
        out[2] = expand(value >> 10 & 31);
    } else {
        std::memcpy(out, row + std::size_t(x) * std::size_t(depth / 8), 3);
    }
}

} // namespace

// The codec records of one read or write; they live in the caller of the function that jumps.
struct TkJpeg::Codec {
    ErrorManager errors;
    jpeg_decompress_struct decompress;
    jpeg_compress_struct compress;
    File* file = nullptr;
    std::exception_ptr failure;
};

TkJpeg::TkJpeg() {
    m_bQuantise = m_nScreenColors != 0;
}

bool TkJpeg::DoRead(File& file) {
    Codec codec;
    codec.file = &file;
    const bool decoded = Decode(codec);
    if (codec.failure) std::rethrow_exception(codec.failure);
    return decoded;
}

bool TkJpeg::DoWrite(File& file) {
    if (GetBits().empty()) return false;
    AlignRows();
    Codec codec;
    codec.file = &file;
    const bool encoded = Encode(codec);
    if (codec.failure) std::rethrow_exception(codec.failure);
    return encoded;
}

bool TkJpeg::Decode(Codec& codec) {
    jpeg_decompress_struct& cinfo = codec.decompress;
    SetUpErrors(codec.errors);
    cinfo.err = &codec.errors.pub;
    if (setjmp(codec.errors.exit)) {
        m_nLastMessageCode = codec.errors.pub.msg_code;
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    auto* source = static_cast<SourceManager*>((*cinfo.mem->alloc_small)(
        reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_PERMANENT, sizeof(SourceManager)));
    source->buffer = static_cast<JOCTET*>(
        (*cinfo.mem->alloc_small)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_PERMANENT, kBufferSize));
    source->file = codec.file;
    source->failure = &codec.failure;
    source->pub.init_source = InitSource;
    source->pub.fill_input_buffer = FillInputBuffer;
    source->pub.skip_input_data = SkipInputData;
    source->pub.resync_to_restart = jpeg_resync_to_restart;
    source->pub.term_source = TermSource;
    source->pub.bytes_in_buffer = 0;
    source->pub.next_input_byte = nullptr;
    cinfo.src = &source->pub;

    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK) ERREXIT(&cinfo, JERR_NO_IMAGE);
    const bool grey = cinfo.num_components == 1;
    // Colour arrives in the picture's own blue-green-red order; what the library cannot turn into
    // it (four-component files) fails in jpeg_start_decompress like any fatal error.
    cinfo.out_color_space = grey ? JCS_GRAYSCALE : JCS_EXT_BGR;
    const bool quantise = m_nScreenColors != 0 && m_bQuantise;
    if (quantise) {
        cinfo.quantize_colors = TRUE;
        cinfo.desired_number_of_colors = 256;
    }
    jpeg_calc_output_dimensions(&cinfo);
    if (std::uint64_t(cinfo.output_width) * cinfo.output_height > kMaxPixels ||
        cinfo.output_width > 0x7FFFFFFF || cinfo.output_height > 0x7FFFFFFF)
        ERREXIT(&cinfo, JERR_IMAGE_TOO_BIG);
    const std::int32_t width = std::int32_t(cinfo.output_width), height = std::int32_t(cinfo.output_height);
    const std::int32_t depth = quantise ? 8 : 24;
    bool allocated = true;
    try {
        Allocate(width, height, depth, quantise ? 256 : 0);
    } catch (const std::bad_alloc&) {
        allocated = false;
    }
    if (!allocated) ERREXIT(&cinfo, JERR_OUT_OF_MEMORY);
    m_nBitsSize = std::uint32_t(std::min<std::size_t>(GetBits().size(), 0xFFFFFFFFu));

    jpeg_start_decompress(&cinfo);
    const JDIMENSION samples = cinfo.output_width * JDIMENSION(cinfo.output_components);
    JSAMPARRAY buffer =
        (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE, samples, 1);
    while (cinfo.output_scanline < cinfo.output_height) {
        const std::int32_t line = std::int32_t(cinfo.output_scanline);
        if (jpeg_read_scanlines(&cinfo, buffer, 1) != 1) break;
        // Rows arrive top-down; the picture keeps them bottom-up.
        std::uint8_t* row = Row(height - 1 - line);
        if (depth == 24 && cinfo.output_components == 1) {
            for (std::int32_t x = 0; x < width; ++x)
                std::memset(row + 3 * std::size_t(x), buffer[0][x], 3);
        } else {
            std::memcpy(row, buffer[0], samples);
        }
    }
    if (quantise) {
        RGBQUAD* table = GetColourTable();
        const int colours = std::min(cinfo.actual_number_of_colors, 256);
        for (int i = 0; i < colours; ++i) {
            // The map's rows follow the output colour space: blue, green, red for colour.
            if (cinfo.out_color_components == 3)
                table[i] = {cinfo.colormap[0][i], cinfo.colormap[1][i], cinfo.colormap[2][i], 0};
            else
                table[i] = {cinfo.colormap[0][i], cinfo.colormap[0][i], cinfo.colormap[0][i], 0};
        }
        reinterpret_cast<BITMAPINFO*>(m_Header.data())->bmiHeader.biClrUsed = std::uint32_t(colours);
    }
    jpeg_finish_decompress(&cinfo);
    m_nLastMessageCode = 0;
    jpeg_destroy_decompress(&cinfo);
    return true;
}

bool TkJpeg::Encode(Codec& codec) {
    jpeg_compress_struct& cinfo = codec.compress;
    SetUpErrors(codec.errors);
    cinfo.err = &codec.errors.pub;
    if (setjmp(codec.errors.exit)) {
        m_nLastMessageCode = codec.errors.pub.msg_code;
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    auto* destination = static_cast<DestinationManager*>((*cinfo.mem->alloc_small)(
        reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_PERMANENT, sizeof(DestinationManager)));
    destination->file = codec.file;
    destination->failure = &codec.failure;
    destination->pub.init_destination = InitDestination;
    destination->pub.empty_output_buffer = EmptyOutputBuffer;
    destination->pub.term_destination = TermDestination;
    cinfo.dest = &destination->pub;

    cinfo.image_width = JDIMENSION(m_nWidth);
    cinfo.image_height = JDIMENSION(m_nHeight);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, m_nQuality, TRUE);
    cinfo.smoothing_factor = m_nSmoothingFactor;
    cinfo.optimize_coding = m_bOptimiseCoding ? TRUE : FALSE;
    cinfo.arith_code = m_bArithmeticCoding ? TRUE : FALSE;
    jpeg_start_compress(&cinfo, TRUE);
    JSAMPARRAY buffer = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                   3 * JDIMENSION(m_nWidth), 1);
    const RGBQUAD* table = GetColourTable();
    const std::uint32_t tableSize = GetColourTableSize();
    while (cinfo.next_scanline < cinfo.image_height) {
        // The stored rows are read in place, bottom-up, so the picture is never touched.
        const std::uint8_t* row = Row(m_nHeight - 1 - std::int32_t(cinfo.next_scanline));
        if (m_nImageDepth == 24) {
            std::memcpy(buffer[0], row, 3 * std::size_t(m_nWidth));
        } else {
            for (std::int32_t x = 0; x < m_nWidth; ++x)
                PixelBgr(row, x, m_nImageDepth, table, tableSize, m_bMsbFirst,
                         buffer[0] + 3 * std::size_t(x));
        }
        jpeg_write_scanlines(&cinfo, buffer, 1);
    }
    jpeg_finish_compress(&cinfo);
    m_nLastMessageCode = 0;
    jpeg_destroy_compress(&cinfo);
    return true;
}

} // namespace vq
