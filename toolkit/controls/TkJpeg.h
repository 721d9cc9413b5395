#pragma once

#include "toolkit/controls/TkRasterImage.h"

namespace vq {

// JPEG files: decoded into 24-bit pictures, or into 8 bits with at most 256 colours on a palette
// screen; encoded as baseline JPEG from pictures of any depth. Saving leaves the picture in memory
// as it was, whatever happens.
class TkJpeg : public TkRasterImage {
    VQ_DECLARE_RUNTIME_CLASS(TkJpeg)
public:
    TkJpeg();

    bool DoRead(File& file) override;
    bool DoWrite(File& file) override;

    std::uint32_t m_nBitsSize = 0;
    bool m_bQuantise = false;
    int m_nQuality = 75;
    int m_nSmoothingFactor = 0;
    bool m_bOptimiseCoding = false;
    bool m_bArithmeticCoding = false;

    // The library's code of the last failure (39 for an empty file), 0 after a clean read or write.
    int GetLastMessageCode() const { return m_nLastMessageCode; }

private:
    struct Codec;
    bool Decode(Codec& codec);
    bool Encode(Codec& codec);

    int m_nLastMessageCode = 0;
};

} // namespace vq
