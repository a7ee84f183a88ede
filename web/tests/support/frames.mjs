// frames.mjs: 640 by 480 RGB frames: read from and written to PNG, and
// compared as the desktop show presents them, in RGB565.
import {PNG} from 'pngjs';
import {readFileSync, writeFileSync} from 'node:fs';

export const frame_width = 640;
export const frame_height = 480;

// {width, height, rgb}: 3 bytes a pixel, top row first.
export function read_png(file) {
  const png = PNG.sync.read(readFileSync(file));
  const rgb = new Uint8Array(png.width * png.height * 3);
  for (let pixel = 0; pixel < png.width * png.height; ++pixel) {
    rgb.set(png.data.subarray(4 * pixel, 4 * pixel + 3), 3 * pixel);
  }
  return {width: png.width, height: png.height, rgb};
}

export function write_png(file, frame) {
  const png = new PNG({width: frame.width, height: frame.height});
  for (let pixel = 0; pixel < frame.width * frame.height; ++pixel) {
    png.data.set(frame.rgb.subarray(3 * pixel, 3 * pixel + 3), 4 * pixel);
    png.data[4 * pixel + 3] = 255;
  }
  writeFileSync(file, PNG.sync.write(png));
}

// A channel's top bits, as the desktop keeps them: Mesa draws its 16-bit
// picture by dropping the low bits of the 8-bit colour. A value read back
// from 16 bits (widened to 8) keeps its top bits too, so frames of either
// depth compare alike.
const to_bits = (value, bits) => value >> (8 - bits);
const rgb565_bits = [5, 6, 5];

// How many pixels differ between two frames of the same size, in RGB565.
export function rgb565_differences(a, b) {
  if (a.width !== b.width || a.height !== b.height) throw new Error('frames of different sizes');
  let differing = 0;
  for (let pixel = 0; pixel < a.width * a.height; ++pixel) {
    for (let channel = 0; channel < 3; ++channel) {
      const bits = rgb565_bits[channel];
      if (to_bits(a.rgb[3 * pixel + channel], bits) !== to_bits(b.rgb[3 * pixel + channel], bits)) {
        ++differing;
        break;
      }
    }
  }
  return differing;
}
