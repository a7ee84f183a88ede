// frames.mjs: RGB frames: read from and written to PNG, and compared.
import {PNG} from 'pngjs';
import {readFileSync, writeFileSync} from 'node:fs';

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

// The largest difference, in 8-bit levels, that one step of 16-bit colour
// (RGB565) makes: a 5-bit step widens to 8 or 9. Renderers turn the same
// 8-bit colour into 16 bits differently: Mesa's llvmpipe drops the low bits,
// where SwiftShader and GPUs round, one step up for about a fifth of values.
export const one_rgb565_step = 9;

// How many pixels of two frames of the same size differ by more than
// `levels` in some channel.
export function pixels_differing(a, b, levels = 0) {
  if (a.width !== b.width || a.height !== b.height) throw new Error('frames of different sizes');
  const differs = (channel) => Math.abs(a.rgb[channel] - b.rgb[channel]) > levels;
  let differing = 0;
  for (let pixel = 0; pixel < a.rgb.length; pixel += 3) {
    if (differs(pixel) || differs(pixel + 1) || differs(pixel + 2)) ++differing;
  }
  return differing;
}
