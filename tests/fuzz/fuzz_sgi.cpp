// fuzz_sgi.cpp -- libFuzzer harness for the SGI image reader: the input is
// a whole .rgb file, read into RGBA as the texture loader reads it.
#include "tests/fuzz/fuzz_support.h"

#include "image/sgi_image.h"

namespace {
constexpr const char* image_name = "fuzz.rgb";
// Header bytes that hold the width, height and channel count (big-endian).
constexpr size_t size_fields_end = 12;
// Images whose header claims more samples than this are skipped: under the
// sanitizers one such image takes seconds to read, which would leave the
// fuzzer little time for the header, table and packet paths. The reader's
// own size limits are checked by its unit tests, and by running single
// files with VEVUV_FUZZ_ALL_SIZES set, which lifts this cap.
constexpr unsigned long long max_fuzzed_samples = 1ull << 20;
bool all_sizes = false;  // flag: VEVUV_FUZZ_ALL_SIZES is set

// Width x height x used channels as the header claims them; like the
// reader, bytes past the end of a short file count as zeros.
unsigned long long claimed_samples(const uint8_t* input, size_t size)
{
    uint8_t data[size_fields_end] = {};
    for (size_t i = 0; i < size && i < size_fields_end; ++i)
        data[i] = input[i];
    const unsigned xsize = (data[6] << 8) | data[7];
    const unsigned ysize = (data[8] << 8) | data[9];
    const unsigned zsize = (data[10] << 8) | data[11];
    return 1ull * xsize * ysize * (zsize < 4 ? zsize : 4);
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::make_scratch_directory();
    all_sizes = std::getenv("VEVUV_FUZZ_ALL_SIZES") != nullptr;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!all_sizes && claimed_samples(data, size) > max_fuzzed_samples)
        return 0;
    int width = 0, height = 0, components = 0;
    unsigned char* pixels = nullptr;  // the reader may end as for memory it cannot have
    fuzz::read_input_as(image_name, data, size, [&] { pixels = read_sgi_image(image_name, &width, &height, &components); });
    if (pixels != nullptr) {
        // Touch the last pixel: the buffer must hold width x height RGBA.
        volatile unsigned char last = pixels[size_t(width) * size_t(height) * 4 - 1];
        (void)last;
        std::free(pixels);
    }
    return 0;
}
