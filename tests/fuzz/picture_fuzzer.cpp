// picture_fuzzer.cpp: any bytes, read as a picture file, give either nothing
// (0 by 0) or a 256 by 256 picture that is exactly the file's first 196,608 bytes.
#include <cstdint>
#include <cstring>
#include <span>

#include "assets/raw_texture.h"
#include "assets/show_pictures.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  silence_standard_output();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  int width = -1;
  int height = -1;
  const pixel_buffer pixels = load_raw_image(input_as_file({data, size}), width, height);

  if (size < std::size_t(picture_bytes)) {
    require(!pixels, "a short file gives no picture");
    require(width == 0 && height == 0, "no picture measures 0 by 0");
  } else {
    require(pixels != nullptr, "a file of a whole picture or more gives a picture");
    require(width == picture_side && height == picture_side, "a picture measures 256 by 256");
    require(std::memcmp(pixels.get(), data, picture_bytes) == 0, "a picture is the file's first bytes");
  }
  return 0;
}
